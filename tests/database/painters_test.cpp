#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "database/client_writer.h"
#include "database/resources.h"
#include "imaging/blend.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

// Every pixel of the test pictures names its own position, so that the
// pixel a painter put anywhere tells where it was taken from.
TColor32 Coded(int32_t x, int32_t y, uint8_t alpha) {
  return Color32(static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>((x >> 8) | (y >> 8) << 4),
                 alpha);
}

using TAlphaAt = std::function<uint8_t(int32_t x, int32_t y)>;

uint8_t Opaque(int32_t, int32_t) { return 255; }

std::vector<uint8_t> CodedPng(int32_t width, int32_t height, const TAlphaAt& alpha = Opaque,
                              TPngPixelFormat format = ppfRGBA) {
  TBitmap32 bitmap(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) bitmap.Pixel(x, y) = Coded(x, y, alpha(x, y));
  return EncodePng(bitmap, format);
}

constexpr TColor32 kBackground = Color32(10, 20, 30);
constexpr TColor32 kWhite = Color32(255, 255, 255);

// Source pixel a painter is expected to have put at a target pixel, if any.
using TSourceAt = std::function<std::optional<TPoint>(int32_t x, int32_t y)>;

class PainterTest : public ::testing::Test {
 protected:
  void Open() {
    client.Write(dir.Path());
    spf.AddSpf(dir.File("ROWID.SPF"));
  }

  // Expects, over the whole target, the blend of the coded source pixels
  // where `source` names one and `other` (the background by default) elsewhere.
  void ExpectPicture(const TSourceAt& source, const TAlphaAt& alpha = Opaque,
                     const std::function<TColor32(int32_t, int32_t)>& other = nullptr) {
    int failures = 0;
    for (int32_t y = 0; y < target.Height() && failures < 5; ++y) {
      for (int32_t x = 0; x < target.Width() && failures < 5; ++x) {
        const TColor32 under = other ? other(x, y) : kBackground;
        const std::optional<TPoint> from = source(x, y);
        const TColor32 want = from ? BlendPixel(Coded(from->X, from->Y, alpha(from->X, from->Y)), under) : under;
        if (target.Pixel(x, y) != want) {
          ++failures;
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << target.Pixel(x, y) << ", want "
                        << want;
        }
      }
    }
  }

  void ExpectUntouched() {
    ExpectPicture([](int32_t, int32_t) { return std::nullopt; });
  }

  // The source pixel of a block W x H placed at (X, Y) from (SX, SY).
  static TSourceAt Block(int32_t X, int32_t Y, int32_t W, int32_t H, int32_t SX, int32_t SY) {
    return [=](int32_t x, int32_t y) -> std::optional<TPoint> {
      if (x < X || y < Y || x >= X + W || y >= Y + H) return std::nullopt;
      return TPoint{SX + x - X, SY + y - Y};
    };
  }

  test::TempDir dir;
  TClientWriter client;
  TSpfManager spf;
  TBitmap32 target = [] {
    TBitmap32 bitmap(120, 100);
    bitmap.Clear(kBackground);
    return bitmap;
  }();
  TCanvas canvas{target};
};

// ---- Item icons ---------------------------------------------------------------

class IconTest : public PainterTest {
 protected:
  void SetUp() override {
    client.Add("DATA/ITEM/ICON.PNG", CodedPng(512, 80));  // the third row of cells is cut at 16 pixels
    client.Add("DATA/ITEM/NARROW.PNG", CodedPng(100, 32));
    Open();
  }
  TIconManager icons{spf};
};

