#pragma once
// Favourite items: the list the star of the main window adds to and takes
// from, its file "fav.dat" (one record ID per line, CR LF), the placement of
// the favourites window in section "Palette" of the settings, and the two
// star pictures. Beside them the items recently put on, in "recent.dat" of
// the same format.

#include <cstdint>
#include <string>

#include "database/lists.h"
#include "imaging/bitmap32.h"
#include "viewer/settings.h"

namespace varune {

class TIniFile;

// Appends to `Favorites` the items of `Items` named by the lines of the file
// `FileName`, in file order. Empty lines, lines that are not a decimal
// integer and IDs `Items` does not hold are skipped; lines may end in CR LF
// or LF alone. A missing file adds nothing.
void ReadFavorites(const std::string& FileName, const TVaruneItemList& Items, TVaruneItemList& Favorites);
// One record ID per line, each ended by CR LF; empty for an empty list.
std::string FavoritesText(const TVaruneItemList& Favorites);
// Replaces the file as a whole; raises varune::Error when it cannot be written.
void WriteFavorites(const std::string& FileName, const TVaruneItemList& Favorites);

// Whether an entry has `ID`.
bool IsFavorite(const TVaruneItemList& Favorites, int32_t ID);
// Appends `Item` when no entry has its ID, else deletes the first entry that has.
void ToggleFavorite(TVaruneItemList& Favorites, const TVaruneItem& Item);

// The recently worn list: newest first, each item once, at most kRecentCount.
inline constexpr int32_t kRecentCount = 50;
// Puts `Item` first, taking out its older entry and the entries past the count.
void NoteWorn(TVaruneItemList& Recent, const TVaruneItem& Item);
// ReadFavorites, then the list's own rules: the first entry of an item kept,
// the count at most kRecentCount.
void ReadRecent(const std::string& FileName, const TVaruneItemList& Items, TVaruneItemList& Recent);

// "Palette": the favourites window's outer placement and whether it is
// shown at start, each defaulting to `Current`.
struct TPaletteSettings {
  TFormPlacement Placement;
  bool Visible = false;
};
TPaletteSettings ReadPaletteSettings(const TIniFile& Ini, const TPaletteSettings& Current);
// "Left" and "Top" only when `PositionKnown`.
void WritePaletteSettings(TIniFile& Ini, const TPaletteSettings& Palette, bool PositionKnown);

// The favourites window's design client area and the smallest outer size it
// is restored at; a smaller or lost placement falls back to the default.
inline constexpr int32_t kPaletteClientWidth = 240;
inline constexpr int32_t kPaletteClientHeight = 300;
inline constexpr int32_t kPaletteMinWidth = 100;
inline constexpr int32_t kPaletteMinHeight = 80;

// The star of the selected item: yellow for a favourite, grey otherwise,
// kStarSize square with transparent surroundings, drawn by blending.
inline constexpr int32_t kStarSize = 18;
TBitmap32 StarPicture(bool Favorite);

}  // namespace varune
