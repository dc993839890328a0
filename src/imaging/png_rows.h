#pragma once
// The pixel rows of a PNG file of 8-bit samples without interlace, read
// without libpng. Sprite sheets are large and mostly transparent, and
// libdeflate inflates such streams many times faster than zlib; this is the
// start-up's and the batch export's decoding path. Whatever it does not take
// plainly (a bad CRC, a stream too short or too long, an unknown filter) it
// leaves to libpng, which stays the one judge of damaged files.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varune {

// Inflates the zlib stream of the IDAT chunks that start at byte `FirstIdat`
// of the file and undoes the row filters. `Rows` then holds `Height` rows of
// 1 + `RowBytes` bytes, the filter byte first. False, with `Rows` undefined,
// for anything but a stream that gives exactly these rows.
bool InflatePngRows(const uint8_t* Data, size_t Size, size_t FirstIdat, size_t Height, size_t RowBytes,
                    size_t PixelBytes, std::vector<uint8_t>& Rows);

}  // namespace varune
