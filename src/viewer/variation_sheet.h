#pragma once
// Sheets of variations for wiki pages: the dressed character once per choice
// an appearance selector offers (every hair style, every eye colour...) or
// per colour of an equipped item, each cell named by the selector's text.

#include <cstdint>
#include <string>
#include <vector>

#include "character/chara.h"
#include "imaging/bitmap32.h"
#include "viewer/export.h"
#include "viewer/picture_options.h"
#include "viewer/picture_request.h"
#include "viewer/view.h"

namespace varune {

// One choice: the record it stands for, its caption and what it puts on
// (a base part, or with `Equip` an item); null puts nothing on.
struct TVariationChoice {
  int32_t ID = -1;
  std::string Name;
  const TVaruneItem* Item = nullptr;
  bool Equip = false;
};

// The choices of `Kind` for the character, in the selector's order, as the
// desktop program offers them for its gender and current appearance. For
// vaItem: every colour of item `ItemID` (same category and number in its
// slot's list). An unknown item is a varune::Error.
std::vector<TVariationChoice> VariationChoices(const TChara& Chara, TVariation Kind, int32_t ItemID = 0);

struct TVariationCell {
  TRect Rect;
  int32_t ID = -1;
  std::string Name;
};

struct TVariationSheet {
  TBitmap32 Picture;
  bool Transparent = false;
  TVariation Kind = vaHair;
  std::vector<TVariationCell> Cells;
};

// One cell per choice, up to kSheetColumns a row: the character wearing the
// choice, framed as `Options` say (one crop box over every cell), with the
// choice's name under it. The size is checked before anything is drawn.
TVariationSheet MakeVariationSheet(const TCharaView& View, const TChara& Chara, bool Transparent,
                                   const TPictureOptions& Options, TVariation Kind, int32_t ItemID = 0,
                                   const TExportProgress& Progress = {});

// The cells' rectangles, IDs and names as JSON.
std::string VariationSheetData(const TVariationSheet& Sheet, const std::string& ImageName);

// Writes the picture as PNG and, unless `DataFile` is empty, its data; both
// are complete before either replaces a file.
void WriteVariationSheet(const TVariationSheet& Sheet, const std::string& PictureFile, const std::string& DataFile);

}  // namespace varune
