#pragma once
// Affine drawing of one surface onto another: how character layers are
// mirrored, rotated and placed.

#include <array>

#include "imaging/bitmap32.h"

namespace varune {

struct TFloatPoint {
  double X = 0, Y = 0;
};

struct TFloatRect {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A 3 x 3 matrix built from operations appended in order: each one applies
// after all those appended before it.
class TAffineTransformation {
 public:
  using TMatrix = std::array<std::array<double, 3>, 3>;

  TAffineTransformation() { Clear(); }

  void Clear();  // identity
  void Translate(double Dx, double Dy);
  void Scale(double Sx, double Sy);  // about the origin
  // Alpha degrees about (Cx, Cy): x' = x cos + y sin, y' = -x sin + y cos
  // relative to the centre, so positive turns counter-clockwise on screen.
  void Rotate(double Cx, double Cy, double Alpha);

  TFloatPoint Transform(TFloatPoint P) const;
  // The bounding box of SrcRect after the transformation.
  TFloatRect GetTransformedBounds() const;
  const TMatrix& Matrix() const { return FMatrix; }

  TFloatRect SrcRect;  // the part of the source that is transformed

 private:
  void Append(const TMatrix& M);
  TMatrix FMatrix{};
};

// Draws Src onto Dst through T: every destination pixel of the transformed
// SrcRect's bounding box (those whose centres lie inside it), clipped to Dst,
// has its centre mapped back into Src in 16.16 fixed point, is sampled by
// Src's resampler and put by Src's DrawMode. A singular T draws nothing.
void Transform(TBitmap32& Dst, const TBitmap32& Src, const TAffineTransformation& T);

// The same result computed pixel by pixel through the resampler's
// GetSampleFixed and TBitmap32::PutPixel, without fast paths: the yardstick
// the fast paths are tested against.
void TransformReference(TBitmap32& Dst, const TBitmap32& Src, const TAffineTransformation& T);

}  // namespace varune
