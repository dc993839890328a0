#include "imaging/png.h"

#include <libdeflate.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "archive/error.h"
#include "archive/stream.h"
#include "imaging/png_rows.h"

namespace varune {

TPngImage TPngImage::Blank(int32_t Width, int32_t Height) {
  TPngImage image;
  image.Width = Width;
  image.Height = Height;
  image.ColorType = pctRGBA;
  image.Rgb.assign(image.PixelCount() * 3, 0);
  image.Alpha.assign(image.PixelCount(), 0);
  return image;
}

TPngTransparencyMode TPngImage::TransparencyMode() const {
  switch (ColorType) {
    case pctGray:
    case pctRGB:
      return HasTrns ? ptmBit : ptmNone;
    case pctPalette: {
      if (!HasTrns) return ptmNone;
      int below = 0;
      for (int32_t i = 0; i < TrnsCount; ++i) below += TrnsAlpha[static_cast<size_t>(i)] < 255;
      return below == 1 ? ptmBit : ptmPartial;
    }
    case pctGrayAlpha:
    case pctRGBA:
      break;
  }
  return ptmPartial;
}

TColor32 TPngImage::TransparentColor() const {
  switch (ColorType) {
    case pctPalette:
      for (int32_t i = 0; i < TrnsCount; ++i) {
        if (TrnsAlpha[static_cast<size_t>(i)] != 0) continue;
        if (static_cast<size_t>(i) >= Palette.size()) break;
        const TPngRgb& c = Palette[static_cast<size_t>(i)];
        return Color32(c[0], c[1], c[2]);
      }
      return Color32(0, 0, 0);
    case pctRGB:
      return Color32(static_cast<uint8_t>(TrnsRed), static_cast<uint8_t>(TrnsGreen), static_cast<uint8_t>(TrnsBlue));
    case pctGray: {
      uint8_t level;
      if (BitDepth == 16)
        level = static_cast<uint8_t>(TrnsGray >> 8);
      else if (BitDepth == 8)
        level = static_cast<uint8_t>(TrnsGray);
      else
        level = static_cast<uint8_t>((TrnsGray & ((1 << BitDepth) - 1)) * 255 / ((1 << BitDepth) - 1));
      return Color32(level, level, level);
    }
    default:
      return Color32(0, 0, 0);
  }
}

TColor32 TPngImage::PixelColor32(int32_t X, int32_t Y) const {
  const size_t i = static_cast<size_t>(Y) * static_cast<size_t>(Width) + static_cast<size_t>(X);
  const TColor32 opaque = Color32(Rgb[3 * i], Rgb[3 * i + 1], Rgb[3 * i + 2]);
  switch (ColorType) {
    case pctGrayAlpha:
    case pctRGBA:
      return (opaque & 0x00FFFFFF) | (TColor32{Alpha[i]} << 24);
    case pctPalette:
      return (opaque & 0x00FFFFFF) | (TColor32{TrnsAlpha[Indices[i]]} << 24);
    default:
      return HasTrns && opaque == TransparentColor() ? opaque & 0x00FFFFFF : opaque;
  }
}

namespace {

// Shared by libpng's callbacks. Plain data only: libpng leaves through longjmp.
struct TPngContext {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Position = 0;
  std::vector<uint8_t>* Output = nullptr;
  char Message[200] = {};
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  auto* context = static_cast<TPngContext*>(png_get_error_ptr(png));
  std::snprintf(context->Message, sizeof context->Message, "%s", message ? message : "error");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* context = static_cast<TPngContext*>(png_get_io_ptr(png));
  if (count > context->Size - context->Position) png_error(png, "unexpected end of data");
  std::memcpy(out, context->Data + context->Position, count);
  context->Position += count;
}

void WriteToMemory(png_structp png, png_bytep data, size_t count) {
  auto* context = static_cast<TPngContext*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    context->Output->insert(context->Output->end(), data, data + count);
  } catch (...) {
    failed = true;
  }
  if (failed) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

int ChannelsOf(TPngColorType type) {
  switch (type) {
    case pctGray:
    case pctPalette:
      return 1;
    case pctGrayAlpha:
      return 2;
    case pctRGB:
      return 3;
    case pctRGBA:
      return 4;
  }
  return 0;
}

// Takes the rows ReadPng delivers, top row first: 8-bit samples in the file's
// channel order, palette indices unpacked. Called between libpng's calls,
// never from inside them.
class TRowSink {
 public:
  // `Header` holds every fact of the picture but its pixels; room for all
  // rows is made here, once.
  virtual void Start(const TPngImage& Header) = 0;
  virtual void Row(int32_t Y, const uint8_t* Samples) = 0;

