#include <gtest/gtest.h>

#include <cstring>

#include "archive/error.h"
#include "archive/spf.h"
#include "archive/spf_writer.h"
#include "archive/varune_base.h"
#include "support/file_holder.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

using test::THolder;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// A reader that keeps the bytes it was given.
class TRawReader : public TVaruneBase {
 public:
  void Clear() override { FBytes.clear(); }
  void LoadFromStream(TStream& Stream) override {
    Clear();
    FBytes.resize(static_cast<size_t>(Stream.Remaining()));
    Stream.ReadBuffer(FBytes.data(), static_cast<int64_t>(FBytes.size()));
  }
  std::string Text() const { return std::string(FBytes.begin(), FBytes.end()); }

 private:
  std::vector<uint8_t> FBytes;
};

class SpfTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const TSpfWriter& writer) {
    const std::string path = dir.File(name);
    writer.SaveToFile(path);
    return path;
  }
  test::TempDir dir;
};

TEST_F(SpfTest, DirectoryReadsTheTrailerRecordsAndVersion) {
  TSpfWriter writer;
  writer.Add("DATA/LDT/ITEM_1.LDT", Bytes("item one"), 7);
  writer.Add("DATA/EMPTY", {}, -1);
  writer.Add("データ/名前.PNG", Bytes("png"));
  writer.SetVersion(0x01020304);
  TSpf spf;
  spf.LoadFromFile(Write("A.SPF", writer));

  EXPECT_EQ(spf.Count(), 3);
  EXPECT_EQ(spf.Version(), 0x01020304);
  EXPECT_EQ(spf.GetItem(0).FileName, "DATA/LDT/ITEM_1.LDT");
  EXPECT_EQ(spf.GetItem(0).Offset, 0);
  EXPECT_EQ(spf.GetItem(0).Size, 8);
  EXPECT_EQ(spf.GetItem(0).Unknown, 7);
  EXPECT_EQ(spf.GetItem(1).Offset, 8);
  EXPECT_EQ(spf.GetItem(1).Unknown, -1);
  EXPECT_EQ(spf.GetItem(2).FileName, "データ/名前.PNG");
  EXPECT_EQ(spf.FileName(), dir.File("A.SPF"));

  EXPECT_EQ(spf.IndexOf("data/ldt/item_1.ldt"), 0);
  EXPECT_EQ(spf.IndexOf("DATA\\LDT\\ITEM_1.LDT"), -1);
  EXPECT_EQ(spf.IndexOf("データ/名前.png"), 2);
  EXPECT_THROW(spf.GetItem(3), Error);

  TMemoryStream empty;
  spf.SaveToStream(1, empty);
  EXPECT_EQ(empty.Size(), 0);
}

TEST_F(SpfTest, HandBuiltLayoutWithOddDirectorySizeAndFullLengthName) {
  // Entry data, a directory of one record plus 3 stray bytes, then the trailer.
  std::vector<uint8_t> file = Bytes("HELLO");
  std::vector<uint8_t> record(140, 'N');  // a name filling all 128 bytes
  const int32_t offset = 0, size = 5, unknown = 42;
  std::memcpy(&record[128], &offset, 4);
  std::memcpy(&record[132], &size, 4);
  std::memcpy(&record[136], &unknown, 4);
  file.insert(file.end(), record.begin(), record.end());
  file.insert(file.end(), {9, 9, 9});
  std::vector<uint8_t> trailer(140, 0xEE);
  const int32_t directorySize = 143, version = -5;
  std::memcpy(&trailer[0], &directorySize, 4);
  std::memcpy(&trailer[136], &version, 4);
  file.insert(file.end(), trailer.begin(), trailer.end());

  // T div 140 records, starting at L - 140 - T: the stray bytes come last.
  TMemoryStream stream(file);
  TSpf spf;
  spf.LoadFromStream(stream);
  ASSERT_EQ(spf.Count(), 1);
  EXPECT_EQ(spf.Version(), -5);
  EXPECT_EQ(spf.GetItem(0).FileName, std::string(128, 'N'));
  EXPECT_EQ(spf.GetItem(0).Unknown, 42);
}

