#pragma once
// Text on a surface in a given font: measurement and output without
// anti-aliasing. Text is UTF-8 and drawn on one line.

#include <cstdint>
#include <string_view>

#include "imaging/bitmap32.h"
#include "imaging/font.h"

namespace varune {

// Advance width in pixels.
int32_t TextWidth(const TFont& Font, std::string_view Text);
// Cell height in pixels (ascent plus descent), whatever the text.
int32_t TextHeight(const TFont& Font, std::string_view Text);

// Draws Text with the top-left of its cell at (X, Y) in Color's red, green
// and blue: covered pixels are blended with Color (its alpha as source
// alpha), the others stay untouched. Glyphs are monochrome at every AALevel;
// the system only ever passes 0.
void RenderText(TBitmap32& Bitmap, const TFont& Font, int32_t X, int32_t Y, std::string_view Text, int AALevel,
                TColor32 Color);

}  // namespace varune
