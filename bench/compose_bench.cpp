// Drawing a character frame and reducing it for GIF export.
//
//   compose_frame    24 sprite layers of 40x60 (opaque bodies, soft edges,
//                    transparent surroundings), a third turned, a third
//                    mirrored, the rest placed, blended onto a cleared 250x250
//                    surface by Transform with the draft sampler; peer: pixman
//                    doing the same with OVER and its bilinear filter
//   palette_reduce   TPaletteReducer::Reduce of such a frame over a gradient
//                    background; peer: a memcpy of the frame
//   gif_export_30    30 such frames (layers moving a pixel per frame) reduced
//                    and written as an animated GIF; peer: a memcpy of the
//                    30 frames
//   sheet_decode     DecodePngToBitmap32 of a 512x512 RGBA sprite sheet (the
//                    layers packed in rows, the rest transparent, as sheets
//                    are); peer: libpng's own reader into the same BGRA
//                    pixels

#include <benchmark/benchmark.h>
#include <pixman.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "imaging/bitmap32.h"
#include "imaging/gif.h"
#include "imaging/palette.h"
#include "imaging/png.h"
#include "imaging/resampler.h"
#include "imaging/transform.h"

namespace varune {
namespace {

constexpr int32_t kFrame = 250;
constexpr int kLayers = 24;

TBitmap32 MakeLayer(std::mt19937& rng) {
  TBitmap32 b(40, 60);
  const double rx = 13 + rng() % 6, ry = 20 + rng() % 8;
  const uint32_t base = rng() & 0xFFFFFF;
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      const double d = std::hypot((x + 0.5 - 20) / rx, (y + 0.5 - 30) / ry);
      const double edge = (1.0 - d) * 8;  // about two pixels of soft edge
      if (edge <= 0) continue;
      const auto alpha = static_cast<uint32_t>(edge >= 1 ? 255 : edge * 255);
      b.Pixel(x, y) = (alpha << 24) | ((base + (rng() & 0x0F0F0F)) & 0xFFFFFF);
    }
  b.DrawMode = dmBlend;
  return b;
}

struct TScene {
  std::vector<TBitmap32> Layers;
  std::vector<TAffineTransformation> Transforms;

  TScene() {
    std::mt19937 rng(1);
    auto draft = std::make_shared<TDraftResampler>();
    for (int i = 0; i < kLayers; ++i) {
      Layers.push_back(MakeLayer(rng));
      Layers.back().SetResampler(draft);
      TAffineTransformation t;
      t.SrcRect = {0, 0, 40, 60};
      if (i % 3 == 1) {
        t.Scale(-1, 1);
        t.Translate(40, 0);
      } else if (i % 3 == 2) {
        t.Rotate(20, 30, 10 + 13 * i);
      }
      t.Translate(70 + (i * 37) % 100, 60 + (i * 53) % 110);
      Transforms.push_back(t);
    }
  }
};

const TScene& Scene() {
  static const TScene scene;
  return scene;
}

void ComposeFrame(benchmark::State& state) {
  const TScene& scene = Scene();
  TBitmap32 frame(kFrame, kFrame);
  for (auto _ : state) {
    frame.Clear(0);
    for (int i = 0; i < kLayers; ++i) Transform(frame, scene.Layers[i], scene.Transforms[i]);
    benchmark::DoNotOptimize(frame.Bits());
    benchmark::ClobberMemory();
  }
}

// The same destination pixels: those whose centres lie in the transformed box.
int32_t CentreBound(double edge) { return static_cast<int32_t>(std::clamp(std::ceil(edge - 0.5), 0.0, 250.0)); }

void ComposeFramePixman(benchmark::State& state) {
  const TScene& scene = Scene();
  std::vector<uint32_t> frameBits(kFrame * kFrame);
  pixman_image_t* frame = pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrame, kFrame, frameBits.data(), kFrame * 4);
  struct TLayer {
    pixman_image_t* Image;
    int32_t X, Y, Width, Height;
  };
  std::vector<TLayer> layers;
  for (int i = 0; i < kLayers; ++i) {
    const TBitmap32& src = scene.Layers[i];
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, src.Width(), src.Height(),
                                                     const_cast<uint32_t*>(src.Bits()), src.Width() * 4);
    const auto& m = scene.Transforms[i].Matrix();
    pixman_f_transform forward, inverse;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) forward.m[r][c] = m[r][c];
    pixman_f_transform_invert(&inverse, &forward);
    pixman_transform fixed;
    pixman_transform_from_pixman_f_transform(&fixed, &inverse);
    pixman_image_set_transform(image, &fixed);
    pixman_image_set_filter(image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    const TFloatRect box = scene.Transforms[i].GetTransformedBounds();
    const int32_t x = CentreBound(box.Left), y = CentreBound(box.Top);
    layers.push_back({image, x, y, CentreBound(box.Right) - x, CentreBound(box.Bottom) - y});
  }
  for (auto _ : state) {
    std::memset(frameBits.data(), 0, frameBits.size() * 4);
    for (const TLayer& l : layers)
      pixman_image_composite32(PIXMAN_OP_OVER, l.Image, nullptr, frame, l.X, l.Y, 0, 0, l.X, l.Y, l.Width, l.Height);
    benchmark::DoNotOptimize(frameBits.data());
    benchmark::ClobberMemory();
  }
  for (const TLayer& l : layers) pixman_image_unref(l.Image);
  pixman_image_unref(frame);
}