TEST_F(SpfTest, EmptyAndDamagedDirectories) {
  TSpfWriter writer;
  TSpf spf;
  spf.LoadFromFile(Write("EMPTY.SPF", writer));
  EXPECT_EQ(spf.Count(), 0);
  EXPECT_EQ(spf.IndexOf("anything"), -1);

  auto trailerWith = [](int32_t directorySize, size_t extra) {
    std::vector<uint8_t> file(extra + 140, 0);
    std::memcpy(&file[extra], &directorySize, 4);
    return file;
  };
  for (const auto& bytes : {trailerWith(-140, 0), trailerWith(280, 139), trailerWith(INT32_MAX, 10),
                            std::vector<uint8_t>(139, 0)}) {
    TMemoryStream stream(bytes);
    EXPECT_THROW(spf.LoadFromStream(stream), Error);
    EXPECT_EQ(spf.Count(), 0);
  }
}

TEST_F(SpfTest, ExtractionRefusesEntriesOutsideTheArchive) {
  TSpfWriter writer;
  writer.Add("GOOD", Bytes("abc"));
  const std::string path = Write("BAD.SPF", writer);
  // Point the record's Offset past the end, then make its Size negative.
  std::vector<uint8_t> file = ReadWholeFile(path);
  const size_t record = file.size() - 140 - 140;
  for (const auto& [offset, size] : {std::pair{1000, 3}, std::pair{0, -1}, std::pair{-8, 3}, std::pair{2, 400}}) {
    std::memcpy(&file[record + 128], &offset, 4);
    std::memcpy(&file[record + 132], &size, 4);
    WriteWholeFile(path, file);
    TSpf spf;
    spf.LoadFromFile(path);
    TMemoryStream out;
    EXPECT_THROW(spf.SaveToStream(0, out), Error) << offset << " " << size;
  }
}

TEST_F(SpfTest, EntryStreamsReadTheirWindowInAnyPieces) {
  std::vector<uint8_t> big(200000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 31 + i / 256);
  TSpfWriter writer;
  writer.Add("BEFORE", Bytes("xyz"));
  writer.Add("BIG", big);
  writer.Add("AFTER", Bytes("abc"));
  TSpf spf;
  spf.LoadFromFile(Write("E.SPF", writer));

  TSpfEntryStream entry(spf, 1);
  EXPECT_EQ(entry.Size(), 200000);
  std::vector<uint8_t> read(big.size());
  int64_t at = 0;
  for (int64_t piece : {1, 7, 136, 70000, 3, 65536, 100}) {  // small, buffered and direct reads
    entry.ReadBuffer(read.data() + at, piece);
    at += piece;
  }
  entry.ReadBuffer(read.data() + at, static_cast<int64_t>(big.size()) - at);
  EXPECT_EQ(read, big);
  uint8_t byte = 0;
  EXPECT_EQ(entry.Read(&byte, 1), 0);  // never past the entry into the next one
  entry.Seek(-1, soEnd);
  EXPECT_EQ(entry.Read(&byte, 4), 1);
  EXPECT_EQ(byte, big.back());
  entry.Seek(5, soBeginning);
  entry.ReadBuffer(&byte, 1);
  EXPECT_EQ(byte, big[5]);
  entry.Seek(-10, soBeginning);
  EXPECT_EQ(entry.Read(&byte, 1), 0);
  EXPECT_THROW(TSpfEntryStream(spf, 3), Error);
}

TEST_F(SpfTest, ExtractionRestoresTheTargetPosition) {
  TSpfWriter writer;
  writer.Add("X", Bytes("0123456789"));
  TSpf spf;
  spf.LoadFromFile(Write("X.SPF", writer));

  TMemoryStream fresh;
  spf.SaveToStream(0, fresh);
  EXPECT_EQ(fresh.Position(), 0);
  EXPECT_EQ(std::string(fresh.Bytes().begin(), fresh.Bytes().end()), "0123456789");

  const std::string file = dir.File("x.out");
  spf.SaveToFile(0, file);
  EXPECT_EQ(ReadWholeFile(file), Bytes("0123456789"));
}

TEST_F(SpfTest, DirectoryReadFailsWhileAnotherProcessHoldsTheArchiveButExtractionWorks) {
  TSpfWriter writer;
  writer.Add("DATA/X", Bytes("payload"));
  const std::string path = Write("HELD.SPF", writer);
  TSpf before;
  before.LoadFromFile(path);
  TSpf held;
  {
    THolder holder(path);
    ASSERT_TRUE(holder.Holding());
    EXPECT_THROW(held.LoadFromFile(path), Error);
    EXPECT_EQ(held.FileName(), "");
    TMemoryStream out;
    EXPECT_NO_THROW(before.SaveToStream(0, out));
    EXPECT_EQ(out.Bytes(), Bytes("payload"));
  }
  EXPECT_NO_THROW(held.LoadFromFile(path));
}

