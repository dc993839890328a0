#include "imaging/framing.h"

#include <algorithm>
#include <vector>

namespace varune {
namespace {

// The bounds of the pixels for which `differs(x, y)` holds, row by row.
template <class TDiffers>
TRect BoundsWhere(int32_t width, int32_t height, TDiffers differs) {
  TRect bounds{width, height, 0, 0};
  for (int32_t y = 0; y < height; ++y) {
    int32_t first = 0;
    while (first < width && !differs(y, first)) ++first;
    if (first == width) continue;
    int32_t last = width - 1;
    while (!differs(y, last)) --last;
    bounds.Left = std::min(bounds.Left, first);
    bounds.Right = std::max(bounds.Right, last + 1);
    bounds.Top = std::min(bounds.Top, y);
    bounds.Bottom = y + 1;
  }
  return bounds.Empty() ? TRect{} : bounds;
}

TRect Intersection(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// Copies the pixels as they are, alpha included, with no blending.
void CopyRect(const TBitmap32& source, const TRect& area, TBitmap32& target, int32_t x, int32_t y) {
  for (int32_t row = area.Top; row < area.Bottom; ++row)
    std::copy_n(source.GetScanLine(row) + area.Left, area.Width(), target.GetScanLine(y + row - area.Top) + x);
}

}  // namespace

TRect VisibleBounds(const TBitmap32& Picture) {
  return BoundsWhere(Picture.Width(), Picture.Height(),
                     [&](int32_t y, int32_t x) { return AlphaComponent(Picture.GetScanLine(y)[x]) != 0; });
}

TRect DifferenceBounds(const TBitmap32& Picture, const TBitmap32& Background) {
  return BoundsWhere(Picture.Width(), Picture.Height(), [&](int32_t y, int32_t x) {
    return Picture.GetScanLine(y)[x] != Background.GetScanLine(y)[x];
  });
}

TRect UnionRect(const TRect& A, const TRect& B) {
  if (A.Empty()) return B;
  if (B.Empty()) return A;
  return {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
}

void CutOut(const TBitmap32& Source, const TRect& Area, int32_t Padding, const TBitmap32* Margin, TColor32 Outside,
            TBitmap32& Target) {
  Target.SetSize(Area.Width() + 2 * Padding, Area.Height() + 2 * Padding);
  if (Outside != 0) Target.Clear(Outside);
  const int32_t left = Area.Left - Padding;
  const int32_t top = Area.Top - Padding;
  if (Margin) {
    const TRect shown = Intersection(Margin->BoundsRect(), {left, top, left + Target.Width(), top + Target.Height()});
    CopyRect(*Margin, shown, Target, shown.Left - left, shown.Top - top);
  }
  CopyRect(Source, Area, Target, Padding, Padding);
}

void FlipHorizontally(TBitmap32& Picture) {
  for (int32_t y = 0; y < Picture.Height(); ++y) {
    TColor32* row = Picture.GetScanLine(y);
    std::reverse(row, row + Picture.Width());
  }
}

void Enlarge(const TBitmap32& Source, int32_t Scale, TBitmap32& Target) {
  const int32_t width = Source.Width() * Scale;
  if (Target.Width() != width || Target.Height() != Source.Height() * Scale) Target.SetSize(width, Source.Height() * Scale);
  for (int32_t y = 0; y < Source.Height(); ++y) {
    const TColor32* source = Source.GetScanLine(y);
    TColor32* first = Target.GetScanLine(y * Scale);
    for (int32_t x = 0; x < Source.Width(); ++x) std::fill_n(first + x * Scale, Scale, source[x]);
    for (int32_t copy = 1; copy < Scale; ++copy) std::copy_n(first, width, Target.GetScanLine(y * Scale + copy));
  }
}

void ZoomAbout(const TBitmap32& Source, int32_t Scale, int32_t CenterX, int32_t CenterY, TBitmap32& Target) {
  const int32_t width = Source.Width();
  const int32_t height = Source.Height();
  if (Target.Width() != width || Target.Height() != height) Target.SetSize(width, height);
  if (width == 0 || height == 0) return;
  // Rounded towards minus infinity, so that blocks left of and above the
  // point are as wide as the others.
  const auto from = [Scale](int32_t At, int32_t Center, int32_t Size) {
    const int32_t offset = At - Center;
    const int32_t block = (offset >= 0 ? offset : offset - (Scale - 1)) / Scale;
    return std::clamp(Center + block, 0, Size - 1);
  };
  std::vector<int32_t> columns(static_cast<size_t>(width));
  for (int32_t x = 0; x < width; ++x) columns[static_cast<size_t>(x)] = from(x, CenterX, width);
  for (int32_t y = 0; y < height; ++y) {
    const TColor32* source = Source.GetScanLine(from(y, CenterY, height));
    TColor32* target = Target.GetScanLine(y);
    for (int32_t x = 0; x < width; ++x) target[x] = source[columns[static_cast<size_t>(x)]];
  }
}

}  // namespace varune
