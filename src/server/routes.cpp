#include "server/routes.h"

#include <algorithm>
#include <boost/url/parse.hpp>
#include <boost/url/url_view.hpp>
#include <charconv>

#include "character/outfit.h"
#include "server/api_error.h"

namespace varune::server {

namespace {

// Enough for every route; longer paths and queries are refused before any work.
constexpr size_t kMaxSegments = 8;
constexpr size_t kMaxParams = 32;
// An outfit code of 16 items is 116 characters.
constexpr size_t kMaxCodeLength = 160;

const std::vector<TParamEntry> kQueryParams = {
    {"gender", pkString, "male or female", {"male", "female"}},
    {"job", pkInteger, "job 1 to 52"},
    {"slot", pkInteger, "equipment slot 1 to 16"},
    {"filter", pkString, "item category", {"all", "functional", "fashion", "shop"}},
    {"weapon", pkInteger, "weapon kind 0 (all) to 27"},
    {"q", pkString, "text the item's name contains (case-sensitive)"},
    {"gender_free", pkBoolean, "gender-restricted equipment listed for both genders"},
    {"offset", pkInteger, "items skipped"},
    {"limit", pkInteger, "items answered, 1 to 500 (100)"},
    {"base", pkString, "base part IDs, comma-separated"},
    {"equip", pkString, "item IDs, comma-separated"},
    {"random", pkInteger, "seed of a random outfit"},
    {"anim", pkString, "animation name without \"at\" (Stand, Move...) or index 0 to 95"},
    {"emoticon", pkInteger, "emoticon number"},
    {"frame", pkInteger, "frame of the animation"},
    {"size", pkString, "view size", {"large", "small"}},
    {"bg", pkString, "background colour RRGGBB"},
    {"transparent", pkBoolean, "the character alone on transparency"},
    {"hide", pkString, "parts hidden: hair,face,body,tops,bottoms"},
    {"scale", pkInteger, "every pixel as N x N, 1 to 8"},
    {"crop", pkBoolean, "tight box around the figure"},
    {"padding", pkInteger, "pixels around a crop, 0 to 64"},
    {"flip", pkBoolean, "mirrored"},
    {"all", pkBoolean, "every animation, one row each"},
    {"lang", pkString, "language of the slot and filter names", {"en", "ja"}},
};

const TParamEntry kId{"id", pkInteger, "item ID"};
const TParamEntry kCode{"code", pkString, "outfit code, Base64 or URL-safe Base64"};
const TParamEntry kFormat{"format", pkString, "file format"};

const std::vector<std::string_view> kPictureQuery = {"anim", "emoticon", "job",     "frame", "size", "bg",
                                                     "transparent", "hide", "scale", "crop", "padding", "flip"};
const std::vector<std::string_view> kSheetQuery = {"anim", "all",   "emoticon", "job",     "size", "bg",
                                                   "transparent", "hide", "scale", "crop", "padding", "flip"};

const std::vector<TRouteEntry> kRoutes = {
    {riInfo, "info", "/api/v1/info", {}, {}, "the server, the client and its item counts", "application/json"},
    {riItems, "items", "/api/v1/items",
     {"gender", "slot", "job", "filter", "weapon", "q", "gender_free", "offset", "limit"}, {},
     "the item browser's list of a slot, filtered and paged", "application/json"},
    {riItem, "item", "/api/v1/items/{id}", {}, {}, "an item's record and its card's lines", "application/json"},
    {riItemIcon, "item_icon", "/api/v1/items/{id}/icon.png", {}, {}, "an item's icon", "image/png"},
    {riItemCard, "item_card", "/api/v1/items/{id}/card.png", {}, {}, "an item's card", "image/png"},
    {riSelectors, "selectors", "/api/v1/selectors", {"gender", "job", "lang"}, {},
     "the appearance selectors' entries, the jobs, the animations and the item browser's names",
     "application/json"},
    {riOutfit, "outfit", "/api/v1/outfit", {"gender", "job", "base", "equip", "random"}, {},
     "the code of an outfit and the outfit it restores", "application/json"},
    {riOutfitCode, "outfit_code", "/api/v1/outfit/{code}", {}, {}, "the outfit a code restores",
     "application/json"},
    {riRender, "render", "/api/v1/render/{code}.{format}", kPictureQuery, {"png", "jpg", "bmp", "gif", "apng", "webp"},
     "the dressed character's picture", ""},
    {riSheet, "sheet", "/api/v1/sheet/{code}.{format}", kSheetQuery, {"png", "json"},
     "a sprite sheet of the dressed character, or its data", ""},
    {riHealth, "healthz", "/healthz", {}, {}, "200 once the client is loaded", "text/plain"},
    {riMetrics, "metrics", "/metrics", {}, {}, "Prometheus metrics", "text/plain"},
    {riOpenApi, "openapi", "/openapi.json", {}, {}, "this document", "application/json"},
};

std::vector<std::string_view> Split(std::string_view path) {
  std::vector<std::string_view> parts;
  path.remove_prefix(1);
  while (true) {
    const size_t slash = path.find('/');
    parts.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) return parts;
    path.remove_prefix(slash + 1);
  }
}

int32_t ReadId(const std::string& text) {
  int32_t value = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || problem != std::errc() || end != text.data() + text.size())
    throw NotFound("no item " + text);
  return value;
}

