#pragma once
// The settings file's sections "Form", "Chara" and "Data" as the main window
// keeps them between runs: what is read with which default, and what is
// written in which order. The window applies the values; the order of the
// outfit's restore matters (the gender refills the selectors that the
// appearance values then select from), so it stays with the window.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/geometry.h"
#include "database/types.h"

namespace varune {

class TChara;
class TIniFile;

// The main window's outer placement as "Form" holds it: the frame's top-left
// corner and the size with the frame.
struct TFormPlacement {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TFormPlacement&, const TFormPlacement&) = default;
};

// The file measures sizes with the frame of the platform the program was
// designed on (design client area 734 x 496, minimum window 750 x 534).
// Window managers draw frames of every size; converting with these fixed
// amounts lets a size go round the file unchanged whatever the frame, and
// keeps files written on Windows meaning the same window.
inline constexpr int32_t kFormFrameWidth = 16;
inline constexpr int32_t kFormFrameHeight = 38;
inline constexpr int32_t kFormMinWidth = 750;
inline constexpr int32_t kFormMinHeight = 534;

// "Left", "Top", "Width" and "Height" of `Section` ("Form" for the main
// window, "Palette" for the favourites window), each defaulting to the
// value of `Current`; written with "Left" and "Top" only when
// `PositionKnown`: a window system that cannot report positions must not
// overwrite the last real ones.
TFormPlacement ReadPlacement(const TIniFile& Ini, const std::string& Section, const TFormPlacement& Current);
void WritePlacement(TIniFile& Ini, const std::string& Section, const TFormPlacement& Placement, bool PositionKnown);

// `Restored`, or `Default` when it is smaller than the minimum size or no
// rectangle of `Screens` (the screens' available areas) shows enough of it
// to take hold of. An empty `Screens` checks the size alone.
TFormPlacement UsablePlacement(const TFormPlacement& Restored, const TFormPlacement& Default,
                               const std::vector<TRect>& Screens, int32_t MinWidth = kFormMinWidth,
                               int32_t MinHeight = kFormMinHeight);
// The main window's rule on top of that: a placement partly outside every
// screen area (a monitor taken away, another scale) is moved, and shrunk if
// it must, inside the area it overlaps most, or the nearest one when it
// overlaps none. One that an area holds whole, or no areas, leave it as it is.
TFormPlacement FitOnNearestScreen(const TFormPlacement& Placement, const std::vector<TRect>& Screens);

// "Chara": the outfit, with the record IDs the appearance selectors had
// selected (-1 for none) and the track bars' positions.
struct TOutfitSettings {
  int32_t Gender = gtMale;
  int32_t Job = 1;
  std::array<int32_t, kSlotCount> EquipIDs;  // positions 1 to 16
  int32_t Hair = -1;
  int32_t HairColor = -1;
  int32_t Face = -1;
  int32_t EyeColor = -1;
  int32_t Body = -1;
  int32_t Tops = 0;
  int32_t Bottom = 0;

  TOutfitSettings() { EquipIDs.fill(-1); }
};

// The defaults are the character's current gender and the track bars'
// current positions in `Current`, 1 for "Job" and -1 for the rest.
TOutfitSettings ReadOutfitSettings(const TIniFile& Ini, const TOutfitSettings& Current);
// "Gender", "Pos1" to "Pos16", "Job", the five selectors, "Tops", "Bottom".
void WriteOutfitSettings(TIniFile& Ini, const TOutfitSettings& Outfit);

// The character's part of the outfit: gender, job and the equipped IDs.
TOutfitSettings CharaOutfit(const TChara& Chara);
// Gender (0 or 1 only), job (the table's only), then positions 1 to 16 in
// order; unknown IDs leave their position empty.
void RestoreCharaOutfit(TChara& Chara, const TOutfitSettings& Outfit);

// "Data" as the window writes it at exit; without a `ClientPath` that key
// keeps what it held.
void WriteDataSettings(TIniFile& Ini, bool CacheMode, bool DisableCheck, const std::optional<std::string>& ClientPath);

// "Language" of "Data": the interface language the user chose, "ja" or "en"
// (true for Japanese); nullopt, the locale deciding, when the key is absent
// or holds anything else. Writing nullopt leaves the key as it is.
std::optional<bool> ReadLanguageSetting(const TIniFile& Ini);
void WriteLanguageSetting(TIniFile& Ini, std::optional<bool> Japanese);

}  // namespace varune
