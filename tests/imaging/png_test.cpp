#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <random>
#include <string>

#include "archive/error.h"
#include "imaging/png.h"

namespace varune {
namespace {

// A PNG made by libpng itself, from rows already in the file's sample layout.
struct TPngSpec {
  uint32_t Width = 0;
  uint32_t Height = 0;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int BitDepth = 8;
  bool Interlaced = false;
  std::vector<std::vector<uint8_t>> Rows;
  std::vector<png_color> Palette;
  std::vector<uint8_t> TrnsAlpha;      // palette pictures
  const png_color_16* TrnsColor = nullptr;  // grey and RGB pictures
};

TPngSpec Spec(uint32_t width, uint32_t height, int colorType, int bitDepth, bool interlaced = false) {
  TPngSpec spec;
  spec.Width = width, spec.Height = height, spec.ColorType = colorType, spec.BitDepth = bitDepth;
  spec.Interlaced = interlaced;
  return spec;
}

void Append(png_structp png, png_bytep data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

std::vector<uint8_t> MakePng(const TPngSpec& spec) {
  std::vector<uint8_t> out;
  auto quiet = [](png_structp, png_const_charp) {};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quiet);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng refused the test picture";
    return {};
  }
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_benign_errors(png, 1);  // writes indices beyond the palette
  png_set_IHDR(png, info, spec.Width, spec.Height, spec.BitDepth, spec.ColorType,
               spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec.Palette.empty()) png_set_PLTE(png, info, spec.Palette.data(), static_cast<int>(spec.Palette.size()));
  if (!spec.TrnsAlpha.empty() || spec.TrnsColor)
    png_set_tRNS(png, info, spec.TrnsAlpha.empty() ? nullptr : spec.TrnsAlpha.data(),
                 static_cast<int>(spec.TrnsAlpha.size()), spec.TrnsColor);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& row : spec.Rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> Rgb(const TPngImage& image, int32_t x, int32_t y) {
  const size_t i = 3 * (static_cast<size_t>(y) * static_cast<size_t>(image.Width) + static_cast<size_t>(x));
  return {image.Rgb[i], image.Rgb[i + 1], image.Rgb[i + 2]};
}

TBitmap32 Gradient(int32_t w, int32_t h) {
  TBitmap32 bitmap(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bitmap.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5),
                                   static_cast<uint8_t>(x ^ y), static_cast<uint8_t>(x * 13 + y));
  return bitmap;
}

// libpng's simplified reader, independent of our decoder.
std::vector<uint8_t> ReadWithLibpng(const std::vector<uint8_t>& bytes, uint32_t format, png_uint_32& w,
                                    png_uint_32& h, png_uint_32& fileFormat) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  EXPECT_NE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()), 0) << image.message;
  fileFormat = image.format;
  image.format = format;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  EXPECT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0) << image.message;
  w = image.width;
  h = image.height;
  return pixels;
}

TEST(PngEncodeTest, RgbaAndRgbAreReadBackByLibpng) {
  const TBitmap32 source = Gradient(37, 11);
  png_uint_32 w, h, fileFormat;
  const auto rgba = ReadWithLibpng(EncodePng(source, ppfRGBA), PNG_FORMAT_RGBA, w, h, fileFormat);
  EXPECT_EQ(fileFormat, PNG_FORMAT_RGBA);
  ASSERT_EQ(w, 37u);
  ASSERT_EQ(h, 11u);
  const auto rgb = ReadWithLibpng(EncodePng(source, ppfRGB), PNG_FORMAT_RGB, w, h, fileFormat);
  EXPECT_EQ(fileFormat, PNG_FORMAT_RGB);
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 37; ++x) {
      const TColor32 c = source.Pixel(x, y);
      const size_t i = static_cast<size_t>(y * 37 + x);
      ASSERT_EQ(Color32(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]), c) << x << "," << y;
      ASSERT_EQ(Color32(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]), c | 0xFF000000) << x << "," << y;
    }

  // And through our own decoder, alpha kept straight.
  const TPngImage decoded = DecodePng(EncodePng(source, ppfRGBA));
  EXPECT_EQ(decoded.ColorType, pctRGBA);
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 37; ++x) ASSERT_EQ(decoded.PixelColor32(x, y), source.Pixel(x, y));
  EXPECT_THROW(EncodePng(TBitmap32(), ppfRGB), Error);
}

