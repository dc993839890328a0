#include "viewer/export.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "archive/error.h"
#include "archive/stream.h"
#include "archive/text.h"
#include "imaging/apng.h"
#include "imaging/bmp.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/palette.h"
#include "imaging/png.h"
#include "imaging/webp.h"

namespace varune {
namespace {

// Every frame of the sequence. A character without frames still exports its
// current picture once, so that the file opens everywhere.
std::vector<int32_t> AnimationFrames(const TChara& Chara) {
  if (Chara.FrameCount() == 0) return {Chara.FrameNumber()};
  std::vector<int32_t> frames(static_cast<size_t>(Chara.FrameCount()));
  for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int32_t>(i);
  return frames;
}

// Asks whether to go on; a refusal ends the export.
void Report(const TExportProgress& Progress, int32_t Done, int32_t Total) {
  if (Progress && !Progress(Done, Total)) throw TExportCancelled();
}

// A delay of 0 would spin viewers: at least the GIF's one hundredth.
uint32_t AnimationDelay(const TChara& Chara, int32_t Frame) { return std::max<uint32_t>(10, Chara.GetFrameTime(Frame)); }

// Encodes the frames one by one into a writer made for their size.
template <class TWriter, class TAdd>
std::vector<uint8_t> EncodeAnimation(const TCharaView& View, const TChara& Chara, bool Transparent,
                                     const TPictureOptions& Options, const std::vector<int32_t>& Frames,
                                     const TExportProgress& Progress, TAdd Add) {
  std::optional<TWriter> writer;
  DrawFramedFrames(View, Chara, Transparent, Options, Frames, Progress, [&](const TBitmap32& picture, int32_t i) {
    if (!writer) writer.emplace(picture.Width(), picture.Height());
    Add(*writer, picture, Frames[static_cast<size_t>(i)]);
  });
  return writer->Finish();
}

std::vector<uint8_t> Encode(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                            const TPictureOptions& Options, const TExportProgress& Progress) {
  const std::vector<int32_t> frames = ExportedFrames(Chara, Format, Options);
  const bool transparent = IsTransparentFormat(Format);
  if (!IsAnimatedFormat(Format)) {
    // One picture: progress is told at the end alone.
    const TBitmap32 picture = StillPicture(View, Chara, transparent, Options);
    switch (Format) {
      case xfBmp: return EncodeBmp(picture);
      case xfJpeg: return EncodeJpeg(picture, 100);
      case xfTransparentPng: return EncodePng(picture, ppfRGBA);
      default: return EncodePng(picture, ppfRGB);
    }
  }
  switch (Format) {
    case xfGif: {
      TPaletteReducer reducer;
      TPaletteImage reduced;
      return EncodeAnimation<TGifWriter>(View, Chara, false, Options, frames, Progress,
                                         [&](TGifWriter& writer, const TBitmap32& picture, int32_t frame) {
                                           reducer.Reduce(picture, reduced);
                                           writer.AddFrame(reduced, GifDelay(Chara.GetFrameTime(frame)));
                                         });
    }
    case xfWebp: case xfTransparentWebp:
      // WebP keeps milliseconds: each frame lasts exactly its time.
      return EncodeAnimation<TWebpWriter>(View, Chara, transparent, Options, frames, Progress,
                                          [&](TWebpWriter& writer, const TBitmap32& picture, int32_t frame) {
                                            writer.AddFrame(picture, Chara.GetFrameTime(frame));
                                          });
    default:
      return EncodeAnimation<TApngWriter>(View, Chara, transparent, Options, frames, Progress,
                                          [&](TApngWriter& writer, const TBitmap32& picture, int32_t frame) {
                                            writer.AddFrame(picture, AnimationDelay(Chara, frame));
                                          });
  }
}

}  // namespace

TExportCancelled::TExportCancelled() : Error("export cancelled") {}

bool IsAnimatedFormat(TExportFormat Format) {
  switch (Format) {
    case xfGif: case xfApng: case xfTransparentApng: case xfWebp: case xfTransparentWebp: return true;
    default: return false;
  }
}

bool IsTransparentFormat(TExportFormat Format) {
  return Format == xfTransparentPng || Format == xfTransparentApng || Format == xfTransparentWebp;
}

const char* ExportExtension(TExportFormat Format) {
  switch (Format) {
    case xfBmp: return ".bmp";
    case xfJpeg: return ".jpg";
    case xfPng: case xfTransparentPng: return ".png";
    case xfGif: return ".gif";
    case xfApng: case xfTransparentApng: return ".apng";
    case xfWebp: case xfTransparentWebp: return ".webp";
  }
  return "";
}

bool ExportFormatOf(const std::string& Extension, bool Transparent, TExportFormat& Format) {
  const std::string ext = AsciiLowerCopy(Extension);
  if (ext == ".bmp") Format = xfBmp;
  else if (ext == ".jpg" || ext == ".jpeg") Format = xfJpeg;
  else if (ext == ".png") Format = Transparent ? xfTransparentPng : xfPng;
  else if (ext == ".gif") Format = xfGif;
  else if (ext == ".apng") Format = Transparent ? xfTransparentApng : xfApng;
  else if (ext == ".webp") Format = Transparent ? xfTransparentWebp : xfWebp;
  else return false;
  return true;
}

std::string WithExtension(const std::string& FileName, const std::string& Extension) {
  const size_t slash = FileName.find_last_of('/');
  const size_t dot = FileName.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? FileName.substr(0, dot) : FileName) + Extension;
}

