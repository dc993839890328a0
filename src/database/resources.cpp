#include "database/resources.h"

#include <algorithm>

#include "archive/error.h"

namespace varune {

std::vector<uint8_t> ExtractEntry(const TSpfItemInfo& Info) {
  TMemoryStream stream;
  Info.FSpf->SaveToStream(Info.FIndex, stream);
  return stream.TakeBytes();
}

// ---- PNG pictures ----------------------------------------------------------

std::unique_ptr<TPngImage> TPngManager::Load(const TSpfItemInfo& Info) {
  const std::vector<uint8_t> bytes = ExtractEntry(Info);
  try {
    return std::make_unique<TPngImage>(DecodePng(bytes));
  } catch (const Error&) {
    return nullptr;
  }
}

void TPngManager::CopyPngRect(TPngImage& Dest, int32_t DestX, int32_t DestY, const TPngImage& Src,
                              const TRect& SrcRect, bool Dim) {
  if (Dest.Alpha.size() != Dest.PixelCount()) Dest.Alpha.assign(Dest.PixelCount(), 255);
  // Clip against both pictures; the offset between them stays fixed.
  const int64_t shiftX = int64_t{DestX} - SrcRect.Left, shiftY = int64_t{DestY} - SrcRect.Top;
  const int64_t left = std::max<int64_t>({SrcRect.Left, 0, -shiftX});
  const int64_t top = std::max<int64_t>({SrcRect.Top, 0, -shiftY});
  const int64_t right = std::min<int64_t>({SrcRect.Right, Src.Width, Dest.Width - shiftX});
  const int64_t bottom = std::min<int64_t>({SrcRect.Bottom, Src.Height, Dest.Height - shiftY});
  for (int64_t y = top; y < bottom; ++y) {
    for (int64_t x = left; x < right; ++x) {
      const size_t from = static_cast<size_t>(y * Src.Width + x);
      const size_t to = static_cast<size_t>((y + shiftY) * Dest.Width + x + shiftX);
      uint8_t alpha = 255;
      if (Src.ColorType == pctPalette) {
        alpha = Src.TrnsAlpha[Src.Indices[from]];
        if (Dim) alpha >>= 1;
      } else if (Src.HasAlphaChannel()) {
        alpha = Src.Alpha[from];
        if (Dim) alpha >>= 1;
      }
      // For palette pictures Rgb already holds the palette colour.
      std::copy_n(&Src.Rgb[from * 3], 3, &Dest.Rgb[to * 3]);
      Dest.Alpha[to] = alpha;
    }
  }
}

// ---- Sprite sheets ---------------------------------------------------------

std::unique_ptr<TBitmap32> TBitmap32Manager::Load(const TSpfItemInfo& Info) {
  const std::vector<uint8_t> bytes = ExtractEntry(Info);
  std::unique_ptr<TBitmap32> bitmap;
  try {
    bitmap = std::make_unique<TBitmap32>(DecodePngToBitmap32(bytes));
  } catch (const TPngPaletteRangeError&) {
    return nullptr;
  }
  bitmap->DrawMode = dmOpaque;
  return bitmap;
}

// ---- Sequences -------------------------------------------------------------

std::unique_ptr<TSeq> TSequenceManager::Load(const TSpfItemInfo& Info) {
  auto seq = std::make_unique<TSeq>();
  try {
    seq->LoadFromSpfInfo(&Info);
  } catch (const Error&) {
    return nullptr;
  }
  return seq;
}

}  // namespace varune
