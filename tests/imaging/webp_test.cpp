// The WebP writer, read back by libwebp's demuxer and animation decoder.

#include <gtest/gtest.h>
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "archive/error.h"
#include "imaging/webp.h"

namespace varune {
namespace {

TBitmap32 Pattern(int32_t w, int32_t h, int seed) {
  TBitmap32 bitmap(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bitmap.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 9 + seed), static_cast<uint8_t>(y * 13),
                                   static_cast<uint8_t>(x ^ y), 255);
  return bitmap;
}

struct TDecoderDelete {
  void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

// Each decoded canvas must equal the frame that was added, in every channel.
void ExpectCanvas(const uint8_t* bgra, const TBitmap32& frame, int index) {
  for (int32_t y = 0; y < frame.Height(); ++y)
    for (int32_t x = 0; x < frame.Width(); ++x) {
      TColor32 got;
      std::memcpy(&got, bgra + (static_cast<size_t>(y) * frame.Width() + x) * 4, 4);
      ASSERT_EQ(got, frame.Pixel(x, y)) << "frame " << index << " at " << x << "," << y;
    }
}

TEST(WebpTest, AnimationKeepsPixelsTimingAndLoop) {
  constexpr int32_t kW = 37, kH = 21;
  TBitmap32 frames[3] = {Pattern(kW, kH, 0), Pattern(kW, kH, 0), TBitmap32(kW, kH)};
  // A small change only, then a frame mostly cleared: a part of the canvas
  // and a full redraw with transparency.
  frames[1].FillRect(10, 5, 14, 9, Color32(200, 10, 60, 128));
  frames[1].Pixel(3, 3) = Color32(10, 20, 30, 0);
  frames[2].FillRect(20, 2, 30, 15, Color32(1, 2, 3, 77));
  frames[2].Pixel(0, 0) = Color32(90, 80, 70, 0);
  const uint32_t durations[3] = {40, 125, 1000};

  TWebpWriter writer(kW, kH);
  for (int i = 0; i < 3; ++i) writer.AddFrame(frames[i], durations[i]);
  EXPECT_EQ(writer.FrameCount(), 3);
  const std::vector<uint8_t> file = writer.Finish();
  EXPECT_THROW(writer.AddFrame(frames[0], 1), Error);

  const WebPData data = {file.data(), file.size()};
  WebPAnimDecoderOptions options;
  ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
  options.color_mode = MODE_BGRA;  // our memory order, not premultiplied
  std::unique_ptr<WebPAnimDecoder, TDecoderDelete> decoder(WebPAnimDecoderNew(&data, &options));
  ASSERT_TRUE(decoder);
  WebPAnimInfo info;
  ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder.get(), &info));
  EXPECT_EQ(info.canvas_width, static_cast<uint32_t>(kW));
  EXPECT_EQ(info.canvas_height, static_cast<uint32_t>(kH));
  EXPECT_EQ(info.loop_count, 0u);
  EXPECT_EQ(info.bgcolor, 0u);
  ASSERT_EQ(info.frame_count, 3u);

  const WebPDemuxer* demuxer = WebPAnimDecoderGetDemuxer(decoder.get());
  int end = 0;
  for (int i = 0; i < 3; ++i) {
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    ASSERT_TRUE(WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp));
    end += static_cast<int>(durations[i]);
    EXPECT_EQ(timestamp, end);  // the decoder reports when a frame ends
    WebPIterator it;
    ASSERT_TRUE(WebPDemuxGetFrame(demuxer, i + 1, &it));
    EXPECT_EQ(it.duration, static_cast<int>(durations[i]));
    WebPDemuxReleaseIterator(&it);
    ExpectCanvas(canvas, frames[i], i);
  }
  EXPECT_FALSE(WebPAnimDecoderHasMoreFrames(decoder.get()));
}

TEST(WebpTest, OneFrameIsAStill) {
  // Mostly transparent, where libwebp alone would keep a one-frame animation
  // of the small changed rectangle.
  TBitmap32 frame(256, 160);
  frame.Draw(45, 25, Pattern(9, 7, 5));
  frame.Pixel(44, 24) = Color32(4, 5, 6, 0);
  frame.Pixel(50, 28) = Color32(250, 0, 9, 3);
  TWebpWriter writer(256, 160);
  writer.AddFrame(frame, 100);
  const std::vector<uint8_t> file = writer.Finish();

  WebPBitstreamFeatures features;
  ASSERT_EQ(WebPGetFeatures(file.data(), file.size(), &features), VP8_STATUS_OK);
  EXPECT_FALSE(features.has_animation);
  EXPECT_EQ(features.format, 2);  // lossless
  int w = 0, h = 0;
  std::unique_ptr<uint8_t, decltype(&WebPFree)> bgra(WebPDecodeBGRA(file.data(), file.size(), &w, &h), &WebPFree);
  ASSERT_TRUE(bgra);
  ASSERT_EQ(w, 256);
  ASSERT_EQ(h, 160);
  ExpectCanvas(bgra.get(), frame, 0);
}

TEST(WebpTest, RefusesWhatItCannotWrite) {
  TWebpWriter writer(8, 8);
  EXPECT_THROW(writer.AddFrame(TBitmap32(8, 7), 10), Error);
  EXPECT_THROW(writer.AddFrame(TBitmap32(8, 8), 1u << 24), Error);
  EXPECT_EQ(writer.FrameCount(), 0);
  EXPECT_THROW(writer.Finish(), Error);
  EXPECT_THROW(TWebpWriter(0, 8), Error);
  EXPECT_THROW(TWebpWriter(16384, 8), Error);
}

}  // namespace
}  // namespace varune
