#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "archive/error.h"
#include "character/outfit.h"
#include "cli/cli.h"
#include "demo/demo_fixture.h"
#include "server/openapi.h"
#include "server/routes.h"
#include "server/service.h"
#include "server/web_files.h"
#include "viewer/item_icon.h"

namespace varune::server {
namespace {

using nlohmann::json;
using test::TDemoFixture;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// What varune-cli prints, failing the test when it fails.
std::string Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCli(args, out, err), 0) << err.str();
  return out.str();
}

class ApiTest : public ::testing::Test {
 protected:
  static std::string Dir() { return TDemoFixture::Get().Dir.Path() + "/"; }
  static TServerConfig Config() {
    TServerConfig config;
    config.ClientDir = Dir();
    config.RenderThreads = 2;
    config.CorsOrigin = "https://wardrobe.example";
    return config;
  }

  static THttpResponse Call(THandler& handler, const std::string& target, http::verb method = http::verb::get,
                            std::vector<std::pair<http::field, std::string>> headers = {}) {
    THttpRequest request(method, target, 11);
    for (const auto& [field, value] : headers) request.set(field, value);
    auto promise = std::make_shared<std::promise<THttpResponse>>();
    auto future = promise->get_future();
    handler(request, "127.0.0.1", [promise](THttpResponse response) { promise->set_value(std::move(response)); });
    return future.get();
  }
  THttpResponse Get(const std::string& target) { return Call(handler, target); }
  json GetJson(const std::string& target) {
    const THttpResponse response = Get(target);
    EXPECT_EQ(response.result(), http::status::ok) << target << ": " << response.body();
    return json::parse(response.body());
  }
  void ExpectError(const std::string& target, http::status status, const std::string& words) {
    const THttpResponse response = Get(target);
    EXPECT_EQ(response.result(), status) << target;
    EXPECT_NE(json::parse(response.body())["message"].get<std::string>().find(words), std::string::npos)
        << target << ": " << response.body();
  }

  // An outfit with a few items, whose code holds '+' or '/' so that its URL-safe form differs.
  static const std::string& Code() {
    static const std::string code = [] {
      for (int seed = 1;; ++seed) {
        std::string text = Cli({"code", Dir(), "--random", std::to_string(seed)});
        text.pop_back();
        if (text.find_first_of("+/") != std::string::npos) return text;
      }
    }();
    return code;
  }

  TService service{Config()};
  THandler handler = service.Handler();
  test::TempDir out;
};

TEST_F(ApiTest, PicturesAreTheBytesTheCommandLineWrites) {
  const std::string safe = UrlSafeOutfitCode(Code());
  const std::vector<std::tuple<std::string, std::string, std::vector<std::string>>> cases = {
      {"png", "", {}},
      {"webp", "anim=Move&frame=1", {"--anim", "Move", "--frame", "1"}},
      {"gif", "scale=2&crop=1&padding=3&flip=true&bg=102030",
       {"--scale", "2", "--crop", "--padding", "3", "--flip", "--background", "#102030"}},
      {"jpg", "size=small&hide=hair,face&emoticon=2", {"--size", "small", "--hide", "hair,face", "--emoticon", "2"}},
      {"apng", "transparent=1&job=2", {"--transparent", "--job", "2"}},
  };
  for (const auto& [format, query, options] : cases) {
    std::vector<std::string> args = {"render", Dir(), "--code", Code(), "-o", out.File("a." + format)};
    args.insert(args.end(), options.begin(), options.end());
    Cli(args);
    const THttpResponse response = Get("/api/v1/render/" + safe + "." + format + "?" + query);
    ASSERT_EQ(response.result(), http::status::ok) << format << ": " << response.body();
    EXPECT_EQ(response.body(), ReadFile(out.File("a." + format))) << format << "?" << query;
  }
  // The standard Base64 form, '/' escaped in the path, and padding give the same picture.
  std::string standard = Code();
  for (size_t at; (at = standard.find('/')) != std::string::npos;) standard.replace(at, 1, "%2F");
  EXPECT_EQ(Get("/api/v1/render/" + standard + ".png").body(), ReadFile(out.File("a.png")));

  // What the character cannot put on is left off and named.
  TOutfitRecord record = DecodeOutfitCode(Code());
  record.EquipIDs.push_back(999999);
  const THttpResponse refused = Get("/api/v1/render/" + UrlSafeOutfitCode(EncodeOutfitCode(record)) + ".png");
  EXPECT_EQ(refused.result(), http::status::ok);
  EXPECT_NE(refused["X-Varune-Refused"].find("no item 999999"), std::string::npos);

  Cli({"render", Dir(), "--code", Code(), "--sheet", out.File(safe + ".png"), "--anim", "Move", "--scale", "2"});
  EXPECT_EQ(Get("/api/v1/sheet/" + safe + ".png?anim=Move&scale=2").body(), ReadFile(out.File(safe + ".png")));
  EXPECT_EQ(Get("/api/v1/sheet/" + safe + ".json?scale=2&anim=Move").body(), ReadFile(out.File(safe + ".json")));
}

