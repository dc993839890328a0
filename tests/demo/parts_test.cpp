// The generator's parts where a slip would go unnoticed in the finished
// client: sheets of every kind keep their pixels, poses mirror exactly, and
// the catalogue never gives two designs one appearance.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "character/chara.h"
#include "database/database.h"
#include "demo/catalogue.h"
#include "demo/demo_fixture.h"
#include "demo/sheets.h"
#include "imaging/png.h"

namespace varune::test {
namespace {

using namespace demo;

TEST(DemoSheets, EveryKindGivesBackItsCells) {
  // Cells of 200 colours of their own each, a transparent pixel, a
  // half-transparent one and one in the key colour of keyed sheets.
  auto makeCell = [](int32_t i) {
    TBitmap32 cell(20, 20);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 20; ++x) cell.Pixel(x, y) = Color32(uint8_t(x * 12), uint8_t(y % 10 * 24), uint8_t(i * 60));
    cell.Pixel(0, 0) = 0;
    cell.Pixel(1, 0) = 0x80FF8040;
    cell.Pixel(2, 0) = 0xFF201828;
    return cell;
  };

  for (TSheetMode mode : {smRGBA, smPaletteKey, smPaletteAlpha, smRGBKey}) {
    SCOPED_TRACE(mode);
    TSheetPacker packer("DATA/X/", "IMG/X_", mode, 64);
    std::vector<TSheetPacker::TPlace> places;
    for (int32_t i = 0; i < 3; ++i) places.push_back(packer.Place(makeCell(i)));
    const std::vector<TArchiveFile> sheets = packer.Finish();
    // A palette holds the colours of one cell; the others share a sheet.
    EXPECT_EQ(sheets.size(), mode == smPaletteKey || mode == smPaletteAlpha ? 3u : 1u);
    for (int32_t i = 0; i < 3; ++i) {
      const TSheetPacker::TPlace& place = places[static_cast<size_t>(i)];
      const TBitmap32 cell = makeCell(i);
      const auto sheet = std::find_if(sheets.begin(), sheets.end(),
                                      [&](const TArchiveFile& f) { return f.Name == "DATA/X/" + place.FileName; });
      ASSERT_NE(sheet, sheets.end()) << place.FileName;
      const TBitmap32 pixels = DecodePngToBitmap32(sheet->Bytes);  // as the sheet cache decodes it
      for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x) {
          const TColor32 want = cell.Pixel(x, y), got = pixels.Pixel(place.Rect.Left + x, place.Rect.Top + y);
          if (AlphaComponent(want) == 0) {
            EXPECT_EQ(AlphaComponent(got), 0) << x << "," << y;
          } else if (AlphaComponent(want) == 255) {
            EXPECT_EQ(AlphaComponent(got), 255) << x << "," << y;
            if (x != 2 || y != 0) {
              EXPECT_EQ(got & 0xFFFFFF, want & 0xFFFFFF) << x << "," << y;
            }
          } else if (mode == smRGBA || mode == smPaletteAlpha) {
            EXPECT_NEAR(AlphaComponent(got), AlphaComponent(want), 8);
          }
        }
    }
  }
}

TEST(DemoFigure, AMirroredPoseIsTheMirrorImageAboutTheFeet) {
  auto database = TDemoFixture::Get().Load();
  TChara chara(*database);
  chara.SetAnimationType(atStore03);  // looks one way, then the other
  ASSERT_EQ(chara.FrameCount(), 4);
  TBitmap32 left(256, 256), right(256, 256);
  chara.Draw(left, 128, 200, 0);
  chara.Draw(right, 128, 200, 2);
  int32_t differing = 0, solid = 0;
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 256; ++x) {
      const TColor32 a = left.Pixel(x, y), b = right.Pixel(255 - x, y);
      solid += AlphaComponent(a) == 255;
      differing += a != b;
    }
  ASSERT_GT(solid, 1000);
  // Turned cells are sampled in fixed point: a few edge pixels may differ.
  EXPECT_LT(differing * 50, solid);
}

TEST(DemoCatalogue, IDsAreUniqueAndAnAppearanceStandsForOneDesign) {
  for (int32_t variants : {0, 180}) {
    SCOPED_TRACE(variants);
    const TDemoCatalogue catalogue = BuildCatalogue(variants);
    std::set<int32_t> ids;
    std::map<std::string, const TDemoItem*> looks;
    int32_t loaded = 0;
    for (const TDemoItem& item : catalogue.Items) {
      EXPECT_TRUE(ids.insert(item.Row.ID).second) << item.Row.ID;
      if (item.Skipped || item.Art.Kind == arNone) continue;
      ++loaded;
      const auto [found, fresh] = looks.emplace(AppearanceKey(item.Row.Category, item.Row.Num, item.Row.ColorID), &item);
      if (fresh) continue;
      const TArtSpec& a = found->second->Art;
      const TArtSpec& b = item.Art;
      EXPECT_TRUE(a.Kind == b.Kind && a.A == b.A && a.B == b.B && a.C == b.C && a.Wear == b.Wear &&
                  a.Colors.Main == b.Colors.Main && a.HueShift == b.HueShift)
          << item.Row.Name << " shares the look of " << found->second->Row.Name;
    }
    if (variants) {
      EXPECT_GE(loaded, 20000);
    }
  }
}

}  // namespace
}  // namespace varune::test
