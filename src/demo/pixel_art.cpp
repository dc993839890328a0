#include "demo/pixel_art.h"

#include <algorithm>
#include <cmath>

namespace varune::demo {
namespace {

uint32_t ScaleRgb(uint32_t rgb, double r, double g, double b) {
  auto ch = [](uint32_t v, double f) { return static_cast<uint32_t>(std::clamp(std::lround(v * f), 0L, 255L)); };
  return (ch((rgb >> 16) & 0xFF, r) << 16) | (ch((rgb >> 8) & 0xFF, g) << 8) | ch(rgb & 0xFF, b);
}

}  // namespace

uint32_t MixRgb(uint32_t A, uint32_t B, double T) {
  auto ch = [&](int shift) {
    const double a = (A >> shift) & 0xFF, b = (B >> shift) & 0xFF;
    return static_cast<uint32_t>(std::lround(a + (b - a) * T)) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

TShade MakeShade(uint32_t Base) {
  // Shadows lean towards blue and highlights towards warm white, as painted
  // pixel art does; the outline is a deep version of the shadow.
  const uint32_t light = MixRgb(Base, 0xFFF6E0, 0.38);
  const uint32_t dark = MixRgb(ScaleRgb(Base, 0.70, 0.68, 0.78), 0x302050, 0.12);
  const uint32_t line = MixRgb(ScaleRgb(Base, 0.30, 0.28, 0.36), 0x1A1030, 0.35);
  return {0xFF000000u | light, 0xFF000000u | Base, 0xFF000000u | dark, 0xFF000000u | line};
}

uint32_t ShiftHue(uint32_t Rgb, int32_t Degrees, double Saturation, double Value) {
  const double r = ((Rgb >> 16) & 0xFF) / 255.0, g = ((Rgb >> 8) & 0xFF) / 255.0, b = (Rgb & 0xFF) / 255.0;
  const double max = std::max({r, g, b}), min = std::min({r, g, b}), delta = max - min;
  double h = 0;
  if (delta > 0) {
    if (max == r) h = std::fmod((g - b) / delta, 6.0);
    else if (max == g) h = (b - r) / delta + 2;
    else h = (r - g) / delta + 4;
    h *= 60;
  }
  double s = max > 0 ? delta / max : 0, v = max;
  h = std::fmod(h + Degrees + 720.0, 360.0);
  s = std::clamp(s * Saturation, 0.0, 1.0);
  v = std::clamp(v * Value, 0.0, 1.0);
  const double c = v * s, x = c * (1 - std::fabs(std::fmod(h / 60, 2) - 1)), m = v - c;
  double rr = 0, gg = 0, bb = 0;
  switch (static_cast<int>(h / 60) % 6) {
    case 0: rr = c, gg = x; break;
    case 1: rr = x, gg = c; break;
    case 2: gg = c, bb = x; break;
    case 3: gg = x, bb = c; break;
    case 4: rr = x, bb = c; break;
    default: rr = c, bb = x; break;
  }
  auto ch = [&](double v8) { return static_cast<uint32_t>(std::lround((v8 + m) * 255)); };
  return (ch(rr) << 16) | (ch(gg) << 8) | ch(bb);
}

TMask& TMask::operator|=(const TMask& Other) {
  for (size_t i = 0; i < FBits.size(); ++i) FBits[i] |= Other.FBits[i];
  return *this;
}

TMask& TMask::operator-=(const TMask& Other) {
  for (size_t i = 0; i < FBits.size(); ++i) FBits[i] &= static_cast<uint8_t>(!Other.FBits[i]);
  return *this;
}

TMask& TMask::operator&=(const TMask& Other) {
  for (size_t i = 0; i < FBits.size(); ++i) FBits[i] &= Other.FBits[i];
  return *this;
}

TMask TMask::Shifted(int32_t Dx, int32_t Dy) const {
  TMask result(FWidth, FHeight);
  for (int32_t y = 0; y < FHeight; ++y)
    for (int32_t x = 0; x < FWidth; ++x)
      if (Get(x, y)) result.Set(x + Dx, y + Dy);
  return result;
}

bool TMask::Empty() const { return std::none_of(FBits.begin(), FBits.end(), [](uint8_t b) { return b != 0; }); }

TArtCanvas::TArtCanvas(int32_t Left, int32_t Up, int32_t Right, int32_t Down)
    : FPivotX(Left + 1), FPivotY(Up + 1), FBitmap(Left + Right + 2, Up + Down + 2),
      FLines(size_t(Left + Right + 2) * size_t(Up + Down + 2)) {}

TMask TArtCanvas::Ellipse(double Cx, double Cy, double Rx, double Ry) const {
  TMask mask = Empty();
  for (int32_t y = 0; y < mask.Height(); ++y)
    for (int32_t x = 0; x < mask.Width(); ++x) {
      const double u = (x - FPivotX + 0.5 - Cx) / Rx, v = (y - FPivotY + 0.5 - Cy) / Ry;
      if (u * u + v * v <= 1.0) mask.Set(x, y);
    }
  return mask;
}

TMask TArtCanvas::Poly(std::initializer_list<TPt> Points) const { return Poly(std::vector<TPt>(Points)); }

TMask TArtCanvas::Poly(const std::vector<TPt>& Points) const {
  TMask mask = Empty();
  const size_t n = Points.size();
  for (int32_t y = 0; y < mask.Height(); ++y) {
    const double py = y - FPivotY + 0.5;
    for (int32_t x = 0; x < mask.Width(); ++x) {
      const double px = x - FPivotX + 0.5;
      bool inside = false;
      for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const TPt& a = Points[i];
        const TPt& b = Points[j];
        if ((a.Y > py) != (b.Y > py) && px < (b.X - a.X) * (py - a.Y) / (b.Y - a.Y) + a.X) inside = !inside;
      }
      if (inside) mask.Set(x, y);
    }
  }
  return mask;
}

TMask TArtCanvas::Rect(double X1, double Y1, double X2, double Y2) const {
  return Poly({{X1, Y1}, {X2, Y1}, {X2, Y2}, {X1, Y2}});
}

TMask TArtCanvas::Capsule(double X1, double Y1, double X2, double Y2, double W) const {
  TMask mask = Empty();
  const double dx = X2 - X1, dy = Y2 - Y1, len2 = dx * dx + dy * dy, r = W / 2;
  for (int32_t y = 0; y < mask.Height(); ++y)
    for (int32_t x = 0; x < mask.Width(); ++x) {
      const double px = x - FPivotX + 0.5, py = y - FPivotY + 0.5;
      double t = len2 > 0 ? ((px - X1) * dx + (py - Y1) * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = px - (X1 + t * dx), ey = py - (Y1 + t * dy);
      if (ex * ex + ey * ey <= r * r) mask.Set(x, y);
    }
  return mask;
}

TMask TArtCanvas::HalfPlane(double Y, bool Below) const {
  TMask mask = Empty();
  for (int32_t y = 0; y < mask.Height(); ++y)
    for (int32_t x = 0; x < mask.Width(); ++x)
      if ((y - FPivotY + 0.5 > Y) == Below) mask.Set(x, y);
  return mask;
}

void TArtCanvas::Put(int32_t X, int32_t Y, TColor32 Color, TColor32 Line) {
  if (!Inside(X, Y)) return;
  FBitmap.Pixel(X, Y) = Color;
  FLines[size_t(Y) * size_t(FBitmap.Width()) + size_t(X)] = Line;
}

void TArtCanvas::Paint(const TMask& Mask, const TShade& Shade, bool Edge) {
  for (int32_t y = 0; y < Mask.Height(); ++y)
    for (int32_t x = 0; x < Mask.Width(); ++x) {
      if (!Mask.Get(x, y)) continue;
      TColor32 color = Shade.Base;
      const bool border = !Mask.Get(x + 1, y) || !Mask.Get(x - 1, y) || !Mask.Get(x, y + 1) || !Mask.Get(x, y - 1);
      if (Edge && border) {
        color = Shade.Line;
      } else if (!Mask.Get(x + 2, y) || !Mask.Get(x + 1, y + 1) || !Mask.Get(x, y + 2)) {
        color = Shade.Dark;
      } else if (!Mask.Get(x - 1, y) || !Mask.Get(x, y - 1) ||
                 (Edge && (!Mask.Get(x - 2, y) || !Mask.Get(x, y - 2)))) {
        color = Shade.Light;
      }
      Put(x, y, color, Shade.Line);
    }
}

void TArtCanvas::Fill(const TMask& Mask, TColor32 Color, TColor32 Line) {
  for (int32_t y = 0; y < Mask.Height(); ++y)
    for (int32_t x = 0; x < Mask.Width(); ++x)
      if (Mask.Get(x, y)) Put(x, y, Color, Line);
}

void TArtCanvas::PaintSphere(double Cx, double Cy, double Rx, double Ry, const TShade& Shade) {
  for (int32_t y = 0; y < FBitmap.Height(); ++y)
    for (int32_t x = 0; x < FBitmap.Width(); ++x) {
      const double u = (x - FPivotX + 0.5 - Cx) / Rx, v = (y - FPivotY + 0.5 - Cy) / Ry;
      const double r2 = u * u + v * v;
      if (r2 > 1.0) continue;
      const double light = -(0.6 * u + 0.8 * v);  // towards the top left
      TColor32 color = light > 0.55 ? Shade.Light : light < -0.3 ? Shade.Dark : Shade.Base;
      if ((u + 0.4) * (u + 0.4) + (v + 0.45) * (v + 0.45) < 0.05) color = 0xFFFFFFFF;
      Put(x, y, color, Shade.Line);
    }
}

void TArtCanvas::Dot(int32_t X, int32_t Y, TColor32 Color) { Put(FPivotX + X, FPivotY + Y, Color, Color); }

void TArtCanvas::Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Color) {
  const int32_t steps = std::max(std::abs(X2 - X1), std::abs(Y2 - Y1));
  for (int32_t i = 0; i <= steps; ++i) {
    const double t = steps ? double(i) / steps : 0;
    Dot(static_cast<int32_t>(std::lround(X1 + (X2 - X1) * t)), static_cast<int32_t>(std::lround(Y1 + (Y2 - Y1) * t)),
        Color);
  }
}

void TArtCanvas::Erase(const TMask& Mask) {
  for (int32_t y = 0; y < Mask.Height(); ++y)
    for (int32_t x = 0; x < Mask.Width(); ++x)
      if (Mask.Get(x, y)) Put(x, y, 0, 0);
}

void TArtCanvas::SetOpacity(uint8_t Alpha) {
  for (int32_t y = 0; y < FBitmap.Height(); ++y)
    for (int32_t x = 0; x < FBitmap.Width(); ++x) {
      TColor32& p = FBitmap.Pixel(x, y);
      if (AlphaComponent(p)) p = (p & 0xFFFFFF) | (TColor32((AlphaComponent(p) * Alpha + 127) / 255) << 24);
    }
}

void TArtCanvas::Outline() {
  // Outline pixels are written where nothing was painted, so the line
  // colours of painted pixels stay as they are; only what was painted
  // before needs remembering.
  const int32_t w = FBitmap.Width();
  std::vector<uint8_t> was(FLines.size());
  for (size_t i = 0; i < was.size(); ++i) was[i] = AlphaComponent(FBitmap.Bits()[i]) != 0;
  auto painted = [&](int32_t x, int32_t y) { return Inside(x, y) && was[size_t(y) * size_t(w) + size_t(x)]; };
  const std::vector<TColor32>& lines = FLines;
  for (int32_t y = 0; y < FBitmap.Height(); ++y)
    for (int32_t x = 0; x < w; ++x) {
      if (painted(x, y)) continue;
      // Left and top neighbours first, so that seams between materials
      // take the colour of the part drawn in front of the light.
      for (auto [dx, dy] : {std::pair{-1, 0}, {0, -1}, {1, 0}, {0, 1}}) {
        if (!painted(x + dx, y + dy)) continue;
        const TColor32 line = lines[size_t(y + dy) * size_t(w) + size_t(x + dx)];
        FBitmap.Pixel(x, y) = line | 0xFF000000u;
        break;
      }
    }
}

TArtCanvas::TCell TArtCanvas::Finish(bool WithOutline) {
  if (WithOutline) Outline();
  int32_t left = FBitmap.Width(), top = FBitmap.Height(), right = 0, bottom = 0;
  for (int32_t y = 0; y < FBitmap.Height(); ++y)
    for (int32_t x = 0; x < FBitmap.Width(); ++x)
      if (AlphaComponent(FBitmap.Pixel(x, y))) {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
      }
  TCell cell;
  if (right <= left) {  // nothing painted: one transparent pixel at the pivot
    cell.Bitmap.SetSize(1, 1);
    return cell;
  }
  cell.Bitmap.SetSize(right - left, bottom - top);
  for (int32_t y = top; y < bottom; ++y)
    for (int32_t x = left; x < right; ++x) cell.Bitmap.Pixel(x - left, y - top) = FBitmap.Pixel(x, y);
  cell.PivotX = FPivotX - left;
  cell.PivotY = FPivotY - top;
  return cell;
}

}  // namespace varune::demo
