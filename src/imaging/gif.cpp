#include "imaging/gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "archive/error.h"
#include "archive/stream.h"

namespace varune {

namespace {

int WriteToVector(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), data, data + count);
  } catch (...) {
    return 0;  // giflib reports a write failure
  }
  return count;
}

[[noreturn]] void FailGif(int code) {
  const char* text = GifErrorString(code);
  throw Error(Sprintf("GIF writing failed: %s", text ? text : "unknown error"));
}

struct TMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

struct TGifWriter::TState {
  std::vector<uint8_t> Bytes;
  GifFileType* Gif = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Frames = 0;
  std::vector<GifPixelType> Line;

  void Check(int result) {
    if (result == GIF_ERROR) FailGif(Gif->Error);
  }
};

TGifWriter::TGifWriter(int32_t Width, int32_t Height) : FState(std::make_unique<TState>()) {
  if (Width <= 0 || Height <= 0 || Width > 65535 || Height > 65535) throw Error("GIF writing failed: invalid size");
  int error = 0;
  FState->Gif = EGifOpen(&FState->Bytes, WriteToVector, &error);
  if (FState->Gif == nullptr) FailGif(error);
  FState->Width = Width;
  FState->Height = Height;
  EGifSetGifVersion(FState->Gif, true);
  FState->Check(EGifPutScreenDesc(FState->Gif, Width, Height, 8, 0, nullptr));
}

TGifWriter::~TGifWriter() {
  if (FState && FState->Gif != nullptr) EGifCloseFile(FState->Gif, nullptr);
}

void TGifWriter::AddFrame(const TPaletteImage& Image, uint16_t Delay) {
  TState& s = *FState;
  if (s.Gif == nullptr) throw Error("GIF writing failed: the file is finished");
  if (Image.Width <= 0 || Image.Height <= 0 || Image.Width > s.Width || Image.Height > s.Height)
    throw Error("GIF writing failed: frame size outside the screen");
  const size_t pixels = static_cast<size_t>(Image.Width) * static_cast<size_t>(Image.Height);
  if (Image.Indices.size() != pixels) throw Error("GIF writing failed: index count differs from the frame size");
  const size_t entries = Image.Palette.size();
  if (entries == 0 || entries > 256) throw Error("GIF writing failed: palette needs 1 to 256 entries");
  if (*std::max_element(Image.Indices.begin(), Image.Indices.end()) >= entries)
    throw Error("GIF writing failed: index outside the palette");

  int mapSize = 2;
  while (static_cast<size_t>(mapSize) < entries) mapSize *= 2;
  std::unique_ptr<ColorMapObject, TMapDeleter> map(GifMakeMapObject(mapSize, nullptr));
  if (!map) throw Error("GIF writing failed: out of memory");
  for (size_t i = 0; i < entries; ++i) {
    map->Colors[i].Red = Image.Palette[i][0];
    map->Colors[i].Green = Image.Palette[i][1];
    map->Colors[i].Blue = Image.Palette[i][2];
  }

  if (s.Frames == 0) {
    static const GifByteType kNetscape[] = "NETSCAPE2.0";
    static const GifByteType kLoopForever[] = {1, 0, 0};
    s.Check(EGifPutExtensionLeader(s.Gif, APPLICATION_EXT_FUNC_CODE));
    s.Check(EGifPutExtensionBlock(s.Gif, 11, kNetscape));
    s.Check(EGifPutExtensionBlock(s.Gif, 3, kLoopForever));
    s.Check(EGifPutExtensionTrailer(s.Gif));
  }
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_BACKGROUND;
  control.UserInputFlag = false;
  control.DelayTime = Delay;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t length = EGifGCBToExtension(&control, extension);
  s.Check(EGifPutExtension(s.Gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension));

  s.Check(EGifPutImageDesc(s.Gif, 0, 0, Image.Width, Image.Height, false, map.get()));
  // giflib masks the line in place, so it gets a copy.
  s.Line.resize(static_cast<size_t>(Image.Width));
  for (int32_t y = 0; y < Image.Height; ++y) {
    std::memcpy(s.Line.data(), Image.Indices.data() + static_cast<size_t>(y) * s.Line.size(), s.Line.size());
    s.Check(EGifPutLine(s.Gif, s.Line.data(), Image.Width));
  }
  ++s.Frames;
}

std::vector<uint8_t> TGifWriter::Finish() {
  TState& s = *FState;
  if (s.Gif == nullptr) throw Error("GIF writing failed: the file is finished");
  if (s.Frames == 0) throw Error("GIF writing failed: no frames");
  int error = 0;
  const int result = EGifCloseFile(s.Gif, &error);
  s.Gif = nullptr;
  if (result == GIF_ERROR) FailGif(error);
  return std::move(s.Bytes);
}

std::vector<uint8_t> EncodeAnimatedGif(const std::vector<TGifFrame>& Frames) {
  int32_t width = 0, height = 0;
  for (const TGifFrame& frame : Frames) {
    width = std::max(width, frame.Image.Width);
    height = std::max(height, frame.Image.Height);
  }
  if (Frames.empty()) throw Error("GIF writing failed: no frames");
  TGifWriter writer(width, height);
  for (const TGifFrame& frame : Frames) writer.AddFrame(frame.Image, frame.Delay);
  return writer.Finish();
}

void SaveAnimatedGifToFile(const std::string& FileName, const std::vector<TGifFrame>& Frames) {
  WriteWholeFile(FileName, EncodeAnimatedGif(Frames));
}

}  // namespace varune
