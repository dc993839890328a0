#pragma once
// A picture of the demo client as a person sees it: several outfits of both
// genders, each standing, walking and attacking, side by side.

#include <cstdint>
#include <vector>

#include "character/chara.h"

namespace varune::demo {

// One dressed character: gender, job, base parts and equipment by
// appearance (category, number, colour).
struct TOutfit {
  struct TLook {
    int32_t Category, Num, ColorID;
  };
  TGenderType Gender = gtMale;
  int32_t Job = 1;
  std::vector<TLook> Base;
  std::vector<TLook> Equipment;
};

// Outfits that show off the demo client.
const std::vector<TOutfit>& ShowcaseOutfits();

// Dresses the character; looks the database lacks are left out.
void Dress(TChara& Chara, const TVaruneDatabase& Database, const TOutfit& Outfit);

// One row per outfit: standing, four steps of the walk and four frames of
// an attack, enlarged twice, on a light background.
TBitmap32 RenderContactSheet(TVaruneDatabase& Database);

}  // namespace varune::demo
