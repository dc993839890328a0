#pragma once
// The OpenAPI 3.1 document of the API, written from the router's own table.

#include <nlohmann/json.hpp>

namespace varune::server {

nlohmann::json OpenApiDocument();

}  // namespace varune::server
