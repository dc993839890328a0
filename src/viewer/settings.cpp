#include "viewer/settings.h"

#include <algorithm>
#include <string>

#include "character/chara.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

// How much of a window must show on one screen for a person to take hold of
// it and drag it back: a piece of its title bar at least.
constexpr int32_t kVisibleWidth = 100;
constexpr int32_t kVisibleHeight = 40;

// The part of the screen area the window covers; empty (or negative) when none.
TRect Overlap(const TFormPlacement& Window, const TRect& Screen) {
  return {std::max(Window.Left, Screen.Left), std::max(Window.Top, Screen.Top),
          std::min(Window.Left + Window.Width, Screen.Right), std::min(Window.Top + Window.Height, Screen.Bottom)};
}

bool ShowsEnough(const TFormPlacement& Window, const TRect& Screen) {
  const TRect shown = Overlap(Window, Screen);
  return shown.Width() >= kVisibleWidth && shown.Height() >= kVisibleHeight;
}

std::string PosKey(int32_t PosID) { return "Pos" + std::to_string(PosID); }

}  // namespace

TFormPlacement ReadPlacement(const TIniFile& Ini, const std::string& Section, const TFormPlacement& Current) {
  return {Ini.ReadInteger(Section, "Left", Current.Left), Ini.ReadInteger(Section, "Top", Current.Top),
          Ini.ReadInteger(Section, "Width", Current.Width), Ini.ReadInteger(Section, "Height", Current.Height)};
}

void WritePlacement(TIniFile& Ini, const std::string& Section, const TFormPlacement& Placement, bool PositionKnown) {
  if (PositionKnown) {
    Ini.WriteInteger(Section, "Left", Placement.Left);
    Ini.WriteInteger(Section, "Top", Placement.Top);
  }
  Ini.WriteInteger(Section, "Width", Placement.Width);
  Ini.WriteInteger(Section, "Height", Placement.Height);
}

TFormPlacement UsablePlacement(const TFormPlacement& Restored, const TFormPlacement& Default,
                               const std::vector<TRect>& Screens, int32_t MinWidth, int32_t MinHeight) {
  if (Restored.Width < MinWidth || Restored.Height < MinHeight) return Default;
  if (Screens.empty()) return Restored;
  const bool seen = std::any_of(Screens.begin(), Screens.end(),
                                [&](const TRect& screen) { return ShowsEnough(Restored, screen); });
  return seen ? Restored : Default;
}

TFormPlacement FitOnNearestScreen(const TFormPlacement& Placement, const std::vector<TRect>& Screens) {
  const auto overlap = [&](const TRect& screen) {
    const TRect shown = Overlap(Placement, screen);
    return shown.Empty() ? 0 : int64_t{shown.Width()} * shown.Height();
  };
  // Squared distance between the centres, doubled to stay in whole numbers.
  const auto distance = [&](const TRect& screen) {
    const int64_t dx = 2 * int64_t{Placement.Left} + Placement.Width - screen.Left - screen.Right;
    const int64_t dy = 2 * int64_t{Placement.Top} + Placement.Height - screen.Top - screen.Bottom;
    return dx * dx + dy * dy;
  };
  const TRect* nearest = nullptr;
  for (const TRect& screen : Screens) {
    if (overlap(screen) == int64_t{Placement.Width} * Placement.Height) return Placement;
    if (!nearest || overlap(screen) > overlap(*nearest) ||
        (overlap(screen) == overlap(*nearest) && distance(screen) < distance(*nearest)))
      nearest = &screen;
  }
  if (!nearest) return Placement;
  TFormPlacement fitted = Placement;
  fitted.Width = std::min(Placement.Width, nearest->Width());
  fitted.Height = std::min(Placement.Height, nearest->Height());
  fitted.Left = std::clamp(Placement.Left, nearest->Left, nearest->Right - fitted.Width);
  fitted.Top = std::clamp(Placement.Top, nearest->Top, nearest->Bottom - fitted.Height);
  return fitted;
}

