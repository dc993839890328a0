// JPEG, animated GIF and APNG writers, read back by libjpeg, giflib and a
// chunk walk of our own plus libpng.

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "archive/error.h"
#include "archive/stream.h"
#include "imaging/apng.h"
#include "imaging/gif.h"
#include "imaging/jpeg.h"
#include "imaging/png.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

TBitmap32 Smooth(int32_t w, int32_t h) {
  TBitmap32 bitmap(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      bitmap.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 255 / w), static_cast<uint8_t>(y * 255 / h),
                                   static_cast<uint8_t>(128 + (x - y) / 2), static_cast<uint8_t>(x));
  return bitmap;
}

TEST(JpegTest, DecodesCloseToTheSource) {
  const TBitmap32 source = Smooth(64, 40);
  const std::vector<uint8_t> bytes = EncodeJpeg(source);
  ASSERT_GT(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);

  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), bytes.size());
  ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  ASSERT_EQ(info.output_width, 64u);
  ASSERT_EQ(info.output_height, 40u);
  std::vector<uint8_t> row(64 * 3);
  int64_t totalError = 0;
  int worst = 0;
  while (info.output_scanline < info.output_height) {
    const int32_t y = static_cast<int32_t>(info.output_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int32_t x = 0; x < 64; ++x) {
      const TColor32 c = source.Pixel(x, y);
      for (int ch = 0; ch < 3; ++ch) {
        const int want = ch == 0 ? RedComponent(c) : ch == 1 ? GreenComponent(c) : BlueComponent(c);
        const int diff = std::abs(row[3 * x + ch] - want);
        totalError += diff;
        worst = std::max(worst, diff);
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  EXPECT_LT(static_cast<double>(totalError) / (64 * 40 * 3), 1.5);
  EXPECT_LE(worst, 8);
  EXPECT_THROW(EncodeJpeg(TBitmap32()), Error);
}

TPaletteImage Frame(int32_t w, int32_t h, size_t colours) {
  TPaletteImage image;
  image.Width = w, image.Height = h;
  for (size_t i = 0; i < colours; ++i)
    image.Palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)});
  for (int32_t i = 0; i < w * h; ++i) image.Indices.push_back(static_cast<uint8_t>(static_cast<size_t>(i * 7) % colours));
  return image;
}

int ReadFromVector(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), source->first->size() - source->second);
  std::memcpy(out, source->first->data() + source->second, n);
  source->second += n;
  return static_cast<int>(n);
}

