#include "archive/base64.h"

#include <cstdint>
#include <string>

namespace varune {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kChunkSize = 510;  // a multiple of 3: groups never straddle chunks
constexpr int kLineLength = 76;

}  // namespace

void EncodeBase64Stream(TStream& Input, TStream& Output) {
  uint8_t chunk[kChunkSize];
  std::string text;
  int lineLength = 0;
  for (;;) {
    const auto count = static_cast<int>(Input.Read(chunk, kChunkSize));
    if (count <= 0) break;
    text.clear();
    for (int i = 0; i < count; i += 3) {
      const int left = count - i;
      const uint32_t group = (uint32_t{chunk[i]} << 16) | (left > 1 ? uint32_t{chunk[i + 1]} << 8 : 0) |
                             (left > 2 ? uint32_t{chunk[i + 2]} : 0);
      text += kAlphabet[(group >> 18) & 63];
      text += kAlphabet[(group >> 12) & 63];
      text += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
      text += left > 2 ? kAlphabet[group & 63] : '=';
      lineLength += 4;
      if (lineLength >= kLineLength) {
        text += "\r\n";
        lineLength = 0;
      }
    }
    Output.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  }
}

}  // namespace varune
