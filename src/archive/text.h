#pragma once
// 8-bit game texts and name comparison.
//
// The game stores its texts in code page 932 (Shift_JIS); the program works in
// UTF-8. Every reader and writer converts through these two functions. Names
// (archive paths, column names, sprite IDs) compare ASCII letters without case
// and every other byte exactly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varune {

// Code page 932 bytes to UTF-8. Bytes that are not valid code page 932 become
// U+FFFD, so damaged texts never stop a load.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to code page 932. Characters the code page lacks become "?".
std::string Utf8ToAnsi(std::string_view utf8);

// The text of a fixed-size field: up to the first NUL, or the whole field.
std::string AnsiField(const void* field, size_t size);

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string AsciiLowerCopy(std::string_view s);

// Appends `value` in decimal with at least `digits` digits, zero-padded, as
// printf's "%.Nd" writes it ("-005" for -5 with 3 digits). The sprite and
// appearance keys are built with it, many thousand times per load.
void AppendZeroPadded(std::string& out, int32_t value, int digits);

bool SameTextAscii(std::string_view a, std::string_view b);

// Hash and equality for unordered containers keyed by names without case.
struct CaseInsensitiveHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
struct CaseInsensitiveEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return SameTextAscii(a, b); }
};

}  // namespace varune
