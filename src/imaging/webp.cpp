#include "imaging/webp.h"

#include <webp/decode.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <string>

#include "archive/error.h"

namespace varune {

namespace {

constexpr uint32_t kMaxDurationMs = (1u << 24) - 1;  // the frame header's 24 bits

[[noreturn]] void Fail(const std::string& Why) { throw Error("WebP writing failed: " + Why); }

std::string EncoderMessage(WebPAnimEncoder* Encoder) {
  const char* message = WebPAnimEncoderGetError(Encoder);
  return message && *message ? message : "libwebp error";
}

// Frees what libwebp allocated inside a struct that lives on our stack.
struct TPictureFree {
  void operator()(WebPPicture* Picture) const { WebPPictureFree(Picture); }
};
struct TDataClear {
  void operator()(WebPData* Data) const { WebPDataClear(Data); }
};
struct TMemoryClear {
  void operator()(WebPMemoryWriter* Writer) const { WebPMemoryWriterClear(Writer); }
};
struct TMuxDelete {
  void operator()(WebPMux* Mux) const { WebPMuxDelete(Mux); }
};

// img2webp's defaults (lossless, -q 75, -m 4) so we cost what it costs, plus
// exact: colours under alpha 0 are the caller's, not ours to drop.
WebPConfig FrameConfig() {
  WebPConfig config;
  if (!WebPConfigInit(&config)) Fail("libwebp version mismatch");
  config.lossless = 1;
  config.exact = 1;
  return config;
}

// $AARRGGBB words are WebP's own ARGB layout, so libwebp reads our pixels in
// place. It copies them before changing anything, hence the cast.
void ViewPixels(const TBitmap32& Bitmap, WebPPicture& Picture) {
  if (!WebPPictureInit(&Picture)) Fail("libwebp version mismatch");
  Picture.use_argb = 1;
  Picture.width = Bitmap.Width();
  Picture.height = Bitmap.Height();
  Picture.argb = const_cast<uint32_t*>(Bitmap.Bits());
  Picture.argb_stride = Bitmap.Width();
}

// libwebp keeps a lone frame animated when the frame's changed rectangle is
// much smaller than the canvas, and readers without animation refuse that.
// Returns the still of the frame as a player shows it, or nothing if File is
// already a still or has several frames.
std::vector<uint8_t> StillOfLoneFrame(const WebPData& File, int32_t Width, int32_t Height) {
  const std::unique_ptr<WebPMux, TMuxDelete> mux(WebPMuxCreate(&File, 0));
  if (!mux) Fail("cannot read the assembled file back");
  int frames = 0;
  if (WebPMuxNumChunks(mux.get(), WEBP_CHUNK_ANMF, &frames) != WEBP_MUX_OK) Fail("cannot count the frames");
  if (frames != 1) return {};
  WebPMuxFrameInfo frame;
  if (WebPMuxGetFrame(mux.get(), 1, &frame) != WEBP_MUX_OK) Fail("cannot read the frame back");
  const std::unique_ptr<WebPData, TDataClear> bitstream(&frame.bitstream);

  // The first frame replaces a transparent black canvas; nothing is blended.
  TBitmap32 canvas(Width, Height);
  const size_t stride = static_cast<size_t>(Width) * 4;
  uint8_t* at = reinterpret_cast<uint8_t*>(canvas.GetScanLine(frame.y_offset) + frame.x_offset);
  const size_t room = stride * static_cast<size_t>(Height - frame.y_offset) - static_cast<size_t>(frame.x_offset) * 4;
  if (!WebPDecodeBGRAInto(frame.bitstream.bytes, frame.bitstream.size, at, room, static_cast<int>(stride)))
    Fail("cannot decode the frame back");

  WebPPicture picture;
  ViewPixels(canvas, picture);
  const std::unique_ptr<WebPPicture, TPictureFree> pictureFree(&picture);
  WebPMemoryWriter memory;
  WebPMemoryWriterInit(&memory);
  const std::unique_ptr<WebPMemoryWriter, TMemoryClear> memoryClear(&memory);
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &memory;
  const WebPConfig config = FrameConfig();
  if (!WebPEncode(&config, &picture)) Fail(Sprintf("encoder error %d", static_cast<int>(picture.error_code)));
  return std::vector<uint8_t>(memory.mem, memory.mem + memory.size);
}

}  // namespace

void TWebpWriter::TEncoderDelete::operator()(WebPAnimEncoder* Encoder) const { WebPAnimEncoderDelete(Encoder); }

TWebpWriter::TWebpWriter(int32_t Width, int32_t Height) : FWidth(Width), FHeight(Height) {
  if (Width <= 0 || Height <= 0 || Width > WEBP_MAX_DIMENSION || Height > WEBP_MAX_DIMENSION) Fail("invalid size");
  // Defaults as img2webp: no lossy frames, no key frames after the first
  // (each later frame holds just what changed).
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options)) Fail("libwebp version mismatch");
  options.anim_params.loop_count = 0;
  options.anim_params.bgcolor = 0;  // transparent like the decoder's canvas, not white
  options.allow_mixed = 0;
  FEncoder.reset(WebPAnimEncoderNew(Width, Height, &options));
  if (!FEncoder) Fail("cannot create the animation encoder");
}

TWebpWriter::~TWebpWriter() = default;

void TWebpWriter::AddFrame(const TBitmap32& Frame, uint32_t DurationMs) {
  if (!FEncoder) Fail("the file is already finished");
  if (Frame.Width() != FWidth || Frame.Height() != FHeight) Fail("frame size differs from the canvas");
  if (DurationMs > kMaxDurationMs) Fail("frame lasts too long");
  WebPPicture picture;
  ViewPixels(Frame, picture);
  const std::unique_ptr<WebPPicture, TPictureFree> pictureFree(&picture);
  const WebPConfig config = FrameConfig();
  // Timestamps may wrap: libwebp only looks at their differences.
  if (!WebPAnimEncoderAdd(FEncoder.get(), &picture, static_cast<int>(FTimestamp), &config))
    Fail(EncoderMessage(FEncoder.get()));
  FTimestamp += DurationMs;
  ++FFrameCount;
}

std::vector<uint8_t> TWebpWriter::Finish() {
  if (!FEncoder) Fail("the file is already finished");
  if (FFrameCount == 0) Fail("no frames");
  // The closing timestamp sets the last frame's duration.
  if (!WebPAnimEncoderAdd(FEncoder.get(), nullptr, static_cast<int>(FTimestamp), nullptr))
    Fail(EncoderMessage(FEncoder.get()));
  WebPData data;
  WebPDataInit(&data);
  const std::unique_ptr<WebPData, TDataClear> dataClear(&data);
  if (!WebPAnimEncoderAssemble(FEncoder.get(), &data)) Fail(EncoderMessage(FEncoder.get()));
  FEncoder.reset();
  std::vector<uint8_t> still = StillOfLoneFrame(data, FWidth, FHeight);
  if (!still.empty()) return still;
  return std::vector<uint8_t>(data.bytes, data.bytes + data.size);
}

}  // namespace varune
