#pragma once
// Exporting the character picture: BMP, JPEG, PNG, transparent PNG, animated
// GIF, animated PNG and animated WebP (opaque or transparent) and every frame
// as PNG, each framed and sized by its picture options. Exports draw into
// their own surfaces; the character's current frame never changes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/error.h"
#include "viewer/picture_options.h"
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
  xfWebp,              // every frame, lossless, as shown
  xfTransparentWebp,   // every frame, lossless, the character alone
};

// The formats that hold every frame of the animation.
bool IsAnimatedFormat(TExportFormat Format);
bool IsTransparentFormat(TExportFormat Format);

// The usual file extension of a format (".bmp", ".jpg", ".png", ".gif", ".apng", ".webp").
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

// The frames of the character an export of `Format` holds, in order: the
// current one for a still picture (or a still animated file); every frame
// of the sequence for an animation, the current picture when it has none.
std::vector<int32_t> ExportedFrames(const TChara& Chara, TExportFormat Format, const TPictureOptions& Options = {});
int32_t ExportFrameCount(const TChara& Chara, TExportFormat Format, const TPictureOptions& Options = {});

// Draws `Frames` as `Options` frame them, after measuring all of them and
// checking the picture's size; `Add` takes each finished frame and its
// index in `Frames`.
void DrawFramedFrames(const TCharaView& View, const TChara& Chara, bool Transparent, const TPictureOptions& Options,
                      const std::vector<int32_t>& Frames, const TExportProgress& Progress,
                      const std::function<void(const TBitmap32& Picture, int32_t Index)>& Add);

// The current frame as a still export holds it, before encoding: what the
// clipboard gets.
TBitmap32 StillPicture(const TCharaView& View, const TChara& Chara, bool Transparent,
                       const TPictureOptions& Options = {});

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                                   const TPictureOptions& Options = {}, const TExportProgress& Progress = {});
// Replaces `FileName` as a whole: a failure or a cancel leaves any previous file as it was.
void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName,
                  const TPictureOptions& Options = {}, const TExportProgress& Progress = {});

// The file of frame `Index` of an export of every frame: Dir/BaseName_000.png.
std::string FrameFileName(const std::string& Dir, const std::string& BaseName, int32_t Index);
// Writes the frame files, one per frame (one file of the current picture when
// the character has no frames); returns the paths. A failure or a cancel
// removes the files this call has written.
std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName,
                                      const TPictureOptions& Options = {}, const TExportProgress& Progress = {});

}  // namespace varune
