#include <gtest/gtest.h>

#include <map>
#include <string>

#include "database/panels.h"

namespace varune {
namespace {

constexpr TColor32 kBorder = Color32(0x31, 0x4C, 0x61);
constexpr TColor32 kFill = Color32(0x84, 0xBD, 0x80);
constexpr TColor32 kKey = Color32(0xFF, 0x00, 0xFF);
constexpr TColor32 kStale = Color32(1, 2, 3);

TEST(TableBitmapTest, PixelRows) {
  const std::map<char, TColor32> colours = {
      {'a', Color32(0x46, 0x8C, 0x7C)}, {'b', Color32(0x40, 0x7C, 0x75)}, {'c', Color32(0x3B, 0x6C, 0x6E)},
      {'D', kBorder},                   {'e', Color32(0x5A, 0x84, 0x70)}, {'f', Color32(0x6F, 0xA0, 0x78)},
      {'G', kFill}};
  const char* rows[16] = {"aaaabcDDDDcbaaaa", "aabcDDDDDDDDcbaa", "abcDDefGGfeDDcba", "acDefGGGGGGfeDca",
                          "bDDfGGGGGGGGfDDb", "cDeGGGGGGGGGGeDc", "DDfGGGGGGGGGGfDD", "DDGGGGGGGGGGGGDD",
                          "DDGGGGGGGGGGGGDD", "DDfGGGGGGGGGGfDD", "cDeGGGGGGGGGGeDc", "bDDfGGGGGGGGfDDb",
                          "acDefGGGGGGfeDca", "abcDDefGGfeDDcba", "aabcDDDDDDDDcbaa", "aaaabcDDDDcbaaaa"};
  const TBitmap32& table = TableBitmap();
  const TBitmap32& trans = TableTransBitmap();
  ASSERT_EQ(table.Width(), 16);
  ASSERT_EQ(table.Height(), 16);
  ASSERT_EQ(trans.Width(), 16);
  ASSERT_EQ(trans.Height(), 16);
  for (int32_t y = 0; y < 16; ++y) {
    std::string got, gotTrans, wantTrans;
    for (int32_t x = 0; x < 16; ++x) {
      const char letter = rows[y][x];
      got += table.Pixel(x, y) == colours.at(letter) ? letter : '?';
      const bool outside = letter == 'a' || letter == 'b' || letter == 'c';
      gotTrans += trans.Pixel(x, y) == (outside ? kKey : colours.at(letter)) ? letter : '?';
    }
    EXPECT_EQ(got, rows[y]) << "row " << y;
    EXPECT_EQ(gotTrans, rows[y]) << "row " << y << " of the transparent one";
  }
}

class PanelTest : public ::testing::Test {
 protected:
  void Reset(int32_t width, int32_t height) {
    target.SetSize(width, height);
    target.Clear(kStale);
  }
  TBitmap32 target;
  TCanvas canvas{target};
};

TEST_F(PanelTest, TableCornersOverlapInPlacementOrder) {
  for (const bool trans : {false, true}) {
    SCOPED_TRACE(trans);
    Reset(12, 12);
    DrawTable(canvas, 12, 12, trans);
    const TBitmap32& table = trans ? TableTransBitmap() : TableBitmap();
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 12; ++x) {
        // Top-left, top-right, bottom-left, bottom-right: the last that covers a pixel wins.
        int32_t sx = x, sy = y;
        if (x >= 4 && y >= 4) sx = x + 4, sy = y + 4;
        else if (x < 8 && y >= 4) sy = y + 4;
        else if (x >= 4) sx = x + 4;
        ASSERT_EQ(target.Pixel(x, y), table.Pixel(sx, sy)) << x << ", " << y;
      }
    }
  }
}

TEST_F(PanelTest, TableBorderAndFill) {
  Reset(30, 20);
  DrawTable(canvas, 30, 20, false);
  for (int32_t x = 8; x < 22; ++x) {
    EXPECT_EQ(target.Pixel(x, 0), kBorder);
    EXPECT_EQ(target.Pixel(x, 1), kBorder);
    EXPECT_EQ(target.Pixel(x, 2), kFill);
    EXPECT_EQ(target.Pixel(x, 17), kFill);
    EXPECT_EQ(target.Pixel(x, 18), kBorder);
    EXPECT_EQ(target.Pixel(x, 19), kBorder);
  }
  for (int32_t y = 8; y < 12; ++y) {
    EXPECT_EQ(target.Pixel(1, y), kBorder);
    EXPECT_EQ(target.Pixel(2, y), kFill);
    EXPECT_EQ(target.Pixel(27, y), kFill);
    EXPECT_EQ(target.Pixel(28, y), kBorder);
  }
  EXPECT_EQ(target.Pixel(29, 19), TableBitmap().Pixel(15, 15));
  EXPECT_EQ(target.Pixel(22, 0), TableBitmap().Pixel(8, 0));
}

TEST_F(PanelTest, TopTabIsOpenAtTheBottom) {
  Reset(20, 12);
  DrawTableTop(canvas, 20, 12);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      ASSERT_EQ(target.Pixel(x, y), TableBitmap().Pixel(x, y));
      ASSERT_EQ(target.Pixel(12 + x, y), TableBitmap().Pixel(8 + x, y));
    }
  for (int32_t y = 8; y < 12; ++y) {
    EXPECT_EQ(target.Pixel(0, y), kBorder);
    EXPECT_EQ(target.Pixel(1, y), kBorder);
    EXPECT_EQ(target.Pixel(2, y), kFill);
    EXPECT_EQ(target.Pixel(10, y), kFill);
    EXPECT_EQ(target.Pixel(18, y), kBorder);
  }
}