TEST_F(ApiTest, ItemsAndCardsAreWhatTheCommandLineLists) {
  const std::string listed = Cli({"items", Dir(), "--gender", "female", "--slot", "2", "--filter", "fashion"});
  std::vector<int64_t> expected;
  std::istringstream lines(listed);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) expected.push_back(std::stoll(line.substr(0, line.find('\t'))));
  ASSERT_GE(expected.size(), 3u);

  json page = GetJson("/api/v1/items?gender=female&slot=2&filter=fashion&offset=1&limit=2");
  EXPECT_EQ(page["total"], expected.size());
  ASSERT_EQ(page["items"].size(), 2u);
  EXPECT_EQ(page["items"][0]["id"], expected[1]);
  EXPECT_EQ(page["items"][1]["id"], expected[2]);
  std::vector<int64_t> all;
  const json whole = GetJson("/api/v1/items?filter=fashion&slot=2&gender=female");
  for (const json& item : whole["items"]) all.push_back(item["id"]);
  EXPECT_EQ(all, expected);
  // Gender-free lists come from a second database, loaded on first use.
  const std::string free = Cli({"items", Dir(), "--slot", "2", "--gender-free"});
  EXPECT_EQ(GetJson("/api/v1/items?slot=2&gender_free=1")["total"], std::count(free.begin(), free.end(), '\n') - 1);

  const std::string id = std::to_string(expected[0]);
  Cli({"card", Dir(), id, "-o", out.File("card.png")});
  EXPECT_EQ(Get("/api/v1/items/" + id + "/card.png").body(), ReadFile(out.File("card.png")));
  const std::string cardLines = Cli({"card", Dir(), id, "--lines"});
  const json item = GetJson("/api/v1/items/" + id);
  ASSERT_FALSE(item["card"]["lines"].empty());
  EXPECT_EQ(cardLines.substr(0, cardLines.find('\n')), std::to_string(item["card"]["lines"][0]["y"].get<int>()) + "\t" +
                                                           item["card"]["lines"][0]["color"].get<std::string>() +
                                                           "\t" + item["card"]["lines"][0]["text"].get<std::string>());

  const auto database = TDemoFixture::Get().Load();
  const TVaruneItem *withIcon = nullptr, *without = nullptr;
  for (const TVaruneItem* each : database->ItemList())
    (ItemIconSheet(*database, *each) ? withIcon : without) = each;
  ASSERT_TRUE(withIcon && without);
  // Pages know which icons exist and never ask for the others.
  EXPECT_TRUE(GetJson("/api/v1/items/" + std::to_string(without->FIndex))["icon"].is_null());
  const THttpResponse icon = Get("/api/v1/items/" + std::to_string(withIcon->FIndex) + "/icon.png");
  EXPECT_EQ(icon[http::field::content_type], "image/png");
  EXPECT_EQ(icon.body().substr(1, 3), "PNG");
  ExpectError("/api/v1/items/999999999", http::status::not_found, "no item 999999999");
  ExpectError("/api/v1/items/x1/card.png", http::status::not_found, "no item x1");
}

