#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <iterator>
#include <thread>

#include "archive/error.h"
#include "database/client_writer.h"
#include "database/database.h"
#include "formats/seq_writer.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

// A 3 x 2 picture of the given colour type: pixel i has grey or red level
// 10 * i, palette pictures index i % 4 of a four-entry palette.
TPngImage Picture(TPngColorType type) {
  TPngImage image;
  image.Width = 3;
  image.Height = 2;
  image.ColorType = type;
  image.Palette = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {0, 0, 0}};
  for (int i = 0; i < 6; ++i) {
    if (type == pctPalette) {
      image.Indices.push_back(static_cast<uint8_t>(i % 4));
      const TPngRgb& c = image.Palette[static_cast<size_t>(i % 4)];
      image.Rgb.insert(image.Rgb.end(), c.begin(), c.end());
    } else {
      const uint8_t v = static_cast<uint8_t>(10 * i);
      image.Rgb.insert(image.Rgb.end(), {v, v, static_cast<uint8_t>(type == pctRGB || type == pctRGBA ? 20 : v)});
    }
    if (image.HasAlphaChannel()) image.Alpha.push_back(static_cast<uint8_t>(40 * i));
  }
  return image;
}

// `file` with its PLTE cut to the first `entries` colours, so that indices
// reach beyond it (libpng's writer refuses to write such a file).
std::vector<uint8_t> CutPalette(std::vector<uint8_t> file, uint32_t entries) {
  const auto type = std::search(file.begin(), file.end(), std::begin("PLTE"), std::end("PLTE") - 1);
  const auto start = type - 4;
  const uint32_t length = uint32_t{start[0]} << 24 | start[1] << 16 | start[2] << 8 | start[3];
  std::vector<uint8_t> chunk = {0, 0, 0, static_cast<uint8_t>(3 * entries), 'P', 'L', 'T', 'E'};
  chunk.insert(chunk.end(), type + 4, type + 4 + 3 * entries);
  const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
  for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<uint8_t>(crc >> shift));
  file.erase(start, type + 4 + length + 4);
  file.insert(file.begin() + (start - file.begin()), chunk.begin(), chunk.end());
  return file;
}

class ResourcesTest : public ::testing::Test {
 protected:
  void Add(const std::string& name, std::vector<uint8_t> bytes) { client.Add(name, std::move(bytes), 2); }
  void Load() {
    client.AddMinimalTables();
    client.Write(dir.Path());
    database.LoadPath(dir.Path());
  }
  TBitmap32 Sheet(const std::string& name) {
    const TBitmap32* sheet = database.CharaManager().GetFile(name);
    EXPECT_NE(sheet, nullptr) << name;
    return sheet ? *sheet : TBitmap32();
  }
  test::TempDir dir;
  TClientWriter client;
  TVaruneDatabase database;
};

