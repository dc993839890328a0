#include <gtest/gtest.h>

#include "archive/base64.h"
#include "archive/error.h"
#include "archive/text.h"

namespace varune {
namespace {

TEST(CodePageTest, JapaneseRoundTripsAndDamageIsReplaced) {
  const std::string utf8 = "装備アイテム・ﾊﾝｶｸ abc";
  const std::string ansi = Utf8ToAnsi(utf8);
  EXPECT_EQ(ansi.substr(0, 2), "\x91\x95");  // 装 in code page 932
  EXPECT_EQ(AnsiToUtf8(ansi), utf8);

  EXPECT_EQ(AnsiToUtf8("a\x81"), "a\xEF\xBF\xBD");       // lead byte cut short
  EXPECT_EQ(AnsiToUtf8("\xFF" "b"), "\xEF\xBF\xBD" "b");  // never a valid byte
  EXPECT_EQ(Utf8ToAnsi("x😀y"), "x?y");                   // not in the code page
  EXPECT_EQ(AnsiField("AB\0CD", 5), "AB");
  EXPECT_EQ(AnsiField("ABCD", 4), "ABCD");
}

TEST(CodePageTest, NamesCompareAsciiLettersWithoutCase) {
  EXPECT_TRUE(SameTextAscii("Data/Ldt/Item_1.ldt", "DATA/LDT/ITEM_1.LDT"));
  EXPECT_FALSE(SameTextAscii("DATA/LDT", "DATA\\LDT"));
  EXPECT_FALSE(SameTextAscii("ａ", "Ａ"));  // full-width letters are not folded
  EXPECT_EQ(CaseInsensitiveHash{}("AbC"), CaseInsensitiveHash{}("aBc"));
}

std::string Encode(size_t length) {
  std::vector<uint8_t> data(length);
  for (size_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(i * 7 + 1);
  TMemoryStream input(data), output;
  EncodeBase64Stream(input, output);
  return std::string(output.Bytes().begin(), output.Bytes().end());
}

TEST(Base64Test, LinesBreakAfterEverySeventySixCharacters) {
  EXPECT_EQ(Encode(0), "");
  EXPECT_EQ(Encode(3), "AQgP");
  EXPECT_EQ(Encode(1), "AQ==");
  EXPECT_EQ(Encode(2), "AQg=");
  const std::string full = Encode(57);
  EXPECT_EQ(full.size(), 78u);
  EXPECT_EQ(full.substr(76), "\r\n");
  const std::string more = Encode(58);
  EXPECT_EQ(more.substr(0, 78), full);
  EXPECT_EQ(more.size(), 82u);
  EXPECT_EQ(more.substr(80), "==");

  // Chunks of 510 bytes must not disturb the line counter.
  const std::string big = Encode(1200);
  size_t lines = 0;
  for (size_t at = 0; (at = big.find("\r\n", at)) != std::string::npos; at += 2, ++lines)
    EXPECT_EQ((at - lines * 78) % 76, 0u);
  EXPECT_EQ(lines, 1200u / 57);
  EXPECT_EQ(big.size(), 1600u + 2 * lines);
}

TEST(Base64Test, ReadsFromTheInputPosition) {
  TMemoryStream input(std::vector<uint8_t>{'x', 'M', 'a', 'n'}), output;
  input.SetPosition(1);
  EncodeBase64Stream(input, output);
  EXPECT_EQ(std::string(output.Bytes().begin(), output.Bytes().end()), "TWFu");
}

}  // namespace
}  // namespace varune

namespace varune {
namespace {

TEST(CodePageTest, HashFoldsOnlyAsciiCapitals) {
  const CaseInsensitiveHash hash;
  // Every length around the eight-byte steps, every letter position.
  const std::string upper = "DATA/CHAR/CHARLAYER/LAYER01.TBL@[`{";
  for (size_t length = 0; length <= upper.size(); ++length) {
    const std::string a = upper.substr(0, length);
    EXPECT_EQ(hash(a), hash(AsciiLowerCopy(a))) << a;
  }
  // '@', '[', '`' and '{' border the letters and must not be folded onto them.
  EXPECT_NE(hash("@[`{"), hash("`{@["));
  EXPECT_NE(hash("[Z"), hash("{z"));
  // Bytes of code page 932 characters whose low seven bits spell capitals.
  EXPECT_NE(hash("\xC1\xC2"), hash("\xE1\xE2"));
}

}  // namespace
}  // namespace varune

#include <iconv.h>

#include <random>

namespace varune {
namespace {

// iconv straight, every undecodable byte replaced by U+FFFD and skipped.
std::string IconvReference(std::string_view in) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out;
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char buffer[256];
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t result = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

TEST(CodePageTest, DecodingMatchesIconvOnEveryByteMix) {
  std::mt19937 rng(42);
  for (int round = 0; round < 3000; ++round) {
    std::string text(rng() % 24, '\0');
    for (char& c : text) {
      const uint32_t r = rng();
      c = static_cast<char>(r % 4 == 0 ? 0x20 + r / 4 % 0x60 : 0x80 + r / 4 % 0x80);  // mostly high bytes
    }
    ASSERT_EQ(AnsiToUtf8(text), IconvReference(text)) << round;
  }
  // Every pair once.
  std::string all;
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0x30; trail <= 0xFF; ++trail) all += {static_cast<char>(lead), static_cast<char>(trail), ' '};
  EXPECT_EQ(AnsiToUtf8(all), IconvReference(all));
}

}  // namespace
}  // namespace varune

namespace varune {
namespace {

TEST(CodePageTest, ZeroPaddingWritesWhatPrintfWrites) {
  for (int32_t value : {0, 1, -1, 7, 42, -42, 999, 1000, 12345, -12345, INT32_MAX, INT32_MIN})
    for (int digits : {1, 2, 3, 4}) {
      std::string padded = "x";
      AppendZeroPadded(padded, value, digits);
      EXPECT_EQ(padded, "x" + Sprintf("%.*d", digits, value)) << value << " " << digits;
    }
}

}  // namespace
}  // namespace varune