TEST_F(ApiTest, RefusesWhatItCannotAnswerNamingIt) {
  const std::string picture = "/api/v1/render/" + UrlSafeOutfitCode(Code()) + ".png";
  ExpectError(picture + "?scale=9", http::status::bad_request, "scale takes 1 to 8");
  ExpectError(picture + "?zoom=2", http::status::bad_request, "zoom is not a parameter");
  ExpectError(picture + "?scale=2&scale=3", http::status::bad_request, "scale is given twice");
  ExpectError(picture + "?bg=%2Fetc%2Fpasswd", http::status::bad_request, "bg takes RRGGBB");
  ExpectError(picture + "?anim=Fly", http::status::bad_request, "anim takes");
  ExpectError(picture + "?frame=999", http::status::bad_request, "frame takes 0 to");
  ExpectError(picture + "?transparent=yes", http::status::bad_request, "transparent takes 1, 0");
  ExpectError("/api/v1/render/AQ.png", http::status::bad_request, "code is damaged");
  ExpectError("/api/v1/render/A*B.png", http::status::bad_request, "code is not Base64");
  ExpectError("/api/v1/outfit/AAAA", http::status::bad_request, "code is damaged");
  ExpectError("/api/v1/outfit?random", http::status::bad_request, "random takes a seed");
  ExpectError("/api/v1/items?limit=501", http::status::bad_request, "limit takes 1 to 500");
  ExpectError("/api/v1/items?filter=cheap", http::status::bad_request, "filter takes");
  ExpectError("/api/v1/render/" + UrlSafeOutfitCode(Code()) + ".tiff", http::status::not_found, "no route");
  ExpectError("/api/v2/info", http::status::not_found, "no route");
  ExpectError("/api/v1/info/", http::status::not_found, "no route");
  // Past the picture size limit: refused before anything is drawn.
  const THttpResponse large = Get("/api/v1/sheet/" + UrlSafeOutfitCode(Code()) + ".png?all=1&scale=8");
  EXPECT_EQ(large.result(), http::status::bad_request);
  EXPECT_EQ(json::parse(large.body())["error"], "picture_too_large");
}

TEST_F(ApiTest, EtagsRevalidateAndCorsAnswersItsOrigin) {
  const std::string target = "/api/v1/render/" + UrlSafeOutfitCode(Code()) + ".png?scale=2&crop=1";
  const THttpResponse first = Get(target);
  const std::string etag(first[http::field::etag]);
  ASSERT_FALSE(etag.empty());
  EXPECT_EQ(first[http::field::cache_control], "public, max-age=86400");
  // The same request in another order, from the cache, is the same answer.
  const THttpResponse again = Get("/api/v1/render/" + UrlSafeOutfitCode(Code()) + ".png?crop=1&scale=2");
  EXPECT_EQ(again[http::field::etag], etag);
  EXPECT_EQ(again.body(), first.body());
  EXPECT_NE(Get(target + "&flip=1")[http::field::etag], etag);
  const THttpResponse revalidated =
      Call(handler, target, http::verb::get, {{http::field::if_none_match, "\"other\", " + etag}});
  EXPECT_EQ(revalidated.result(), http::status::not_modified);
  EXPECT_TRUE(revalidated.body().empty());

  const THttpResponse cors = Call(handler, "/api/v1/info", http::verb::get, {{http::field::origin, "https://wardrobe.example"}});
  EXPECT_EQ(cors[http::field::access_control_allow_origin], "https://wardrobe.example");
  EXPECT_EQ(cors[http::field::vary], "Origin");
  EXPECT_EQ(Call(handler, "/api/v1/info", http::verb::get, {{http::field::origin, "https://other.example"}})
                .count(http::field::access_control_allow_origin), 0u);
  const THttpResponse preflight =
      Call(handler, "/api/v1/items", http::verb::options,
           {{http::field::origin, "https://wardrobe.example"}, {http::field::access_control_request_method, "GET"}});
  EXPECT_EQ(preflight.result(), http::status::no_content);
  EXPECT_EQ(preflight[http::field::access_control_allow_methods], "GET, HEAD, OPTIONS");
  EXPECT_EQ(preflight[http::field::access_control_max_age], "86400");
  EXPECT_EQ(preflight[http::field::access_control_allow_origin], "https://wardrobe.example");

  TServerConfig plain = Config();
  plain.CorsOrigin.clear();
  TService other(plain);
  THandler otherHandler = other.Handler();
  const THttpResponse options = Call(otherHandler, "/api/v1/items", http::verb::options);
  EXPECT_EQ(options.result(), http::status::no_content);
  EXPECT_EQ(options[http::field::allow], "GET, HEAD, OPTIONS");
  EXPECT_EQ(options.count(http::field::access_control_allow_methods), 0u);
  // Another client folder state is another ETag: the same client gives the same.
  EXPECT_EQ(Call(otherHandler, target)[http::field::etag], etag);
}

