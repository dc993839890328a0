#include <gtest/gtest.h>

#include <set>
#include <string>

#include "imaging/blend.h"
#include "imaging/canvas.h"
#include "imaging/text.h"

namespace varune {
namespace {

constexpr TColor32 kWhite = 0xFFFFFFFF;
constexpr TColor32 kInk = 0xFF102030;

TFont Font(const char* name, int32_t height = -12, bool bold = false) {
  TFont font;
  font.Name = name;
  font.Height = height;
  font.Bold = bold;
  return font;
}

// Where the text covered pixels: their bounding box and count.
struct TInk {
  int32_t Left = INT32_MAX, Top = INT32_MAX, Right = -1, Bottom = -1;
  int32_t Count = 0;
  std::vector<bool> Mask;
};

TInk Render(const TFont& font, const std::string& text, int32_t x = 5, int32_t y = 4) {
  TBitmap32 bitmap(200, 40);
  bitmap.Clear(kWhite);
  RenderText(bitmap, font, x, y, text, 0, kInk);
  TInk ink;
  for (int32_t py = 0; py < bitmap.Height(); ++py)
    for (int32_t px = 0; px < bitmap.Width(); ++px) {
      const TColor32 c = bitmap.Pixel(px, py);
      EXPECT_TRUE(c == kWhite || c == kInk) << "not monochrome at " << px << "," << py;
      const bool covered = c == kInk;
      ink.Mask.push_back(covered);
      if (!covered) continue;
      ++ink.Count;
      ink.Left = std::min(ink.Left, px), ink.Right = std::max(ink.Right, px + 1);
      ink.Top = std::min(ink.Top, py), ink.Bottom = std::max(ink.Bottom, py + 1);
    }
  return ink;
}

TEST(FontTest, WindowsNamesResolveToInstalledFonts) {
  for (const char* japanese : {"ＭＳ Ｐゴシック", "MS UI Gothic"}) {
    const TResolvedFont resolved = ResolveFont(Font(japanese));
    EXPECT_EQ(resolved.Family, "IPAPGothic") << japanese << " -> " << resolved.FileName;
    EXPECT_EQ(resolved.PixelSize, 12);
    EXPECT_FALSE(resolved.SyntheticBold);
  }
  EXPECT_EQ(ResolveFont(Font("Tahoma")).Family, "DejaVu Sans");
  // IPAPGothic has no bold face: bold is made by widening.
  EXPECT_TRUE(ResolveFont(Font("MS UI Gothic", -12, true)).SyntheticBold);
  EXPECT_FALSE(ResolveFont(Font("Tahoma", -12, true)).SyntheticBold);
}

TEST(FontTest, SizesAndHeights) {
  TFont font = Font("ＭＳ Ｐゴシック");
  font.SetSize(9);
  EXPECT_EQ(font.Height, -12);
  EXPECT_EQ(font.Size(), 9);
  font.SetSize(8);
  EXPECT_EQ(font.Height, -11);

  const TFontMetrics metrics = GetFontMetrics(Font("ＭＳ Ｐゴシック", -12));
  EXPECT_GT(metrics.Ascent, metrics.Descent);
  EXPECT_GE(metrics.Height(), 12);
  EXPECT_LE(metrics.Height(), 16);
  EXPECT_EQ(TextHeight(Font("ＭＳ Ｐゴシック", -12), "anything"), metrics.Height());
  // A positive height asks for the cell height.
  EXPECT_NEAR(GetFontMetrics(Font("ＭＳ Ｐゴシック", 15)).Height(), 15, 1);
  EXPECT_NEAR(GetFontMetrics(Font("Tahoma", 13)).Height(), 13, 1);
}

TEST(TextTest, WidthIsPositiveStableAndAdditive) {
  for (const char* name : {"Tahoma", "ＭＳ Ｐゴシック"}) {
    const TFont font = Font(name);
    const int32_t width = TextWidth(font, "Varune 装備");
    EXPECT_GT(width, 0);
    EXPECT_EQ(TextWidth(font, "Varune 装備"), width);
    // No kerning: the width of a string is the sum of its characters'.
    EXPECT_EQ(TextWidth(font, "AV"), TextWidth(font, "A") + TextWidth(font, "V")) << name;
    EXPECT_EQ(TextWidth(font, ""), 0);
    EXPECT_GT(TextWidth(Font(name, -24), "Varune"), TextWidth(font, "Varune"));
    EXPECT_GE(TextWidth(Font(name, -12, true), "iii"), TextWidth(font, "iii") + 3 * ResolveFont(Font(name, -12, true)).SyntheticBold);
  }
  // Japanese in a Latin font comes from a font that has it, not the box.
  EXPECT_EQ(TextWidth(Font("Tahoma"), "装備"), TextWidth(Font("ＭＳ Ｐゴシック"), "装備"));
  // Damaged UTF-8 is measured, not refused.
  EXPECT_GT(TextWidth(Font("Tahoma"), std::string("a\xE3\x81") + "b\xFF"), 0);
}

TEST(TextTest, JapaneseRendersRealGlyphsInsideTheCell) {
  const TFont font = Font("ＭＳ Ｐゴシック");
  const std::string text = "装備品";
  const TInk ink = Render(font, text, 5, 4);
  const int32_t width = TextWidth(font, text);
  const int32_t height = TextHeight(font, text);
  ASSERT_GT(ink.Count, 30);
  EXPECT_GE(ink.Left, 5);
  EXPECT_LE(ink.Right, 5 + width + 1);
  EXPECT_GE(ink.Top, 4);
  EXPECT_LE(ink.Bottom, 4 + height);
  EXPECT_GT(ink.Right - ink.Left, width / 2);
  EXPECT_GT(ink.Bottom - ink.Top, height / 2);

  // Different characters give different pictures, and none is the
  // missing-glyph box (U+0378 is unassigned, no font has it).
  const std::string box = "\u0378";
  const TInk boxInk = Render(font, box);
  EXPECT_GT(boxInk.Count, 0);
  std::set<std::vector<bool>> seen{boxInk.Mask};
  for (const char* ch : {"装", "備", "品", "あ"}) EXPECT_TRUE(seen.insert(Render(font, ch).Mask).second) << ch;

  // Moving the origin moves the picture.
  const TInk moved = Render(font, text, 8, 6);
  EXPECT_EQ(moved.Left, ink.Left + 3);
  EXPECT_EQ(moved.Top, ink.Top + 2);
  EXPECT_EQ(moved.Count, ink.Count);
}

TEST(TextTest, CoveredPixelsBlendOthersStayAndEdgesClip) {
  const TFont font = Font("Tahoma", -16);
  TBitmap32 bitmap(40, 20);
  bitmap.Clear(0xFF0000FF);
  const TColor32 half = 0x80FF0000;
  RenderText(bitmap, font, 2, 0, "H", 0, half);
  std::set<TColor32> values(bitmap.Bits(), bitmap.Bits() + 40 * 20);
  EXPECT_EQ(values, (std::set<TColor32>{0xFF0000FF, BlendPixel(half, 0xFF0000FF)}));
  EXPECT_EQ(BlendPixel(half, 0xFF0000FF), 0xC0800080u);

  // Text hanging over every edge neither crashes nor wraps.
  TBitmap32 small(6, 6);
  small.Clear(kWhite);
  RenderText(small, font, -7, -9, "WWW", 0, kInk);
  RenderText(small, font, 4, 3, "WWW", 0, kInk);
  RenderText(small, font, INT32_MAX - 3, INT32_MIN + 3, "W", 0, kInk);
  TBitmap32 empty;
  RenderText(empty, font, 0, 0, "W", 0, kInk);
}

TEST(CanvasTest, DrawsPicturesCopiesRectanglesAndWritesText) {
  TBitmap32 target(8, 6);
  target.Clear(0xFF000000);
  TCanvas canvas(target);

  TPngImage png = TPngImage::Blank(3, 2);
  png.Rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  png.Alpha = {255, 128, 0, 255, 255, 255};
  canvas.Draw(6, 4, png);  // clipped at the right
  EXPECT_EQ(target.Pixel(6, 4), 0xFFFF0000u);
  EXPECT_EQ(target.Pixel(7, 4), BlendPixel(0x8000FF00, 0xFF000000));
  EXPECT_EQ(target.Pixel(7, 5), 0xFF090909u);
  canvas.Draw(0, 0, png, TRect{1, 0, 3, 1});
  EXPECT_EQ(target.Pixel(0, 0), BlendPixel(0x8000FF00, 0xFF000000));
  EXPECT_EQ(target.Pixel(1, 0), 0xFF000000u);  // alpha 0: untouched

  TBitmap32 bmp(2, 2);
  bmp.Clear(0xFF123456);
  bmp.Pixel(1, 1) = 0xFFABCDEF;
  canvas.Draw(-1, -1, bmp);
  EXPECT_EQ(target.Pixel(0, 0), 0xFFABCDEFu);
  canvas.CopyRect(TRect{2, 2, 6, 4}, bmp, TRect{0, 0, 2, 2});  // stretched twice as wide and high... in x
  EXPECT_EQ(target.Pixel(2, 2), 0xFF123456u);
  EXPECT_EQ(target.Pixel(5, 3), 0xFFABCDEFu);
  EXPECT_EQ(target.Pixel(3, 3), 0xFF123456u);

  TBitmap32 page(60, 20);
  page.Clear(0);
  TCanvas text(page);
  text.Font = Font("MS UI Gothic");
  text.Font.Color = 0x00FFFFFF;  // a window-system colour: no alpha
  text.TextOut(1, 1, "装備");
  std::set<TColor32> values(page.Bits(), page.Bits() + 60 * 20);
  EXPECT_EQ(values, (std::set<TColor32>{0, 0xFFFFFFFF}));
  EXPECT_EQ(text.TextWidth("装備"), TextWidth(text.Font, "装備"));
  EXPECT_EQ(text.TextHeight("装備"), GetFontMetrics(text.Font).Height());
}

}  // namespace
}  // namespace varune