// The segments against one route's template; false when they do not match.
bool Match(const TRouteEntry& entry, const std::vector<std::string>& segments, TRoute& route) {
  const std::vector<std::string_view> pattern = Split(entry.Path);
  if (pattern.size() != segments.size()) return false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const std::string_view part = pattern[i];
    const std::string& segment = segments[i];
    if (part == "{id}") {
      route.Id = ReadId(segment);
    } else if (part == "{code}") {
      route.Code = segment;
    } else if (part == "{code}.{format}") {
      const size_t dot = segment.rfind('.');
      if (dot == std::string::npos || dot == 0) return false;
      std::string format = segment.substr(dot + 1);
      std::transform(format.begin(), format.end(), format.begin(), [](unsigned char c) { return std::tolower(c); });
      if (std::find(entry.Formats.begin(), entry.Formats.end(), format) == entry.Formats.end()) return false;
      route.Code = segment.substr(0, dot);
      route.Format = std::move(format);
    } else if (part != segment) {
      return false;
    }
  }
  return true;
}

}  // namespace

const std::vector<TRouteEntry>& Routes() { return kRoutes; }

const TParamEntry* QueryParam(std::string_view Name) {
  const auto found = std::find_if(kQueryParams.begin(), kQueryParams.end(), [&](auto& p) { return p.Name == Name; });
  return found == kQueryParams.end() ? nullptr : &*found;
}

const TParamEntry& PathParam(std::string_view Name) { return Name == "id" ? kId : Name == "code" ? kCode : kFormat; }

const std::string* TRoute::Find(std::string_view Name) const {
  for (const auto& [name, value] : Query)
    if (name == Name) return &value;
  return nullptr;
}

std::string TRoute::Canonical() const {
  std::string text(Entry->Name);
  text += '\n' + std::to_string(Id) + '\n' + Code + '\n' + Format;
  for (const auto& [name, value] : Query) text += '\n' + name + '=' + value;
  return text;
}

std::string StandardCode(std::string_view Code) {
  if (Code.size() > kMaxCodeLength) throw BadRequest("code is too long");
  std::optional<std::string> code = StandardOutfitCode(Code);
  if (!code) throw BadRequest("code is not Base64");
  return std::move(*code);
}

TRoute ParseTarget(std::string_view Target) {
  const auto parsed = boost::urls::parse_origin_form(Target);
  if (!parsed) throw BadRequest("the request target is malformed");
  const boost::urls::url_view& url = *parsed;

  std::vector<std::string> segments;
  for (const std::string segment : url.segments()) {
    if (segments.size() == kMaxSegments) throw NotFound("no route " + std::string(url.path()));
    segments.push_back(segment);
  }
  TRoute route;
  for (const TRouteEntry& entry : kRoutes) {
    TRoute candidate;
    if (url.is_path_absolute() && Match(entry, segments, candidate)) {
      route = std::move(candidate);
      route.Entry = &entry;
      break;
    }
  }
  if (!route.Entry) throw NotFound("no route " + std::string(url.path()));
  if (route.Entry->Id == riOutfitCode || route.Entry->Id == riRender || route.Entry->Id == riSheet)
    route.Code = StandardCode(route.Code);

  if (url.params().size() > kMaxParams) throw BadRequest("too many query parameters");
  for (const auto param : url.params()) {
    const std::string name = param.key;
    if (name.empty() && !param.has_value) continue;  // "?" alone, or "&&"
    if (std::find(route.Entry->Query.begin(), route.Entry->Query.end(), name) == route.Entry->Query.end())
      throw BadRequest(name.empty() ? "a query parameter has no name" : name + " is not a parameter of " +
                                                                           std::string(route.Entry->Path));
    if (route.Find(name)) throw BadRequest(name + " is given twice");
    route.Query.emplace_back(name, param.has_value ? std::string(param.value) : std::string());
  }
  std::sort(route.Query.begin(), route.Query.end());
  return route;
}

}  // namespace varune::server