TEST_F(SpfTest, ClientArchivesAreCheckedTogether) {
  TSpfWriter empty;
  for (const char* name : ArchiveFileNames) Write(name, empty);
  THolder holder(dir.File("BARY.SPF"));
  ASSERT_TRUE(holder.Holding());
  TSpfManager manager;
  try {
    AddClientArchives(manager, dir.Path());
    FAIL();
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("BARY.SPF"), std::string::npos);
  }
  EXPECT_EQ(manager.SpfCount(), 0);
  // A caller that vouches for its folder skips the walk over the processes.
  AddClientArchives(manager, dir.Path(), scAlreadyChecked);
  EXPECT_EQ(manager.SpfCount(), 5);
}

TEST_F(SpfTest, ManagerSearchesArchivesInOrderAndRemembersAnswers) {
  TSpfWriter first, second;
  first.Add("DATA/SHARED", Bytes("first"));
  second.Add("DATA/SHARED", Bytes("second"));
  second.Add("DATA/ONLY_SECOND", Bytes("2"));
  second.Add("DATA/ONLY_SECOND", Bytes("shadowed"));
  const std::string a = Write("AJJIYA.SPF", first), b = Write("ROWID.SPF", second);

  TSpfManager manager;
  manager.AddSpf(a);
  manager.AddSpf(b);
  manager.AddSpf(dir.File("ajjiya.spf"));  // same path without case: read once
  EXPECT_EQ(manager.SpfCount(), 2);

  const TSpfItemInfo* shared = manager.GetItem("data/shared");
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->FSpf->FileName(), a);
  const TSpfItemInfo* onlySecond = manager.GetItem("DATA/ONLY_SECOND");
  ASSERT_NE(onlySecond, nullptr);
  EXPECT_EQ(onlySecond->FIndex, 1);  // the lowest of two equal names

  TRawReader reader;
  reader.LoadFromSpfInfo(onlySecond);
  EXPECT_EQ(reader.Text(), "2");
  EXPECT_EQ(reader.FileName(), "");

  const int32_t missing = manager.IndexOf("DATA/MISSING");
  EXPECT_EQ(manager.GetItem("DATA/MISSING"), nullptr);
  EXPECT_EQ(manager.IndexOf("data/missing"), missing);
  EXPECT_EQ(manager.IndexOf("DATA/SHARED"), manager.IndexOf("Data/Shared"));

  // An absence stays remembered even once an archive holding the name arrives.
  TSpfWriter late;
  late.Add("DATA/MISSING", Bytes("late"));
  manager.AddSpf(Write("LATE.SPF", late));
  EXPECT_EQ(manager.GetItem("DATA/MISSING"), nullptr);

  manager.Clear();
  EXPECT_EQ(manager.SpfCount(), 0);
  EXPECT_EQ(manager.GetItem("DATA/SHARED"), nullptr);
}

TEST_F(SpfTest, ManagerKeepsOnlyFullyReadArchives) {
  TSpfManager manager;
  EXPECT_THROW(manager.AddSpf(dir.File("NOPE.SPF")), Error);
  WriteWholeFile(dir.File("SHORT.SPF"), Bytes("short"));
  EXPECT_THROW(manager.AddSpf(dir.File("SHORT.SPF")), Error);
  EXPECT_EQ(manager.SpfCount(), 0);
}

TEST_F(SpfTest, LoadingProtocolMessages) {
  TSpfWriter writer;
  writer.Add("A", Bytes("a"));
  TSpf spf;
  spf.LoadFromFile(Write("P.SPF", writer));
  TRawReader reader;

  auto messageOf = [](auto&& action) {
    try {
      action();
    } catch (const Error& error) {
      return std::string(error.what());
    }
    return std::string();
  };
  EXPECT_EQ(messageOf([&] { reader.LoadFromSpf(spf, 1); }), "無効なインデックス [1]");
  EXPECT_EQ(messageOf([&] { reader.LoadFromSpf(spf, "B"); }), "無効なインデックス [-1]");
  EXPECT_EQ(messageOf([&] { reader.LoadFromSpfInfo(nullptr); }), "無効なインデックス [-1]");
  EXPECT_EQ(messageOf([&] { reader.LoadFromFile(dir.File("none.ldt")); }), "ファイルが存在しません");

  reader.LoadFromSpf(spf, "a");
  EXPECT_EQ(reader.Text(), "a");
  WriteWholeFile(dir.File("plain.bin"), Bytes("plain"));
  reader.LoadFromFile(dir.File("plain.bin"));
  EXPECT_EQ(reader.Text(), "plain");
  EXPECT_EQ(reader.FileName(), "plain.bin");
}

}  // namespace
}  // namespace varune
