#include "imaging/palette.h"

#include <algorithm>
#include <bit>

namespace varune {

namespace {

constexpr int kCells = 65536;  // 5 bits red, 6 green, 5 blue
constexpr int kDepth = 8;

constexpr uint32_t CellOf(TColor32 p) { return ((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F); }

struct THistogramCell {
  uint32_t N, SumR, SumG, SumB;  // pixels, and the sums of the bits the grid drops
};

struct TCell {
  int32_t R, G, B;  // representative colour
  uint32_t N;
  uint32_t Cell;
};

}  // namespace

struct TPaletteReducer::TState {
  THistogramCell Histogram[kCells];  // all zero between calls
  uint64_t Occupied[kCells / 64];   // likewise
  uint8_t Index[kCells];
  std::vector<TCell> Cells;
  std::vector<uint16_t> PixelCells;
  TPaletteImage* Out = nullptr;

  void Split(TCell* first, TCell* last, int depth);
  void Leaf(TCell* first, TCell* last);
};

// Weighted sums are kept as exact integers, so the variances, the axis rule and
// the comparison with the mean are decided without rounding: n r <= S is
// r <= mean, and N^2 times a variance is N S2 - S1^2.
void TPaletteReducer::TState::Split(TCell* first, TCell* last, int depth) {
  if (first == last) return;
  if (depth == kDepth) return Leaf(first, last);
  uint64_t n = 0, s1[3] = {}, s2[3] = {};
  for (TCell* c = first; c != last; ++c) {
    const uint64_t w = c->N;
    const uint64_t v[3] = {static_cast<uint64_t>(c->R), static_cast<uint64_t>(c->G), static_cast<uint64_t>(c->B)};
    n += w;
    for (int k = 0; k < 3; ++k) {
      s1[k] += w * v[k];
      s2[k] += w * v[k] * v[k];
    }
  }
  using i128 = __int128;
  i128 var[3];
  for (int k = 0; k < 3; ++k) var[k] = static_cast<i128>(n) * s2[k] - static_cast<i128>(s1[k]) * s1[k];
  const i128 vr = var[0], vg = var[1], vb = var[2];
  // Nothing left to tell apart: every deeper split would keep the whole range
  // in its lower part, ending in this same leaf.
  if (vr == 0 && vg == 0 && vb == 0) return Leaf(first, last);
  int axis;
  if (3 * vr >= 4 * vg && 3 * vr >= 2 * vb) axis = 0;
  else if (3 * vr > 4 * vg || 2 * vb > 3 * vg) axis = 2;
  else axis = 1;
  const uint64_t sum = s1[axis];
  TCell* middle = std::partition(first, last, [axis, n, sum](const TCell& c) {
    const int32_t value = axis == 0 ? c.R : axis == 1 ? c.G : c.B;
    return static_cast<uint64_t>(value) * n <= sum;
  });
  Split(middle, last, depth + 1);
  Split(first, middle, depth + 1);
}

namespace {

// Sum / n rounded to nearest, halves to even.
uint8_t RoundedMean(uint64_t sum, uint64_t n) {
  uint64_t q = sum / n;
  const uint64_t twice = 2 * (sum % n);
  if (twice > n || (twice == n && (q & 1))) ++q;
  return static_cast<uint8_t>(q);
}

}  // namespace

void TPaletteReducer::TState::Leaf(TCell* first, TCell* last) {
  uint64_t n = 0, r = 0, g = 0, b = 0;
  const auto entry = static_cast<uint8_t>(Out->Palette.size());
  for (TCell* c = first; c != last; ++c) {
    n += c->N;
    r += uint64_t{c->N} * static_cast<uint32_t>(c->R);
    g += uint64_t{c->N} * static_cast<uint32_t>(c->G);
    b += uint64_t{c->N} * static_cast<uint32_t>(c->B);
    Index[c->Cell] = entry;
  }
  Out->Palette.push_back({RoundedMean(r, n), RoundedMean(g, n), RoundedMean(b, n)});
}

TPaletteReducer::TPaletteReducer() : FState(std::make_unique<TState>()) {
  std::fill(std::begin(FState->Histogram), std::end(FState->Histogram), THistogramCell{});
  std::fill(std::begin(FState->Occupied), std::end(FState->Occupied), 0);
  FState->Cells.reserve(kCells);
}

TPaletteReducer::~TPaletteReducer() = default;

TPaletteImage TPaletteReducer::Reduce(const TBitmap32& Src) {
  TPaletteImage out;
  Reduce(Src, out);
  return out;
}

void TPaletteReducer::Reduce(const TBitmap32& Src, TPaletteImage& Out) {
  TState& st = *FState;
  const size_t count = static_cast<size_t>(Src.Width()) * static_cast<size_t>(Src.Height());
  const TColor32* pixels = Src.Bits();
  Out.Width = Src.Width();
  Out.Height = Src.Height();
  Out.Palette.clear();
  Out.Indices.resize(count);

  // Runs of one colour are counted at once: backgrounds and flat sprite areas
  // would otherwise add to the same cell pixel after pixel, each addition
  // waiting for the one before. The cell of every pixel is kept for the lookup.
  st.PixelCells.resize(count);
  uint16_t* pixelCells = st.PixelCells.data();
  for (size_t i = 0; i < count;) {
    const TColor32 p = pixels[i] & 0x00FFFFFF;
    const uint32_t c = CellOf(p);
    size_t end = i + 1;
    pixelCells[i] = static_cast<uint16_t>(c);
    while (end < count && (pixels[end] & 0x00FFFFFF) == p) pixelCells[end++] = static_cast<uint16_t>(c);
    const auto n = static_cast<uint32_t>(end - i);
    THistogramCell& h = st.Histogram[c];
    h.N += n;
    h.SumR += n * ((p >> 16) & 7);
    h.SumG += n * ((p >> 8) & 3);
    h.SumB += n * (p & 7);
    st.Occupied[c >> 6] |= uint64_t{1} << (c & 63);
    i = end;
  }

  // Occupied cells in increasing order; the histogram is cleared on the way
  // so that the next frame starts from zero without touching 65536 cells.
  st.Cells.clear();
  for (uint32_t word = 0; word < kCells / 64; ++word) {
    for (uint64_t bits = st.Occupied[word]; bits != 0; bits &= bits - 1) {
      const uint32_t c = word * 64 + static_cast<uint32_t>(std::countr_zero(bits));
      THistogramCell& h = st.Histogram[c];
      st.Cells.push_back({static_cast<int32_t>(((c >> 11) << 3) + h.SumR / h.N),
                          static_cast<int32_t>((((c >> 5) & 63) << 2) + h.SumG / h.N),
                          static_cast<int32_t>(((c & 31) << 3) + h.SumB / h.N), h.N, c});
      h = {};
    }
    st.Occupied[word] = 0;
  }

  st.Out = &Out;
  st.Split(st.Cells.data(), st.Cells.data() + st.Cells.size(), 0);
  st.Out = nullptr;

  uint8_t* indices = Out.Indices.data();
  for (size_t i = 0; i < count; ++i) indices[i] = st.Index[pixelCells[i]];
}

TPaletteImage ReducePalette(const TBitmap32& Src) {
  thread_local TPaletteReducer reducer;
  return reducer.Reduce(Src);
}

}  // namespace varune