TOutfitSettings ReadOutfitSettings(const TIniFile& Ini, const TOutfitSettings& Current) {
  TOutfitSettings outfit;
  outfit.Gender = Ini.ReadInteger("Chara", "Gender", Current.Gender);
  outfit.Job = Ini.ReadInteger("Chara", "Job", 1);
  for (int32_t pos = 1; pos <= kSlotCount; ++pos) outfit.EquipIDs[pos - 1] = Ini.ReadInteger("Chara", PosKey(pos), -1);
  outfit.Hair = Ini.ReadInteger("Chara", "Hair", -1);
  outfit.HairColor = Ini.ReadInteger("Chara", "HairColor", -1);
  outfit.Face = Ini.ReadInteger("Chara", "Face", -1);
  outfit.EyeColor = Ini.ReadInteger("Chara", "EyeColor", -1);
  outfit.Body = Ini.ReadInteger("Chara", "Body", -1);
  outfit.Tops = Ini.ReadInteger("Chara", "Tops", Current.Tops);
  outfit.Bottom = Ini.ReadInteger("Chara", "Bottom", Current.Bottom);
  return outfit;
}

void WriteOutfitSettings(TIniFile& Ini, const TOutfitSettings& Outfit) {
  Ini.WriteInteger("Chara", "Gender", Outfit.Gender);
  for (int32_t pos = 1; pos <= kSlotCount; ++pos) Ini.WriteInteger("Chara", PosKey(pos), Outfit.EquipIDs[pos - 1]);
  Ini.WriteInteger("Chara", "Job", Outfit.Job);
  Ini.WriteInteger("Chara", "Hair", Outfit.Hair);
  Ini.WriteInteger("Chara", "HairColor", Outfit.HairColor);
  Ini.WriteInteger("Chara", "Face", Outfit.Face);
  Ini.WriteInteger("Chara", "EyeColor", Outfit.EyeColor);
  Ini.WriteInteger("Chara", "Body", Outfit.Body);
  Ini.WriteInteger("Chara", "Tops", Outfit.Tops);
  Ini.WriteInteger("Chara", "Bottom", Outfit.Bottom);
}

TOutfitSettings CharaOutfit(const TChara& Chara) {
  TOutfitSettings outfit;
  outfit.Gender = Chara.Gender();
  outfit.Job = Chara.Job();
  for (int32_t pos = 1; pos <= kSlotCount; ++pos) outfit.EquipIDs[pos - 1] = Chara.GetEquipID(pos);
  return outfit;
}

void RestoreCharaOutfit(TChara& Chara, const TOutfitSettings& Outfit) {
  // Anything else would not name a gender at all; the job setter refuses
  // numbers outside its table by itself.
  if (Outfit.Gender == gtMale || Outfit.Gender == gtFemale) Chara.SetGender(static_cast<TGenderType>(Outfit.Gender));
  Chara.SetJob(Outfit.Job);
  for (int32_t pos = 1; pos <= kSlotCount; ++pos) Chara.SetEquipID(pos, Outfit.EquipIDs[pos - 1]);
}

void WriteDataSettings(TIniFile& Ini, bool CacheMode, bool DisableCheck, const std::optional<std::string>& ClientPath) {
  Ini.WriteBool("Data", "CacheMode", CacheMode);
  Ini.WriteBool("Data", "DisableCheck", DisableCheck);
  if (ClientPath) Ini.WriteString("Data", "ClientPath", *ClientPath);
}

std::optional<bool> ReadLanguageSetting(const TIniFile& Ini) {
  const std::string language = Ini.ReadString("Data", "Language", "");
  if (language == "ja" || language == "en") return language == "ja";
  return std::nullopt;
}

void WriteLanguageSetting(TIniFile& Ini, std::optional<bool> Japanese) {
  if (Japanese) Ini.WriteString("Data", "Language", *Japanese ? "ja" : "en");
}

}  // namespace varune