const TBitmap32& ExportFrame() {
  static const TBitmap32 frame = [] {
    TBitmap32 f(kFrame, kFrame);
    for (int32_t y = 0; y < kFrame; ++y)
      for (int32_t x = 0; x < kFrame; ++x)
        f.Pixel(x, y) = Color32(static_cast<uint8_t>(0x84 - y / 8), static_cast<uint8_t>(0xBD - x / 10), 0x80);
    const TScene& scene = Scene();
    for (int i = 0; i < kLayers; ++i) Transform(f, scene.Layers[i], scene.Transforms[i]);
    f.ResetAlpha();
    return f;
  }();
  return frame;
}

void PaletteReduce(benchmark::State& state) {
  TPaletteReducer reducer;
  TPaletteImage out;
  for (auto _ : state) {
    reducer.Reduce(ExportFrame(), out);
    benchmark::DoNotOptimize(out.Indices.data());
  }
  state.counters["colours"] = static_cast<double>(out.Palette.size());
}

void PaletteReduceMemcpy(benchmark::State& state) {
  std::vector<TColor32> copy(kFrame * kFrame);
  for (auto _ : state) {
    std::memcpy(copy.data(), ExportFrame().Bits(), copy.size() * 4);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}

const std::vector<TBitmap32>& AnimationFrames() {
  static const std::vector<TBitmap32> frames = [] {
    std::vector<TBitmap32> out;
    const TScene& scene = Scene();
    for (int f = 0; f < 30; ++f) {
      TBitmap32 frame = ExportFrame();
      for (int i = 0; i < kLayers; ++i) {
        TAffineTransformation t = scene.Transforms[i];
        t.Translate(f % 5, f / 5);
        Transform(frame, scene.Layers[i], t);
      }
      out.push_back(std::move(frame));
    }
    return out;
  }();
  return frames;
}

void GifExport(benchmark::State& state) {
  TPaletteReducer reducer;
  TPaletteImage image;
  size_t bytes = 0;
  for (auto _ : state) {
    TGifWriter writer(kFrame, kFrame);
    for (const TBitmap32& frame : AnimationFrames()) {
      reducer.Reduce(frame, image);
      writer.AddFrame(image, 10);
    }
    const std::vector<uint8_t> file = writer.Finish();
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void GifExportMemcpy(benchmark::State& state) {
  std::vector<TColor32> copy(kFrame * kFrame);
  for (auto _ : state) {
    for (const TBitmap32& frame : AnimationFrames()) {
      std::memcpy(copy.data(), frame.Bits(), copy.size() * 4);
      benchmark::DoNotOptimize(copy.data());
      benchmark::ClobberMemory();
    }
  }
}

const std::vector<uint8_t>& SheetFile() {
  static const std::vector<uint8_t> file = [] {
    TBitmap32 sheet(512, 512);
    sheet.Clear(0);
    const TScene& scene = Scene();
    for (int i = 0; i < 60; ++i) sheet.Draw((i % 12) * 42, (i / 12) * 62, scene.Layers[i % kLayers]);
    return EncodePng(sheet, ppfRGBA);
  }();
  return file;
}

void SheetDecode(benchmark::State& state) {
  for (auto _ : state) {
    TBitmap32 sheet = DecodePngToBitmap32(SheetFile());
    benchmark::DoNotOptimize(sheet.Bits());
  }
}

void SheetDecodeLibpng(benchmark::State& state) {
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, SheetFile().data(), SheetFile().size());
    image.format = PNG_FORMAT_BGRA;
    TBitmap32 sheet(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
    if (png_image_finish_read(&image, nullptr, sheet.Bits(), 0, nullptr) == 0) state.SkipWithError(image.message);
    benchmark::DoNotOptimize(sheet.Bits());
  }
}

BENCHMARK(ComposeFrame)->Name("compose_frame")->Unit(benchmark::kMicrosecond);
BENCHMARK(ComposeFramePixman)->Name("compose_frame:pixman")->Unit(benchmark::kMicrosecond);
BENCHMARK(PaletteReduce)->Name("palette_reduce")->Unit(benchmark::kMicrosecond);
BENCHMARK(PaletteReduceMemcpy)->Name("palette_reduce:memcpy")->Unit(benchmark::kMicrosecond);
BENCHMARK(GifExport)->Name("gif_export_30")->Unit(benchmark::kMillisecond);
BENCHMARK(GifExportMemcpy)->Name("gif_export_30:memcpy")->Unit(benchmark::kMillisecond);
BENCHMARK(SheetDecode)->Name("sheet_decode")->Unit(benchmark::kMicrosecond);
BENCHMARK(SheetDecodeLibpng)->Name("sheet_decode:libpng")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varune
