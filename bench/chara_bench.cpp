// Drawing a fully dressed character and exporting its animation.
//
//   chara_draw      TChara::Draw of one frame in which all 35 layers carry a
//                   40x60 cell (soft-edged figures; a third turned, a third
//                   mirrored) onto a cleared 250x250 surface; peer: pixman
//                   compositing the same cells with the same transformations
//                   (OVER, bilinear), cells cut out beforehand
//   gif_export_30   the 30-frame animated GIF export of that character over
//                   the view's background; peer: a memcpy of 30 frames

#include <benchmark/benchmark.h>
#include <pixman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "character/chara.h"
#include "database/client_writer.h"
#include "formats/seq_writer.h"
#include "formats/tbl_writer.h"
#include "imaging/png.h"
#include "imaging/transform.h"
#include "viewer/export.h"

namespace varune {
namespace {

constexpr int32_t kCellW = 40, kCellH = 60, kFrames = 30;

TSeqLayer LayerOf(int32_t number, int32_t frame) {
  const int32_t angle = number % 3 == 2 ? 10 + 7 * number + 3 * frame : 0;
  const uint32_t visible = number % 3 == 1 ? 0x101 : 1;
  return {number, 1 + frame % 2, angle, -60 + (number * 37) % 100 + frame % 4, -150 + (number * 53) % 110, visible};
}

struct TBenchClient {
  std::string Dir;
  TBenchClient() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-chara-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(Dir);
    std::mt19937 rng(7);
    TBitmap32 sheet(2 * kCellW, 35 * kCellH);
    std::vector<TTblItemData> entries;
    for (int32_t layer = 1; layer <= 35; ++layer) {
      TTblItemData entry{2, Sprintf("%.2d_1501_001_01", layer), {}};
      for (int32_t cell = 0; cell < 2; ++cell) {
        const int32_t left = cell * kCellW, top = (layer - 1) * kCellH;
        const uint32_t base = rng() & 0xFFFFFF;
        for (int32_t y = 0; y < kCellH; ++y)
          for (int32_t x = 0; x < kCellW; ++x) {
            const double d = std::hypot((x + 0.5 - 20) / 16, (y + 0.5 - 30) / 26);
            const double edge = (1.0 - d) * 8;
            if (edge <= 0) continue;
            const auto alpha = static_cast<uint32_t>(edge >= 1 ? 255 : edge * 255);
            sheet.Pixel(left + x, top + y) = (alpha << 24) | ((base + (rng() & 0x0F0F0F)) & 0xFFFFFF);
          }
        TTblImage image;
        image.ID = cell;
        image.RevX = -21;
        image.RevY = -31;
        image.Rect = {left, top, left + kCellW, top + kCellH};
        image.FileName = "SHEET.PNG";
        entry.Images.push_back(image);
      }
      entries.push_back(std::move(entry));
    }
    TItemRow body;
    body.ID = 1;
    body.Type = 2;
    body.Category = 1501;
    body.Num = 1;
    body.ColorID = 1;
    body.PosID1 = 5;
    std::vector<TSeqFrame> frames;
    for (int32_t f = 0; f < kFrames; ++f) {
      TSeqFrame frame{f, 0.1f, 0, {}};
      for (int32_t layer = 1; layer <= 35; ++layer) frame.Items.push_back(LayerOf(layer, f));
      frames.push_back(std::move(frame));
    }
    TClientWriter client;
    client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable({body}));
    client.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable({{1001, {{atStand, "STAND"}}}}));
    client.Add("DATA/ANITABLE/STAND_R.SEQ", WriteSeq(TSeqHeader{}, frames));
    client.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", WriteMft(TMftHeader{}, {"BODY.TBL"}));
    client.Add("DATA/CHAR/CHARLAYER/BODY.TBL", WriteTbl(0, entries));
    client.Add("DATA/CHAR/CHARLAYER/SHEET.PNG", EncodePng(sheet, ppfRGBA));
    client.AddMinimalTables();
    client.Write(Dir);
  }
  ~TBenchClient() { std::filesystem::remove_all(Dir); }
};

struct TDressed {
  TBenchClient Client;
  TVaruneDatabase Database;
  std::unique_ptr<TChara> Chara;
  TDressed() {
    Database.LoadPath(Client.Dir);
    Chara = std::make_unique<TChara>(Database);
  }
};

TDressed& Dressed() {
  static TDressed dressed;
  return dressed;
}

