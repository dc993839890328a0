#include "imaging/png_rows.h"

#include <libdeflate.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace varune {
namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The zlib stream of the consecutive IDAT chunks at `Position`, each with a
// good CRC: a view of the file where one chunk holds it all, else joined.
bool GatherIdat(const uint8_t* Data, size_t Size, size_t Position, std::vector<uint8_t>& Joined,
                const uint8_t*& Stream, size_t& StreamSize) {
  int chunks = 0;
  while (Size - Position >= 12 && std::memcmp(Data + Position + 4, "IDAT", 4) == 0) {
    const uint32_t length = BigEndian32(Data + Position);
    if (length > Size - Position - 12) return false;
    const uint8_t* body = Data + Position + 8;
    if (libdeflate_crc32(0, Data + Position + 4, size_t{length} + 4) != BigEndian32(body + length)) return false;
    if (++chunks == 1) {
      Stream = body;
      StreamSize = length;
    } else {
      if (chunks == 2) Joined.assign(Stream, Stream + StreamSize);
      Joined.insert(Joined.end(), body, body + length);
    }
    Position += size_t{length} + 12;
  }
  if (chunks > 1) {
    Stream = Joined.data();
    StreamSize = Joined.size();
  }
  return chunks > 0;
}

uint8_t Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes one row's filter in place; `Prior` is the row above, unfiltered
// (zeros above the first).
bool Unfilter(uint8_t Filter, uint8_t* Row, const uint8_t* Prior, size_t Bytes, size_t Bpp) {
  switch (Filter) {
    case 0:
      return true;
    case 1:
      for (size_t i = Bpp; i < Bytes; ++i) Row[i] = static_cast<uint8_t>(Row[i] + Row[i - Bpp]);
      return true;
    case 2:
      for (size_t i = 0; i < Bytes; ++i) Row[i] = static_cast<uint8_t>(Row[i] + Prior[i]);
      return true;
    case 3:
      for (size_t i = 0; i < Bpp && i < Bytes; ++i) Row[i] = static_cast<uint8_t>(Row[i] + (Prior[i] >> 1));
      for (size_t i = Bpp; i < Bytes; ++i) Row[i] = static_cast<uint8_t>(Row[i] + ((Row[i - Bpp] + Prior[i]) >> 1));
      return true;
    case 4:
      for (size_t i = 0; i < Bpp && i < Bytes; ++i) Row[i] = static_cast<uint8_t>(Row[i] + Prior[i]);
      for (size_t i = Bpp; i < Bytes; ++i)
        Row[i] = static_cast<uint8_t>(Row[i] + Paeth(Row[i - Bpp], Prior[i], Prior[i - Bpp]));
      return true;
    default:
      return false;
  }
}

}  // namespace

bool InflatePngRows(const uint8_t* Data, size_t Size, size_t FirstIdat, size_t Height, size_t RowBytes,
                    size_t PixelBytes, std::vector<uint8_t>& Rows) {
  if (FirstIdat > Size || Height == 0 || RowBytes == 0 || PixelBytes == 0) return false;
  std::vector<uint8_t> joined;
  const uint8_t* stream = nullptr;
  size_t streamSize = 0;
  if (!GatherIdat(Data, Size, FirstIdat, joined, stream, streamSize)) return false;

  const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
      libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  if (!inflater) return false;
  const size_t stride = RowBytes + 1;
  Rows.resize(Height * stride);
  // No actual size asked for: anything but exactly the rows is a failure.
  if (libdeflate_zlib_decompress(inflater.get(), stream, streamSize, Rows.data(), Rows.size(), nullptr) !=
      LIBDEFLATE_SUCCESS)
    return false;

  const std::vector<uint8_t> zeros(RowBytes);
  const uint8_t* prior = zeros.data();
  for (size_t y = 0; y < Height; ++y) {
    uint8_t* row = Rows.data() + y * stride;
    if (!Unfilter(row[0], row + 1, prior, RowBytes, PixelBytes)) return false;
    prior = row + 1;
  }
  return true;
}

}  // namespace varune
