#pragma once
// The test every text read from an outside file (settings, registry) passes
// before the program uses it.

#include <string_view>

namespace varune {

// True when `Text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF) and holds no NUL, which would cut a path short.
bool IsValidUtf8Text(std::string_view Text);

}  // namespace varune
