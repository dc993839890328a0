#pragma once
// UTF-8 for texts read from outside files (settings, registry): the test
// every such text passes before the program uses it, and the encoder of
// the registry's escaped characters.

#include <string>
#include <string_view>

namespace varune {

// True when `Text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF) and holds no NUL, which would cut a path short.
bool IsValidUtf8Text(std::string_view Text);

// Appends the code point `Code` (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& Text, char32_t Code);

}  // namespace varune
