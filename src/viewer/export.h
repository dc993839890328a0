#pragma once
// Exporting the character picture: BMP, JPEG, PNG, transparent PNG, animated
// GIF, animated PNG (opaque or transparent) and every frame as PNG. Exports
// draw into their own surfaces; the character's current frame never changes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/error.h"
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

// Called before each frame of an animated export and once when all are drawn
// (Done == Total); returning false cancels the export.
using TExportProgress = std::function<bool(int32_t Done, int32_t Total)>;

// A cancelled export; nothing was written.
class TExportCancelled : public Error {
 public:
  TExportCancelled();
};

// How many frames an export of `Format` draws: 1 for a still picture; for an
// animation every frame of the sequence, at least 1.
int32_t ExportFrameCount(const TChara& Chara, TExportFormat Format);

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                                   const TExportProgress& Progress = {});
// Replaces `FileName` as a whole: a failure or a cancel leaves any previous file as it was.
void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName,
                  const TExportProgress& Progress = {});

// The file of frame `Index` of an export of every frame: Dir/BaseName_000.png.
std::string FrameFileName(const std::string& Dir, const std::string& BaseName, int32_t Index);
// Writes the frame files, one per frame (one file of the current picture when
// the character has no frames); returns the paths. A failure or a cancel
// removes the files this call has written.
std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName,
                                      const TExportProgress& Progress = {});

}  // namespace varune