TEST(PngDecodeTest, GreyAndRgbKeepTheirTrnsSamples) {
  const png_color_16 grey{0, 0, 0, 0, 2};
  TPngSpec spec = Spec(4, 1, PNG_COLOR_TYPE_GRAY, 2);
  spec.Rows = {{0b00011011}};  // levels 0 1 2 3
  spec.TrnsColor = &grey;
  TPngImage image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.ColorType, pctGray);
  EXPECT_EQ(image.BitDepth, 2);
  EXPECT_TRUE(image.Alpha.empty());
  EXPECT_EQ(Rgb(image, 0, 0), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(Rgb(image, 1, 0), (std::vector<uint8_t>{85, 85, 85}));
  EXPECT_EQ(Rgb(image, 3, 0), (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_TRUE(image.HasTrns);
  EXPECT_EQ(image.TrnsGray, 2);
  EXPECT_EQ(image.TransparencyMode(), ptmBit);
  EXPECT_EQ(image.TransparentColor(), 0xFFAAAAAAu);
  EXPECT_EQ(image.PixelColor32(2, 0), 0x00AAAAAAu);
  EXPECT_EQ(image.PixelColor32(1, 0), 0xFF555555u);

  // 16-bit RGB: pixels keep the high byte, the transparent colour the low one.
  const png_color_16 key{0, 0x1234, 0xAB56, 0x00FF, 0};
  spec = Spec(2, 1, PNG_COLOR_TYPE_RGB, 16);
  spec.Rows = {{0x12, 0x34, 0xAB, 0x56, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0x01, 0x00, 0x02}};
  spec.TrnsColor = &key;
  image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.BitDepth, 16);
  EXPECT_EQ(Rgb(image, 0, 0), (std::vector<uint8_t>{0x12, 0xAB, 0x00}));
  EXPECT_EQ(Rgb(image, 1, 0), (std::vector<uint8_t>{0xFF, 0x80, 0x00}));
  EXPECT_EQ(image.TrnsRed, 0x1234);
  EXPECT_EQ(image.TransparentColor(), 0xFF3456FFu);

  spec.TrnsColor = nullptr;
  image = DecodePng(MakePng(spec));
  EXPECT_FALSE(image.HasTrns);
  EXPECT_EQ(image.TransparencyMode(), ptmNone);
}

TEST(PngDecodeTest, PaletteKeepsIndicesPlteAndFullTrnsTable) {
  TPngSpec spec = Spec(5, 2, PNG_COLOR_TYPE_PALETTE, 4);
  spec.Palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  spec.Rows = {{0x01, 0x20, 0x10}, {0x22, 0x11, 0x00}};
  TPngImage image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.ColorType, pctPalette);
  ASSERT_EQ(image.Indices.size(), 10u);
  EXPECT_EQ(image.Indices[1], 1);
  EXPECT_EQ(image.Indices[2], 2);
  EXPECT_EQ(image.Indices[5], 2);
  EXPECT_EQ(image.Palette.size(), 3u);
  EXPECT_EQ(Rgb(image, 0, 1), (std::vector<uint8_t>{70, 80, 90}));
  EXPECT_EQ(image.TransparencyMode(), ptmNone);
  EXPECT_EQ(image.PixelColor32(1, 0), 0xFF28323Cu);

  spec.TrnsAlpha = {255, 0};  // exactly one entry below 255
  image = DecodePng(MakePng(spec));
  EXPECT_TRUE(image.HasTrns);
  EXPECT_EQ(image.TrnsCount, 2);
  EXPECT_EQ(image.TrnsAlpha[1], 0);
  EXPECT_EQ(image.TrnsAlpha[2], 255);
  EXPECT_EQ(image.TrnsAlpha[255], 255);
  EXPECT_EQ(image.TransparencyMode(), ptmBit);
  EXPECT_EQ(image.TransparentColor(), 0xFF28323Cu);
  EXPECT_EQ(image.PixelColor32(1, 0), 0x0028323Cu);

  spec.TrnsAlpha = {128, 255, 0};
  image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.TransparencyMode(), ptmPartial);
  EXPECT_EQ(image.TransparentColor(), 0xFF46505Au);
  EXPECT_EQ(image.PixelColor32(0, 0), 0x800A141Eu);

  spec.TrnsAlpha = {255, 255};  // listed but none below 255
  EXPECT_EQ(DecodePng(MakePng(spec)).TransparencyMode(), ptmPartial);
  spec.TrnsAlpha = {200};  // none is 0: black
  EXPECT_EQ(DecodePng(MakePng(spec)).TransparentColor(), 0xFF000000u);
}

