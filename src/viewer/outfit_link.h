#pragma once
// Outfit codes as people pass them on: the code itself, the desktop
// program's link "varune:outfit/CODE", or an address of the render
// service's page, which carries the code first in its fragment
// ("https://host/#CODE&anim=Move"). Codes in links are URL-safe Base64.

#include <optional>
#include <string>
#include <string_view>

namespace varune {

inline constexpr char kOutfitLinkPrefix[] = "varune:outfit/";

// The outfit code `Text` carries (white space around it ignored), as
// standard padded Base64, once it has read as an outfit record; nullopt
// when it carries none that reads.
std::optional<std::string> OutfitCodeIn(std::string_view Text);

// "varune:outfit/" and the code in URL-safe Base64.
std::string OutfitLink(std::string_view Code);

}  // namespace varune