TEST(GifTest, GiflibReadsFramesPalettesDelaysAndLoop) {
  std::vector<TGifFrame> frames(3);
  frames[0] = {Frame(30, 20, 1), 10};
  frames[1] = {Frame(30, 20, 3), 25};
  frames[2] = {Frame(16, 9, 256), 65535};
  const std::vector<uint8_t> bytes = EncodeAnimatedGif(frames);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");

  std::pair<const std::vector<uint8_t>*, size_t> source{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadFromVector, &error);
  ASSERT_NE(gif, nullptr) << GifErrorString(error);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
  EXPECT_EQ(gif->SWidth, 30);
  EXPECT_EQ(gif->SHeight, 20);
  EXPECT_EQ(gif->SColorMap, nullptr);
  ASSERT_EQ(gif->ImageCount, 3);

  // NETSCAPE2.0 with loop count 0, before the first frame only.
  const SavedImage& first = gif->SavedImages[0];
  bool loop = false;
  for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
    const ExtensionBlock& block = first.ExtensionBlocks[i];
    if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
        std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
      const ExtensionBlock& data = first.ExtensionBlocks[i + 1];
      ASSERT_EQ(data.ByteCount, 3);
      EXPECT_EQ(data.Bytes[0], 1);
      EXPECT_EQ(data.Bytes[1], 0);
      EXPECT_EQ(data.Bytes[2], 0);
      loop = true;
    }
  }
  EXPECT_TRUE(loop);
  for (int f = 1; f < 3; ++f)
    for (int i = 0; i < gif->SavedImages[f].ExtensionBlockCount; ++i)
      EXPECT_NE(gif->SavedImages[f].ExtensionBlocks[i].Function, APPLICATION_EXT_FUNC_CODE);

  const int padded[] = {2, 4, 256};
  for (int f = 0; f < 3; ++f) {
    const SavedImage& image = gif->SavedImages[f];
    const TPaletteImage& want = frames[static_cast<size_t>(f)].Image;
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, f, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, frames[static_cast<size_t>(f)].Delay);
    EXPECT_EQ(control.DisposalMode, DISPOSE_BACKGROUND);
    EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
    EXPECT_EQ(image.ImageDesc.Left, 0);
    EXPECT_EQ(image.ImageDesc.Width, want.Width);
    EXPECT_EQ(image.ImageDesc.Height, want.Height);
    EXPECT_FALSE(image.ImageDesc.Interlace);
    ASSERT_NE(image.ImageDesc.ColorMap, nullptr);
    EXPECT_EQ(image.ImageDesc.ColorMap->ColorCount, padded[f]);
    for (size_t i = 0; i < want.Palette.size(); ++i) {
      const GifColorType& c = image.ImageDesc.ColorMap->Colors[i];
      ASSERT_EQ((std::array<uint8_t, 3>{c.Red, c.Green, c.Blue}), want.Palette[i]) << f << ":" << i;
    }
    EXPECT_EQ(std::vector<uint8_t>(image.RasterBits, image.RasterBits + want.Width * want.Height), want.Indices);
  }
  DGifCloseFile(gif, &error);

  test::TempDir dir;
  SaveAnimatedGifToFile(dir.File("a.gif"), frames);
  EXPECT_EQ(ReadWholeFile(dir.File("a.gif")), bytes);
}

TEST(GifTest, RefusesFramesItCannotWrite) {
  TPaletteImage bad = Frame(4, 4, 3);
  bad.Indices[5] = 3;  // the palette has 3 entries
  EXPECT_THROW(EncodeAnimatedGif({{bad, 1}}), Error);
  bad = Frame(4, 4, 3);
  bad.Indices.pop_back();
  EXPECT_THROW(EncodeAnimatedGif({{bad, 1}}), Error);
  bad = Frame(4, 4, 1);
  bad.Palette.clear();
  EXPECT_THROW(EncodeAnimatedGif({{bad, 1}}), Error);
  EXPECT_THROW(EncodeAnimatedGif({}), Error);
  TGifWriter writer(4, 4);
  EXPECT_THROW(writer.AddFrame(Frame(5, 4, 2), 1), Error);
  EXPECT_THROW(writer.Finish(), Error);
}

uint32_t Big32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

struct TChunk {
  std::string Type;
  std::vector<uint8_t> Data;
};

// Walks the chunks, checking every CRC.
std::vector<TChunk> Chunks(const std::vector<uint8_t>& file) {
  std::vector<TChunk> chunks;
  size_t pos = 8;
  while (pos + 12 <= file.size()) {
    const uint32_t length = Big32(&file[pos]);
    EXPECT_LE(pos + 12 + length, file.size());
    if (pos + 12 + length > file.size()) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &file[pos + 4], 4 + length));
    EXPECT_EQ(Big32(&file[pos + 8 + length]), crc) << "chunk at " << pos;
    chunks.push_back({std::string(file.begin() + static_cast<ptrdiff_t>(pos) + 4, file.begin() + static_cast<ptrdiff_t>(pos) + 8),
                      std::vector<uint8_t>(file.begin() + static_cast<ptrdiff_t>(pos) + 8,
                                           file.begin() + static_cast<ptrdiff_t>(pos + 8 + length))});
    pos += 12 + length;
  }
  EXPECT_EQ(pos, file.size());
  return chunks;
}