 protected:
  ~TRowSink() = default;
};

// Spreads one transformed row (8-bit samples, palette indices unpacked) into
// the picture's planes.
void StoreRow(TPngImage& image, int32_t y, const uint8_t* row) {
  const size_t w = static_cast<size_t>(image.Width);
  const size_t first = static_cast<size_t>(y) * w;
  uint8_t* rgb = image.Rgb.data() + 3 * first;
  switch (image.ColorType) {
    case pctGray:
      for (size_t x = 0; x < w; ++x) rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = row[x];
      break;
    case pctRGB:
      std::memcpy(rgb, row, 3 * w);
      break;
    case pctPalette: {
      std::memcpy(image.Indices.data() + first, row, w);
      const size_t entries = image.Palette.size();
      for (size_t x = 0; x < w; ++x) {
        static constexpr TPngRgb kBlack{0, 0, 0};
        const TPngRgb& c = row[x] < entries ? image.Palette[row[x]] : kBlack;
        std::memcpy(rgb + 3 * x, c.data(), 3);
      }
      break;
    }
    case pctGrayAlpha: {
      uint8_t* alpha = image.Alpha.data() + first;
      for (size_t x = 0; x < w; ++x) {
        rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = row[2 * x];
        alpha[x] = row[2 * x + 1];
      }
      break;
    }
    case pctRGBA: {
      uint8_t* alpha = image.Alpha.data() + first;
      for (size_t x = 0; x < w; ++x) {
        std::memcpy(rgb + 3 * x, row + 4 * x, 3);
        alpha[x] = row[4 * x + 3];
      }
      break;
    }
  }
}

// Fills the planes of the picture being read, which is also the header.
class TPlaneSink final : public TRowSink {
 public:
  explicit TPlaneSink(TPngImage& Image) : FImage(Image) {}

  void Start(const TPngImage&) override {
    const size_t pixels = FImage.PixelCount();
    FImage.Rgb.resize(3 * pixels);
    if (FImage.ColorType == pctPalette) FImage.Indices.resize(pixels);
    if (FImage.HasAlphaChannel()) FImage.Alpha.resize(pixels);
  }
  void Row(int32_t Y, const uint8_t* Samples) override { StoreRow(FImage, Y, Samples); }

 private:
  TPngImage& FImage;
};

// Converts the rows into a surface by the picture's transparency mode. A
// palette index out of range is only recorded: a damaged stream further on
// must still win, as when the whole picture is decoded before conversion.
class TSurfaceSink final : public TRowSink {
 public:
  explicit TSurfaceSink(TBitmap32& Bitmap) : FBitmap(Bitmap) {}

  // The first palette index the palette lacks, in mode partial; -1 for none.
  int BadIndex = -1;

  void Start(const TPngImage& Header) override {
    FColorType = Header.ColorType;
    const TPngTransparencyMode mode = Header.TransparencyMode();
    // No opaque colour equals 0, so outside mode bit nothing is keyed.
    FKey = mode == ptmBit ? Header.TransparentColor() : 0;
    const bool palette = FColorType == pctPalette;
    const size_t entries = Header.Palette.size();
    FFirstMissing = palette && mode == ptmPartial ? entries : 256;
    // Grey levels and palette indices go through one table.
    for (size_t i = 0; i < 256; ++i) {
      const uint8_t level = static_cast<uint8_t>(i);
      TColor32 c = Color32(level, level, level);
      if (palette) {
        const TPngRgb rgb = i < entries ? Header.Palette[i] : TPngRgb{0, 0, 0};
        c = Color32(rgb[0], rgb[1], rgb[2], mode == ptmPartial ? Header.TrnsAlpha[i] : 255);
      }
      FLookup[i] = c == FKey ? c & 0x00FFFFFF : c;
    }
    FBitmap.SetSize(Header.Width, Header.Height);
  }

