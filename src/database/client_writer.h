#pragma once
// Writes game clients: the data tables the database reads, in the game's
// column layout, and the five archives that hold them. Tests, benchmarks,
// fuzz seeds and the demo client build their clients with it.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "archive/spf.h"

namespace varune {

// One row of an item table ("DATA/LDT/ITEM_1.LDT", "DATA/LDT/ITEM_2.LDT").
struct TItemRow {
  struct TRequire {
    int32_t Type = 0;  // non-zero: in use
    int32_t ID = 0;
    std::string Value1 = "0";  // the game stores these as decimal text
    std::string Value2 = "0";
  };

  int32_t ID = 0;
  int32_t Category = 0, Num = 0, ColorID = 0;
  std::string Name, Description;
  int32_t Icon = 0, IconIndex = 0;
  uint32_t CashCheck = 0;
  int32_t Type = 1, SubType = 1;
  int32_t PosID1 = 1, SubPosID11 = 0, SubPosID12 = 0, PosID2 = 0, SubPosID21 = 0, SubPosID22 = 0;
  int32_t Kind = 0;
  std::array<std::pair<int32_t, int32_t>, 4> Statuses{};  // type, value
  std::array<TRequire, 4> Requires{};
  int32_t MotionTypeID1 = 0, MotionTypeID2 = 0, MotionTypeID3 = 0;
  uint32_t NameColor = 1;
  int32_t ItemLvValue = 0, Red = 0, Green = 0, Blue = 0;
  std::array<int32_t, 4> Effects{};
};

// One row of "DATA/LDT/BEAUTY_SHOP.LDT".
struct TBasicRow {
  int32_t ID = 0;
  int32_t Gender = 0, ServiceType = 0, CategoryIndex = 0;
  std::string Name;
  int32_t PositionIndex = 0, ItemID = 0, RequireItem1 = 0, RequireItem2 = 0, PosID = 0;
};

// One row of "DATA/LDT/MOTIONTYPE.LDT": ID = job * 1000 + motion type, and
// the animation names by animation kind.
struct TMotionRow {
  int32_t ID = 0;
  std::map<int32_t, std::string> Animations;
};

// `WithNameColor` false leaves the optional "_NameColor" column out.
std::vector<uint8_t> WriteItemTable(const std::vector<TItemRow>& Rows, bool WithNameColor = true);
// `PartsIndex` names the category column "_PartsIndex", as older clients do.
std::vector<uint8_t> WriteBeautyShopTable(const std::vector<TBasicRow>& Rows, bool PartsIndex = false);
// Every animation column (the emoticon column aside) unless `Columns` names
// the animation kinds to give columns to.
std::vector<uint8_t> WriteMotionTable(const std::vector<TMotionRow>& Rows, const std::vector<int32_t>* Columns = nullptr);
// A table of one text column: skill motions, global resources, strings, effects.
std::vector<uint8_t> WriteTextTable(const std::string& Column, const std::vector<std::pair<int32_t, std::string>>& Rows);

// The files of a client, by archive (0 "AJJIYA.SPF" ... 4 "ROWID.SPF").
class TClientWriter {
 public:
  static constexpr int kRowid = 4;

  // Adds a file, replacing one of the same name in that archive. Data tables
  // belong in ROWID.SPF, where the loader reads them.
  void Add(const std::string& Name, std::vector<uint8_t> Bytes, int Archive = kRowid);
  void SetVersion(int Archive, int32_t Version) { FVersions[static_cast<size_t>(Archive)] = Version; }

  // Adds an empty manifest and an empty version of every data table the
  // loader reads, for those not added yet: the smallest client that loads.
  void AddMinimalTables();

  // Writes the five archives into the existing folder `Dir`.
  void Write(const std::string& Dir) const;
  // Writes archive `Archive` alone (0 "AJJIYA.SPF" ... 4 "ROWID.SPF").
  void WriteArchive(const std::string& Dir, int Archive) const;

 private:
  struct TFile {
    std::string Name;
    std::vector<uint8_t> Bytes;
  };
  std::array<std::vector<TFile>, 5> FFiles;
  std::array<int32_t, 5> FVersions{};
};

}  // namespace varune
