#include "server/picture_query.h"

#include "server/api_error.h"

namespace varune::server {

namespace {

constexpr std::pair<std::string_view, std::string_view> kRenamed[] = {{"bg", "background"},
                                                                      {"all", "all-animations"}};

std::string_view RequestName(std::string_view query) {
  for (const auto& [ours, theirs] : kRenamed)
    if (query == ours) return theirs;
  return query;
}

std::string QueryName(const std::string& option) {
  for (const auto& [ours, theirs] : kRenamed)
    if (option == theirs) return std::string(ours);
  return option;
}

bool IsHexColor(std::string_view text) {
  return text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

}  // namespace

TPictureRequest ReadPictureRequest(const TRoute& Route) {
  TPictureRequest request;
  const TRouteId id = Route.Entry->Id;
  try {
    if (!Route.Code.empty()) SetRequestOption(request, "code", Route.Code);
    for (const auto& [name, value] : Route.Query) {
      // A query never names a file of the server's: the background is a colour.
      if (name == "bg" && !IsHexColor(value)) throw BadRequest("bg takes RRGGBB");
      // A seed from the clock would give a different answer under the same ETag.
      if (name == "random" && value.empty()) throw BadRequest("random takes a seed");
      SetRequestOption(request, RequestName(name), name == "bg" ? "#" + value : value);
    }
    if (id == riSheet) {
      request.Output = poSheet;
    } else if (id == riRender) {
      request.FormatName = Route.Format;
    }
    Check(request);
  } catch (const TRequestError& error) {
    const std::string problem = std::string(error.what()).substr(error.Option().size());
    throw BadRequest(QueryName(error.Option()) + problem);
  }
  return request;
}

}  // namespace varune::server
