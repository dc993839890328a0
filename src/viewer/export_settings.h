#pragma once
// The settings file's section "Export": the picture options the desktop
// program applies to every "Save As..." and to the clipboard, and whether a
// sprite sheet holds every animation. What the file holds is checked here:
// a value out of range is brought to the nearest one allowed, one that does
// not read is the default, so that a file edited by hand never makes a
// picture the dialog could not.

#include "viewer/picture_options.h"

namespace varune {

class TIniFile;

struct TExportSettings {
  // Scale, framing, padding and flip; a still frame is never kept.
  TPictureOptions Picture;
  bool AllAnimations = false;

  friend bool operator==(const TExportSettings&, const TExportSettings&) = default;
};

// "Scale" (1 to 8), "Framing" ("view" or "crop"), "Padding" (0 to 64),
// "Flip", "AllAnimations"; the defaults give the picture the view shows.
TExportSettings ReadExportSettings(const TIniFile& Ini);
void WriteExportSettings(TIniFile& Ini, const TExportSettings& Settings);

// `Settings` with every value in its range (what the file, or a caller, may get wrong).
TExportSettings CheckedExportSettings(TExportSettings Settings);

}  // namespace varune
