#pragma once
// The database: everything the viewer knows of one game client, loaded once
// from the folder that holds its five archives and then only read.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/spf.h"
#include "database/lists.h"
#include "database/resources.h"
#include "formats/tbl.h"

namespace varune {

class TLdt;

class TVaruneDatabase {
 public:
  TVaruneDatabase();
  ~TVaruneDatabase();
  TVaruneDatabase(const TVaruneDatabase&) = delete;
  TVaruneDatabase& operator=(const TVaruneDatabase&) = delete;

  // Gender-restricted equipment listed for both genders; set before LoadPath.
  bool GenderFree() const { return FGenderFree; }
  void SetGenderFree(bool Value) { FGenderFree = Value; }

  // Loads the client whose archives lie in the folder `APath`. The archives
  // are first checked for other processes holding them (the running game)
  // unless `Check` is scAlreadyChecked: a folder private to the caller.
  void LoadPath(const std::string& APath, TShareCheck Check = scExclusive);
  const std::string& Path() const { return FPath; }

  // Equipment of a gender and slot (PosID 1 to 16), sorted.
  const TVaruneItemList& GetSpec(TGenderType Gender, int32_t PosID) const;
  // The sprite entry with that ID from the first table holding it, or null.
  const TTblItem* GetTableDataByID(std::string_view ID) const;

  const TVaruneItemList& ItemList() const { return FItemList; }
  const TVaruneItemList& GetHairList(TGenderType Gender) const { return FHairList[GenderSlot(Gender)]; }
  const TVaruneItemList& GetFaceList(TGenderType Gender) const { return FFaceList[GenderSlot(Gender)]; }
  const TVaruneItemList& Bodies() const { return FBodyList; }
  const TVaruneItemList& GetTopsList(TGenderType Gender) const { return FTopsList[GenderSlot(Gender)]; }
  const TVaruneItemList& GetBottomsList(TGenderType Gender) const { return FBottomsList[GenderSlot(Gender)]; }

  const TVaruneBasicList& BasicList() const { return FBasicList; }
  const TVaruneBasicList& GetBasicHairList(TGenderType Gender) const { return FBasicHairList[GenderSlot(Gender)]; }
  const TVaruneBasicList& BasicHairColors() const { return FBasicHairColorList; }
  const TVaruneBasicList& GetBasicFaceList(TGenderType Gender) const { return FBasicFaceList[GenderSlot(Gender)]; }
  const TVaruneBasicList& BasicEyeColors() const { return FBasicEyeColorList; }
  const TVaruneBasicList& BasicBodies() const { return FBasicBodyList; }

  const TVaruneMotionList& MotionList() const { return FMotionList; }
  const TVaruneGlobalResList& GlobalResList() const { return FGlobalResList; }
  const TVaruneGlobalStringList& GlobalStringList() const { return FGlobalStringList; }
  const TVaruneSkillMotionList& SkillMotionList() const { return FSkillMotionList; }
  const TVaruneEffectList& EffectList() const { return FEffectList; }
  const std::vector<std::unique_ptr<TTbl>>& TblList() const { return FTblList; }

  TSpfManager& SpfManager() { return FSpfManager; }
  TBitmap32Manager& CharaManager() { return FCharaManager; }
  TIconManager& IconManager() { return FIconManager; }
  TUIManager& UIManager() { return FUIManager; }
  TSequenceManager& SequenceManager() { return FSequenceManager; }

 private:
  // Index of a gender into the per-gender lists; other values are refused.
  static size_t GenderSlot(TGenderType Gender);

  void LoadCharacterTables();
  class TLookSet;
  void ReadItemTable(const TSpf& Rowid, TLdt& Table, std::string_view Name, TLookSet& Looks);
  void ReadBeautyShopTable(const TSpf& Rowid, TLdt& Table);
  void ReadMotionTable(const TSpf& Rowid, TLdt& Table);
  template <class TRecord, class TList>
  void ReadSingleColumnTable(const TSpf& Rowid, TLdt& Table, std::string_view Name, std::string_view Column,
                             std::string TRecord::*Field, TList& List);
  void FillNameTables() const;

  bool FGenderFree = false;
  std::string FPath;
  // Owning lists come first so that they outlive the lists referring to them.
  TVaruneItemList FItemList{true};
  TVaruneBasicList FBasicList{true};
  TSpfManager FSpfManager;
  std::vector<std::unique_ptr<TTbl>> FTblList;
  // Every sprite entry of the tables by ID, the first table holding an ID
  // winning: dressing asks for each layer of each part, mostly in vain, and
  // one lookup beats one per table.
  std::unordered_map<std::string_view, const TTblItem*, CaseInsensitiveHash, CaseInsensitiveEqual> FTableIndex;
  TVaruneMotionList FMotionList;
  TVaruneGlobalResList FGlobalResList;
  TVaruneGlobalStringList FGlobalStringList;
  TVaruneSkillMotionList FSkillMotionList;
  TVaruneEffectList FEffectList;
  TBitmap32Manager FCharaManager{FSpfManager};
  TIconManager FIconManager{FSpfManager};
  TUIManager FUIManager{FSpfManager};
  TSequenceManager FSequenceManager{FSpfManager};
  std::array<std::array<TVaruneItemList, kSlotCount>, kGenderCount> FSpecs;
  std::array<TVaruneItemList, kGenderCount> FHairList;
  std::array<TVaruneItemList, kGenderCount> FFaceList;
  TVaruneItemList FBodyList;
  std::array<TVaruneItemList, kGenderCount> FTopsList;
  std::array<TVaruneItemList, kGenderCount> FBottomsList;
  std::array<TVaruneBasicList, kGenderCount> FBasicHairList;
  TVaruneBasicList FBasicHairColorList;
  std::array<TVaruneBasicList, kGenderCount> FBasicFaceList;
  TVaruneBasicList FBasicEyeColorList;
  TVaruneBasicList FBasicBodyList;
};

// The appearance key of an item: "%.4d_%.3d_%.2d" of category, number and colour.
std::string AppearanceKey(int32_t Category, int32_t Num, int32_t ColorID);

}  // namespace varune
