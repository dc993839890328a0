#include "demo/interface_art.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "demo/art.h"
#include "imaging/resampler.h"
#include "imaging/transform.h"

namespace varune::demo {
namespace {

// Draws `Drawing` scaled by `Scale` and turned by `Angle` degrees with its
// centre at (Cx, Cy).
void PutFitted(TBitmap32& Dst, const TBitmap32& Drawing, double Cx, double Cy, double Scale, double Angle) {
  TBitmap32 src = Drawing;
  src.DrawMode = dmBlend;
  TAffineTransformation t;
  t.SrcRect = {0, 0, static_cast<double>(src.Width()), static_cast<double>(src.Height())};
  t.Translate(-src.Width() / 2.0, -src.Height() / 2.0);
  t.Scale(Scale, Scale);
  t.Rotate(0, 0, Angle);
  t.Translate(Cx, Cy);
  Transform(Dst, src, t);
}

// Fits a drawing into a Size x Size square, long thin ones along the diagonal.
void Fit(TBitmap32& Dst, const TBitmap32& Drawing, double X, double Y, double Size) {
  const double w = Drawing.Width(), h = Drawing.Height();
  const bool diagonal = h > 2.2 * w || w > 2.2 * h;
  const double extent = diagonal ? (w + h) / std::sqrt(2.0) : std::max(w, h);
  double scale = std::min(Size / extent, 2.0);
  if (scale > 1) scale = std::floor(scale);  // whole enlargements keep pixels square
  PutFitted(Dst, Drawing, X + Size / 2, Y + Size / 2, scale, diagonal ? (h > w ? -45 : 45) : 0);
}

void Tile(TBitmap32& b, int32_t x0, int32_t y0, int32_t size, uint32_t top, uint32_t bottom, uint32_t border) {
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) {
      const int32_t cx = std::min(x, size - 1 - x), cy = std::min(y, size - 1 - y);
      if (cx + cy < 2) continue;  // rounded corners
      const bool edge = cx == 0 || cy == 0 || cx + cy == 2;
      b.Pixel(x0 + x, y0 + y) = 0xFF000000u | (edge ? border : MixRgb(top, bottom, double(y) / size));
    }
}

TBitmap32 Grey(const TBitmap32& in, uint8_t alpha) {
  TBitmap32 out = in;
  for (int32_t i = 0; i < out.Width() * out.Height(); ++i) {
    TColor32& p = out.Bits()[i];
    if (!AlphaComponent(p)) continue;
    const uint32_t l = (RedComponent(p) * 30 + GreenComponent(p) * 59 + BlueComponent(p) * 11) / 100;
    const uint32_t v = 120 + l / 3;
    p = (TColor32(AlphaComponent(p) * alpha / 255) << 24) | (v << 16) | (v << 8) | (v + 8 > 255 ? 255 : v + 8);
  }
  return out;
}

const TBitmap32& MainDrawing(const TArt& art) { return art.Drawn[static_cast<size_t>(std::max(0, art.MainIndex))].Bitmap; }

}  // namespace

TBitmap32 DrawIcon(const TBitmap32& Drawing, TIconTint Tint) {
  TBitmap32 icon(32, 32);
  static const uint32_t tops[] = {0xE4EEFA, 0xFBE8F0, 0xFFF4D0}, bottoms[] = {0xB4CCEC, 0xF0C4D8, 0xF0D890},
                        borders[] = {0x7890B8, 0xC08CA4, 0xC0A050};
  Tile(icon, 0, 0, 32, tops[Tint], bottoms[Tint], borders[Tint]);
  Fit(icon, Drawing, 3, 3, 26);
  // Translucent parts (glows, ghosts) show the tile through, not holes.
  for (int32_t i = 0; i < 32 * 32; ++i)
    if (AlphaComponent(icon.Bits()[i])) icon.Bits()[i] |= 0xFF000000u;
  return icon;
}