TEST_F(IconTest, CellsRunSixteenToARow) {
  const struct {
    int32_t index, sx, sy;
  } cases[] = {{1, 0, 0}, {16, 480, 0}, {17, 0, 32}, {18, 32, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    target.Clear(kBackground);
    icons.Draw(canvas, 7, 9, "data/item/icon.png", c.index, false);
    ExpectPicture(Block(7, 9, 32, 32, c.sx, c.sy));
  }
}

TEST_F(IconTest, IndexBeforeOrBeyondTheSheetDrawsNothing) {
  for (const int32_t index : {0, -1, -16, -17, 49 /* row 3 of a 2.5-row sheet */, INT32_MIN})
    icons.Draw(canvas, 7, 9, "DATA/ITEM/ICON.PNG", index, false);
  icons.Draw(canvas, 7, 9, "DATA/ITEM/NARROW.PNG", 5, false);  // starts at x 128 of 100
  icons.Draw(canvas, 7, 9, "DATA/ITEM/NARROW.PNG", 17, false);
  icons.Draw(canvas, 7, 9, "DATA/ITEM/MISSING.PNG", 1, false);
  ExpectUntouched();
}

TEST_F(IconTest, CellCutByTheSheetEdgeLeavesNoStaleIcon) {
  icons.Draw(canvas, 0, 0, "DATA/ITEM/ICON.PNG", 1, false);  // fills the buffer
  target.Clear(kBackground);
  icons.Draw(canvas, 7, 9, "DATA/ITEM/NARROW.PNG", 4, false);  // x 96 to 100
  ExpectPicture(Block(7, 9, 4, 32, 96, 0));
  target.Clear(kBackground);
  icons.Draw(canvas, 7, 9, "DATA/ITEM/ICON.PNG", 33, false);  // y 64 to 80
  ExpectPicture(Block(7, 9, 32, 16, 0, 64));
}

TEST_F(IconTest, SubDrawsAtHalfOpacity) {
  icons.Draw(canvas, 7, 9, "DATA/ITEM/ICON.PNG", 2, true);
  EXPECT_EQ(AlphaComponent(icons.Buffer().PixelColor32(0, 0)), 127);
  ExpectPicture(Block(7, 9, 32, 32, 32, 0), [](int32_t, int32_t) -> uint8_t { return 127; });
  // The next plain icon is whole again.
  icons.Draw(canvas, 7, 9, "DATA/ITEM/ICON.PNG", 2, false);
  EXPECT_EQ(AlphaComponent(icons.Buffer().PixelColor32(31, 31)), 255);
}

// ---- Interface pictures -----------------------------------------------------

uint8_t VaryingAlpha(int32_t x, int32_t y) { return static_cast<uint8_t>(255 - (x + y) % 4 * 60); }

class UITest : public PainterTest {
 protected:
  void SetUp() override {
    client.Add("DATA/INTERFACE/CONCEPT/UI102.PNG", CodedPng(300, 300, VaryingAlpha));
    client.Add("DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG", CodedPng(520, 160));
    client.Add("DATA/LOBBY/RB001.PNG", CodedPng(850, 320));
    client.Add("DATA/INTERFACE/CONCEPT/SHADOW.PNG", CodedPng(70, 40, VaryingAlpha));
    Open();
  }
  TUIManager ui{spf};
};

// Colour of a slot frame at (x, y) drawn at (X, Y), the interior left to `inside`.
std::function<TColor32(int32_t, int32_t)> SlotFrame(int32_t X, int32_t Y, TColor32 frame) {
  return [=](int32_t x, int32_t y) {
    const int32_t dx = x - X, dy = y - Y;
    if (dx < 0 || dy < 0 || dx >= 32 || dy >= 32) return kBackground;
    const int32_t ring = std::min({dx, dy, 31 - dx, 31 - dy});
    return ring < 2 ? frame : kWhite;
  };
}

TEST_F(UITest, EquipSlotShowsItsPlaceholderInsideTwoOutlines) {
  ui.DrawEquipIcon(canvas, 20, 10, 5, false);  // bottom: cell 14
  ExpectPicture(Block(22, 12, 28, 28, 175, 240), VaryingAlpha, SlotFrame(20, 10, Color32(0xE6, 0xF7, 0xCE)));
  target.Clear(kBackground);
  ui.DrawEquipIcon(canvas, 20, 10, 1, false);  // cell 1
  ExpectPicture(Block(22, 12, 28, 28, 1, 211), VaryingAlpha, SlotFrame(20, 10, Color32(0xE6, 0xF7, 0xCE)));
}

TEST_F(UITest, EquipSlotHoldingAnItemOrWithoutPlaceholderGetsTheFrameOnly) {
  ui.DrawEquipIcon(canvas, 20, 10, 5, true);
  ExpectPicture([](int32_t, int32_t) { return std::nullopt; }, Opaque, SlotFrame(20, 10, Color32(0xC6, 0xEB, 0xA5)));
  for (const int32_t slot : {0, 15, 16, 99}) {
    target.Clear(kBackground);
    ui.DrawEquipIcon(canvas, 20, 10, slot, false);
    ExpectPicture([](int32_t, int32_t) { return std::nullopt; }, Opaque, SlotFrame(20, 10, Color32(0xE6, 0xF7, 0xCE)));
  }
}

TEST_F(UITest, MiniWeaponIconHasACutCornerOutline) {
  const TColor32 line = Color32(0x47, 0x8B, 0x7C), fill = Color32(0x84, 0xBD, 0x80);
  const auto frame = [&](TColor32 inside) {
    return [=](int32_t x, int32_t y) {
      const int32_t dx = x - 30, dy = y - 40;
      if (dx < 0 || dy < 0 || dx >= 20 || dy >= 20) return kBackground;
      if ((dx == 0 || dx == 19) && dy == 0) return kBackground;  // the corners the polyline skips
      if (dx == 0 || dx == 19 || dy == 0 || dy == 19) return line;
      return inside;
    };
  };
  ui.DrawMiniWeaponIcon(canvas, 30, 40, 4, false);  // cell 5
  ExpectPicture(Block(32, 42, 16, 16, 4 * 17 + 249, 133), Opaque, frame(fill));
  target.Clear(kBackground);
  ui.DrawMiniWeaponIcon(canvas, 30, 40, 11, true);  // cell 15
  ExpectPicture(Block(32, 42, 16, 16, 14 * 17 + 249, 133), Opaque, frame(kWhite));
  target.Clear(kBackground);
  ui.DrawMiniWeaponIcon(canvas, 30, 40, 16, true);
  ExpectPicture([](int32_t, int32_t) { return std::nullopt; }, Opaque, frame(kWhite));
}

TEST_F(UITest, GenderButtons) {
  const struct {
    TGenderType gender;
    bool selected;
    int32_t sx, sy;
  } cases[] = {{gtMale, false, 767, 244}, {gtMale, true, 767, 281}, {gtFemale, false, 804, 244},
               {gtFemale, true, 804, 281}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.gender << c.selected);
    target.Clear(kBackground);
    ui.DrawGenderIcon(canvas, 3, 4, c.gender, c.selected);
    ExpectPicture(Block(3, 4, 36, 36, c.sx, c.sy));
  }
  target.Clear(kBackground);
  ui.DrawGenderIcon(canvas, 3, 4, static_cast<TGenderType>(2), true);
  ExpectUntouched();
}

