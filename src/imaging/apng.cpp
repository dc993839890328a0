#include "imaging/apng.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archive/error.h"
#include "archive/stream.h"

namespace varune {

namespace {

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void PutBig16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
  PutBig32(out, static_cast<uint32_t>(crc));
}

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filters one RGBA row with each of the five filters and keeps the one with
// the smallest sum of absolute values, the usual heuristic.
void FilterRow(const uint8_t* row, const uint8_t* prior, size_t length, std::vector<uint8_t>& out,
               std::vector<uint8_t>& trial) {
  constexpr size_t bpp = 4;
  uint64_t bestSum = UINT64_MAX;
  size_t bestStart = out.size();
  out.resize(bestStart + 1 + length);
  trial.resize(length);
  for (uint8_t filter = 0; filter < 5; ++filter) {
    uint64_t sum = 0;
    for (size_t i = 0; i < length; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0;
      const int b = prior ? prior[i] : 0;
      const int c = prior && i >= bpp ? prior[i - bpp] : 0;
      int predictor = 0;
      switch (filter) {
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) / 2; break;
        case 4: predictor = Paeth(a, b, c); break;
        default: break;
      }
      trial[i] = static_cast<uint8_t>(row[i] - predictor);
      sum += trial[i] < 128 ? trial[i] : 256 - trial[i];
    }
    if (sum < bestSum) {
      bestSum = sum;
      out[bestStart] = filter;
      std::memcpy(out.data() + bestStart + 1, trial.data(), length);
    }
  }
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
    throw Error("APNG writing failed: compression error");
  packed.resize(size);
  return packed;
}

}  // namespace

TApngWriter::TApngWriter(int32_t Width, int32_t Height, uint32_t Plays)
    : FWidth(Width), FHeight(Height), FPlays(Plays) {
  if (Width <= 0 || Height <= 0 || Width > 16384 || Height > 16384) throw Error("APNG writing failed: invalid size");
}

void TApngWriter::AddFrame(const TBitmap32& Frame, uint32_t DelayMs) {
  if (Frame.Width() != FWidth || Frame.Height() != FHeight)
    throw Error("APNG writing failed: frame size differs from the canvas");
  const size_t length = static_cast<size_t>(FWidth) * 4;
  std::vector<uint8_t> filtered;
  filtered.reserve((length + 1) * static_cast<size_t>(FHeight));
  std::vector<uint8_t> row(length), prior(length), trial;
  for (int32_t y = 0; y < FHeight; ++y) {
    const TColor32* src = Frame.GetScanLine(y);
    for (int32_t x = 0; x < FWidth; ++x) {
      uint8_t* p = row.data() + 4 * x;
      p[0] = RedComponent(src[x]);
      p[1] = GreenComponent(src[x]);
      p[2] = BlueComponent(src[x]);
      p[3] = AlphaComponent(src[x]);
    }
    FilterRow(row.data(), y > 0 ? prior.data() : nullptr, length, filtered, trial);
    row.swap(prior);
  }
  TFrame frame;
  frame.Compressed = Deflate(filtered);
  if (DelayMs <= 65535) {
    frame.DelayNum = static_cast<uint16_t>(DelayMs);
    frame.DelayDen = 1000;
  } else {
    frame.DelayNum = static_cast<uint16_t>(std::min<uint32_t>((DelayMs + 5) / 10, 65535));
    frame.DelayDen = 100;
  }
  FFrames.push_back(std::move(frame));
}

std::vector<uint8_t> TApngWriter::Finish() const {
  if (FFrames.empty()) throw Error("APNG writing failed: no frames");
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> out(kSignature, kSignature + 8);
  std::vector<uint8_t> data;

  PutBig32(data, static_cast<uint32_t>(FWidth));
  PutBig32(data, static_cast<uint32_t>(FHeight));
  data.insert(data.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, adaptive filters, no interlace
  PutChunk(out, "IHDR", data);

  data.clear();
  PutBig32(data, static_cast<uint32_t>(FFrames.size()));
  PutBig32(data, FPlays);
  PutChunk(out, "acTL", data);

  uint32_t sequence = 0;
  for (size_t i = 0; i < FFrames.size(); ++i) {
    const TFrame& frame = FFrames[i];
    data.clear();
    PutBig32(data, sequence++);
    PutBig32(data, static_cast<uint32_t>(FWidth));
    PutBig32(data, static_cast<uint32_t>(FHeight));
    PutBig32(data, 0);  // x offset
    PutBig32(data, 0);  // y offset
    PutBig16(data, frame.DelayNum);
    PutBig16(data, frame.DelayDen);
    data.push_back(0);  // dispose op NONE: the next frame covers everything
    data.push_back(0);  // blend op SOURCE: replace, alpha included
    PutChunk(out, "fcTL", data);
    if (i == 0) {
      PutChunk(out, "IDAT", frame.Compressed);
    } else {
      data.clear();
      PutBig32(data, sequence++);
      data.insert(data.end(), frame.Compressed.begin(), frame.Compressed.end());
      PutChunk(out, "fdAT", data);
    }
  }
  PutChunk(out, "IEND", {});
  return out;
}

void TApngWriter::SaveToFile(const std::string& FileName) const { WriteWholeFile(FileName, Finish()); }

}  // namespace varune