  void Row(int32_t Y, const uint8_t* Samples) override {
    const size_t w = static_cast<size_t>(FBitmap.Width());
    TColor32* out = FBitmap.GetScanLine(Y);
    switch (FColorType) {
      case pctGray:
      case pctPalette:
        for (size_t x = 0; x < w; ++x) out[x] = FLookup[Samples[x]];
        if (BadIndex < 0 && FFirstMissing < 256) {
          const uint8_t* bad = std::find_if(Samples, Samples + w, [&](uint8_t i) { return i >= FFirstMissing; });
          if (bad != Samples + w) BadIndex = *bad;
        }
        break;
      case pctRGB:
        for (size_t x = 0; x < w; ++x) {
          const TColor32 c = Color32(Samples[3 * x], Samples[3 * x + 1], Samples[3 * x + 2]);
          out[x] = c == FKey ? c & 0x00FFFFFF : c;
        }
        break;
      case pctGrayAlpha:
        for (size_t x = 0; x < w; ++x) {
          const uint8_t level = Samples[2 * x];
          out[x] = Color32(level, level, level, Samples[2 * x + 1]);
        }
        break;
      case pctRGBA:
        for (size_t x = 0; x < w; ++x)
          out[x] = Color32(Samples[4 * x], Samples[4 * x + 1], Samples[4 * x + 2], Samples[4 * x + 3]);
        break;
    }
  }

 private:
  TBitmap32& FBitmap;
  TPngColorType FColorType = pctRGBA;
  TColor32 FKey = 0;
  size_t FFirstMissing = 256;
  std::array<TColor32, 256> FLookup{};
};

// The libpng part of decoding: fills the header facts of `image`, then hands
// the rows to `sink`. Returns false after a libpng error (message in the
// context). No object with a destructor lives in this frame, so the longjmp
// back to it skips nothing; the sink runs between libpng's calls, so its
// allocations may throw.
bool ReadPng(png_structp png, png_infop info, size_t fileSize, uint64_t maxPixels, TPngImage& image,
             TRowSink& sink, std::vector<uint8_t>& raw, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
  png_set_benign_errors(png, 1);
  png_read_info(png, info);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
  if (static_cast<uint64_t>(width) * height > maxPixels) png_error(png, "picture too large");
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.ColorType = static_cast<TPngColorType>(colorType);
  image.BitDepth = static_cast<uint8_t>(bitDepth);
  // Every row, with its filter byte, inflates from the file's bytes at most
  // 1032 : 1 (interlaced rows take more bytes, not fewer). A file too short
  // for that cannot be complete, so it is refused before room is made.
  const uint64_t fileRowBytes = (uint64_t{width} * ChannelsOf(image.ColorType) * bitDepth + 7) / 8;
  if (uint64_t{height} * (1 + fileRowBytes) > uint64_t{fileSize} * 1032)
    png_error(png, "file too short for the picture it claims");

  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) == 0) png_error(png, "missing PLTE");
    image.Palette.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) image.Palette[static_cast<size_t>(i)] = {palette[i].red, palette[i].green, palette[i].blue};
  }
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
    png_bytep alpha = nullptr;
    int count = 0;
    png_color_16p sample = nullptr;
    png_get_tRNS(png, info, &alpha, &count, &sample);
    if (colorType == PNG_COLOR_TYPE_PALETTE && alpha != nullptr) {
      image.HasTrns = true;
      image.TrnsCount = count < 256 ? count : 256;
      std::memcpy(image.TrnsAlpha.data(), alpha, static_cast<size_t>(image.TrnsCount));
    } else if ((colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_RGB) && sample != nullptr) {
      image.HasTrns = true;
      image.TrnsGray = sample->gray;
      image.TrnsRed = sample->red;
      image.TrnsGreen = sample->green;
      image.TrnsBlue = sample->blue;
    }
  }

  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) {
    if (colorType == PNG_COLOR_TYPE_PALETTE)
      png_set_packing(png);
    else
      png_set_expand_gray_1_2_4_to_8(png);
  }
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  if (png_get_channels(png, info) != ChannelsOf(image.ColorType) ||
      rowBytes != width * static_cast<size_t>(ChannelsOf(image.ColorType)))
    png_error(png, "unexpected row layout");

  sink.Start(image);
  const auto* context = static_cast<const TPngContext*>(png_get_io_ptr(png));
  // libpng stops right after the first IDAT chunk's length and type.
  if (passes == 1 && bitDepth == 8 && context->Position >= 8 &&
      InflatePngRows(context->Data, context->Size, context->Position - 8, height, rowBytes,
                     static_cast<size_t>(ChannelsOf(image.ColorType)), raw)) {
    for (png_uint_32 y = 0; y < height; ++y) sink.Row(static_cast<int32_t>(y), raw.data() + y * (rowBytes + 1) + 1);
    return true;
  }
  if (passes == 1) {
    raw.resize(rowBytes);
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, raw.data(), nullptr);
      sink.Row(static_cast<int32_t>(y), raw.data());
    }
  } else {
    raw.resize(rowBytes * height);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = raw.data() + y * rowBytes;
    png_read_image(png, rows.data());
    for (png_uint_32 y = 0; y < height; ++y) sink.Row(static_cast<int32_t>(y), rows[y]);
  }
  return true;
}