TEST(PngDecodeTest, AlphaTypesInterlacedAnd16Bit) {
  TPngSpec spec = Spec(3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8);
  spec.Rows = {{10, 0, 20, 128, 30, 255}};
  TPngImage image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.ColorType, pctGrayAlpha);
  EXPECT_EQ(image.Alpha, (std::vector<uint8_t>{0, 128, 255}));
  EXPECT_EQ(image.PixelColor32(1, 0), 0x80141414u);
  EXPECT_EQ(image.TransparencyMode(), ptmPartial);

  // An interlaced 16-bit RGBA picture big enough to fill every pass.
  spec = Spec(13, 9, PNG_COLOR_TYPE_RGBA, 16, true);
  for (uint32_t y = 0; y < spec.Height; ++y) {
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < spec.Width; ++x)
      for (uint8_t v : {uint8_t(x * 16), uint8_t(y * 20), uint8_t(x + y), uint8_t(255 - x)}) {
        row.push_back(v);
        row.push_back(0x7F);
      }
    spec.Rows.push_back(row);
  }
  image = DecodePng(MakePng(spec));
  EXPECT_EQ(image.ColorType, pctRGBA);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 13; ++x)
      ASSERT_EQ(image.PixelColor32(x, y), Color32(static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 20),
                                                  static_cast<uint8_t>(x + y), static_cast<uint8_t>(255 - x)));
}

TEST(PngDecodeTest, DamagedInputGivesErrors) {
  const std::vector<uint8_t> good = EncodePng(Gradient(20, 20), ppfRGBA);
  ASSERT_NO_THROW(DecodePng(good));
  // Every truncation either fails cleanly or, once all pixel data is in,
  // decodes the whole picture.
  for (size_t size = 0; size < good.size(); ++size) {
    try {
      const TPngImage image = DecodePng(good.data(), size);
      EXPECT_GT(size, good.size() - 20) << size;
      EXPECT_EQ(image.Rgb.size(), 20u * 20u * 3u);
    } catch (const Error&) {
    }
  }
  std::vector<uint8_t> bad = good;
  bad[20] ^= 1;  // inside IHDR: CRC mismatch
  EXPECT_THROW(DecodePng(bad), Error);
  bad = good;
  bad[0] = 'X';
  EXPECT_THROW(DecodePng(bad), Error);

  // Header claims beyond the limits are refused before pixels are stored.
  TBitmap32 wide(20000, 1);
  EXPECT_THROW(DecodePng(EncodePng(wide, ppfRGB)), Error);
  const std::vector<uint8_t> small = EncodePng(Gradient(64, 64), ppfRGB);
  EXPECT_THROW(DecodePng(small.data(), small.size(), 4095), Error);
  EXPECT_NO_THROW(DecodePng(small.data(), small.size(), 4096));
}

}  // namespace
}  // namespace varune

