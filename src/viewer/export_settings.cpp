#include "viewer/export_settings.h"

#include <algorithm>

#include "archive/text.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

constexpr char kSection[] = "Export";
constexpr char kView[] = "view";
constexpr char kCrop[] = "crop";

}  // namespace

TExportSettings CheckedExportSettings(TExportSettings Settings) {
  TPictureOptions& picture = Settings.Picture;
  picture.Scale = std::clamp(picture.Scale, 1, kMaxScale);
  picture.Padding = std::clamp(picture.Padding, 0, kMaxPadding);
  if (picture.Framing != fmCrop) picture.Framing = fmView;
  picture.StillFrame = false;
  return Settings;
}

TExportSettings ReadExportSettings(const TIniFile& Ini) {
  const TExportSettings defaults;
  TExportSettings settings;
  TPictureOptions& picture = settings.Picture;
  picture.Scale = Ini.ReadInteger(kSection, "Scale", defaults.Picture.Scale);
  picture.Framing = SameTextAscii(Ini.ReadString(kSection, "Framing", kView), kCrop) ? fmCrop : fmView;
  picture.Padding = Ini.ReadInteger(kSection, "Padding", defaults.Picture.Padding);
  picture.Flip = Ini.ReadBool(kSection, "Flip", defaults.Picture.Flip);
  settings.AllAnimations = Ini.ReadBool(kSection, "AllAnimations", defaults.AllAnimations);
  return CheckedExportSettings(settings);
}

void WriteExportSettings(TIniFile& Ini, const TExportSettings& Settings) {
  const TExportSettings checked = CheckedExportSettings(Settings);
  Ini.WriteInteger(kSection, "Scale", checked.Picture.Scale);
  Ini.WriteString(kSection, "Framing", checked.Picture.Framing == fmCrop ? kCrop : kView);
  Ini.WriteInteger(kSection, "Padding", checked.Picture.Padding);
  Ini.WriteBool(kSection, "Flip", checked.Picture.Flip);
  Ini.WriteBool(kSection, "AllAnimations", checked.AllAnimations);
}

}  // namespace varune
