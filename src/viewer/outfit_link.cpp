#include "viewer/outfit_link.h"

#include <boost/url/parse.hpp>

#include "archive/error.h"
#include "archive/text.h"
#include "character/outfit.h"

namespace varune {
namespace {

// The code part of a link or address; the text itself when it is neither.
std::optional<std::string> CodePart(std::string_view Text) {
  const auto url = boost::urls::parse_uri(Text);
  if (!url) return std::string(Text);
  const std::string scheme(url->scheme());
  if (SameTextAscii(scheme, "varune")) {
    const std::string path = url->path();
    if (!path.starts_with("outfit/")) return std::nullopt;
    return path.substr(7);
  }
  if (SameTextAscii(scheme, "http") || SameTextAscii(scheme, "https")) {
    if (!url->has_fragment()) return std::nullopt;
    const std::string fragment = url->fragment();
    return fragment.substr(0, fragment.find('&'));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> OutfitCodeIn(std::string_view Text) {
  while (!Text.empty() && std::isspace(static_cast<unsigned char>(Text.front()))) Text.remove_prefix(1);
  while (!Text.empty() && std::isspace(static_cast<unsigned char>(Text.back()))) Text.remove_suffix(1);
  const std::optional<std::string> part = CodePart(Text);
  std::optional<std::string> code = part ? StandardOutfitCode(*part) : std::nullopt;
  if (!code || code->empty()) return std::nullopt;
  try {
    DecodeOutfitCode(*code);
  } catch (const Error&) {
    return std::nullopt;
  }
  return code;
}

std::string OutfitLink(std::string_view Code) { return kOutfitLinkPrefix + UrlSafeOutfitCode(Code); }

}  // namespace varune