namespace varune {
namespace {

TEST(PngEncodeTest, PicturesOfEveryColourTypeRoundTrip) {
  for (TPngColorType type : {pctGray, pctRGB, pctPalette, pctGrayAlpha, pctRGBA}) {
    for (bool trns : {false, true}) {
      TPngImage image;
      image.Width = 3;
      image.Height = 2;
      image.ColorType = type;
      for (size_t i = 0; i < 6; ++i) {
        const uint8_t v = static_cast<uint8_t>(40 * i);
        image.Rgb.insert(image.Rgb.end(), {v, type == pctGray || type == pctGrayAlpha ? v : uint8_t(v + 1),
                                           type == pctGray || type == pctGrayAlpha ? v : uint8_t(v + 2)});
        if (image.HasAlphaChannel()) image.Alpha.push_back(static_cast<uint8_t>(255 - 30 * i));
        if (type == pctPalette) image.Indices.push_back(static_cast<uint8_t>(i % 4));
      }
      if (type == pctPalette) {
        image.Palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
        image.Rgb.clear();
        for (uint8_t index : image.Indices) image.Rgb.insert(image.Rgb.end(), image.Palette[index].begin(), image.Palette[index].end());
      }
      if (trns && !image.HasAlphaChannel()) {
        image.HasTrns = true;
        image.TrnsCount = 2;
        image.TrnsAlpha[0] = 0;
        image.TrnsAlpha[1] = 128;
        image.TrnsGray = 40;
        image.TrnsRed = 40, image.TrnsGreen = 41, image.TrnsBlue = 42;
      }
      const TPngImage back = DecodePng(EncodePngImage(image));
      SCOPED_TRACE(testing::Message() << "type " << int(type) << " trns " << trns);
      EXPECT_EQ(back.ColorType, type);
      EXPECT_EQ(back.Rgb, image.Rgb);
      EXPECT_EQ(back.Alpha, image.Alpha);
      EXPECT_EQ(back.Indices, image.Indices);
      EXPECT_EQ(back.Palette, image.Palette);
      EXPECT_EQ(back.HasTrns, image.HasTrns);
      EXPECT_EQ(back.TransparencyMode(), image.TransparencyMode());
      if (image.HasTrns) {
        EXPECT_EQ(back.TransparentColor(), image.TransparentColor());
      }
      if (image.HasTrns && type == pctPalette) {
        EXPECT_EQ(back.TrnsAlpha, image.TrnsAlpha);
      }
    }
  }
  TPngImage broken;
  broken.Width = 2;
  broken.Height = 2;
  broken.ColorType = pctPalette;
  EXPECT_THROW(EncodePngImage(broken), Error);
}

}  // namespace
}  // namespace varune

