// Request targets from the network: looked up among the web page's files,
// the path and query read into a route, and for the routes that dress a
// character, into a checked picture request and a decoded outfit code.

#include <string>
#include <string_view>

#include "archive/error.h"
#include "character/outfit.h"
#include "fuzz_target.h"
#include "server/api_error.h"
#include "server/picture_query.h"
#include "server/routes.h"
#include "server/web_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varune::server;
  const std::string_view target(reinterpret_cast<const char*>(data), size);
  static const TWebFiles page;  // the lookup reads the target whatever the folder holds
  page.Find(target);
  try {
    const TRoute route = ParseTarget(target);
    route.Canonical();
    const TRouteId id = route.Entry->Id;
    if (id == riRender || id == riSheet || id == riOutfit || id == riOutfitCode) {
      ReadPictureRequest(route);
      if (!route.Code.empty()) varune::DecodeOutfitCode(route.Code);
    }
  } catch (const TApiError&) {
  } catch (const varune::Error&) {
  }
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  // Every route, with each parameter it takes.
  const std::string code = "AQAAAQAAAAAAAAAAAAAAAAAAAAAAAAAAAQAAAAA";  // URL-safe, unpadded
  std::vector<std::vector<uint8_t>> seeds;
  for (const server::TRouteEntry& route : server::Routes()) {
    std::string target(route.Path);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"{id}", "100"},
                                      {"{code}", code},
                                      {"{format}", route.Formats.empty() ? "" : std::string(route.Formats[0])}})
      if (const size_t at = target.find(name); at != std::string::npos) target.replace(at, name.size(), value);
    char separator = '?';
    for (const std::string_view name : route.Query) {
      const server::TParamEntry& param = *server::QueryParam(name);
      const std::string value = !param.Values.empty() ? std::string(param.Values.back())
                                : param.Kind == server::pkBoolean ? "1"
                                : name == "anim" ? "Move" : name == "bg" ? "80ff00" : name == "hide" ? "hair,face" : "2";
      target += separator + std::string(name) + "=" + value;
      separator = '&';
    }
    seeds.emplace_back(target.begin(), target.end());
  }
  for (const std::string_view page : {"/", "/js/main.js?x=1", "/%2e%2e/index.html", "/js//"})
    seeds.emplace_back(page.begin(), page.end());
  return seeds;
}

}  // namespace varune::fuzz
