#include "server/http_types.h"

#include <nlohmann/json.hpp>

namespace varune::server {

THttpResponse ErrorResponse(http::status Status, const std::string& Code, const std::string& Message,
                            unsigned Version, bool KeepAlive) {
  THttpResponse response(Status, Version);
  response.set(http::field::content_type, "application/json");
  response.set(http::field::cache_control, "no-store");
  response.body() = nlohmann::json{{"error", Code}, {"message", Message}}.dump() + "\n";
  response.keep_alive(KeepAlive);
  response.prepare_payload();
  return response;
}

}  // namespace varune::server
