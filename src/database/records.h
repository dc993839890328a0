#pragma once
// Records built from the rows of the game's data tables. The loader creates
// them; afterwards they never change, and everyone outside the database
// reaches them through const pointers.

#include <array>
#include <cstdint>
#include <string>

#include "database/types.h"
#include "imaging/bitmap32.h"

namespace varune {

class TBaseItem {
 public:
  explicit TBaseItem(int32_t AIndex = 0) : FIndex(AIndex) {}
  virtual ~TBaseItem() = default;

  // The row key of the record's table row.
  int32_t Index() const { return FIndex; }

  int32_t FIndex;
};

struct TVaruneStatus {
  int32_t SType = 0;
  int32_t Value = 0;
};
using TVaruneStatuses = std::array<TVaruneStatus, 4>;

struct TVaruneRequire {
  int32_t Use = 0;  // non-zero: the requirement is present
  int32_t ID = 0;   // 1 job, 2 gender; others are kept, not interpreted
  int64_t Value1 = 0;
  int64_t Value2 = 0;
};
using TVaruneRequires = std::array<TVaruneRequire, 4>;

inline constexpr int32_t kRequireJob = 1;
inline constexpr int32_t kRequireGender = 2;

using TVaruneEffects = std::array<int32_t, 4>;

// Base part categories (items of type 2).
inline constexpr int32_t kCategoryTopsMale = 205;
inline constexpr int32_t kCategoryTopsFemale = 209;
inline constexpr int32_t kCategoryBottomsMale = 302;
inline constexpr int32_t kCategoryBottomsFemale = 303;
inline constexpr int32_t kCategoryHairMale = 1301;
inline constexpr int32_t kCategoryHairFemale = 1302;
inline constexpr int32_t kCategoryFaceMale = 1401;
inline constexpr int32_t kCategoryFaceFemale = 1402;
inline constexpr int32_t kCategoryBody = 1501;

inline constexpr int32_t kItemTypeEquipment = 1;
inline constexpr int32_t kItemTypeBasePart = 2;
inline constexpr int32_t kSubTypeBattle = 1;
inline constexpr int32_t kSubTypeFashion = 2;

// A piece of equipment or a base part of the body.
class TVaruneItem : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;

  bool IsUsableGender(TGenderType AGender) const;
  // `ABitFlag` is the flag of one job (JobBitFlag).
  bool IsUsableJob(int64_t ABitFlag) const;
  // The slots the item takes when put on: its own, then up to two more (0
  // or another value outside 1 to 16 for none).
  std::array<int32_t, 3> Slots() const { return {FPosID1, FSubPosID11, FSubPosID12}; }

  int32_t FCategory = 0;
  int32_t FNum = 0;
  int32_t FColorID = 0;
  std::string FName;
  std::string FDescription;
  int32_t FIcon = 0;
  int32_t FIconIndex = 0;  // 1-based cell on the icon sheet; 0: no icon
  uint32_t FCashCheck = 0;
  int32_t FType = 0;
  int32_t FSubType = 0;
  int32_t FPosID1 = 0;
  int32_t FSubPosID11 = 0;
  int32_t FSubPosID12 = 0;
  int32_t FPosID2 = 0;
  int32_t FSubPosID21 = 0;
  int32_t FSubPosID22 = 0;
  int32_t FKind = 0;
  TVaruneStatuses FStatuses{};
  TVaruneRequires FRequires{};
  int32_t FMotionTypeID1 = 0;
  int32_t FMotionTypeID2 = 0;
  int32_t FMotionTypeID3 = 0;
  TColor32 FNameColor = 0;
  int32_t FItemLvValue = 0;
  TVaruneEffects FEffects{};
};

// A choice of the beauty shop.
class TVaruneBasic : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;

  int32_t FGender = 0;
  int32_t FServiceType = 0;
  int32_t FCategoryIndex = 0;  // 1 hair style, 2 hair colour, 3 face, 4 eye colour, 5 body
  std::string FName;
  int32_t FPositionIndex = 0;
  int32_t FItemID = 0;
  int32_t FRequireItem1 = 0;
  int32_t FRequireItem2 = 0;
  int32_t FPosID = 0;
};

// The animations of one job and motion type; ID = job * 1000 + motion type.
class TVaruneMotion : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;

  const std::string& GetAnimation(TAnimationType Index) const { return FAnimations[Index]; }

  std::array<std::string, kAnimationTypeCount> FAnimations;
};

class TVaruneGlobalRes : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;
  std::string FFileName;
};

class TVaruneGlobalString : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;
  std::string FText;
};

class TVaruneSkillMotion : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;
  std::string FMotion;
};

class TVaruneEffect : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;
  std::string FName;
};

}  // namespace varune