namespace varune {
namespace {

// The surface the sheet cache must get, from the planes: PixelColor32 applies
// the palette's tRNS table, but a keyed palette picture (mode bit) makes every
// pixel of the key colour transparent instead.
TColor32 SheetPixel(const TPngImage& png, int32_t x, int32_t y) {
  const TColor32 drawn = png.PixelColor32(x, y);
  if (png.ColorType != pctPalette || png.TransparencyMode() != ptmBit) return drawn;
  const TColor32 opaque = drawn | 0xFF000000;
  return opaque == png.TransparentColor() ? drawn & 0x00FFFFFF : opaque;
}

bool LacksPaletteEntry(const TPngImage& png) {
  return png.ColorType == pctPalette && png.TransparencyMode() == ptmPartial &&
         std::any_of(png.Indices.begin(), png.Indices.end(), [&](uint8_t i) { return i >= png.Palette.size(); });
}

// A 13 x 9 picture (every interlace pass filled) of random samples. Pixels of
// 8 or 16 bits repeat a few patterns, the first of which is the tRNS sample
// when `key`. Palettes have an entry repeating another's colour and a black
// one; 4- and 8-bit indices reach beyond the palette.
std::vector<uint8_t> RandomPng(std::minstd_rand& random, int colorType, int bitDepth, bool interlaced,
                               std::vector<uint8_t> trnsAlpha = {}, bool key = false) {
  TPngSpec spec = Spec(13, 9, colorType, bitDepth, interlaced);
  static constexpr size_t kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
  const size_t channels = kChannels[colorType];
  const size_t pixelBytes = channels * static_cast<size_t>(bitDepth) / 8;
  std::vector<std::vector<uint8_t>> patterns(6);
  for (auto& pattern : patterns)
    for (size_t i = 0; i < pixelBytes; ++i) pattern.push_back(static_cast<uint8_t>(random()));
  for (uint32_t y = 0; y < spec.Height; ++y) {
    std::vector<uint8_t> row;
    if (bitDepth < 8) {
      for (size_t i = 0; i < (spec.Width * channels * static_cast<size_t>(bitDepth) + 7) / 8; ++i)
        row.push_back(static_cast<uint8_t>(random()));
    } else {
      for (uint32_t x = 0; x < spec.Width; ++x) {
        const auto& pattern = patterns[random() % patterns.size()];
        row.insert(row.end(), pattern.begin(), pattern.end());
      }
    }
    spec.Rows.push_back(row);
  }
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < std::min(1 << bitDepth, 6); ++i)
      spec.Palette.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
    if (spec.Palette.size() >= 4) spec.Palette[3] = spec.Palette[1], spec.Palette[2] = {0, 0, 0};
    trnsAlpha.resize(std::min(trnsAlpha.size(), spec.Palette.size()));
    spec.TrnsAlpha = trnsAlpha;
  }
  // 16-bit keys repeat the high byte: grey keys compare their high byte with
  // the pixel's, RGB keys their low byte.
  auto sample = [&](size_t c) { return uint16_t(bitDepth == 16 ? patterns[0][2 * c] * 257 : patterns[0][c]); };
  png_color_16 keyColor{};
  if (key && colorType == PNG_COLOR_TYPE_RGB) keyColor = {0, sample(0), sample(1), sample(2), 0};
  if (key && colorType == PNG_COLOR_TYPE_GRAY)
    keyColor.gray = bitDepth < 8 ? uint16_t(random() % (1 << bitDepth)) : sample(0);
  if (key) spec.TrnsColor = &keyColor;
  return MakePng(spec);
}

TEST(PngSurfaceTest, EveryKindGivesThePixelsOfItsTransparencyMode) {
  std::minstd_rand random(7);
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  for (int depth : {1, 2, 4, 8, 16})
    for (bool key : {false, true})
      for (bool interlaced : {false, true})
        files.emplace_back("grey " + std::to_string(depth) + (key ? " key" : "") + (interlaced ? " interlaced" : ""),
                           RandomPng(random, PNG_COLOR_TYPE_GRAY, depth, interlaced, {}, key));
  for (int depth : {8, 16})
    for (bool interlaced : {false, true}) {
      const std::string kind = std::to_string(depth) + (interlaced ? " interlaced" : "");
      files.emplace_back("grey+alpha " + kind, RandomPng(random, PNG_COLOR_TYPE_GRAY_ALPHA, depth, interlaced));
      files.emplace_back("RGBA " + kind, RandomPng(random, PNG_COLOR_TYPE_RGBA, depth, interlaced));
      files.emplace_back("RGB " + kind, RandomPng(random, PNG_COLOR_TYPE_RGB, depth, interlaced));
      files.emplace_back("RGB key " + kind, RandomPng(random, PNG_COLOR_TYPE_RGB, depth, interlaced, {}, true));
    }
  // None; one entry transparent (its colour, shared by entry 3, is the key);
  // one entry half (black is the key); partial tables.
  const std::vector<std::vector<uint8_t>> tables = {{}, {255, 0}, {255, 128}, {0, 255, 0}, {255, 255},
                                                    {10, 200, 0, 255, 77}};
  for (int depth : {1, 2, 4, 8})
    for (size_t t = 0; t < tables.size(); ++t)
      for (bool interlaced : {false, true})
        files.emplace_back("palette " + std::to_string(depth) + " tRNS " + std::to_string(t) +
                               (interlaced ? " interlaced" : ""),
                           RandomPng(random, PNG_COLOR_TYPE_PALETTE, depth, interlaced, tables[t]));

  int keyed = 0, rangeErrors = 0;
  for (const auto& [kind, file] : files) {
    SCOPED_TRACE(kind);
    const TPngImage planes = DecodePng(file);
    if (LacksPaletteEntry(planes)) {
      ++rangeErrors;
      EXPECT_THROW(DecodePngToBitmap32(file), TPngPaletteRangeError);
      continue;
    }
    const TBitmap32 surface = DecodePngToBitmap32(file);
    ASSERT_EQ(surface.Width(), planes.Width);
    ASSERT_EQ(surface.Height(), planes.Height);
    for (int32_t y = 0; y < planes.Height; ++y)
      for (int32_t x = 0; x < planes.Width; ++x) {
        ASSERT_EQ(surface.Pixel(x, y), SheetPixel(planes, x, y)) << x << "," << y;
        keyed += planes.TransparencyMode() == ptmBit && AlphaComponent(surface.Pixel(x, y)) == 0;
      }
  }
  // The table reaches both rules worth checking.
  EXPECT_GT(keyed, 100);
  EXPECT_GE(rangeErrors, 4);
}

