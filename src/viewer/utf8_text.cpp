#include "viewer/utf8_text.h"

#include <cstdint>

namespace varune {

bool IsValidUtf8Text(std::string_view Text) {
  size_t i = 0;
  while (i < Text.size()) {
    const auto lead = static_cast<uint8_t>(Text[i++]);
    if (lead == 0) return false;
    if (lead < 0x80) continue;
    int follow;
    char32_t code, least;
    if (lead >= 0xC2 && lead <= 0xDF) follow = 1, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) follow = 2, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) follow = 3, code = lead & 0x07, least = 0x10000;
    else return false;
    for (; follow > 0; --follow, ++i) {
      if (i >= Text.size() || (static_cast<uint8_t>(Text[i]) & 0xC0) != 0x80) return false;
      code = (code << 6) | (static_cast<uint8_t>(Text[i]) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
  }
  return true;
}

void AppendUtf8(std::string& Text, char32_t Code) {
  if (Code < 0x80) {
    Text += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Text += static_cast<char>(0xC0 | (Code >> 6));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Text += static_cast<char>(0xE0 | (Code >> 12));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Text += static_cast<char>(0xF0 | (Code >> 18));
    Text += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

}  // namespace varune
