#include "database/database.h"

#include <sys/stat.h>

#include <memory_resource>
#include <unordered_set>

#include "archive/error.h"
#include "archive/text.h"
#include "database/language.h"
#include "formats/ldt.h"

namespace varune {
namespace {

constexpr const char* kCharLayerFolder = "DATA/CHAR/CHARLAYER/";
constexpr int32_t kBeautyHairFemaleFrom = 130200000;
constexpr int32_t kBeautyFaceFemaleFrom = 140200000;

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Plain decimal with an optional sign and surrounding blanks; anything else,
// and values outside 64 bits, read as 0.
int64_t ParseInt64(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (negative || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return 0;
  // The magnitude may reach 2^63 for a negative value only.
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  uint64_t magnitude = 0;
  for (const char c : text) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (digit > 9 || __builtin_mul_overflow(magnitude, 10, &magnitude) ||
        __builtin_add_overflow(magnitude, digit, &magnitude))
      return 0;
  }
  if (magnitude > kLimit || (!negative && magnitude == kLimit)) return 0;
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

// A requirement value: the cell's text as a 64-bit integer. Digits are the
// same in every code page, so text cells are parsed from their raw bytes.
int64_t RequireValue(const TLdt& Table, int32_t Column, int32_t Row) {
  if (Table.ColumnType(Column) == 1) return ParseInt64(Table.GetDataAsType1Raw(Column, Row));
  return ParseInt64(Table.GetData(Column, Row));
}

// Column positions of one table, found by name.
class TColumnFinder {
 public:
  TColumnFinder(const TLdt& Table, std::string_view TableName) : FTable(Table), FTableName(TableName) {}

  // A column the table must have.
  int32_t Required(std::string_view Name) const {
    const int32_t column = FTable.IndexOfColumn(Name);
    if (column < 0)
      throw Error(Sprintf("データテーブル %.*s に列 %.*s がありません", static_cast<int>(FTableName.size()),
                          FTableName.data(), static_cast<int>(Name.size()), Name.data()));
    return column;
  }
  int32_t Optional(std::string_view Name) const { return FTable.IndexOfColumn(Name); }

 private:
  const TLdt& FTable;
  std::string_view FTableName;
};

struct TItemColumns {
  int32_t Category, Num, ColorID, Name, Description, Icon, IconIndex, CashCheck, Type, SubType, PosID1, SubPosID11,
      SubPosID12, PosID2, SubPosID21, SubPosID22, Kind;
  std::array<int32_t, 4> StatusType, StatusValue, RequireType, RequireID, RequireValue1, RequireValue2, EffectID;
  int32_t MotionTypeID1, MotionTypeID2, MotionTypeID3, NameColor, ItemLvValue, Red, Green, Blue;

  explicit TItemColumns(const TColumnFinder& find) {
    Category = find.Required("_Category");
    Num = find.Required("_Num");
    ColorID = find.Required("_ColorID");
    Name = find.Required("_Name");
    Description = find.Required("_Description");
    Icon = find.Required("_Icon");
    IconIndex = find.Required("_IconIndex");
    CashCheck = find.Required("_CashCheck");
    Type = find.Required("_Type");
    SubType = find.Required("_SubType");
    PosID1 = find.Required("_PosID1");
    SubPosID11 = find.Required("_SubPosID11");
    SubPosID12 = find.Required("_SubPosID12");
    PosID2 = find.Required("_PosID2");
    SubPosID21 = find.Required("_SubPosID21");
    SubPosID22 = find.Required("_SubPosID22");
    Kind = find.Required("_Kind");
    for (int i = 0; i < 4; ++i) {
      StatusType[i] = find.Required("_StatusType" + std::to_string(i + 1));
      StatusValue[i] = find.Required("_StatusValue" + std::to_string(i + 1));
    }
    for (int i = 0; i < 4; ++i) {
      const std::string prefix = "_Require" + std::to_string(i + 1);
      RequireType[i] = find.Required(prefix + "_Type");
      RequireID[i] = find.Required(prefix + "_ID");
      RequireValue1[i] = find.Required(prefix + "_Value1");
      RequireValue2[i] = find.Required(prefix + "_Value2");
    }
    MotionTypeID1 = find.Required("_MotionTypeID1");
    MotionTypeID2 = find.Required("_MotionTypeID2");
    MotionTypeID3 = find.Required("_MotionTypeID3");
    NameColor = find.Optional("_NameColor");
    ItemLvValue = find.Required("_ItemLvValue");
    Red = find.Required("_Red");
    Green = find.Required("_Green");
    Blue = find.Required("_Blue");
    for (int i = 0; i < 4; ++i) EffectID[i] = find.Required("_EffectID" + std::to_string(i + 1));
  }
};

// The gender the loader lists equipment under: the first requirement not in
// use ends the search with 0, unlike IsUsableGender which skips it.
int32_t RequiredGender(const TVaruneItem& Item) {
  for (const TVaruneRequire& require : Item.FRequires) {
    if (require.Use == 0) return 0;
    if (require.ID == kRequireGender) return static_cast<int32_t>(require.Value1);
  }
  return 0;
}

}  // namespace

// The looks of the battle items read so far, by the three numbers of their
// appearance key: the first row with a look is kept. A battle item makes one
// node each, so the nodes come from one growing buffer.
class TVaruneDatabase::TLookSet {
 public:
  // False when the look was already there.
  bool Insert(int32_t Category, int32_t Num, int32_t ColorID) { return FSet.insert({Category, Num, ColorID}).second; }