// A copy of `file` whose IHDR claims Width x Height.
std::vector<uint8_t> WithSize(std::vector<uint8_t> file, uint32_t width, uint32_t height) {
  for (int i = 0; i < 4; ++i) {
    file[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
    file[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, file.data() + 12, 17);
  for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  return file;
}

TEST(PngSurfaceTest, FilesShorterThanTheirPictureAndDamagedOnesFail) {
  // 16384 x 4096 RGBA claimed by a file of a hundred bytes: refused from the
  // header, before room for 256 MB is made.
  const std::vector<uint8_t> huge = WithSize(EncodePng(TBitmap32(2, 2), ppfRGBA), 16384, 4096);
  for (auto decode : {+[](const std::vector<uint8_t>& f) { (void)DecodePng(f); },
                      +[](const std::vector<uint8_t>& f) { (void)DecodePngToBitmap32(f); }}) {
    try {
      decode(huge);
      ADD_FAILURE() << "decoded";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("too short"), std::string::npos) << e.what();
    }
  }
  // The densest stream zlib makes (all zero) stays within the bound.
  TPngImage zero;
  zero.Width = zero.Height = 1024;
  zero.ColorType = pctRGBA;
  zero.Rgb.assign(size_t{1024} * 1024 * 3, 0);
  zero.Alpha.assign(size_t{1024} * 1024, 0);
  const std::vector<uint8_t> blank = EncodePngImage(zero);
  EXPECT_GT(1024 * (1 + 4096) / blank.size(), 900u);
  EXPECT_EQ(DecodePngToBitmap32(blank).Pixel(1023, 1023), 0u);

  // A partial palette with an index beyond it in the first row: while the
  // stream is damaged further on, the damage is what is reported.
  TPngSpec spec = Spec(64, 64, PNG_COLOR_TYPE_PALETTE, 8);
  spec.Palette = {{1, 2, 3}, {4, 5, 6}};
  spec.TrnsAlpha = {0, 128};
  for (uint32_t y = 0; y < 64; ++y) spec.Rows.emplace_back(64, static_cast<uint8_t>(y * 7 % 2));
  spec.Rows[0][5] = 9;
  const std::vector<uint8_t> file = MakePng(spec);
  EXPECT_THROW(DecodePngToBitmap32(file), TPngPaletteRangeError);
  for (size_t size = 0; size < file.size(); ++size) {
    try {
      (void)DecodePngToBitmap32(file.data(), size);
      ADD_FAILURE() << size;
    } catch (const TPngPaletteRangeError&) {
      EXPECT_GT(size, file.size() - 20) << size;
    } catch (const Error&) {
    }
  }
}

}  // namespace
}  // namespace varune
