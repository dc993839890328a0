#include "archive/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "archive/error.h"

namespace varune {
namespace {

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
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

size_t CaseInsensitiveHash::operator()(std::string_view s) const {
  // FNV-1a over the lowered bytes.
  uint64_t hash = 14695981039346656037ull;
  for (char c : s) {
    hash ^= static_cast<unsigned char>(AsciiLower(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

}  // namespace varune