TEST_F(ResourcesTest, SheetsTakeTheTransparencyModeOfTheirPicture) {
  Add("RGB.PNG", EncodePngImage(Picture(pctRGB)));
  TPngImage rgbKey = Picture(pctRGB);
  rgbKey.HasTrns = true;
  rgbKey.TrnsRed = 20, rgbKey.TrnsGreen = 20, rgbKey.TrnsBlue = 20;  // pixel 2
  Add("RGBKEY.PNG", EncodePngImage(rgbKey));
  TPngImage greyKey = Picture(pctGray);
  greyKey.HasTrns = true;
  greyKey.TrnsGray = 30;  // pixel 3
  Add("GREYKEY.PNG", EncodePngImage(greyKey));
  TPngImage oneZero = Picture(pctPalette);
  oneZero.HasTrns = true;
  oneZero.TrnsCount = 2;
  oneZero.TrnsAlpha[1] = 0;  // entry 1 alone below 255: bit mode, entry 1 transparent
  Add("PAL1.PNG", EncodePngImage(oneZero));
  TPngImage half = Picture(pctPalette);
  half.HasTrns = true;
  half.TrnsCount = 2;
  half.TrnsAlpha[1] = 128;  // no entry 0: black (entry 3) becomes transparent
  Add("PALHALF.PNG", EncodePngImage(half));
  TPngImage two = Picture(pctPalette);
  two.HasTrns = true;
  two.TrnsCount = 3;
  two.TrnsAlpha[0] = 10;
  two.TrnsAlpha[2] = 20;
  Add("PAL2.PNG", EncodePngImage(two));
  Add("RGBA.PNG", EncodePngImage(Picture(pctRGBA)));
  Load();

  const TBitmap32 rgb = Sheet("RGB.PNG");
  EXPECT_EQ(rgb.Pixel(1, 0), 0xFF0A0A14u);
  EXPECT_EQ(rgb.DrawMode, dmOpaque);
  const TBitmap32 rgbKeyed = Sheet("RGBKEY.PNG");
  EXPECT_EQ(rgbKeyed.Pixel(2, 0), 0x00141414u);  // colour kept, alpha 0
  EXPECT_EQ(rgbKeyed.Pixel(1, 0), 0xFF0A0A14u);
  EXPECT_EQ(Sheet("GREYKEY.PNG").Pixel(0, 1), 0x001E1E1Eu);
  const TBitmap32 pal1 = Sheet("PAL1.PNG");
  EXPECT_EQ(pal1.Pixel(1, 0), 0x0000C800u);
  EXPECT_EQ(pal1.Pixel(0, 0), 0xFFC80000u);
  EXPECT_EQ(pal1.Pixel(1, 1), 0xFFC80000u);  // pixel 4: entry 0 again
  const TBitmap32 palHalf = Sheet("PALHALF.PNG");
  EXPECT_EQ(palHalf.Pixel(0, 1), 0x00000000u);  // pixel 3: black
  EXPECT_EQ(palHalf.Pixel(1, 0), 0xFF00C800u);  // 128 does not count in bit mode
  const TBitmap32 pal2 = Sheet("PAL2.PNG");
  EXPECT_EQ(pal2.Pixel(0, 0), 0x0AC80000u);
  EXPECT_EQ(pal2.Pixel(2, 0), 0x140000C8u);
  EXPECT_EQ(pal2.Pixel(0, 1), 0xFF000000u);
  // Straight alpha, colour unchanged.
  EXPECT_EQ(Sheet("RGBA.PNG").Pixel(1, 0), 0x280A0A14u);
}

TEST_F(ResourcesTest, NamesWithoutCaseMissesRememberedFailuresRetried) {
  Add("DATA/LOBBY/RB001.PNG", EncodePngImage(Picture(pctRGB)));
  Add("DATA/BROKEN.PNG", {1, 2, 3});
  TPngImage partial = Picture(pctPalette);
  partial.HasTrns = true;
  partial.TrnsCount = 2;
  partial.TrnsAlpha[0] = 0;
  partial.TrnsAlpha[1] = 128;
  Add("DATA/PALRANGE.PNG", CutPalette(EncodePngImage(partial), 2));
  Add("DATA/ANITABLE/BROKEN_R.SEQ", {9, 9});
  Add("DATA/ANITABLE/FINE_R.SEQ", WriteSeq(TSeqHeader{}, {TSeqFrame{}}));
  Load();

  TUIManager& ui = database.UIManager();
  const TPngImage* picture = ui.GetFile("DATA/LOBBY/RB001.PNG");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(ui.GetFile("data/lobby/rb001.png"), picture);

  EXPECT_EQ(ui.GetFile("DATA/NONE.PNG"), nullptr);
  const size_t cached = ui.CachedCount();
  EXPECT_EQ(ui.GetFile("data/none.png"), nullptr);
  EXPECT_EQ(ui.CachedCount(), cached);  // the miss is remembered once

  EXPECT_EQ(ui.GetFile("DATA/BROKEN.PNG"), nullptr);  // undecodable: not cached, tried again
  EXPECT_EQ(ui.CachedCount(), cached);
  EXPECT_THROW(database.CharaManager().GetFile("DATA/BROKEN.PNG"), Error);  // sheets report it
  // A partial palette lacking an index is a sheet failure to retry, not thrown.
  EXPECT_EQ(database.CharaManager().GetFile("DATA/PALRANGE.PNG"), nullptr);
  EXPECT_EQ(database.CharaManager().CachedCount(), 0u);

  TSequenceManager& sequences = database.SequenceManager();
  EXPECT_EQ(sequences.GetFile("DATA/ANITABLE/BROKEN_R.SEQ"), nullptr);
  EXPECT_EQ(sequences.CachedCount(), 0u);
  ASSERT_NE(sequences.GetFile("DATA/ANITABLE/fine_r.seq"), nullptr);
  EXPECT_EQ(sequences.GetFile("DATA/ANITABLE/FINE_R.SEQ")->Count(), 1);

  ui.Clear();
  EXPECT_EQ(ui.CachedCount(), 0u);
  EXPECT_NE(ui.GetFile("DATA/LOBBY/RB001.PNG"), nullptr);
}

