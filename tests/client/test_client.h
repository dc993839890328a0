#pragma once
// A small client for character tests: base parts and equipment of both
// genders, motions that weapons and shields switch between, sequences whose
// layers use cells of one sheet, each cell a 4 x 4 block of its own colour.

#include <map>
#include <memory>
#include <string>

#include "database/database.h"
#include "support/temp_dir.h"

namespace varune::test {

// Item IDs of the client.
enum : int32_t {
  kHairMale = 1301001, kHairMale2 = 1301002, kFaceMale = 1401001, kBody = 1501001, kTopsMale = 205001,
  kBottomsMale = 302001, kHairFemale = 1302001, kFaceFemale = 1402001, kTopsFemale = 209001,
  kBottomsFemale = 303001,
  kHatPlain = 100, kHatHidingHair = 101, kHatSecondHairSet = 102, kTop = 103, kBottom = 104, kSword = 105,
  kGreatSword = 106, kShield = 107, kRogueKnife = 108, kFemaleGlasses = 109, kJob2Ring = 110,
};

// Layers the stand sequence uses, first drawn last.
inline constexpr int32_t kLayerHat = 20, kLayerTops = 5, kLayerBottoms = 12, kLayerBody = 3, kLayerHair = 23,
                         kLayerFace = 24, kLayerWeapon = 30, kLayerGlasses = 21;

// The ground shadow: a 64 x 32 picture of one half-transparent colour.
inline constexpr TColor32 kShadowColor = 0x80102030;

class TTestClient {
 public:
  TTestClient();

  const std::string& Path() const { return FDir.Path(); }
  // A loaded database over the client.
  std::unique_ptr<TVaruneDatabase> Load() const;

  // The colour of the cell an item shows on a layer at image ID `Cell`.
  static TColor32 CellColor(int32_t Layer, int32_t ItemID, int32_t Cell);

 private:
  TempDir FDir;
};

}  // namespace varune::test
