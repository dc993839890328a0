#include "server/openapi.h"

#include "server/answers.h"
#include "server/routes.h"
#include "viewer/startup.h"

namespace varune::server {

namespace {

using nlohmann::json;

json Schema(const TParamEntry& param, const std::vector<std::string_view>& values) {
  static constexpr const char* kTypes[] = {"string", "integer", "boolean"};
  json schema = {{"type", kTypes[param.Kind]}};
  if (!values.empty()) schema["enum"] = values;
  return schema;
}

json Parameter(const TParamEntry& param, const char* in, const std::vector<std::string_view>& values) {
  return {{"name", param.Name}, {"in", in}, {"required", std::string_view(in) == "path"},
          {"description", param.Description}, {"schema", Schema(param, values)}};
}

json Error(const char* description) {
  return {{"description", description},
          {"content", {{"application/json", {{"schema", {{"$ref", "#/components/schemas/Error"}}}}}}}};
}

}  // namespace

json OpenApiDocument() {
  json paths = json::object();
  for (const TRouteEntry& route : Routes()) {
    json parameters = json::array();
    for (const char* name : {"id", "code", "format"})
      if (route.Path.find(std::string("{") + name + "}") != std::string_view::npos)
        parameters.push_back(
            Parameter(PathParam(name), "path", std::string_view(name) == "format" ? route.Formats : std::vector<std::string_view>{}));
    for (const std::string_view name : route.Query) parameters.push_back(Parameter(*QueryParam(name), "query", QueryParam(name)->Values));
    json content = json::object();
    if (route.MediaType.empty())
      for (const std::string_view format : route.Formats) content[FormatMediaType(format)] = json::object();
    else
      content[route.MediaType] = json::object();
    json responses = {{"200", {{"description", "OK"}, {"content", content}}},
                      {"400", Error("a malformed or out-of-range parameter, or a parameter the route does not take")}};
    if (route.Id != riHealth && route.Id != riMetrics && route.Id != riOpenApi) {
      responses["304"] = {{"description", "the answer of the ETag given in If-None-Match"}};
      responses["404"] = Error("no such route or item");
      responses["503"] = Error("the render queue is full; Retry-After says when to try again");
    }
    paths[std::string(route.Path)]["get"] = {
        {"operationId", route.Name}, {"summary", route.Summary}, {"parameters", parameters}, {"responses", responses}};
  }
  return {{"openapi", "3.1.0"},
          {"info", {{"title", "Varune Wardrobe"}, {"version", AppVersionNumber()}}},
          {"paths", paths},
          {"components",
           {{"schemas",
             {{"Error",
               {{"type", "object"},
                {"required", {"error", "message"}},
                {"properties", {{"error", {{"type", "string"}}}, {"message", {{"type", "string"}}}}}}}}}}}};
}

}  // namespace varune::server