uint16_t GifDelay(uint32_t FrameTimeMs) {
  return static_cast<uint16_t>(std::clamp<uint32_t>(FrameTimeMs / 10, 1, 65535));
}

std::vector<int32_t> ExportedFrames(const TChara& Chara, TExportFormat Format, const TPictureOptions& Options) {
  if (!IsAnimatedFormat(Format) || Options.StillFrame) return {Chara.FrameNumber()};
  return AnimationFrames(Chara);
}

int32_t ExportFrameCount(const TChara& Chara, TExportFormat Format, const TPictureOptions& Options) {
  return static_cast<int32_t>(ExportedFrames(Chara, Format, Options).size());
}

void DrawFramedFrames(const TCharaView& View, const TChara& Chara, bool Transparent, const TPictureOptions& Options,
                      const std::vector<int32_t>& Frames, const TExportProgress& Progress,
                      const std::function<void(const TBitmap32& Picture, int32_t Index)>& Add) {
  TFramer framer(View, Transparent, Options);
  for (const int32_t frame : Frames) framer.Measure(Chara, frame);
  CheckPictureSize(framer.Width(), framer.Height());
  TBitmap32 picture;
  const int32_t count = static_cast<int32_t>(Frames.size());
  for (int32_t i = 0; i < count; ++i) {
    Report(Progress, i, count);
    framer.Draw(Chara, Frames[static_cast<size_t>(i)], picture);
    Add(picture, i);
  }
}

TBitmap32 StillPicture(const TCharaView& View, const TChara& Chara, bool Transparent,
                       const TPictureOptions& Options) {
  TBitmap32 still;
  DrawFramedFrames(View, Chara, Transparent, Options, {Chara.FrameNumber()}, {},
                   [&](const TBitmap32& picture, int32_t) { still = picture; });
  return still;
}

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                                   const TPictureOptions& Options, const TExportProgress& Progress) {
  std::vector<uint8_t> bytes = Encode(View, Chara, Format, Options, Progress);
  const int32_t total = ExportFrameCount(Chara, Format, Options);
  Report(Progress, total, total);
  return bytes;
}

void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName,
                  const TPictureOptions& Options, const TExportProgress& Progress) {
  WriteFileAtomically(FileName, ExportToBytes(View, Chara, Format, Options, Progress));
}

std::string FrameFileName(const std::string& Dir, const std::string& BaseName, int32_t Index) {
  return Dir + "/" + BaseName + Sprintf("_%03d.png", Index);
}

std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName,
                                      const TPictureOptions& Options, const TExportProgress& Progress) {
  std::vector<std::string> files;
  const std::vector<int32_t> frames = AnimationFrames(Chara);
  try {
    DrawFramedFrames(View, Chara, Transparent, Options, frames, Progress, [&](const TBitmap32& picture, int32_t i) {
      const std::string file = FrameFileName(Dir, BaseName, i);
      WriteFileAtomically(file, EncodePng(picture, Transparent ? ppfRGBA : ppfRGB));
      files.push_back(file);
    });
    const int32_t count = static_cast<int32_t>(frames.size());
    Report(Progress, count, count);
  } catch (...) {
    // Half a set of frames is of no use to anyone.
    for (const std::string& file : files) std::remove(file.c_str());
    throw;
  }
  return files;
}

}  // namespace varune
