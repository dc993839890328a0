#include "viewer/export.h"

#include <algorithm>
#include <cstdio>

#include "archive/error.h"
#include "archive/stream.h"
#include "archive/text.h"
#include "imaging/apng.h"
#include "imaging/bmp.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/palette.h"
#include "imaging/png.h"

namespace varune {
namespace {

// The frames an animated export walks. A character without frames still
// exports its current picture once, so that the file opens everywhere.
int32_t AnimationFrames(const TChara& Chara) { return std::max(1, Chara.FrameCount()); }
int32_t FrameToDraw(const TChara& Chara, int32_t Index) { return Chara.FrameCount() > 0 ? Index : Chara.FrameNumber(); }

// Asks whether to go on; a refusal ends the export.
void Report(const TExportProgress& Progress, int32_t Done, int32_t Total) {
  if (Progress && !Progress(Done, Total)) throw TExportCancelled();
}

void RenderFrame(const TCharaView& View, const TChara& Chara, int32_t Frame, bool Transparent, TBitmap32& Target) {
  if (Transparent)
    View.RenderTransparent(Chara, Frame, Target);
  else
    View.Render(Chara, Frame, Target);
}

std::vector<uint8_t> EncodeGif(const TCharaView& View, const TChara& Chara, const TExportProgress& Progress) {
  TGifWriter writer(View.Geometry.Width, View.Geometry.Height);
  TPaletteReducer reducer;
  TPaletteImage reduced;
  TBitmap32 surface;
  const int32_t count = AnimationFrames(Chara);
  for (int32_t i = 0; i < count; ++i) {
    Report(Progress, i, count);
    const int32_t frame = FrameToDraw(Chara, i);
    View.Render(Chara, frame, surface);
    reducer.Reduce(surface, reduced);
    writer.AddFrame(reduced, GifDelay(Chara.GetFrameTime(frame)));
  }
  return writer.Finish();
}

std::vector<uint8_t> EncodeApng(const TCharaView& View, const TChara& Chara, bool Transparent,
                                const TExportProgress& Progress) {
  TApngWriter writer(View.Geometry.Width, View.Geometry.Height);
  TBitmap32 surface;
  const int32_t count = AnimationFrames(Chara);
  for (int32_t i = 0; i < count; ++i) {
    Report(Progress, i, count);
    const int32_t frame = FrameToDraw(Chara, i);
    RenderFrame(View, Chara, frame, Transparent, surface);
    // Same floor as the GIF's one hundredth: a zero delay would spin viewers.
    writer.AddFrame(surface, std::max<uint32_t>(10, Chara.GetFrameTime(frame)));
  }
  return writer.Finish();
}

std::vector<uint8_t> Encode(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                            const TExportProgress& Progress) {
  TBitmap32 picture;
  switch (Format) {
    case xfBmp:
      View.Render(Chara, Chara.FrameNumber(), picture);
      return EncodeBmp(picture);
    case xfJpeg:
      View.Render(Chara, Chara.FrameNumber(), picture);
      return EncodeJpeg(picture, 100);
    case xfPng:
      View.Render(Chara, Chara.FrameNumber(), picture);
      return EncodePng(picture, ppfRGB);
    case xfTransparentPng:
      View.RenderTransparent(Chara, Chara.FrameNumber(), picture);
      return EncodePng(picture, ppfRGBA);
    case xfGif: return EncodeGif(View, Chara, Progress);
    case xfApng: return EncodeApng(View, Chara, false, Progress);
    case xfTransparentApng: return EncodeApng(View, Chara, true, Progress);
  }
  throw Error("unknown export format");
}

}  // namespace

TExportCancelled::TExportCancelled() : Error("export cancelled") {}

const char* ExportExtension(TExportFormat Format) {
  switch (Format) {
    case xfBmp: return ".bmp";
    case xfJpeg: return ".jpg";
    case xfPng: case xfTransparentPng: return ".png";
    case xfGif: return ".gif";
    case xfApng: case xfTransparentApng: return ".apng";
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

int32_t ExportFrameCount(const TChara& Chara, TExportFormat Format) {
  switch (Format) {
    case xfGif: case xfApng: case xfTransparentApng: return AnimationFrames(Chara);
    default: return 1;
  }
}

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format,
                                   const TExportProgress& Progress) {
  std::vector<uint8_t> bytes = Encode(View, Chara, Format, Progress);
  const int32_t total = ExportFrameCount(Chara, Format);
  Report(Progress, total, total);
  return bytes;
}

void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName,
                  const TExportProgress& Progress) {
  WriteFileAtomically(FileName, ExportToBytes(View, Chara, Format, Progress));
}

std::string FrameFileName(const std::string& Dir, const std::string& BaseName, int32_t Index) {
  return Dir + "/" + BaseName + Sprintf("_%03d.png", Index);
}

std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName,
                                      const TExportProgress& Progress) {
  std::vector<std::string> files;
  const int32_t count = AnimationFrames(Chara);
  try {
    TBitmap32 surface;
    for (int32_t i = 0; i < count; ++i) {
      Report(Progress, i, count);
      RenderFrame(View, Chara, FrameToDraw(Chara, i), Transparent, surface);
      const std::string file = FrameFileName(Dir, BaseName, i);
      WriteFileAtomically(file, EncodePng(surface, Transparent ? ppfRGBA : ppfRGB));
      files.push_back(file);
    }
    Report(Progress, count, count);
  } catch (...) {
    // Half a set of frames is of no use to anyone.
    for (const std::string& file : files) std::remove(file.c_str());
    throw;
  }
  return files;
}

}  // namespace varune
