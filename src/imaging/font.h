#pragma once
// Fonts for text on surfaces: a font description as the window system knows
// it, its resolution to an installed font file (fontconfig) and glyphs
// rasterised without anti-aliasing (FreeType), cached per font and size.
//
// The Windows names the system asks for have no alias in a stock fontconfig
// setup, so the engine loads its own rules: "ＭＳ Ｐゴシック" and
// "MS UI Gothic" become IPAPGothic (the metric twin of MS P Gothic), "Tahoma"
// becomes DejaVu Sans. A character the chosen font lacks is taken from
// another installed font that has it; one that no font has is drawn as the
// chosen font's missing-glyph box.
//
// Thread-safe; the caches live until the process ends.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune {

// Screen resolution that point sizes refer to.
inline constexpr int32_t kFontDpi = 96;

struct TFont {
  std::string Name = "Tahoma";
  // Pixels. Negative: character height (the em size); positive: cell height
  // (ascent plus descent); 0: the default size (8 points).
  int32_t Height = -11;
  bool Bold = false;
  TColor32 Color = Color32(0, 0, 0);

  // Point size at 96 dpi; setting it sets a negative Height.
  int32_t Size() const;
  void SetSize(int32_t Points);
};

struct TFontMetrics {
  int32_t Ascent = 0;   // pixels above the baseline
  int32_t Descent = 0;  // pixels below it
  int32_t Height() const { return Ascent + Descent; }
};

// Which installed font a description ends at (for diagnostics and tests).
struct TResolvedFont {
  std::string Family;
  std::string FileName;
  int32_t PixelSize = 0;       // em size in pixels
  bool SyntheticBold = false;  // bold asked for, regular face found
};

// A rasterised glyph: one byte per pixel, 1 where covered. The bitmap's
// top-left is at (pen x + Left, baseline - Top).
struct TGlyphBitmap {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Advance = 0;
  std::vector<uint8_t> Coverage;
};

TResolvedFont ResolveFont(const TFont& Font);
TFontMetrics GetFontMetrics(const TFont& Font);

// The engine loads a fontconfig configuration of its own, with its aliases
// of the Windows names. A program whose toolkit loads the process's own
// configuration anyway (Qt) calls this before any text is measured or
// drawn: the engine then adds its aliases to that one instead of loading a
// second, a few milliseconds of every start. That configuration lives until
// the process ends.
void ShareProcessFontConfig();

// Lays out UTF-8 text on one line (no kerning, like the window system's text
// output) and calls Visit for every character with its glyph and the pen x
// relative to the start. Invalid UTF-8 reads as U+FFFD. Visit must not call
// back into the font functions.
void ForEachGlyph(const TFont& Font, std::string_view Text,
                  const std::function<void(const TGlyphBitmap& Glyph, int32_t PenX)>& Visit);

}  // namespace varune
