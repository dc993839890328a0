#pragma once
// Sprite sheets: every frame of an animation (or of all 96) packed into one
// picture, with frame data in the JSON layout animation tools and game
// engines read (Aseprite's "json-hash": frames by name in frame order, their
// rectangles and durations, and a tag per animation).

#include <cstdint>
#include <string>
#include <vector>

#include "character/chara.h"
#include "imaging/bitmap32.h"
#include "viewer/export.h"
#include "viewer/picture_options.h"
#include "viewer/view.h"

namespace varune {

// Frames per row; an animation with more wraps onto the next row.
inline constexpr int32_t kSheetColumns = 16;

struct TSheetFrame {
  TRect Rect;
  uint32_t DurationMs = 0;
};

// One animation's frames, From to To; an animation without frames has To == From - 1.
struct TSheetTag {
  std::string Name;
  int32_t From = 0;
  int32_t To = -1;
};

struct TSpriteSheet {
  TBitmap32 Picture;
  bool Transparent = false;
  int32_t Scale = 1;
  std::vector<TSheetFrame> Frames;
  std::vector<TSheetTag> Tags;
};

// Draws the sheet of the character's current animation, or with
// `AllAnimations` of every animation of its job and weapon, one row (or
// more) each. Frames share one size, in crop framing one box over all of
// them. The sheet's size is checked before anything is drawn.
TSpriteSheet MakeSpriteSheet(const TCharaView& View, const TChara& Chara, bool Transparent,
                             const TPictureOptions& Options, bool AllAnimations,
                             const TExportProgress& Progress = {});

// The sheet's data; frames are named "FrameName 0", "FrameName 1"... and
// `ImageName` is the picture's file name.
std::string SpriteSheetData(const TSpriteSheet& Sheet, const std::string& ImageName, const std::string& FrameName);

// The sheet's picture as a PNG file, with alpha when it was drawn transparent.
std::vector<uint8_t> SpriteSheetPng(const TSpriteSheet& Sheet);

// The data file beside a sheet's picture: OUT.png's OUT.json.
std::string SheetDataFileName(const std::string& PictureFile);

// Writes the picture as PNG and its data beside it; both are complete before
// either replaces a file.
void WriteSpriteSheet(const TSpriteSheet& Sheet, const std::string& PictureFile);

}  // namespace varune
