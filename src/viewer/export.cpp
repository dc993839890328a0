#include "viewer/export.h"

#include <algorithm>

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

void RenderFrame(const TCharaView& View, const TChara& Chara, int32_t Frame, bool Transparent, TBitmap32& Target) {
  if (Transparent)
    View.RenderTransparent(Chara, Frame, Target);
  else
    View.Render(Chara, Frame, Target);
}

std::vector<uint8_t> EncodeGif(const TCharaView& View, const TChara& Chara) {
  TGifWriter writer(View.Geometry.Width, View.Geometry.Height);
  TPaletteReducer reducer;
  TPaletteImage reduced;
  TBitmap32 surface;
  for (int32_t i = 0; i < AnimationFrames(Chara); ++i) {
    const int32_t frame = FrameToDraw(Chara, i);
    View.Render(Chara, frame, surface);
    reducer.Reduce(surface, reduced);
    writer.AddFrame(reduced, GifDelay(Chara.GetFrameTime(frame)));
  }
  return writer.Finish();
}

std::vector<uint8_t> EncodeApng(const TCharaView& View, const TChara& Chara, bool Transparent) {
  TApngWriter writer(View.Geometry.Width, View.Geometry.Height);
  TBitmap32 surface;
  for (int32_t i = 0; i < AnimationFrames(Chara); ++i) {
    const int32_t frame = FrameToDraw(Chara, i);
    RenderFrame(View, Chara, frame, Transparent, surface);
    // Same floor as the GIF's one hundredth: a zero delay would spin viewers.
    writer.AddFrame(surface, std::max<uint32_t>(10, Chara.GetFrameTime(frame)));
  }
  return writer.Finish();
}

}  // namespace

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

std::vector<uint8_t> ExportToBytes(const TCharaView& View, const TChara& Chara, TExportFormat Format) {
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
    case xfGif: return EncodeGif(View, Chara);
    case xfApng: return EncodeApng(View, Chara, false);
    case xfTransparentApng: return EncodeApng(View, Chara, true);
  }
  throw Error("unknown export format");
}

void ExportToFile(const TCharaView& View, const TChara& Chara, TExportFormat Format, const std::string& FileName) {
  // Encode first: a failure leaves no half-written file behind.
  WriteWholeFile(FileName, ExportToBytes(View, Chara, Format));
}

std::vector<std::string> ExportFrames(const TCharaView& View, const TChara& Chara, bool Transparent,
                                      const std::string& Dir, const std::string& BaseName) {
  std::vector<std::string> files;
  TBitmap32 surface;
  for (int32_t i = 0; i < AnimationFrames(Chara); ++i) {
    RenderFrame(View, Chara, FrameToDraw(Chara, i), Transparent, surface);
    files.push_back(Dir + "/" + BaseName + Sprintf("_%03d.png", i));
    WriteWholeFile(files.back(), EncodePng(surface, Transparent ? ppfRGBA : ppfRGB));
  }
  return files;
}

}  // namespace varune