// Reads the file in memory into the header facts of `Image` and the rows
// into `Sink`.
void ReadPngFile(const uint8_t* Data, size_t Size, uint64_t MaxPixels, TPngImage& Image, TRowSink& Sink) {
  if (Size < 8 || png_sig_cmp(Data, 0, 8) != 0) throw Error("invalid PNG: no PNG signature");
  TPngContext context;
  context.Data = Data;
  context.Size = Size;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnPngError, OnPngWarning);
  if (png == nullptr) throw Error("invalid PNG: libpng could not start");
  png_infop info = png_create_info_struct(png);
  struct TReadGuard {
    png_structp* Png;
    png_infop* Info;
    ~TReadGuard() { png_destroy_read_struct(Png, Info, nullptr); }
  } guard{&png, &info};
  if (info == nullptr) throw Error("invalid PNG: libpng could not start");
  png_set_read_fn(png, &context, ReadFromMemory);

  std::vector<uint8_t> raw;
  std::vector<png_bytep> rows;
  if (!ReadPng(png, info, Size, MaxPixels, Image, Sink, raw, rows))
    throw Error(Sprintf("invalid PNG: %s", context.Message));
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  AppendBigEndian(out, static_cast<uint32_t>(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  AppendBigEndian(out, libdeflate_crc32(0, out.data() + start, out.size() - start));
}

// Writes a picture already laid out as file rows. Only plain data here:
// libpng leaves through longjmp.
bool WritePngRows(png_structp png, png_infop info, const TPngImage& image, png_bytep* rows, png_colorp palette,
                  int paletteSize, png_bytep trnsAlpha, int trnsCount, png_color_16p trnsColor) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width), static_cast<png_uint_32>(image.Height), 8,
               image.ColorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletteSize > 0) png_set_PLTE(png, info, palette, paletteSize);
  if (trnsCount > 0 || trnsColor) png_set_tRNS(png, info, trnsAlpha, trnsCount, trnsColor);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

// Runs `write` (which catches libpng's errors in its own jump buffer and
// answers false) on a fresh writer and returns the file's bytes.
template <class TWrite>
std::vector<uint8_t> WriteWithLibpng(TWrite write) {
  std::vector<uint8_t> bytes;
  TPngContext context;
  context.Output = &bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, OnPngError, OnPngWarning);
  if (png == nullptr) throw Error("PNG writing failed: libpng could not start");
  png_infop info = png_create_info_struct(png);
  struct TWriteGuard {
    png_structp* Png;
    png_infop* Info;
    ~TWriteGuard() { png_destroy_write_struct(Png, Info); }
  } guard{&png, &info};
  if (info == nullptr) throw Error("PNG writing failed: libpng could not start");
  png_set_write_fn(png, &context, WriteToMemory, FlushNothing);
  if (!write(png, info)) throw Error(Sprintf("PNG writing failed: %s", context.Message));
  return bytes;
}

}  // namespace

TPngImage DecodePng(const uint8_t* Data, size_t Size, uint64_t MaxPixels) {
  TPngImage image;
  TPlaneSink sink(image);
  ReadPngFile(Data, Size, MaxPixels, image, sink);
  return image;
}

TBitmap32 DecodePngToBitmap32(const uint8_t* Data, size_t Size, uint64_t MaxPixels) {
  TPngImage header;
  TBitmap32 bitmap;
  TSurfaceSink sink(bitmap);
  ReadPngFile(Data, Size, MaxPixels, header, sink);
  if (sink.BadIndex >= 0) throw TPngPaletteRangeError(Sprintf("パレットの範囲外の色です [%d]", sink.BadIndex));
  return bitmap;
}

TPngImage LoadPngFromFile(const std::string& FileName) { return DecodePng(ReadWholeFile(FileName)); }