TEST_F(PanelTest, BottomTabHasMirroredTopCorners) {
  Reset(61, 20);
  DrawTableBottom(canvas, 61, 20);
  for (int32_t row = 0; row < 8; ++row)
    for (int32_t x = 0; x < 8; ++x) {
      ASSERT_EQ(target.Pixel(x, 19 - row), TableBitmap().Pixel(x, row)) << x << ", " << row;
      ASSERT_EQ(target.Pixel(53 + x, 19 - row), TableBitmap().Pixel(8 + x, row)) << x << ", " << row;
    }
  for (int32_t x = 8; x < 53; ++x) {
    EXPECT_EQ(target.Pixel(x, 0), kFill);
    EXPECT_EQ(target.Pixel(x, 17), kFill);
    EXPECT_EQ(target.Pixel(x, 18), kBorder);
    EXPECT_EQ(target.Pixel(x, 19), kBorder);
  }
  for (int32_t y = 0; y < 12; ++y) {
    EXPECT_EQ(target.Pixel(1, y), kBorder);
    EXPECT_EQ(target.Pixel(2, y), kFill);
    EXPECT_EQ(target.Pixel(58, y), kFill);
    EXPECT_EQ(target.Pixel(59, y), kBorder);
  }
}

TEST(ButtonBitmapTest, RoundedFaceOnThePanelFill) {
  const TBitmap32& button = ButtonBitmap();
  ASSERT_EQ(button.Width(), 40);
  ASSERT_EQ(button.Height(), 20);
  for (const auto& [x, y] : {std::pair{0, 0}, {39, 0}, {0, 19}, {39, 19}}) EXPECT_EQ(button.Pixel(x, y), kFill);
  EXPECT_EQ(button.Pixel(20, 0), Color32(0x47, 0x8A, 0x7C));
  EXPECT_EQ(button.Pixel(0, 10), Color32(0x47, 0x8A, 0x7C));
  EXPECT_EQ(button.Pixel(20, 18), Color32(0x3C, 0x6A, 0x6E));
  EXPECT_EQ(button.Pixel(38, 10), Color32(0x3C, 0x6A, 0x6E));
  EXPECT_EQ(button.Pixel(20, 19), Color32(0x5C, 0x84, 0x59));
  EXPECT_EQ(button.Pixel(39, 10), Color32(0x5C, 0x84, 0x59));
  EXPECT_EQ(button.Pixel(20, 5), Color32(0xB7, 0xDE, 0x98));
  EXPECT_EQ(button.Pixel(20, 13), Color32(0xCD, 0xEA, 0xB4));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(AlphaComponent(button.Pixel(x, y)), 255);
}

class ButtonTest : public PanelTest {
 protected:
  void SetUp() override { Reset(60, 40); }

  // Whether the target shows the button at (X, Y) except inside `box`, and
  // what pixels of colour `ink` lie inside it.
  int32_t CheckButton(int32_t X, int32_t Y, const TRect& box, TColor32 ink) {
    int32_t inked = 0;
    for (int32_t y = 0; y < target.Height(); ++y) {
      for (int32_t x = 0; x < target.Width(); ++x) {
        const bool onButton = x >= X && y >= Y && x < X + 40 && y < Y + 20;
        const bool inBox = x >= box.Left && y >= box.Top && x < box.Right && y < box.Bottom;
        const TColor32 pixel = target.Pixel(x, y);
        if (inBox && pixel == ink) {
          ++inked;
          continue;
        }
        const TColor32 want = onButton ? ButtonBitmap().Pixel(x - X, y - Y) : kStale;
        if (pixel != want) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << pixel << ", want " << want;
          return inked;
        }
      }
    }
    return inked;
  }
};

TEST_F(ButtonTest, CaptionIsCentred) {
  for (const char* caption : {"LOAD", "SAVE"}) {
    SCOPED_TRACE(caption);
    Reset(60, 40);
    DrawButtonImage(canvas, 7, 5, caption);
    const int32_t tw = canvas.TextWidth(caption), th = canvas.TextHeight(caption);
    ASSERT_GT(tw, 0);
    ASSERT_LT(tw, 40);
    const int32_t left = 7 + (40 - tw) / 2, top = 5 + (20 - th) / 2;
    EXPECT_GT(CheckButton(7, 5, TRect{left, top, left + tw, top + th}, canvas.Font.Color | 0xFF000000), 8);
  }
}

TEST_F(ButtonTest, CaptionInTheCanvasFontAndColour) {
  canvas.Font.Color = Color32(200, 0, 0);
  canvas.Font.SetSize(12);
  const int32_t tw = canvas.TextWidth("W"), th = canvas.TextHeight("W");
  DrawButtonImage(canvas, 3, 2, "W");
  const int32_t left = 3 + (40 - tw) / 2, top = 2 + (20 - th) / 2;
  EXPECT_GT(CheckButton(3, 2, TRect{left, top, left + tw, top + th}, Color32(200, 0, 0)), 8);
}

TEST_F(ButtonTest, EmptyCaptionDrawsThePictureOnly) {
  DrawButtonImage(canvas, 7, 5, "");
  EXPECT_EQ(CheckButton(7, 5, TRect{}, 0), 0);
}

}  // namespace
}  // namespace varune