 private:
  struct TLook {
    int32_t Category, Num, ColorID;
    bool operator==(const TLook&) const = default;
  };
  struct THash {
    size_t operator()(const TLook& Look) const {
      uint64_t h = static_cast<uint32_t>(Look.Category) * 0x9E3779B97F4A7C15ull;
      h ^= static_cast<uint32_t>(Look.Num) * 0xC2B2AE3D27D4EB4Full;
      h ^= static_cast<uint32_t>(Look.ColorID) * 0x165667B19E3779F9ull;
      return static_cast<size_t>(h ^ (h >> 32));
    }
  };
  std::pmr::monotonic_buffer_resource FMemory;
  std::pmr::unordered_set<TLook, THash> FSet{&FMemory};
};

std::string AppearanceKey(int32_t Category, int32_t Num, int32_t ColorID) {
  std::string key;
  AppendZeroPadded(key, Category, 4);
  key += '_';
  AppendZeroPadded(key, Num, 3);
  key += '_';
  AppendZeroPadded(key, ColorID, 2);
  return key;
}

TVaruneDatabase::TVaruneDatabase() = default;

TVaruneDatabase::~TVaruneDatabase() {
  // Caches first: their objects may refer to nothing else, but they read
  // through the archive set.
  FCharaManager.Clear();
  FIconManager.Clear();
  FUIManager.Clear();
  FSequenceManager.Clear();
}

size_t TVaruneDatabase::GenderSlot(TGenderType Gender) {
  if (Gender != gtMale && Gender != gtFemale) throw Error(Sprintf("性別が不正です [%d]", Gender));
  return static_cast<size_t>(Gender);
}

const TVaruneItemList& TVaruneDatabase::GetSpec(TGenderType Gender, int32_t PosID) const {
  if (PosID < 1 || PosID > kSlotCount) throw Error(Sprintf("範囲外のPosIDです [%d]", PosID));
  return FSpecs[GenderSlot(Gender)][static_cast<size_t>(PosID - 1)];
}

const TTblItem* TVaruneDatabase::GetTableDataByID(std::string_view ID) const {
  const auto found = FTableIndex.find(ID);
  return found == FTableIndex.end() ? nullptr : found->second;
}

void TVaruneDatabase::LoadPath(const std::string& APath, TShareCheck Check) {
  if (!IsFolder(APath)) throw Error(Sprintf("存在しないパスです (%s)", APath.c_str()));
  FPath = APath;
  AddClientArchives(FSpfManager, FPath, Check);
  LoadCharacterTables();

  // Every data table comes from ROWID.SPF alone, through one reused table.
  // AddClientArchives has just made sure no other process holds it (or the
  // caller vouched for that).
  TSpf rowid;
  rowid.LoadFromFile(ClientArchivePaths(FPath).back(), scAlreadyChecked);
  TLdt table;
  {
    TLookSet looks;
    ReadItemTable(rowid, table, "DATA/LDT/ITEM_1.LDT", looks);
    ReadItemTable(rowid, table, "DATA/LDT/ITEM_2.LDT", looks);
  }
  // Once both tables are in: items equal in all three keys have no defined
  // order, so one sort gives what a sort after each table would.
  for (auto& genderLists : FSpecs)
    for (TVaruneItemList& list : genderLists) list.Sort();
  ReadBeautyShopTable(rowid, table);
  ReadMotionTable(rowid, table);
  ReadSingleColumnTable(rowid, table, "DATA/LDT/SKILL_MOTION.LDT", "_Motion", &TVaruneSkillMotion::FMotion,
                        FSkillMotionList);
  ReadSingleColumnTable(rowid, table, "DATA/LDT/GLOBAL_RES.LDT", "_FILENAME", &TVaruneGlobalRes::FFileName,
                        FGlobalResList);
  ReadSingleColumnTable(rowid, table, "DATA/LDT/GLOBAL_STRING.LDT", "_STRING", &TVaruneGlobalString::FText,
                        FGlobalStringList);
  ReadSingleColumnTable(rowid, table, "DATA/LDT/EFFECT.LDT", "_Name", &TVaruneEffect::FName, FEffectList);
  FillNameTables();
}

void TVaruneDatabase::LoadCharacterTables() {
  TMft manifest;
  const std::string manifestName = std::string(kCharLayerFolder) + "CHARACTER.MFT";
  const TSpfItemInfo* manifestInfo = FSpfManager.GetItem(manifestName);
  if (!manifestInfo) throw Error(Sprintf("ファイルが存在しません (%s)", manifestName.c_str()));
  manifest.LoadFromSpfInfo(manifestInfo);
  for (int32_t i = 0; i < manifest.Count(); ++i) {
    const std::string& entry = manifest.GetItem(i);
    const TSpfItemInfo* info = FSpfManager.GetItem(kCharLayerFolder + entry);
    if (!info) continue;
    auto table = std::make_unique<TTbl>(false);
    try {
      table->LoadFromSpfInfo(info);
    } catch (const Error&) {
      continue;
    }
    const size_t slash = entry.rfind('/');
    table->SetPath(kCharLayerFolder + (slash == std::string::npos ? std::string() : entry.substr(0, slash + 1)));
    FTblList.push_back(std::move(table));
  }
  // In table order, each table's entries from the first: the entry a search
  // of one table after the other finds.
  size_t entries = 0;
  for (const auto& table : FTblList) entries += static_cast<size_t>(table->Count());
  FTableIndex.reserve(entries);
  for (const auto& table : FTblList)
    for (int32_t i = 0; i < table->Count(); ++i) {
      const TTblItem& item = table->GetItem(i);
      FTableIndex.try_emplace(item.ID(), &item);
    }
}

void TVaruneDatabase::ReadItemTable(const TSpf& Rowid, TLdt& Table, std::string_view Name, TLookSet& Looks) {
  Table.LoadFromSpf(Rowid, Name);
  const TItemColumns col(TColumnFinder(Table, Name));
  for (int32_t row = 0; row < Table.RowCount(); ++row) {
    try {
      auto int3 = [&](int32_t column) { return Table.GetDataAsType3(column, row); };
      const int32_t posID1 = int3(col.PosID1), type = int3(col.Type), subType = int3(col.SubType);
      if (posID1 == 0) continue;
      if (type != kItemTypeEquipment && type != kItemTypeBasePart) continue;
      if (type == kItemTypeEquipment && subType == kSubTypeBattle &&
          !Looks.Insert(int3(col.Category), int3(col.Num), int3(col.ColorID)))
        continue;
      if (type == kItemTypeEquipment && subType != kSubTypeBattle && subType != kSubTypeFashion) continue;

      auto item = std::make_unique<TVaruneItem>(Table.GetIndex(row));
      item->FCategory = int3(col.Category);
      item->FNum = int3(col.Num);
      item->FColorID = int3(col.ColorID);
      item->FName = Table.GetDataAsType1(col.Name, row);
      item->FDescription = Table.GetDataAsType1(col.Description, row);
      item->FIcon = int3(col.Icon);
      item->FIconIndex = int3(col.IconIndex);
      item->FCashCheck = Table.GetDataAsType2(col.CashCheck, row);
      item->FType = type;
      item->FSubType = subType;
      item->FPosID1 = posID1;
      item->FSubPosID11 = int3(col.SubPosID11);
      item->FSubPosID12 = int3(col.SubPosID12);
      item->FPosID2 = int3(col.PosID2);
      item->FSubPosID21 = int3(col.SubPosID21);
      item->FSubPosID22 = int3(col.SubPosID22);
      item->FKind = int3(col.Kind);
      for (size_t i = 0; i < 4; ++i) {
        item->FStatuses[i] = {int3(col.StatusType[i]), int3(col.StatusValue[i])};
        item->FRequires[i] = {int3(col.RequireType[i]), int3(col.RequireID[i]),
                              RequireValue(Table, col.RequireValue1[i], row),
                              RequireValue(Table, col.RequireValue2[i], row)};
        item->FEffects[i] = int3(col.EffectID[i]);
      }
      item->FMotionTypeID1 = int3(col.MotionTypeID1);
      item->FMotionTypeID2 = int3(col.MotionTypeID2);
      item->FMotionTypeID3 = int3(col.MotionTypeID3);
      item->FItemLvValue = int3(col.ItemLvValue);
      if (col.NameColor >= 0 && Table.GetDataAsType2(col.NameColor, row) == 0)
        item->FNameColor = 0xFF000000;
      else
        item->FNameColor = Color32(static_cast<uint8_t>(int3(col.Red)), static_cast<uint8_t>(int3(col.Green)),
                                   static_cast<uint8_t>(int3(col.Blue)));

      TVaruneItem* record = item.get();
      FItemList.Add(std::move(item));
      if (type == kItemTypeEquipment) {
        // Slots outside 1 to 16 have no list: such an item stays in FItemList only.
        if (posID1 < 1 || posID1 > kSlotCount) continue;
        const auto slot = static_cast<size_t>(posID1 - 1);
        const int32_t gender = RequiredGender(*record);
        if (gender == 0 || gender == 1 || (gender == 2 && FGenderFree)) FSpecs[gtMale][slot].Add(record);
        if (gender == 0 || gender == 2 || (gender == 1 && FGenderFree)) FSpecs[gtFemale][slot].Add(record);
        continue;
      }
      switch (record->FCategory) {
        case kCategoryTopsMale: FTopsList[gtMale].Add(record); break;
        case kCategoryTopsFemale: FTopsList[gtFemale].Add(record); break;
        case kCategoryBottomsMale: FBottomsList[gtMale].Add(record); break;
        case kCategoryBottomsFemale: FBottomsList[gtFemale].Add(record); break;
        case kCategoryHairMale: FHairList[gtMale].Add(record); break;
        case kCategoryHairFemale: FHairList[gtFemale].Add(record); break;
        case kCategoryFaceMale: FFaceList[gtMale].Add(record); break;
        case kCategoryFaceFemale: FFaceList[gtFemale].Add(record); break;
        case kCategoryBody: FBodyList.Add(record); break;
        default: break;
      }
    } catch (const Error&) {
      // A row that cannot be read is left out; the rest of the table loads.
    }
  }
}

void TVaruneDatabase::ReadBeautyShopTable(const TSpf& Rowid, TLdt& Table) {
  constexpr std::string_view name = "DATA/LDT/BEAUTY_SHOP.LDT";
  Table.LoadFromSpf(Rowid, name);
  const TColumnFinder find(Table, name);
  const int32_t gender = find.Required("_Gender"), serviceType = find.Required("_ServiceType"),
                categoryIndex = find.Optional("_CategoryIndex") >= 0 ? find.Required("_CategoryIndex")
                                                                     : find.Required("_PartsIndex"),
                basicName = find.Required("_Name"), positionIndex = find.Required("_PositionIndex"),
                itemID = find.Required("_ItemID"), requireItem1 = find.Required("_RequireItem1"),
                requireItem2 = find.Required("_RequireItem2"), posID = find.Required("_PosID");
  for (int32_t row = 0; row < Table.RowCount(); ++row) {
    try {
      auto basic = std::make_unique<TVaruneBasic>(Table.GetIndex(row));
      basic->FGender = Table.GetDataAsType3(gender, row);
      basic->FServiceType = Table.GetDataAsType3(serviceType, row);
      basic->FCategoryIndex = Table.GetDataAsType3(categoryIndex, row);
      basic->FName = Table.GetDataAsType1(basicName, row);
      basic->FPositionIndex = Table.GetDataAsType3(positionIndex, row);
      basic->FItemID = Table.GetDataAsType3(itemID, row);
      basic->FRequireItem1 = Table.GetDataAsType3(requireItem1, row);
      basic->FRequireItem2 = Table.GetDataAsType3(requireItem2, row);
      basic->FPosID = Table.GetDataAsType3(posID, row);
      TVaruneBasic* record = basic.get();
      FBasicList.Add(std::move(basic));
      switch (record->FCategoryIndex) {
        case 1: FBasicHairList[record->FItemID < kBeautyHairFemaleFrom ? gtMale : gtFemale].Add(record); break;
        case 2: FBasicHairColorList.Add(record); break;
        case 3: FBasicFaceList[record->FItemID < kBeautyFaceFemaleFrom ? gtMale : gtFemale].Add(record); break;
        case 4: FBasicEyeColorList.Add(record); break;
        case 5: FBasicBodyList.Add(record); break;
        default: break;
      }
    } catch (const Error&) {
    }
  }
}

void TVaruneDatabase::ReadMotionTable(const TSpf& Rowid, TLdt& Table) {
  Table.LoadFromSpf(Rowid, "DATA/LDT/MOTIONTYPE.LDT");
  std::array<int32_t, kAnimationTypeCount> columns;
  for (size_t i = 0; i < columns.size(); ++i) columns[i] = Table.IndexOfColumn(MotionColumnNames[i]);
  for (int32_t row = 0; row < Table.RowCount(); ++row) {
    try {
      auto motion = std::make_unique<TVaruneMotion>(Table.GetIndex(row));
      for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i] >= 0) motion->FAnimations[i] = Table.GetDataAsType1(columns[i], row);
      FMotionList.Add(std::move(motion));
    } catch (const Error&) {
    }
  }
}

