#pragma once
// Exporting the character picture: BMP, JPEG, PNG, transparent PNG, animated
// GIF, animated PNG (opaque or transparent) and every frame as PNG. Exports
// draw into their own surfaces; the character's current frame never changes.

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/view.h"

namespace varune {

enum TExportFormat {
  xfBmp,               // 24-bit
  xfJpeg,              // quality 100
  xfPng,               // 8-bit RGB, the picture as shown
  xfTransparentPng,    // 8-bit RGBA, the character alone
  xfGif,               // every frame, 256 colours each
  xfApng,              // every frame, as shown
  xfTransparentApng,   // every frame, the character alone
};

// The usual file extension of a format (".bmp", ".jpg", ".png", ".gif", ".apng").
const char* ExportExtension(TExportFormat Format);
// The format an extension stands for (case-insensitive); false when none.
bool ExportFormatOf(const std::string& Extension, bool Transparent, TExportFormat& Format);
// `FileName` with its extension (whatever it is) replaced by `Extension`.
std::string WithExtension(const std::string& FileName, const std::string& Extension);

// The GIF delay of a frame: its time in hundredths, at least 1.
uint16_t GifDelay(uint32_t FrameTimeMs);

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format);
void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName);

// Writes Dir/BaseName_000.png, _001.png ... one per frame (one file of the
// current picture when the character has no frames); returns the paths.
std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName);

}  // namespace varune