TEST_F(UITest, ShadowIsCentredOnTheFeet) {
  ui.DrawShadow(canvas, 100, 60);  // picture larger than 64 x 32: only that much is drawn
  ExpectPicture(Block(68, 44, 64, 32, 0, 0), VaryingAlpha);
}

// The source of window pixel (x, y): corners and edges stretched by
// repeating their single middle column and row; later pieces win.
TSourceAt WindowSource(int32_t X, int32_t Y, int32_t W, int32_t H) {
  return [=](int32_t x, int32_t y) -> std::optional<TPoint> {
    const int32_t dx = x - X, dy = y - Y;
    if (dx < 0 || dy < 0 || dx >= W || dy >= H) return std::nullopt;
    const int32_t column = dx >= W - 4 ? 2 : dx < 4 ? 0 : 1, row = dy >= H - 4 ? 2 : dy < 4 ? 0 : 1;
    const TRect& piece = WindowFrameRects[row * 3 + column];
    return TPoint{piece.Left + (column == 2 ? dx - (W - 4) : column == 0 ? dx : 0),
                  piece.Top + (row == 2 ? dy - (H - 4) : row == 0 ? dy : 0)};
  };
}

TEST_F(UITest, WindowPiecesByWindowSize) {
  ui.DrawWindow(canvas, 5, 6, 8, 8);  // corners only
  ExpectPicture(WindowSource(5, 6, 8, 8), VaryingAlpha);
  EXPECT_EQ(target.Pixel(5 + 4, 6), BlendPixel(Coded(257, 1, VaryingAlpha(257, 1)), kBackground));

  target.Clear(kBackground);
  ui.DrawWindow(canvas, 5, 6, 10, 9);  // top and bottom edges at x 4 and 5, one middle row
  ExpectPicture(WindowSource(5, 6, 10, 9), VaryingAlpha);
  EXPECT_EQ(target.Pixel(5 + 5, 6 + 4), BlendPixel(Coded(5, 6, VaryingAlpha(5, 6)), kBackground));

  target.Clear(kBackground);
  ui.DrawWindow(canvas, 5, 6, 6, 5);  // right and bottom pieces overlap the left and top ones
  ExpectPicture(WindowSource(5, 6, 6, 5), VaryingAlpha);

  target.Clear(kBackground);
  ui.DrawWindow(canvas, 5, 6, 40, 30);
  ExpectPicture(WindowSource(5, 6, 40, 30), VaryingAlpha);
}

TEST_F(UITest, WindowBelowFourPixelsASideDrawsNothing) {
  ui.DrawWindow(canvas, 5, 6, 3, 20);
  ui.DrawWindow(canvas, 5, 6, 20, 3);
  ui.DrawWindow(canvas, 5, 6, -8, 20);
  ExpectUntouched();
}

TEST(UIWithoutAlphaTest, WindowFromAnRgbPictureIsOpaque) {
  test::TempDir dir;
  TClientWriter client;
  client.Add("DATA/INTERFACE/CONCEPT/UI102.PNG", CodedPng(300, 300, Opaque, ppfRGB));
  client.Write(dir.Path());
  TSpfManager spf;
  spf.AddSpf(dir.File("ROWID.SPF"));
  TUIManager ui{spf};
  TBitmap32 target(20, 20);
  TCanvas canvas{target};
  ui.DrawWindow(canvas, 0, 0, 12, 12);
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 12; ++x) ASSERT_EQ(AlphaComponent(target.Pixel(x, y)), 255) << x << ", " << y;
  EXPECT_EQ(target.Pixel(11, 11), Coded(260, 14, 255));
}

TEST_F(PainterTest, MissingPicturesDrawNothing) {
  Open();
  TUIManager ui{spf};
  ui.DrawEquipIcon(canvas, 0, 0, 1, false);
  ui.DrawEquipIcon(canvas, 0, 0, 1, true);
  ui.DrawMiniWeaponIcon(canvas, 0, 0, 1, true);
  ui.DrawGenderIcon(canvas, 0, 0, gtMale, true);
  ui.DrawShadow(canvas, 50, 50);
  ui.DrawWindow(canvas, 0, 0, 20, 20);
  ExpectUntouched();
}

}  // namespace
}  // namespace varune
