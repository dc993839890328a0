#include "imaging/text.h"

#include "imaging/blend.h"

namespace varune {

int32_t TextWidth(const TFont& Font, std::string_view Text) {
  int32_t width = 0;
  ForEachGlyph(Font, Text, [&](const TGlyphBitmap& glyph, int32_t penX) { width = penX + glyph.Advance; });
  return width;
}

int32_t TextHeight(const TFont& Font, std::string_view) { return GetFontMetrics(Font).Height(); }

void RenderText(TBitmap32& Bitmap, const TFont& Font, int32_t X, int32_t Y, std::string_view Text, int,
                TColor32 Color) {
  if (Bitmap.Empty() || Text.empty() || AlphaComponent(Color) == 0) return;
  const int32_t baseline = Y + GetFontMetrics(Font).Ascent;
  ForEachGlyph(Font, Text, [&](const TGlyphBitmap& glyph, int32_t penX) {
    const int64_t left = int64_t{X} + penX + glyph.Left;
    const int64_t top = int64_t{baseline} - glyph.Top;
    for (int32_t gy = 0; gy < glyph.Height; ++gy) {
      const int64_t y = top + gy;
      if (y < 0 || y >= Bitmap.Height()) continue;
      TColor32* row = Bitmap.GetScanLine(static_cast<int32_t>(y));
      const uint8_t* coverage = glyph.Coverage.data() + static_cast<size_t>(gy) * static_cast<size_t>(glyph.Width);
      for (int32_t gx = 0; gx < glyph.Width; ++gx) {
        const int64_t x = left + gx;
        if (coverage[gx] == 0 || x < 0 || x >= Bitmap.Width()) continue;
        row[x] = BlendPixel(Color, row[x]);
      }
    }
  });
}

}  // namespace varune