TEST_F(ApiTest, FullQueueAnswersAtOnce) {
  TServerConfig config = Config();
  config.RenderThreads = 1;
  config.Queue = 0;
  std::promise<void> release, started;
  TService busy(config);
  THandler busyHandler = busy.Handler();
  ASSERT_TRUE(busy.Pool().Submit([&started, released = release.get_future().share()] {
    started.set_value();
    released.wait();
  }));
  started.get_future().wait();
  const THttpResponse refused = Call(busyHandler, "/api/v1/render/" + UrlSafeOutfitCode(Code()) + ".png");
  EXPECT_EQ(refused.result(), http::status::service_unavailable);
  EXPECT_EQ(refused[http::field::retry_after], "1");
  // Routes that draw nothing are answered on the I/O thread meanwhile.
  EXPECT_EQ(Call(busyHandler, "/healthz").result(), http::status::ok);
  const std::string metrics = Call(busyHandler, "/metrics").body();
  EXPECT_NE(metrics.find("varune_renders_in_flight 1"), std::string::npos);
  EXPECT_NE(metrics.find("varune_requests_total{route=\"render\",status=\"503\"} 1"), std::string::npos);
  release.set_value();
}

TEST_F(ApiTest, OutfitsSelectorsAndInfo) {
  const std::string code = Cli({"code", Dir(), "--gender", "female", "--random", "7"});
  const json outfit = GetJson("/api/v1/outfit?gender=female&random=7");
  EXPECT_EQ(outfit["code"], code.substr(0, code.size() - 1));
  EXPECT_EQ(outfit["gender"], "female");
  EXPECT_EQ(GetJson("/api/v1/outfit/" + outfit["code_url"].get<std::string>())["equipment"], outfit["equipment"]);

  const json selectors = GetJson("/api/v1/selectors?gender=male");
  EXPECT_EQ(selectors["animations"].size(), 96u);
  EXPECT_EQ(selectors["animations"][0], "Stand");
  EXPECT_EQ(selectors["jobs"].size(), 52u);
  EXPECT_FALSE(selectors["hair"].empty());
  EXPECT_FALSE(selectors["hair"][0]["colors"].empty());
  // The item browser's names, in the language asked for; weapon kinds with slots of their own are left out.
  EXPECT_EQ(selectors["slots"].size(), 14u);
  EXPECT_EQ(selectors["slots"][12]["name"], "Weapon");
  const json japanese = GetJson("/api/v1/selectors?lang=ja");
  EXPECT_EQ(japanese["slots"][12]["name"], "武器");
  EXPECT_EQ(japanese["filters"][2], json({{"filter", "fashion"}, {"name", "ファッション装備"}}));
  std::set<int> kinds;
  for (const json& kind : japanese["weapon_kinds"]) kinds.insert(kind["kind"].get<int>());
  EXPECT_EQ(kinds.size(), 26u);
  EXPECT_FALSE(kinds.contains(11) || kinds.contains(12));
  ExpectError("/api/v1/selectors?lang=fr", http::status::bad_request, "lang takes en or ja");

  const json info = GetJson("/api/v1/info");
  EXPECT_EQ(info["archives"].size(), 5u);
  EXPECT_EQ(info["items"], TDemoFixture::Get().Load()->ItemList().Count());
}

