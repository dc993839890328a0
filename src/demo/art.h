#pragma once
// The demo figure's art: body, faces, hair, clothes, accessories and weapons,
// each part drawn around the joint of its layer (figure.h).

#include <cstdint>
#include <utility>
#include <vector>

#include "demo/figure.h"
#include "demo/pixel_art.h"

namespace varune::demo {

// The drawn cells of one item and which sprite cell IDs of which layers show
// them. Several IDs may show the same drawing.
struct TArt {
  struct TLayerCells {
    int32_t Layer = 0;
    std::vector<std::pair<int32_t, int32_t>> Cells;  // cell ID, index into Drawn
  };
  std::vector<TCell> Drawn;
  std::vector<TLayerCells> Layers;

  int32_t Add(TCell Cell) {
    Drawn.push_back(std::move(Cell));
    return static_cast<int32_t>(Drawn.size()) - 1;
  }
  // A layer showing one drawing as cell 0.
  void Single(int32_t Layer, TCell Cell) { Layers.push_back({Layer, {{0, Add(std::move(Cell))}}}); }
  // The drawing that best stands for the item (its icon).
  int32_t MainIndex = -1;
};

// Three colours a design is painted in.
struct TColors {
  uint32_t Main = 0, Second = 0, Accent = 0;
};

enum TGenderArt { gaMale, gaFemale };

inline constexpr int32_t kSkinTones = 4;
inline constexpr int32_t kHairColors = 5;
inline constexpr int32_t kEyeColors = 5;
inline constexpr int32_t kFaceDesigns = 3;
inline constexpr int32_t kHairStyles = 7;  // the seventh is offered by no beauty-shop record

extern const uint32_t SkinTones[kSkinTones];
extern const uint32_t HairColors[kHairColors];
extern const uint32_t EyeColors[kEyeColors];

// Base appearance.
TArt DrawBody(int32_t Tone);
TArt DrawFace(TGenderArt Gender, int32_t Design, int32_t EyeColor);
TArt DrawHair(TGenderArt Gender, int32_t Style, int32_t Color);

// Clothes and accessories; `Design` picks the shape within the kind.
enum TWearKind {
  wkHat, wkGlasses, wkEarrings, wkTops, wkBottoms, wkCloak, wkGloves, wkBoots, wkStockings, wkMakeup, wkStone, wkRing,
  wkBackWeapon, wkBackShield,
};
TArt DrawWear(TWearKind Kind, int32_t Design, const TColors& Colors);
// Number of designs of each kind.
int32_t WearDesignCount(TWearKind Kind);

// Hat designs whose categories switch the back hair or hide it.
enum THatDesign { hdCap, hdRibbon, hdHood, hdWitch, hdCatEars, hdHelmet, hdFlowers, hdBeret, hdCount };

// Weapons by weapon kind (1 to 27; 12 is the shield, 23 the rogue knife
// held in the off hand). `Variant` changes proportions and trim.
TArt DrawWeapon(int32_t Kind, int32_t Variant, const TColors& Colors);

}  // namespace varune::demo
