#pragma once
// Reduction of a picture to at most 256 colours for GIF export: a 5-6-5 grid
// histogram, a variance split of the occupied cells eight levels deep, one
// palette entry per leaf, and a lookup of every pixel through its cell. No
// dithering; every frame gets its own palette.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune {

// An 8-bit picture: Palette in the order the split creates its entries,
// Indices row-major, Width bytes a row, no padding.
struct TPaletteImage {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<std::array<uint8_t, 3>> Palette;  // red, green, blue
  std::vector<uint8_t> Indices;
};

// Owns the 65536-cell histogram so that reducing frame after frame costs no
// allocation and clears only the cells the previous frame touched.
class TPaletteReducer {
 public:
  TPaletteReducer();
  ~TPaletteReducer();
  TPaletteReducer(const TPaletteReducer&) = delete;
  TPaletteReducer& operator=(const TPaletteReducer&) = delete;

  // Colour channels only; alpha is ignored.
  TPaletteImage Reduce(const TBitmap32& Src);
  void Reduce(const TBitmap32& Src, TPaletteImage& Out);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// Convenience over a reducer kept per thread.
TPaletteImage ReducePalette(const TBitmap32& Src);

}  // namespace varune
