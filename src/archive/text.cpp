#include "archive/text.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

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

namespace {

// Decoding table for the bytes 0x80 to 0xFF, alone and as lead bytes of a
// pair. It is built once by iconv itself, so that decoding by table gives
// exactly what iconv gives, at a fraction of the cost per text.
//
// An entry packs a character's UTF-8 bytes into its low three bytes and their
// count into the top byte, so that a character is written with one 4-byte
// store. A pair entry of 0 is no character; a single byte that is no character
// holds U+FFFD.
class TCp932Table {
 public:
  TCp932Table() {
    // Every single byte and every pair, each followed by a newline: 0x0A is
    // never a trail byte, so each candidate yields exactly one line.
    std::string probe;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
      probe += static_cast<char>(lead);
      probe += '\n';
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
        probe += static_cast<char>(lead);
        probe += static_cast<char>(trail);
        probe += '\n';
      }
    }
    Converter converter("UTF-8", "CP932");
    const std::string decoded = converter.Convert(probe, "\xEF\xBF\xBD", false);
    size_t at = 0;
    auto next = [&]() {
      const size_t end = decoded.find('\n', at);
      const std::string_view line(decoded.data() + at, (end == std::string::npos ? decoded.size() : end) - at);
      at = end == std::string::npos ? decoded.size() : end + 1;
      return OneCharacter(line);
    };
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
      const uint32_t single = next();
      FSingle[lead - 0x80] = single ? single : kReplacement;
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) FPair[PairIndex(lead, trail)] = next();
    }
  }

  // Writes the UTF-8 text of `ansi` at `out` (room for 3 bytes per input
  // byte and one more) and returns the end of what it wrote.
  char* Decode(std::string_view ansi, char* out) const {
    const auto* p = reinterpret_cast<const uint8_t*>(ansi.data());
    const uint8_t* end = p + ansi.size();
    while (p < end) {
      const uint8_t c = *p;
      if (c < 0x80) {
        *out++ = static_cast<char>(c);
        ++p;
        continue;
      }
      uint32_t character = p + 1 < end ? FPair[PairIndex(c, p[1])] : 0;
      if (character) {
        p += 2;
      } else {
        character = FSingle[c - 0x80];
        ++p;
      }
      std::memcpy(out, &character, 4);  // little-endian: the UTF-8 bytes first
      out += character >> 24;
    }
    return out;
  }

 private:
  static constexpr int kFirstTrail = 0x40, kLastTrail = 0xFC;
  static constexpr uint32_t kReplacement = 0x03BDBFEF;  // EF BF BD, 3 bytes
  static size_t PairIndex(int lead, int trail) { return static_cast<size_t>((lead - 0x80) * 256 + trail); }
  // A line holding exactly one character other than the replacement, or 0.
  static uint32_t OneCharacter(std::string_view line) {
    if (line.empty() || line.size() > 3 || line == "\xEF\xBF\xBD") return 0;
    const auto lead = static_cast<uint8_t>(line[0]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
    if (length != line.size()) return 0;
    uint32_t character = static_cast<uint32_t>(length) << 24;
    for (size_t i = 0; i < length; ++i) character |= uint32_t{static_cast<uint8_t>(line[i])} << (8 * i);
    return character;
  }

  std::array<uint32_t, 128> FSingle;
  // Indexed by lead and any trail byte; trails outside 0x40..0xFC stay 0.
  std::vector<uint32_t> FPair = std::vector<uint32_t>(128 * 256);
};

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  static const TCp932Table table;
  // Decoded into scratch room first, so the text itself is allocated once at
  // its own size.
  thread_local std::vector<char> scratch;
  if (scratch.size() < ansi.size() * 3 + 1) scratch.resize(ansi.size() * 3 + 1);
  return std::string(scratch.data(), table.Decode(ansi, scratch.data()));
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

void AppendZeroPadded(std::string& out, int32_t value, int digits) {
  char buffer[16];
  char* end = buffer + sizeof buffer;
  char* p = end;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out += '-';
  for (int padding = digits - static_cast<int>(end - p); padding > 0; --padding) out += '0';
  out.append(p, end);
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
