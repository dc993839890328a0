#include "archive/base64.h"

#include <cstdint>
#include <string>

#include "archive/error.h"

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

std::vector<uint8_t> DecodeBase64(std::string_view Text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(Text.size() / 4 * 3);
  uint32_t group = 0;
  int digits = 0;
  int padding = 0;
  for (char c : Text) {
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    int value;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    else if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    else if (c >= '0' && c <= '9') value = c - '0' + 52;
    else if (c == '+') value = 62;
    else if (c == '/') value = 63;
    else if (c == '=' && digits >= 2) value = -1;
    else throw Error("Base64 の文字が不正です");
    if (padding > 0 && value >= 0) throw Error("Base64 の文字が不正です");
    if (value < 0) ++padding;
    group = (group << 6) | static_cast<uint32_t>(value < 0 ? 0 : value);
    if (++digits == 4) {
      bytes.push_back(static_cast<uint8_t>(group >> 16));
      if (padding < 2) bytes.push_back(static_cast<uint8_t>(group >> 8));
      if (padding < 1) bytes.push_back(static_cast<uint8_t>(group));
      group = 0;
      digits = 0;
    }
  }
  if (digits != 0) throw Error("Base64 の長さが不正です");
  return bytes;
}

}  // namespace varune