TBitmap32 DrawSlotAndWindowPicture() {
  TBitmap32 b(300, 300);
  // The window: one rounded frame whose rows 1-4, 6 and 11-14 the painter cuts.
  const int32_t w = 260, h = 14;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t cx = std::min(x, w - 1 - x), cy = std::min(y, h - 1 - y);
      if (cx + cy < 2) continue;
      const bool outer = cx == 0 || cy == 0 || cx + cy == 2;
      const bool inner = !outer && (cx == 1 || cy == 1 || cx + cy == 3);
      b.Pixel(1 + x, 1 + y) = outer ? 0xFF315597 : inner ? 0xFF9CB4E0 : 0xF0F6F8FF;
    }
  // Slot placeholders: a greyed piece of our own art for each slot's cell.
  const TColors grey{0xB8C0CC, 0xD8DCE4, 0x98A0AC};
  const TArt pieces[14] = {
      DrawWear(wkHat, hdCap, grey),       DrawFace(gaFemale, 0, 0),         DrawWear(wkGlasses, 0, grey),
      DrawWear(wkEarrings, 1, grey),      DrawWear(wkCloak, 0, grey),       DrawWear(wkTops, 0, grey),
      DrawWear(wkStockings, 1, grey),     DrawWear(wkRing, 0, grey),        DrawWear(wkGloves, 0, grey),
      DrawWear(wkBoots, 0, grey),         DrawWear(wkStone, 0, grey),       DrawWeapon(3, 0, grey),
      DrawWeapon(12, 0, grey),            DrawWear(wkBottoms, 0, grey),
  };
  for (int32_t n = 0; n < 14; ++n) {
    const int32_t x = (n % 7) * 29 + 1, y = (n / 7) * 29 + 211;
    TBitmap32 cell(28, 28);
    Fit(cell, Grey(MainDrawing(pieces[n]), 200), 2, 2, 24);
    b.Draw(x, y, cell);
  }
  return b;
}

TBitmap32 DrawGenderButtons() {
  TBitmap32 b(848, 320);
  for (int32_t gender = 0; gender < 2; ++gender)
    for (int32_t lit = 0; lit < 2; ++lit) {
      const int32_t x0 = gender ? 804 : 767, y0 = lit ? 281 : 244;
      TArtCanvas c(18, 18, 18, 18);
      const uint32_t color = !lit ? 0x98A2B4 : gender ? 0xE8508C : 0x3C78E0;
      c.Paint(c.Ellipse(0, 0, 16.5, 16.5), MakeShade(color));
      c.Fill(c.Ellipse(-4, -8, 7, 3.5), 0x60FFFFFF, 0);  // gloss
      // The sign: a ring with an arrow (male) or a cross (female).
      TMask ring = c.Ellipse(gender ? 0 : -2, gender ? -3 : 2, 6.5, 6.5);
      ring -= c.Ellipse(gender ? 0 : -2, gender ? -3 : 2, 4, 4);
      if (gender) {
        ring |= c.Rect(-1.2, 3, 1.2, 12);
        ring |= c.Rect(-4.5, 6.5, 4.5, 8.8);
      } else {
        ring |= c.Capsule(2, -2, 8, -8, 2.4);
        ring |= c.Rect(3, -10, 10, -7.6);
        ring |= c.Rect(7.6, -10, 10, -3);
      }
      c.Fill(ring, lit ? 0xFFFFFFFF : 0xFFE8ECF2, 0);
      const TCell cell = c.Finish(false);
      TBitmap32 button(36, 36);
      button.Draw(18 - cell.PivotX, 18 - cell.PivotY, cell.Bitmap);
      b.Draw(x0, y0, button);
    }
  return b;
}

TBitmap32 DrawShadow() {
  TBitmap32 b(64, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const double u = (x + 0.5 - 32) / 19, v = (y + 0.5 - 16) / 5.5, d = u * u + v * v;
      if (d >= 1) continue;
      const uint32_t alpha = static_cast<uint32_t>(std::lround(100 * (1 - d * d)));
      b.Pixel(x, y) = (alpha << 24) | 0x282438;
    }
  return b;
}

TBitmap32 DrawMiniWeaponIcons() {
  TBitmap32 b(512, 160);
  const TColors colors{0x8C6C4C, 0x5C3C2C, 0x50A2E2};
  for (int32_t n = 0; n < 15; ++n) {
    const TArt art = DrawWeapon(n + 1, 0, colors);
    TBitmap32 cell(16, 16);
    Fit(cell, MainDrawing(art), 0, 0, 16);
    b.Draw((n % 15) * 17 + 249, (n / 15) * 17 + 133, cell);
  }
  return b;
}

void ShiftHues(TBitmap32& Bitmap, int32_t Degrees) {
  std::unordered_map<uint32_t, uint32_t> done;
  for (int32_t i = 0; i < Bitmap.Width() * Bitmap.Height(); ++i) {
    TColor32& p = Bitmap.Bits()[i];
    if (!AlphaComponent(p)) continue;
    const uint32_t rgb = p & 0xFFFFFF;
    auto found = done.find(rgb);
    if (found == done.end()) found = done.emplace(rgb, ShiftHue(rgb, Degrees)).first;
    p = (p & 0xFF000000u) | found->second;
  }
}

}  // namespace varune::demo