// Inflates and unfilters one frame's RGBA rows.
std::vector<uint8_t> Unfilter(const uint8_t* data, size_t size, int32_t w, int32_t h) {
  const size_t stride = static_cast<size_t>(w) * 4;
  std::vector<uint8_t> raw((stride + 1) * static_cast<size_t>(h));
  uLongf rawSize = raw.size();
  EXPECT_EQ(uncompress(raw.data(), &rawSize, data, size), Z_OK);
  EXPECT_EQ(rawSize, raw.size());
  std::vector<uint8_t> out(stride * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t filter = raw[static_cast<size_t>(y) * (stride + 1)];
    const uint8_t* in = &raw[static_cast<size_t>(y) * (stride + 1) + 1];
    uint8_t* row = &out[static_cast<size_t>(y) * stride];
    const uint8_t* up = y > 0 ? row - stride : nullptr;
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= 4 ? row[i - 4] : 0, b = up ? up[i] : 0, c = up && i >= 4 ? up[i - 4] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predictor[] = {0, a, b, (a + b) / 2, paeth};
      EXPECT_LE(filter, 4);
      row[i] = static_cast<uint8_t>(in[i] + predictor[filter % 5]);
    }
  }
  return out;
}

TEST(ApngTest, ChunksSequenceAndPixels) {
  TBitmap32 frames[3] = {Smooth(23, 7), TBitmap32(23, 7), Smooth(23, 7)};
  frames[1].Pixel(4, 5) = Color32(1, 2, 3, 4);
  frames[2].Pixel(0, 0) = 0;
  TApngWriter writer(23, 7);
  writer.AddFrame(frames[0], 100);
  writer.AddFrame(frames[1], 40);
  writer.AddFrame(frames[2], 70000);
  const std::vector<uint8_t> file = writer.Finish();

  const std::vector<TChunk> chunks = Chunks(file);
  std::string order;
  for (const TChunk& c : chunks) order += c.Type + " ";
  EXPECT_EQ(order, "IHDR acTL fcTL IDAT fcTL fdAT fcTL fdAT IEND ");
  ASSERT_EQ(chunks.size(), 9u);
  EXPECT_EQ(Big32(&chunks[1].Data[0]), 3u);  // frames
  EXPECT_EQ(Big32(&chunks[1].Data[4]), 0u);  // plays forever

  // Sequence numbers count fcTL and fdAT together from 0.
  uint32_t sequence = 0;
  int frame = 0;
  const uint16_t delays[3][2] = {{100, 1000}, {40, 1000}, {7000, 100}};
  for (const TChunk& c : chunks) {
    if (c.Type == "fcTL") {
      ASSERT_EQ(c.Data.size(), 26u);
      EXPECT_EQ(Big32(&c.Data[0]), sequence++);
      EXPECT_EQ(Big32(&c.Data[4]), 23u);
      EXPECT_EQ(Big32(&c.Data[8]), 7u);
      EXPECT_EQ(c.Data[20] << 8 | c.Data[21], delays[frame][0]);
      EXPECT_EQ(c.Data[22] << 8 | c.Data[23], delays[frame][1]);
      EXPECT_EQ(c.Data[24], 0);  // dispose none
      EXPECT_EQ(c.Data[25], 0);  // blend source
    } else if (c.Type == "IDAT" || c.Type == "fdAT") {
      const size_t skip = c.Type == "fdAT" ? 4 : 0;
      if (skip) {
        EXPECT_EQ(Big32(&c.Data[0]), sequence++);
      }
      const std::vector<uint8_t> rgba = Unfilter(c.Data.data() + skip, c.Data.size() - skip, 23, 7);
      for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 23; ++x) {
          const uint8_t* p = &rgba[static_cast<size_t>(y * 23 + x) * 4];
          ASSERT_EQ(Color32(p[0], p[1], p[2], p[3]), frames[frame].Pixel(x, y)) << frame << ":" << x << "," << y;
        }
      ++frame;
    }
  }
  EXPECT_EQ(frame, 3);

  // A plain PNG reader sees the first frame.
  const TPngImage still = DecodePng(file);
  EXPECT_EQ(still.ColorType, pctRGBA);
  EXPECT_EQ(still.PixelColor32(9, 3), frames[0].Pixel(9, 3));

  EXPECT_THROW(writer.AddFrame(TBitmap32(22, 7), 1), Error);
  EXPECT_THROW(TApngWriter(2, 2).Finish(), Error);
}

}  // namespace
}  // namespace varune
