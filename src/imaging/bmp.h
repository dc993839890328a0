#pragma once
// Windows bitmaps: the reader for background pictures and interface artwork,
// the 24-bit writer for export.
//
// Read: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up or top-down, with a
// core (12-byte), info (40-byte) or V2 to V5 header; BI_RGB, and BI_BITFIELDS
// / BI_ALPHABITFIELDS for 16 and 32 bits. Run-length compressed files are
// refused. Every pixel read is opaque (alpha 255): the fourth byte of 32-bit
// files is padding in practice.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune {

// Refuses pictures above these sizes before any pixel is stored.
inline constexpr int32_t kMaxBmpSide = 16384;
inline constexpr uint64_t kMaxBmpPixels = uint64_t{64} << 20;

// Decodes a BMP file held in memory into an opaque surface. Damaged,
// truncated, unsupported or oversized input raises varune::Error.
TBitmap32 DecodeBmp(const uint8_t* Data, size_t Size, uint64_t MaxPixels = kMaxBmpPixels);
inline TBitmap32 DecodeBmp(const std::vector<uint8_t>& Bytes) { return DecodeBmp(Bytes.data(), Bytes.size()); }
TBitmap32 LoadBmpFromFile(const std::string& FileName);

// A 24-bit bottom-up file of the colour channels (alpha dropped), rows padded
// to 4 bytes. An empty surface raises varune::Error.
std::vector<uint8_t> EncodeBmp(const TBitmap32& Bitmap);
void SaveBmpToFile(const std::string& FileName, const TBitmap32& Bitmap);

}  // namespace varune
