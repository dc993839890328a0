#include "imaging/bmp.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <cstring>

#include "archive/error.h"
#include "archive/stream.h"

namespace varune {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

[[noreturn]] void Fail(const char* what) { throw Error(Sprintf("invalid BMP: %s", what)); }

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct TChannelMask {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit TChannelMask(uint32_t mask) : Mask(mask) {
    if (mask == 0) return;
    Shift = std::countr_zero(mask);
    Bits = std::popcount(mask >> Shift);
  }
  uint8_t Extract(uint32_t pixel) const {
    if (Bits == 0) return 0;
    const uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) return static_cast<uint8_t>(v >> (Bits - 8));
    return static_cast<uint8_t>(v * 255 / ((1u << Bits) - 1));
  }
};

}  // namespace

TBitmap32 DecodeBmp(const uint8_t* Data, size_t Size, uint64_t MaxPixels) {
  if (Size < kFileHeaderSize + 12 || Data[0] != 'B' || Data[1] != 'M') Fail("no BMP signature");
  const uint32_t dataOffset = Get32(Data + 10);
  const uint32_t headerSize = Get32(Data + 14);
  if (headerSize < 12 || headerSize > Size - kFileHeaderSize) Fail("truncated header");
  const uint8_t* h = Data + kFileHeaderSize;

  int64_t width, height;
  uint32_t bitCount, compression = kBiRgb, colorsUsed = 0;
  size_t paletteEntrySize = 4;
  if (headerSize == 12) {
    width = Get16(h + 4);
    height = Get16(h + 6);
    bitCount = Get16(h + 10);
    paletteEntrySize = 3;
  } else if (headerSize >= kInfoHeaderSize) {
    width = static_cast<int32_t>(Get32(h + 4));
    height = static_cast<int32_t>(Get32(h + 8));
    bitCount = Get16(h + 14);
    compression = Get32(h + 16);
    colorsUsed = Get32(h + 32);
  } else {
    Fail("unknown header");
  }

  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) Fail("empty picture");
  if (width > kMaxBmpSide || height > kMaxBmpSide || static_cast<uint64_t>(width * height) > MaxPixels)
    Fail("picture too large");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    Fail("unsupported bits per pixel");

  // Bit fields: inside V2 and later headers, after an info header otherwise.
  size_t tableOffset = kFileHeaderSize + headerSize;
  uint32_t masks[3] = {0, 0, 0};
  if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
    if (bitCount != 16 && bitCount != 32) Fail("bit fields need 16 or 32 bits per pixel");
    const uint8_t* maskBytes = h + kInfoHeaderSize;
    if (headerSize < kInfoHeaderSize + 12) {
      const size_t maskSize = compression == kBiAlphaBitfields ? 16 : 12;
      if (Size - tableOffset < maskSize) Fail("truncated bit fields");
      maskBytes = Data + tableOffset;
      tableOffset += maskSize;
    }
    for (int i = 0; i < 3; ++i) masks[i] = Get32(maskBytes + 4 * i);
  } else if (compression == kBiRgb) {
    if (bitCount == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bitCount == 32) {
      masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
  } else {
    Fail("unsupported compression");
  }

  // Indices the palette lacks read as black.
  TColor32 palette[256];
  std::fill(std::begin(palette), std::end(palette), Color32(0, 0, 0));
  if (bitCount <= 8) {
    const uint32_t maxEntries = 1u << bitCount;
    const uint32_t entries = colorsUsed == 0 || colorsUsed > maxEntries ? maxEntries : colorsUsed;
    if ((Size - tableOffset) / paletteEntrySize < entries) Fail("truncated palette");
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* p = Data + tableOffset + i * paletteEntrySize;
      palette[i] = Color32(p[2], p[1], p[0]);
    }
    tableOffset += entries * paletteEntrySize;
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
  const uint64_t lastRow = (static_cast<uint64_t>(width) * bitCount + 7) / 8;
  // A zero offset is a writer's omission: the pixels follow the tables.
  const uint64_t pixelOffset = dataOffset != 0 ? dataOffset : tableOffset;
  const uint64_t needed = static_cast<uint64_t>(height - 1) * stride + lastRow;
  if (pixelOffset > Size || Size - pixelOffset < needed) Fail("truncated pixel data");

  const TChannelMask red(masks[0]), green(masks[1]), blue(masks[2]);
  TBitmap32 bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = Data + pixelOffset + static_cast<uint64_t>(row) * stride;
    TColor32* dst = bitmap.GetScanLine(static_cast<int32_t>(topDown ? row : height - 1 - row));
    switch (bitCount) {
      case 1:
      case 4:
      case 8: {
        const unsigned perByte = 8 / bitCount;
        const unsigned mask = (1u << bitCount) - 1;
        for (int64_t x = 0; x < width; ++x) {
          const unsigned shift = 8 - bitCount * (1 + static_cast<unsigned>(x) % perByte);
          dst[x] = palette[(src[x / perByte] >> shift) & mask];
        }
        break;
      }
      case 16:
        for (int64_t x = 0; x < width; ++x) {
          const uint32_t p = Get16(src + 2 * x);
          dst[x] = Color32(red.Extract(p), green.Extract(p), blue.Extract(p));
        }
        break;
      case 24:
        for (int64_t x = 0; x < width; ++x) dst[x] = Color32(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        break;
      case 32:
        for (int64_t x = 0; x < width; ++x) {
          const uint32_t p = Get32(src + 4 * x);
          dst[x] = Color32(red.Extract(p), green.Extract(p), blue.Extract(p));
        }
        break;
    }
  }
  return bitmap;
}

TBitmap32 LoadBmpFromFile(const std::string& FileName) { return DecodeBmp(ReadWholeFile(FileName)); }

std::vector<uint8_t> EncodeBmp(const TBitmap32& Bitmap) {
  if (Bitmap.Empty()) throw Error("cannot write an empty picture as BMP");
  const uint64_t stride = (static_cast<uint64_t>(Bitmap.Width()) * 3 + 3) & ~uint64_t{3};
  const uint64_t imageSize = stride * static_cast<uint64_t>(Bitmap.Height());
  const uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
  if (fileSize > UINT32_MAX) throw Error("picture too large for BMP");

  std::vector<uint8_t> out;
  out.reserve(fileSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(fileSize));
  Put32(out, 0);
  Put32(out, kFileHeaderSize + kInfoHeaderSize);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(Bitmap.Width()));
  Put32(out, static_cast<uint32_t>(Bitmap.Height()));  // positive: bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, kBiRgb);
  Put32(out, static_cast<uint32_t>(imageSize));
  Put32(out, 3780);  // 96 dpi in pixels per metre
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int32_t y = Bitmap.Height() - 1; y >= 0; --y) {
    const TColor32* src = Bitmap.GetScanLine(y);
    for (int32_t x = 0; x < Bitmap.Width(); ++x) {
      out.push_back(BlueComponent(src[x]));
      out.push_back(GreenComponent(src[x]));
      out.push_back(RedComponent(src[x]));
    }
    out.resize(out.size() + (stride - static_cast<uint64_t>(Bitmap.Width()) * 3), 0);
  }
  return out;
}

void SaveBmpToFile(const std::string& FileName, const TBitmap32& Bitmap) {
  WriteWholeFile(FileName, EncodeBmp(Bitmap));
}

}  // namespace varune
