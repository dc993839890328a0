#include "database/client_writer.h"

#include <algorithm>

#include "archive/spf_writer.h"
#include "archive/text.h"
#include "database/types.h"
#include "formats/ldt_writer.h"
#include "formats/tbl_writer.h"

namespace varune {
namespace {

constexpr int32_t kText = 1, kUnsigned = 2, kSigned = 3;

}  // namespace

std::vector<uint8_t> WriteItemTable(const std::vector<TItemRow>& Rows, bool WithNameColor) {
  TLdtWriter writer;
  for (const char* name : {"_Category", "_Num", "_ColorID"}) writer.AddColumn(name, kSigned);
  writer.AddColumn("_Name", kText);
  writer.AddColumn("_Description", kText);
  writer.AddColumn("_Icon", kSigned);
  writer.AddColumn("_IconIndex", kSigned);
  writer.AddColumn("_CashCheck", kUnsigned);
  for (const char* name : {"_Type", "_SubType", "_PosID1", "_SubPosID11", "_SubPosID12", "_PosID2", "_SubPosID21",
                           "_SubPosID22", "_Kind"})
    writer.AddColumn(name, kSigned);
  for (int i = 1; i <= 4; ++i) {
    writer.AddColumn("_StatusType" + std::to_string(i), kSigned);
    writer.AddColumn("_StatusValue" + std::to_string(i), kSigned);
  }
  for (int i = 1; i <= 4; ++i) {
    const std::string prefix = "_Require" + std::to_string(i);
    writer.AddColumn(prefix + "_Type", kSigned);
    writer.AddColumn(prefix + "_ID", kSigned);
    writer.AddColumn(prefix + "_Value1", kText);
    writer.AddColumn(prefix + "_Value2", kText);
  }
  for (const char* name : {"_MotionTypeID1", "_MotionTypeID2", "_MotionTypeID3"}) writer.AddColumn(name, kSigned);
  if (WithNameColor) writer.AddColumn("_NameColor", kUnsigned);
  for (const char* name : {"_ItemLvValue", "_Red", "_Green", "_Blue"}) writer.AddColumn(name, kSigned);
  for (int i = 1; i <= 4; ++i) writer.AddColumn("_EffectID" + std::to_string(i), kSigned);

  for (const TItemRow& row : Rows) {
    std::vector<TLdtWriter::TCell> cells{row.Category, row.Num,  row.ColorID, row.Name,    row.Description,
                                         row.Icon,     row.IconIndex, row.CashCheck, row.Type, row.SubType,
                                         row.PosID1,   row.SubPosID11, row.SubPosID12, row.PosID2, row.SubPosID21,
                                         row.SubPosID22, row.Kind};
    for (const auto& [type, value] : row.Statuses) {
      cells.emplace_back(type);
      cells.emplace_back(value);
    }
    for (const TItemRow::TRequire& require : row.Requires) {
      cells.emplace_back(require.Type);
      cells.emplace_back(require.ID);
      cells.emplace_back(require.Value1);
      cells.emplace_back(require.Value2);
    }
    cells.insert(cells.end(), {row.MotionTypeID1, row.MotionTypeID2, row.MotionTypeID3});
    if (WithNameColor) cells.emplace_back(row.NameColor);
    cells.insert(cells.end(), {row.ItemLvValue, row.Red, row.Green, row.Blue});
    for (int32_t effect : row.Effects) cells.emplace_back(effect);
    writer.AddRow(row.ID, std::move(cells));
  }
  return writer.SaveToBytes();
}

std::vector<uint8_t> WriteBeautyShopTable(const std::vector<TBasicRow>& Rows, bool PartsIndex) {
  TLdtWriter writer;
  writer.AddColumn("_Gender", kSigned);
  writer.AddColumn("_ServiceType", kSigned);
  writer.AddColumn(PartsIndex ? "_PartsIndex" : "_CategoryIndex", kSigned);
  writer.AddColumn("_Name", kText);
  for (const char* name : {"_PositionIndex", "_ItemID", "_RequireItem1", "_RequireItem2", "_PosID"})
    writer.AddColumn(name, kSigned);
  for (const TBasicRow& row : Rows) {
    writer.AddRow(row.ID, {row.Gender, row.ServiceType, row.CategoryIndex, row.Name, row.PositionIndex, row.ItemID,
                           row.RequireItem1, row.RequireItem2, row.PosID});
  }
  return writer.SaveToBytes();
}

std::vector<uint8_t> WriteMotionTable(const std::vector<TMotionRow>& Rows, const std::vector<int32_t>* Columns) {
  std::vector<int32_t> kinds;
  if (Columns) {
    kinds = *Columns;
  } else {
    for (int32_t kind = 0; kind < atEmotIcon; ++kind) kinds.push_back(kind);
  }
  TLdtWriter writer;
  for (int32_t kind : kinds) writer.AddColumn(std::string(MotionColumnNames[static_cast<size_t>(kind)]), kText);
  for (const TMotionRow& row : Rows) {
    std::vector<TLdtWriter::TCell> cells;
    for (int32_t kind : kinds) {
      const auto found = row.Animations.find(kind);
      cells.emplace_back(found == row.Animations.end() ? std::string() : found->second);
    }
    writer.AddRow(row.ID, std::move(cells));
  }
  return writer.SaveToBytes();
}

std::vector<uint8_t> WriteTextTable(const std::string& Column,
                                    const std::vector<std::pair<int32_t, std::string>>& Rows) {
  TLdtWriter writer;
  writer.AddColumn(Column, kText);
  for (const auto& [id, text] : Rows) writer.AddRow(id, {text});
  return writer.SaveToBytes();
}

void TClientWriter::Add(const std::string& Name, std::vector<uint8_t> Bytes, int Archive) {
  auto& files = FFiles.at(static_cast<size_t>(Archive));
  const auto same = std::find_if(files.begin(), files.end(), [&](const TFile& f) { return SameTextAscii(f.Name, Name); });
  if (same != files.end())
    same->Bytes = std::move(Bytes);
  else
    files.push_back({Name, std::move(Bytes)});
}

void TClientWriter::AddMinimalTables() {
  auto addMissing = [&](const std::string& name, auto make, int archive) {
    const auto& files = FFiles[static_cast<size_t>(archive)];
    if (std::none_of(files.begin(), files.end(), [&](const TFile& f) { return SameTextAscii(f.Name, name); }))
      Add(name, make(), archive);
  };
  bool manifest = false;
  for (const auto& files : FFiles)
    for (const TFile& file : files) manifest |= SameTextAscii(file.Name, "DATA/CHAR/CHARLAYER/CHARACTER.MFT");
  if (!manifest) Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", WriteMft(TMftHeader{}, {}), 0);
  addMissing("DATA/LDT/ITEM_1.LDT", [] { return WriteItemTable({}); }, kRowid);
  addMissing("DATA/LDT/ITEM_2.LDT", [] { return WriteItemTable({}); }, kRowid);
  addMissing("DATA/LDT/BEAUTY_SHOP.LDT", [] { return WriteBeautyShopTable({}); }, kRowid);
  addMissing("DATA/LDT/MOTIONTYPE.LDT", [] { return WriteMotionTable({}); }, kRowid);
  addMissing("DATA/LDT/SKILL_MOTION.LDT", [] { return WriteTextTable("_Motion", {}); }, kRowid);
  addMissing("DATA/LDT/GLOBAL_RES.LDT", [] { return WriteTextTable("_FILENAME", {}); }, kRowid);
  addMissing("DATA/LDT/GLOBAL_STRING.LDT", [] { return WriteTextTable("_STRING", {}); }, kRowid);
  addMissing("DATA/LDT/EFFECT.LDT", [] { return WriteTextTable("_Name", {}); }, kRowid);
}

void TClientWriter::Write(const std::string& Dir) const {
  for (size_t archive = 0; archive < FFiles.size(); ++archive) WriteArchive(Dir, static_cast<int>(archive));
}

void TClientWriter::WriteArchive(const std::string& Dir, int Archive) const {
  const auto index = static_cast<size_t>(Archive);
  TSpfWriter writer;
  for (const TFile& file : FFiles.at(index)) writer.Add(file.Name, file.Bytes);
  writer.SetVersion(FVersions[index]);
  writer.SaveToFile(Dir + "/" + ArchiveFileNames[index]);
}

}  // namespace varune
