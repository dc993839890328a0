// A whole client loaded by the database, one of its files replaced by fuzzed
// bytes. The first input byte chooses the file, the rest are its bytes.

#include <unistd.h>

#include <filesystem>
#include <string>

#include "archive/error.h"
#include "database/client_writer.h"
#include "database/database.h"
#include "formats/tbl_writer.h"
#include "fuzz_target.h"

namespace {

const char* const kFiles[] = {
    "DATA/LDT/ITEM_1.LDT",      "DATA/LDT/ITEM_2.LDT",         "DATA/LDT/BEAUTY_SHOP.LDT",
    "DATA/LDT/MOTIONTYPE.LDT",  "DATA/LDT/SKILL_MOTION.LDT",   "DATA/LDT/GLOBAL_RES.LDT",
    "DATA/LDT/GLOBAL_STRING.LDT", "DATA/LDT/EFFECT.LDT",       "DATA/CHAR/CHARLAYER/CHARACTER.MFT",
    "DATA/CHAR/CHARLAYER/BODY.TBL"};
constexpr size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

// The client's folder, removed when the process ends. Shared memory where the
// system has it: every input rewrites an archive there.
const std::string& Folder() {
  struct TFolder {
    std::string Path;
    TFolder() {
      std::error_code error;
      const std::filesystem::path shm = "/dev/shm";
      const auto base = std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
      const auto path = base / ("varune-fuzz-db-" + std::to_string(::getpid()));
      std::filesystem::create_directories(path);
      Path = path.string() + "/";
    }
    ~TFolder() {
      std::error_code ignored;
      std::filesystem::remove_all(Path, ignored);
    }
  };
  static const TFolder folder;
  return folder.Path;
}

// Every file lives in ROWID.SPF, so the other four archives are written once.
const varune::TClientWriter& BaseClient() {
  static const varune::TClientWriter client = [] {
    varune::TClientWriter base;
    base.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", varune::WriteMft(varune::TMftHeader{}, {"BODY.TBL"}));
    varune::TTblImage cell;
    cell.ID = 0;
    base.Add("DATA/CHAR/CHARLAYER/BODY.TBL", varune::WriteTbl(0, {{1, "01_1501_001_01", {cell}}}));
    base.AddMinimalTables();
    base.Write(Folder());
    return base;
  }();
  return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  varune::TClientWriter client = BaseClient();
  client.Add(kFiles[data[0] % kFileCount], std::vector<uint8_t>(data + 1, data + size));
  client.WriteArchive(Folder(), varune::TClientWriter::kRowid);
  varune::TVaruneDatabase database;
  try {
    // The folder is this process's own: walking the process table for other
    // holders would only cost time.
    database.LoadPath(Folder(), varune::scAlreadyChecked);
  } catch (const varune::Error&) {
    return 0;
  }
  for (varune::TGenderType gender : {varune::gtMale, varune::gtFemale})
    for (int32_t slot = 1; slot <= varune::kSlotCount; ++slot)
      for (const varune::TVaruneItem* item : database.GetSpec(gender, slot)) (void)item->IsUsableGender(gender);
  (void)database.GetTableDataByID("01_1501_001_01");
  (void)database.MotionList().GetJobByMotion(1);
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  auto seed = [](uint8_t file, std::vector<uint8_t> bytes) {
    bytes.insert(bytes.begin(), file);
    return bytes;
  };
  TItemRow sword;
  sword.ID = 1;
  sword.PosID1 = 13;
  sword.Name = "剣";
  sword.Requires[0] = {1, 2, "2", "0"};
  TItemRow hair = sword;
  hair.ID = 2;
  hair.Type = 2;
  hair.Category = 1301;
  TMotionRow motion{1001, {{atStand, "STAND"}}};
  return {seed(0, WriteItemTable({sword, hair})),
          seed(1, WriteItemTable({sword}, false)),
          seed(2, WriteBeautyShopTable({{1, 0, 0, 1, "髪", 0, 130100000}}, true)),
          seed(3, WriteMotionTable({motion})),
          seed(6, WriteTextTable("_STRING", {{20001, "剣士"}, {1200002, "女性"}})),
          seed(8, WriteMft(TMftHeader{}, {"BODY.TBL", "SUB/NONE.TBL"})),
          seed(9, WriteTbl(0, {{2, "01_1501_001_01", {TTblImage{}}}}))};
}

}  // namespace varune::fuzz
