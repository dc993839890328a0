#include "archive/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "archive/error.h"

namespace varune {
namespace {

// Eight bytes at a time: most game texts (paths, IDs) are plain ASCII.
bool IsAscii(std::string_view s) {
  const char* p = s.data();
  size_t n = s.size();
  uint64_t high = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    high |= word;
  }
  for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
  return (high & 0x8080808080808080ull) == 0;
}

// One conversion direction; the descriptor is opened once per thread.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw Error(Sprintf("文字コード変換を開始できません (%s → %s)", from, to));
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; each unconvertible input character is skipped and
  // `replacement` written in its place. With `utf8Input` the whole UTF-8
  // sequence is skipped, otherwise one byte, so resynchronisation is immediate.
  std::string Convert(std::string_view in, std::string_view replacement, bool utf8Input) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 3 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
      if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        const size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2);
        dst = out.data() + used;
        dstLeft = out.size() - used;
        continue;
      }
      // EILSEQ or EINVAL (a sequence cut short at the end): replace one byte.
      if (dstLeft < replacement.size()) {
        const size_t used = out.size() - dstLeft;
        out.resize(out.size() * 2 + replacement.size());
        dst = out.data() + used;
        dstLeft = out.size() - used;
      }
      std::memcpy(dst, replacement.data(), replacement.size());
      dst += replacement.size();
      dstLeft -= replacement.size();
      do {
        ++src;
        --srcLeft;
      } while (utf8Input && srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80);
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Convert(ansi, "\xEF\xBF\xBD", false);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Convert(utf8, "?", true);
}

std::string AnsiField(const void* field, size_t size) {
  const char* text = static_cast<const char*>(field);
  const void* nul = std::memchr(text, 0, size);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : size;
  return AnsiToUtf8(std::string_view(text, length));
}

std::string AsciiLowerCopy(std::string_view s) {
  std::string lower(s);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

namespace {

// Lowers the ASCII capitals among eight bytes at once; other bytes, those
// of multi-byte characters included, stay as they are.
uint64_t FoldWord(uint64_t word) {
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const uint64_t atLeastA = (word & kLow7) + 0x3F3F3F3F3F3F3F3Full;  // high bit set where byte >= 'A'
  const uint64_t aboveZ = (word & kLow7) + 0x2525252525252525ull;    // high bit set where byte > 'Z'
  const uint64_t capitals = atLeastA & ~aboveZ & ~word & kHigh;
  return word | (capitals >> 2);
}

}  // namespace

size_t CaseInsensitiveHash::operator()(std::string_view s) const {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  uint64_t hash = s.size() * kMultiplier;
  const char* p = s.data();
  size_t n = s.size();
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    hash = (hash ^ FoldWord(word)) * kMultiplier;
    hash ^= hash >> 29;
  }
  if (n > 0) {
    uint64_t word = 0;
    std::memcpy(&word, p, n);
    hash = (hash ^ FoldWord(word)) * kMultiplier;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

}  // namespace varune
