#include "imaging/png_rows.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <random>
#include <string>

#include "archive/error.h"
#include "imaging/png.h"

namespace varune {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  Put32(out, static_cast<uint32_t>(body.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// Filters a row the way an encoder does, from the unfiltered row above.
std::vector<uint8_t> FilterRow(uint8_t filter, const std::vector<uint8_t>& row, const std::vector<uint8_t>& above,
                               size_t bpp) {
  std::vector<uint8_t> out{filter};
  for (size_t i = 0; i < row.size(); ++i) {
    const int a = i >= bpp ? row[i - bpp] : 0, b = above[i], c = i >= bpp ? above[i - bpp] : 0;
    int predicted = 0;
    if (filter == 1) predicted = a;
    if (filter == 2) predicted = b;
    if (filter == 3) predicted = (a + b) / 2;
    if (filter == 4) {
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    out.push_back(static_cast<uint8_t>(row[i] - predicted));
  }
  return out;
}

struct TRawPicture {
  uint32_t Width = 0, Height = 0;
  uint8_t ColorType = pctRGBA;
  size_t Bpp = 4;
  std::vector<std::vector<uint8_t>> Rows;  // unfiltered samples
};

TRawPicture Noise(uint32_t width, uint32_t height, uint8_t colorType, size_t bpp, uint32_t seed) {
  std::mt19937 random(seed);
  TRawPicture picture{width, height, colorType, bpp, {}};
  for (uint32_t y = 0; y < height; ++y) {
    std::vector<uint8_t> row(width * bpp);
    // Smooth runs with noise, so that every predictor has work to do.
    for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 3 + y * 5 + random() % 7);
    picture.Rows.push_back(row);
  }
  return picture;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(size);
  EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 6), Z_OK);
  out.resize(size);
  return out;
}

// The filtered rows, each with the next filter type in turn from `first`.
std::vector<uint8_t> Filtered(const TRawPicture& picture, uint8_t first) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> above(picture.Width * picture.Bpp, 0);
  for (uint32_t y = 0; y < picture.Height; ++y) {
    const auto row = FilterRow(static_cast<uint8_t>((first + y) % 5), picture.Rows[y], above, picture.Bpp);
    out.insert(out.end(), row.begin(), row.end());
    above = picture.Rows[y];
  }
  return out;
}

// The file, its zlib stream split over three IDAT chunks.
std::vector<uint8_t> File(const TRawPicture& picture, const std::vector<uint8_t>& stream) {
  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, picture.Width);
  Put32(header, picture.Height);
  header.insert(header.end(), {8, picture.ColorType, 0, 0, 0});
  Chunk(out, "IHDR", header);
  const size_t piece = stream.size() / 3 + 1;
  for (size_t at = 0; at < stream.size(); at += piece)
    Chunk(out, "IDAT", std::vector<uint8_t>(stream.begin() + static_cast<long>(at),
                                            stream.begin() + static_cast<long>(std::min(stream.size(), at + piece))));
  Chunk(out, "IEND", {});
  return out;
}

// The picture's samples as the planes keep them, for comparison.
std::vector<uint8_t> Samples(const TPngImage& image, size_t bpp) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < image.PixelCount(); ++i) {
    if (bpp <= 2) out.push_back(image.Rgb[3 * i]);
    if (bpp >= 3) out.insert(out.end(), &image.Rgb[3 * i], &image.Rgb[3 * i + 3]);
    if (bpp == 2 || bpp == 4) out.push_back(image.Alpha[i]);
  }
  return out;
}

std::vector<uint8_t> Joined(const TRawPicture& picture) {
  std::vector<uint8_t> out;
  for (const auto& row : picture.Rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

const struct {
  uint8_t ColorType;
  size_t Bpp;
} kKinds[] = {{pctGray, 1}, {pctGrayAlpha, 2}, {pctRGB, 3}, {pctRGBA, 4}};

TEST(PngRowsTest, EveryFilterOnEveryPixelSizeGivesTheSamples) {
  for (const auto& kind : kKinds)
    for (uint8_t first = 0; first < 5; ++first) {  // each filter also on the first row
      const TRawPicture picture = Noise(9, 7, kind.ColorType, kind.Bpp, first);
      const std::vector<uint8_t> file = File(picture, Compress(Filtered(picture, first)));
      const std::string what = "type " + std::to_string(kind.ColorType) + ", first filter " + std::to_string(first);

      // Read without libpng: the IDAT chunks start after signature and IHDR.
      std::vector<uint8_t> rows;
      ASSERT_TRUE(InflatePngRows(file.data(), file.size(), 33, 7, 9 * kind.Bpp, kind.Bpp, rows)) << what;
      for (uint32_t y = 0; y < 7; ++y)
        ASSERT_EQ(std::vector<uint8_t>(rows.begin() + y * (9 * kind.Bpp + 1) + 1,
                                       rows.begin() + (y + 1) * (9 * kind.Bpp + 1)),
                  picture.Rows[y])
            << what << ", row " << y;
      EXPECT_EQ(Samples(DecodePng(file), kind.Bpp), Joined(picture)) << what;
    }
}

// What the fast reader does not take, libpng judges as before: damage stays
// an error, and what libpng reads past still reads.
TEST(PngRowsTest, StreamsItDoesNotTakeAreLeftToLibpng) {
  const TRawPicture picture = Noise(16, 12, pctRGBA, 4, 5);
  const std::vector<uint8_t> rowsOf = Filtered(picture, 0);
  std::vector<uint8_t> rows;
  auto fastReads = [&](const std::vector<uint8_t>& file) {
    return InflatePngRows(file.data(), file.size(), 33, 12, 64, 4, rows);
  };
  std::vector<uint8_t> damaged = rowsOf;
  damaged[65 * 3] = 5;  // no such filter
  std::vector<uint8_t> cutShort = Compress(rowsOf);
  cutShort.resize(cutShort.size() / 2);
  std::vector<uint8_t> badChecksum = Compress(rowsOf);
  badChecksum.back() ^= 1;
  std::vector<uint8_t> badCrc = File(picture, Compress(rowsOf));
  badCrc[33 + 8] ^= 0x40;  // inside the first IDAT
  for (const std::vector<uint8_t>& file : {File(picture, Compress(damaged)), File(picture, cutShort),
                                           File(picture, badChecksum), badCrc}) {
    EXPECT_FALSE(fastReads(file));
    EXPECT_THROW(DecodePng(file), Error);
  }

  // A stream with a row too many: libpng reads the picture all the same.
  std::vector<uint8_t> longer = rowsOf;
  longer.insert(longer.end(), 65, 0);
  const std::vector<uint8_t> file = File(picture, Compress(longer));
  EXPECT_FALSE(fastReads(file));
  EXPECT_EQ(Samples(DecodePng(file), 4), Joined(picture));
  EXPECT_EQ(DecodePngToBitmap32(file).Pixel(15, 11), DecodePng(file).PixelColor32(15, 11));
}

}  // namespace
}  // namespace varune