TEST_F(ApiTest, ServesThePageFromItsFolderAlone) {
  for (const auto& [name, text] : {std::pair{"index.html", "<!doctype html><title>page</title>"},
                                   {"js/main.js", "export {};"},
                                   {"notes.md", "not a kind of the page's"},
                                   {".drafts/old.js", "hidden"}}) {
    std::filesystem::create_directories(std::filesystem::path(out.File("page/") + name).parent_path());
    std::ofstream(out.File("page/") + name) << text;
  }
  TServerConfig config = Config();
  config.WebDir = out.File("page");
  TService withPage(config);
  THandler page = withPage.Handler();

  const THttpResponse index = Call(page, "/?outfit=1");
  EXPECT_EQ(index.body(), "<!doctype html><title>page</title>");
  EXPECT_EQ(index[http::field::content_type], "text/html; charset=utf-8");
  EXPECT_EQ(index[http::field::cache_control], "no-cache");
  EXPECT_NE(index["Content-Security-Policy"].find("default-src 'self'"), std::string::npos);
  EXPECT_EQ(Call(page, "/index.html").body(), index.body());
  const THttpResponse script = Call(page, "/js/main.js");
  EXPECT_EQ(script[http::field::content_type], "text/javascript; charset=utf-8");
  EXPECT_EQ(script["X-Content-Type-Options"], "nosniff");
  EXPECT_EQ(Call(page, "/js/main.js", http::verb::get, {{http::field::if_none_match, std::string(script[http::field::etag])}})
                .result(),
            http::status::not_modified);
  // Nothing but the files listed: no other kind, no hidden file, no way out of the folder.
  for (const std::string target : {"/notes.md", "/.drafts/old.js", "/js/", "/../page/index.html", "/%2e%2e/api_test"})
    EXPECT_EQ(Call(page, target).result(), http::status::not_found) << target;
  EXPECT_EQ(Call(page, "/api/v1/info").result(), http::status::ok);
  EXPECT_EQ(Get("/").result(), http::status::not_found);  // a service without a page
  EXPECT_THROW(TWebFiles(out.File("none")), Error);
}

// Every route is in the document with exactly its parameters, and every
// documented path and parameter is one the router takes.
TEST_F(ApiTest, OpenApiDocumentAndRoutesAgree) {
  const json document = GetJson("/openapi.json");
  EXPECT_EQ(document["openapi"], "3.1.0");
  EXPECT_EQ(document["paths"].size(), Routes().size());
  for (const TRouteEntry& route : Routes()) {
    ASSERT_TRUE(document["paths"].contains(route.Path)) << route.Path;
    std::set<std::string> documented, routed(route.Query.begin(), route.Query.end());
    for (const json& param : document["paths"][std::string(route.Path)]["get"]["parameters"])
      if (param["in"] == "query") documented.insert(param["name"]);
    EXPECT_EQ(documented, routed) << route.Path;
  }
  for (const auto& [path, item] : document["paths"].items()) {
    std::string target = path, query;
    for (const auto& [name, value] : {std::pair{"{id}", "1"}, {"{code}", "AQ"}, {"{format}", "png"}})
      if (const size_t at = target.find(name); at != std::string::npos) target.replace(at, std::string(name).size(), value);
    for (const json& param : item["get"]["parameters"])
      if (param["in"] == "query") query += (query.empty() ? "?" : "&") + param["name"].get<std::string>() + "=";
    try {
      EXPECT_EQ(ParseTarget(target + query).Entry->Path, path);
    } catch (const std::exception& error) {
      ADD_FAILURE() << target + query << ": " << error.what();
    }
  }
}

}  // namespace
}  // namespace varune::server