// A batch export draws on every core from one database: threads asking for
// the same names at once must all get the one object kept for each.
TEST_F(ResourcesTest, ThreadsAskingAtOnceShareOneObjectPerName) {
  std::vector<std::string> names;
  for (int i = 0; i < 8; ++i) {
    names.push_back("DATA/SHEET" + std::to_string(i) + ".PNG");
    Add(names.back(), EncodePngImage(Picture(i % 2 ? pctRGBA : pctPalette)));
  }
  names.push_back("DATA/MISSING.PNG");
  Load();

  constexpr int kThreads = 4;
  std::vector<std::vector<const TBitmap32*>> seen(kThreads);
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        // Every thread starts at another name, and some names in lower case.
        for (size_t i = 0; i < names.size(); ++i) {
          std::string name = names[(i + static_cast<size_t>(t)) % names.size()];
          if (t % 2) std::transform(name.begin(), name.end(), name.begin(), ::tolower);
          seen[t].push_back(database.CharaManager().GetFile(name));
          database.SpfManager().GetItem("DATA/SHEET0.PNG");
        }
        std::rotate(seen[t].rbegin(), seen[t].rbegin() + t, seen[t].rend());
      });
  }
  for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t], seen[0]) << t;
  EXPECT_EQ(seen[0].back(), nullptr);
  EXPECT_EQ(std::count(seen[0].begin(), seen[0].end(), nullptr), 1);
  EXPECT_EQ(database.CharaManager().CachedCount(), names.size());
  EXPECT_EQ(seen[0][3]->Width(), 3);
}

TEST(CopyPngRectTest, AlphaFromEachColourTypeAndDim) {
  TPngImage rgba = Picture(pctRGBA);
  rgba.Alpha = {255, 1, 40, 128, 200, 0};
  TPngImage target = TPngImage::Blank(4, 4);
  TPngManager::CopyPngRect(target, 1, 1, rgba, TRect{0, 0, 2, 1}, true);
  EXPECT_EQ(target.Alpha[1 * 4 + 1], 127);
  EXPECT_EQ(target.Alpha[1 * 4 + 2], 0);
  EXPECT_EQ(target.Rgb[(1 * 4 + 2) * 3], 10);
  EXPECT_EQ(target.Alpha[0], 0);  // outside the rectangle: untouched

  TPngManager::CopyPngRect(target, 0, 0, Picture(pctRGB), TRect{0, 0, 1, 1}, true);
  EXPECT_EQ(target.Alpha[0], 255);  // no alpha to halve

  TPngImage palette = Picture(pctPalette);
  palette.HasTrns = true;
  palette.TrnsCount = 1;
  palette.TrnsAlpha[0] = 100;
  TPngManager::CopyPngRect(target, 3, 3, palette, TRect{0, 0, 1, 1}, true);
  EXPECT_EQ(target.Alpha[15], 50);
  EXPECT_EQ(target.Rgb[15 * 3], 200);

  // Rectangles reaching past either picture are cut, never read or written outside.
  TPngManager::CopyPngRect(target, 2, 2, rgba, TRect{-5, -5, 50, 50}, false);
  TPngManager::CopyPngRect(target, -100, 100, rgba, TRect{0, 0, 3, 2}, false);
  EXPECT_EQ(target.Alpha[15], 50);
  TPngManager::CopyPngRect(target, 2, 3, rgba, TRect{0, 0, 3, 2}, false);
  EXPECT_EQ(target.Alpha[3 * 4 + 2], 255);
  EXPECT_EQ(target.Alpha[3 * 4 + 3], 1);
}

}  // namespace
}  // namespace varune
