#include "database/panels.h"

#include <array>

namespace varune {

namespace {

constexpr TColor32 kBorder = Color32(0x31, 0x4C, 0x61);
constexpr TColor32 kFill = Color32(0x84, 0xBD, 0x80);
constexpr TColor32 kKey = Color32(0xFF, 0x00, 0xFF);

// One letter a pixel: a the window colour, b and c its blend into the border
// D, e and f the border's blend into the fill G.
constexpr std::array<std::string_view, 16> kTableRows = {
    "aaaabcDDDDcbaaaa", "aabcDDDDDDDDcbaa", "abcDDefGGfeDDcba", "acDefGGGGGGfeDca",
    "bDDfGGGGGGGGfDDb", "cDeGGGGGGGGGGeDc", "DDfGGGGGGGGGGfDD", "DDGGGGGGGGGGGGDD",
    "DDGGGGGGGGGGGGDD", "DDfGGGGGGGGGGfDD", "cDeGGGGGGGGGGeDc", "bDDfGGGGGGGGfDDb",
    "acDefGGGGGGfeDca", "abcDDefGGfeDDcba", "aabcDDDDDDDDcbaa", "aaaabcDDDDcbaaaa"};

TColor32 TableColor(char Letter, bool Trans) {
  switch (Letter) {
    case 'a': return Trans ? kKey : Color32(0x46, 0x8C, 0x7C);
    case 'b': return Trans ? kKey : Color32(0x40, 0x7C, 0x75);
    case 'c': return Trans ? kKey : Color32(0x3B, 0x6C, 0x6E);
    case 'D': return kBorder;
    case 'e': return Color32(0x5A, 0x84, 0x70);
    case 'f': return Color32(0x6F, 0xA0, 0x78);
    default: return kFill;
  }
}

TBitmap32 MakeTable(bool Trans) {
  TBitmap32 bitmap(16, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) bitmap.Pixel(x, y) = TableColor(kTableRows[y][x], Trans);
  return bitmap;
}

// A rounded green face on the panel fill: a dark border lit from the top
// left, a pale rim inside it, a face darker above than below, a drop shadow
// one pixel down and right.
TBitmap32 MakeButton() {
  constexpr int32_t kRight = 38, kBottom = 18;  // the border's far column and row
  TBitmap32 bitmap(40, 20);
  bitmap.Clear(kFill);
  // Shadow: the border's bottom and right sides moved by one pixel.
  const TColor32 shadow = Color32(0x5C, 0x84, 0x59);
  bitmap.FillRect(3, kBottom + 1, kRight, kBottom + 2, shadow);
  bitmap.FillRect(kRight + 1, 3, kRight + 2, kBottom, shadow);
  bitmap.Pixel(kRight, kBottom) = shadow;
  // Face, upper and lower half.
  bitmap.FillRect(2, 2, kRight - 1, 9, Color32(0xB7, 0xDE, 0x98));
  bitmap.FillRect(2, 9, kRight - 1, kBottom - 1, Color32(0xCD, 0xEA, 0xB4));
  // Rim: lightest on the lit sides.
  const TColor32 rimLit = Color32(0xF7, 0xFB, 0xD0), rimShade = Color32(0xEC, 0xF6, 0xC3);
  bitmap.FillRect(2, 1, kRight - 1, 2, rimLit);
  bitmap.FillRect(1, 2, 2, kBottom - 1, rimLit);
  bitmap.FillRect(2, kBottom - 1, kRight - 1, kBottom, rimShade);
  bitmap.FillRect(kRight - 1, 2, kRight, kBottom - 1, rimShade);
  // Border with one-pixel diagonal corners.
  const TColor32 lit = Color32(0x47, 0x8A, 0x7C), shade = Color32(0x3C, 0x6A, 0x6E);
  bitmap.FillRect(2, 0, kRight - 1, 1, lit);
  bitmap.FillRect(0, 2, 1, kBottom - 1, lit);
  bitmap.Pixel(1, 1) = lit;
  bitmap.Pixel(kRight - 1, 1) = lit;
  bitmap.FillRect(2, kBottom, kRight - 1, kBottom + 1, shade);
  bitmap.FillRect(kRight, 2, kRight + 1, kBottom - 1, shade);
  bitmap.Pixel(1, kBottom - 1) = shade;
  bitmap.Pixel(kRight - 1, kBottom - 1) = shade;
  // Highlights at the upper left of the face.
  const TColor32 highlight = Color32(0xFD, 0xFE, 0xF4);
  for (const auto& [x, y] : {std::pair{2, 2}, {3, 2}, {4, 2}, {2, 3}, {2, 4}}) bitmap.Pixel(x, y) = highlight;
  return bitmap;
}

// Copies quadrant (QX, QY) of a table bitmap to (X, Y), its rows upside down when `Flip`.
void PutCorner(TCanvas& Canvas, const TBitmap32& Table, int32_t QX, int32_t QY, int32_t X, int32_t Y,
               bool Flip = false) {
  for (int32_t row = 0; row < 8; ++row) {
    const int32_t y = Flip ? Y + 7 - row : Y + row;
    Canvas.CopyRect(TRect{X, y, X + 8, y + 1}, Table, TRect{QX, QY + row, QX + 8, QY + row + 1});
  }
}

// Border on the sides asked for, fill inside.
void FillPanel(TCanvas& Canvas, int32_t Width, int32_t Height, bool Top, bool Bottom) {
  TBitmap32& target = Canvas.Target();
  target.FillRect(0, 0, Width, Height, kBorder);
  target.FillRect(2, Top ? 2 : 0, Width - 2, Bottom ? Height - 2 : Height, kFill);
}

}  // namespace

const TBitmap32& TableBitmap() {
  static const TBitmap32 bitmap = MakeTable(false);
  return bitmap;
}

const TBitmap32& TableTransBitmap() {
  static const TBitmap32 bitmap = MakeTable(true);
  return bitmap;
}

const TBitmap32& ButtonBitmap() {
  static const TBitmap32 bitmap = MakeButton();
  return bitmap;
}

void DrawTable(TCanvas& Canvas, int32_t Width, int32_t Height, bool Trans) {
  FillPanel(Canvas, Width, Height, true, true);
  const TBitmap32& table = Trans ? TableTransBitmap() : TableBitmap();
  // In this order: on narrow panels the later corners cover the earlier ones.
  PutCorner(Canvas, table, 0, 0, 0, 0);
  PutCorner(Canvas, table, 8, 0, Width - 8, 0);
  PutCorner(Canvas, table, 0, 8, 0, Height - 8);
  PutCorner(Canvas, table, 8, 8, Width - 8, Height - 8);
}

void DrawTableTop(TCanvas& Canvas, int32_t Width, int32_t Height) {
  FillPanel(Canvas, Width, Height, true, false);
  PutCorner(Canvas, TableBitmap(), 0, 0, 0, 0);
  PutCorner(Canvas, TableBitmap(), 8, 0, Width - 8, 0);
}

void DrawTableBottom(TCanvas& Canvas, int32_t Width, int32_t Height) {
  FillPanel(Canvas, Width, Height, false, true);
  PutCorner(Canvas, TableBitmap(), 0, 0, 0, Height - 8, true);
  PutCorner(Canvas, TableBitmap(), 8, 0, Width - 8, Height - 8, true);
}

void DrawButtonImage(TCanvas& Canvas, int32_t X, int32_t Y, std::string_view Caption) {
  Canvas.Draw(X, Y, ButtonBitmap());
  if (Caption.empty()) return;
  const int32_t textWidth = Canvas.TextWidth(Caption), textHeight = Canvas.TextHeight(Caption);
  Canvas.TextOut(X + (40 - textWidth) / 2, Y + (20 - textHeight) / 2, Caption);
}

}  // namespace varune