template <class TRecord, class TList>
void TVaruneDatabase::ReadSingleColumnTable(const TSpf& Rowid, TLdt& Table, std::string_view Name,
                                            std::string_view Column, std::string TRecord::*Field, TList& List) {
  Table.LoadFromSpf(Rowid, Name);
  const int32_t column = TColumnFinder(Table, Name).Required(Column);
  for (int32_t row = 0; row < Table.RowCount(); ++row) {
    try {
      auto record = std::make_unique<TRecord>(Table.GetIndex(row));
      (*record).*Field = Table.GetDataAsType1(column, row);
      List.Add(std::move(record));
    } catch (const Error&) {
    }
  }
}

void TVaruneDatabase::FillNameTables() const {
  // One pass over the strings; the first record of an ID counts, as lookups find it.
  std::array<const std::string*, kJobCount> names{}, requireNames{};
  std::array<const std::string*, kGenderCount> genders{};
  auto take = [](const std::string*& slot, const std::string& text) {
    if (!slot) slot = &text;
  };
  for (const TVaruneGlobalString* record : FGlobalStringList) {
    const int32_t id = record->FIndex;
    if (id > 20000 && id <= 20000 + kJobCount) take(names[static_cast<size_t>(id - 20001)], record->FText);
    if (id > 6000018 && id <= 6000018 + kJobCount) take(requireNames[static_cast<size_t>(id - 6000019)], record->FText);
    if (id == 1200001 || id == 1200002) take(genders[static_cast<size_t>(id - 1200001)], record->FText);
  }
  for (size_t job = 0; job < kJobCount; ++job) {
    JobNames[job] = names[job] ? *names[job] : std::string();
    JobRequireNames[job] = requireNames[job] ? *requireNames[job] : std::string();
  }
  for (size_t gender = 0; gender < kGenderCount; ++gender)
    if (genders[gender]) GenderNames[gender] = *genders[gender];
}

}  // namespace varune