// Our own pictures skip libpng: every row filtered Up and the whole deflated
// by libdeflate at level 6 is five times as fast as libpng's adaptive
// filters with zlib, and as small within a few per cent (bench_server's
// png_encode). Encoding is most of an uncached render's time.
std::vector<uint8_t> EncodePng(const TBitmap32& Bitmap, TPngPixelFormat Format) {
  if (Bitmap.Empty()) throw Error("cannot write an empty picture as PNG");
  const bool alpha = Format == ppfRGBA;
  const size_t width = static_cast<size_t>(Bitmap.Width());
  const size_t rowBytes = width * (alpha ? 4 : 3);
  std::vector<uint8_t> rows((rowBytes + 1) * static_cast<size_t>(Bitmap.Height()));
  std::vector<uint8_t> above(rowBytes), samples(rowBytes);
  for (int32_t y = 0; y < Bitmap.Height(); ++y) {
    const TColor32* pixels = Bitmap.GetScanLine(y);
    uint8_t* sample = samples.data();
    for (size_t x = 0; x < width; ++x) {
      *sample++ = RedComponent(pixels[x]);
      *sample++ = GreenComponent(pixels[x]);
      *sample++ = BlueComponent(pixels[x]);
      if (alpha) *sample++ = AlphaComponent(pixels[x]);
    }
    uint8_t* row = rows.data() + static_cast<size_t>(y) * (rowBytes + 1);
    row[0] = 2;  // Up: the first row's "above" is all zero
    for (size_t i = 0; i < rowBytes; ++i) row[1 + i] = static_cast<uint8_t>(samples[i] - above[i]);
    above.swap(samples);
  }
  const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> deflater(
      libdeflate_alloc_compressor(6), libdeflate_free_compressor);
  if (!deflater) throw Error("PNG writing failed: out of memory");
  std::vector<uint8_t> stream(libdeflate_zlib_compress_bound(deflater.get(), rows.size()));
  stream.resize(libdeflate_zlib_compress(deflater.get(), rows.data(), rows.size(), stream.data(), stream.size()));
  if (stream.empty()) throw Error("PNG writing failed: compression error");

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  AppendBigEndian(header, static_cast<uint32_t>(Bitmap.Width()));
  AppendBigEndian(header, static_cast<uint32_t>(Bitmap.Height()));
  header.insert(header.end(), {8, static_cast<uint8_t>(alpha ? pctRGBA : pctRGB), 0, 0, 0});
  AppendChunk(file, "IHDR", header.data(), header.size());
  AppendChunk(file, "IDAT", stream.data(), stream.size());
  AppendChunk(file, "IEND", nullptr, 0);
  return file;
}

void SavePngToFile(const std::string& FileName, const TBitmap32& Bitmap, TPngPixelFormat Format) {
  WriteWholeFile(FileName, EncodePng(Bitmap, Format));
}

std::vector<uint8_t> EncodePngImage(const TPngImage& Image) {
  if (Image.Width <= 0 || Image.Height <= 0) throw Error("cannot write an empty picture as PNG");
  const size_t count = Image.PixelCount();
  const int channels = ChannelsOf(Image.ColorType);
  const bool palette = Image.ColorType == pctPalette;
  if (channels == 0 || Image.Rgb.size() < count * 3 || (Image.HasAlphaChannel() && Image.Alpha.size() < count) ||
      (palette && (Image.Indices.size() < count || Image.Palette.empty() || Image.Palette.size() > 256)))
    throw Error("PNG writing failed: the picture's planes do not match its colour type");

  // File samples, row after row.
  std::vector<uint8_t> samples(count * static_cast<size_t>(channels));
  for (size_t i = 0; i < count; ++i) {
    uint8_t* out = &samples[i * static_cast<size_t>(channels)];
    switch (Image.ColorType) {
      case pctGray: out[0] = Image.Rgb[i * 3]; break;
      case pctGrayAlpha: out[0] = Image.Rgb[i * 3], out[1] = Image.Alpha[i]; break;
      case pctRGB: std::memcpy(out, &Image.Rgb[i * 3], 3); break;
      case pctRGBA: std::memcpy(out, &Image.Rgb[i * 3], 3), out[3] = Image.Alpha[i]; break;
      case pctPalette: out[0] = Image.Indices[i]; break;
    }
  }
  std::vector<png_bytep> rows(static_cast<size_t>(Image.Height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = &samples[y * static_cast<size_t>(Image.Width) * channels];
  std::vector<png_color> plte;
  for (const TPngRgb& entry : Image.Palette) plte.push_back({entry[0], entry[1], entry[2]});
  std::array<uint8_t, 256> trnsAlpha = Image.TrnsAlpha;
  png_color_16 trnsColor{0, Image.TrnsRed, Image.TrnsGreen, Image.TrnsBlue, Image.TrnsGray};
  const int trnsCount = palette && Image.HasTrns ? std::clamp(Image.TrnsCount, 1, 256) : 0;
  png_color_16p trnsSample = !palette && Image.HasTrns && !Image.HasAlphaChannel() ? &trnsColor : nullptr;

  return WriteWithLibpng([&](png_structp png, png_infop info) {
    return WritePngRows(png, info, Image, rows.data(), plte.data(), static_cast<int>(plte.size()), trnsAlpha.data(),
                        trnsCount, trnsSample);
  });
}

}  // namespace varune
