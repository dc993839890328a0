#pragma once
// Pixel-art drawing for the demo client: shapes filled with three tones lit
// from the top left, outlines around silhouettes, and cells that remember
// their pivot (the joint the animation turns them about).

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune::demo {

// A material: highlight, base and shadow tones and the colour of its outline.
struct TShade {
  TColor32 Light = 0, Base = 0, Dark = 0, Line = 0;
};

// Tones derived from one opaque colour (0xRRGGBB).
TShade MakeShade(uint32_t Rgb);
// The colour turned by `Degrees` around the hue circle, saturation and value
// scaled; used for colour variants.
uint32_t ShiftHue(uint32_t Rgb, int32_t Degrees, double Saturation = 1.0, double Value = 1.0);
uint32_t MixRgb(uint32_t A, uint32_t B, double T);

// Which pixels a shape covers, in the coordinates of a canvas.
class TMask {
 public:
  TMask(int32_t Width, int32_t Height) : FWidth(Width), FHeight(Height), FBits(size_t(Width) * size_t(Height)) {}
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Get(int32_t X, int32_t Y) const {
    return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight && FBits[size_t(Y) * size_t(FWidth) + size_t(X)];
  }
  void Set(int32_t X, int32_t Y, bool Value = true) {
    if (X >= 0 && Y >= 0 && X < FWidth && Y < FHeight) FBits[size_t(Y) * size_t(FWidth) + size_t(X)] = Value;
  }
  TMask& operator|=(const TMask& Other);
  TMask& operator-=(const TMask& Other);
  TMask& operator&=(const TMask& Other);
  // Moves every covered pixel by (Dx, Dy).
  TMask Shifted(int32_t Dx, int32_t Dy) const;
  bool Empty() const;

 private:
  int32_t FWidth, FHeight;
  std::vector<uint8_t> FBits;
};

struct TPt {
  double X = 0, Y = 0;
};

// A drawing surface whose coordinates are relative to its pivot. Shapes are
// built as masks, then painted; Finish adds the outline and crops the cell.
class TArtCanvas {
 public:
  // A canvas reaching `Left`, `Up`, `Right`, `Down` pixels around the pivot.
  TArtCanvas(int32_t Left, int32_t Up, int32_t Right, int32_t Down);

  TMask Ellipse(double Cx, double Cy, double Rx, double Ry) const;
  TMask Poly(std::initializer_list<TPt> Points) const;
  TMask Poly(const std::vector<TPt>& Points) const;
  TMask Rect(double X1, double Y1, double X2, double Y2) const;
  // A stroke of width `W` with round ends.
  TMask Capsule(double X1, double Y1, double X2, double Y2, double W) const;
  // Everything at or above (`Below` false) or below the line y = Y.
  TMask HalfPlane(double Y, bool Below) const;
  TMask Empty() const { return TMask(FBitmap.Width(), FBitmap.Height()); }
  // Whether the mask covers the pixel at (X, Y) from the pivot.
  bool Has(const TMask& Mask, int32_t X, int32_t Y) const { return Mask.Get(FPivotX + X, FPivotY + Y); }

  // Fills the mask in three tones: a dark rim at the bottom right, a light
  // rim at the top left. `Edge` also draws the mask's own border in the line
  // colour, for shapes that lie inside the silhouette.
  void Paint(const TMask& Mask, const TShade& Shade, bool Edge = false);
  // Fills with one colour; the outline later takes `Line`.
  void Fill(const TMask& Mask, TColor32 Color, TColor32 Line);
  // A sphere: tones by the direction to the light, a glint at the top left.
  void PaintSphere(double Cx, double Cy, double Rx, double Ry, const TShade& Shade);
  void Dot(int32_t X, int32_t Y, TColor32 Color);
  // A one-pixel line, end point included.
  void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TColor32 Color);
  // Takes the pixels of the mask away again.
  void Erase(const TMask& Mask);
  // Multiplies the alpha of every painted pixel (glows, ghosts).
  void SetOpacity(uint8_t Alpha);

  // Adds a one-pixel outline around every painted pixel that borders on an
  // empty one, in the line colour of its painted neighbour.
  void Outline();

  // The painted pixels cropped to their bounds, with the pivot moved along.
  struct TCell {
    TBitmap32 Bitmap;
    int32_t PivotX = 0, PivotY = 0;  // pixel corner of the joint, from the top left
  };
  TCell Finish(bool WithOutline = true);

 private:
  bool Inside(int32_t X, int32_t Y) const { return X >= 0 && Y >= 0 && X < FBitmap.Width() && Y < FBitmap.Height(); }
  void Put(int32_t X, int32_t Y, TColor32 Color, TColor32 Line);

  int32_t FPivotX, FPivotY;
  TBitmap32 FBitmap;
  std::vector<TColor32> FLines;  // outline colour per painted pixel
};

using TCell = TArtCanvas::TCell;

}  // namespace varune::demo