void CharaDraw(benchmark::State& state) {
  TChara& chara = *Dressed().Chara;
  TBitmap32 frame(250, 250);
  for (auto _ : state) {
    frame.Clear(0);
    chara.Draw(frame, 128, 200, 0);
    benchmark::DoNotOptimize(frame.Bits());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

int32_t CentreBound(double edge) { return static_cast<int32_t>(std::clamp(std::ceil(edge - 0.5), 0.0, 250.0)); }

void CharaDrawPixman(benchmark::State& state) {
  TDressed& dressed = Dressed();
  const TSeqFrame& frame = dressed.Chara->Sequence()->GetItem(0);
  std::vector<uint32_t> frameBits(250 * 250);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, 250, 250, frameBits.data(), 250 * 4);
  struct TLayer {
    TBitmap32 Cell;
    pixman_image_t* Image;
    int32_t X, Y, Width, Height;
  };
  std::vector<std::unique_ptr<TLayer>> layers;
  // The same cells and transformations as the character's draw, last layer first.
  for (auto layer = frame.Items.rbegin(); layer != frame.Items.rend(); ++layer) {
    const TTblItem* entry = dressed.Chara->DrawParts()[layer->LayerNumber].TblItem;
    const TTblImage cell = entry->GetImageByID(layer->ImageIndex - 1);
    const TBitmap32* sheet = dressed.Database.CharaManager().GetFile(entry->Path() + cell.FileName);
    auto l = std::make_unique<TLayer>();
    l->Cell.SetSize(kCellW, kCellH);
    l->Cell.Draw(0, 0, cell.Rect, *sheet);
    // pixman wants premultiplied colours.
    for (int32_t i = 0; i < kCellW * kCellH; ++i) {
      TColor32& p = l->Cell.Bits()[i];
      const uint32_t a = p >> 24;
      p = (a << 24) | ((((p >> 16) & 255) * a / 255) << 16) | ((((p >> 8) & 255) * a / 255) << 8) | ((p & 255) * a / 255);
    }
    TAffineTransformation t;
    t.SrcRect = {0, 0, kCellW, kCellH};
    const double rx = cell.RevX + 1.0, ry = cell.RevY + 1.0;
    t.Translate(rx, ry);
    t.Scale(LayerMirrored(*layer) ? -1 : 1, 1);
    t.Rotate(0, 0, -layer->Angle);
    t.Translate(-rx, -ry);
    t.Translate(layer->RevX + cell.Offset.X + 128, layer->RevY + cell.Offset.Y + 200);
    l->Image = pixman_image_create_bits(PIXMAN_a8r8g8b8, kCellW, kCellH, l->Cell.Bits(), kCellW * 4);
    pixman_f_transform forward, inverse;
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) forward.m[r][c] = t.Matrix()[r][c];
    pixman_f_transform_invert(&inverse, &forward);
    pixman_transform fixed;
    pixman_transform_from_pixman_f_transform(&fixed, &inverse);
    pixman_image_set_transform(l->Image, &fixed);
    pixman_image_set_filter(l->Image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    const TFloatRect box = t.GetTransformedBounds();
    l->X = CentreBound(box.Left);
    l->Y = CentreBound(box.Top);
    l->Width = CentreBound(box.Right) - l->X;
    l->Height = CentreBound(box.Bottom) - l->Y;
    layers.push_back(std::move(l));
  }
  for (auto _ : state) {
    std::memset(frameBits.data(), 0, frameBits.size() * 4);
    for (const auto& l : layers)
      pixman_image_composite32(PIXMAN_OP_OVER, l->Image, nullptr, target, l->X, l->Y, 0, 0, l->X, l->Y, l->Width,
                               l->Height);
    benchmark::DoNotOptimize(frameBits.data());
  }
  for (const auto& l : layers) pixman_image_unref(l->Image);
  pixman_image_unref(target);
}

void GifExport(benchmark::State& state) {
  TChara& chara = *Dressed().Chara;
  const TCharaView view;
  size_t bytes = 0;
  for (auto _ : state) bytes = ExportToBytes(view, chara, xfGif).size();
  state.counters["bytes"] = static_cast<double>(bytes);
}

void GifExportMemcpy(benchmark::State& state) {
  const std::vector<TColor32> source(250 * 250 * kFrames, 0xFF808080);
  std::vector<TColor32> copy(source.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), source.data(), copy.size() * 4);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(CharaDraw)->Name("chara_draw")->Unit(benchmark::kMicrosecond);
BENCHMARK(CharaDrawPixman)->Name("chara_draw:pixman")->Unit(benchmark::kMicrosecond);
BENCHMARK(GifExport)->Name("gif_export_30")->Unit(benchmark::kMillisecond);
BENCHMARK(GifExportMemcpy)->Name("gif_export_30:memcpy")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varune
