#pragma once
// Framing and enlarging finished pictures: the bounds of what was drawn,
// cutting out a rectangle with a margin, mirroring and exact pixel
// replication. They work on composed pictures, never on layers.

#include <cstdint>

#include "imaging/bitmap32.h"

namespace varune {

// The smallest rectangle holding every pixel with alpha above 0; empty when there is none.
TRect VisibleBounds(const TBitmap32& Picture);
// The smallest rectangle holding every pixel that differs from `Background`
// (of the same size); empty when none does.
TRect DifferenceBounds(const TBitmap32& Picture, const TBitmap32& Background);
// The smallest rectangle holding both.
TRect UnionRect(const TRect& A, const TRect& B);

// `Area` of `Source` with `Padding` pixels on every side. The padding shows
// `Margin` (the picture's background, of `Source`'s size) where it has
// pixels, and `Outside` beyond it or without a margin. `Area` must lie
// inside `Source`.
void CutOut(const TBitmap32& Source, const TRect& Area, int32_t Padding, const TBitmap32* Margin, TColor32 Outside,
            TBitmap32& Target);

// Mirrors the picture left to right in place.
void FlipHorizontally(TBitmap32& Picture);

// Every pixel of `Source` as a Scale x Scale block of `Target`.
void Enlarge(const TBitmap32& Source, int32_t Scale, TBitmap32& Target);

// `Source` enlarged as Enlarge does about the point (CenterX, CenterY), which
// stays where it is, and cut to `Source`'s own size: a zoomed view. The
// block of the pixel at the point starts at the point.
void ZoomAbout(const TBitmap32& Source, int32_t Scale, int32_t CenterX, int32_t CenterY, TBitmap32& Target);

}  // namespace varune
