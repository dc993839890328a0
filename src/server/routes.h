#pragma once
// The API's routes, one table for the router and the OpenAPI document, and
// the request target (path and query, by Boost.URL) read into a route.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varune::server {

enum TRouteId {
  riInfo, riItems, riItem, riItemIcon, riItemCard, riSelectors, riOutfit, riOutfitCode, riRender, riSheet,
  riHealth, riMetrics, riOpenApi,
};

enum TParamKind { pkString, pkInteger, pkBoolean };

struct TParamEntry {
  std::string_view Name;
  TParamKind Kind;
  std::string_view Description;
  std::vector<std::string_view> Values = {};  // the only values taken; empty: any
};

struct TRouteEntry {
  TRouteId Id;
  std::string_view Name;  // for metrics and logs
  // Literal segments, "{id}", "{code}", and "{code}.{format}".
  std::string_view Path;
  std::vector<std::string_view> Query;    // names in kQueryParams
  std::vector<std::string_view> Formats;  // what {format} takes
  std::string_view Summary;
  std::string_view MediaType;  // of a 200; empty: by {format}
};

const std::vector<TRouteEntry>& Routes();
// The query parameter of that name, or null.
const TParamEntry* QueryParam(std::string_view Name);
// The path parameter of that name ({id}, {code}, {format}).
const TParamEntry& PathParam(std::string_view Name);

// A request target read into a route.
struct TRoute {
  const TRouteEntry* Entry = nullptr;
  int32_t Id = 0;       // {id}
  std::string Code;     // {code}, as standard Base64 with padding
  std::string Format;   // {format}, lower case
  std::vector<std::pair<std::string, std::string>> Query;  // decoded, sorted by name, each name once

  const std::string* Find(std::string_view Name) const;
  // Route, path parameters and query in one text: equal requests give equal texts.
  std::string Canonical() const;
};

// Raises TApiError: 400 for a malformed target, a parameter the route does
// not take or one given twice, 404 for no route.
TRoute ParseTarget(std::string_view Target);

// An outfit code written in standard or URL-safe Base64, padded or not, as
// standard padded Base64; 400 for characters neither uses. Links carry
// UrlSafeOutfitCode (character/outfit.h).
std::string StandardCode(std::string_view Code);

}  // namespace varune::server
