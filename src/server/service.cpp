#include "server/service.h"

#include <chrono>
#include <iostream>
#include <mutex>

#include "server/answer_cache.h"
#include "server/answers.h"
#include "server/api_error.h"
#include "server/catalogue.h"
#include "server/metrics.h"
#include "server/openapi.h"
#include "server/routes.h"
#include "server/web_files.h"
#include "viewer/startup.h"

namespace varune::server {

namespace {

using TClock = std::chrono::steady_clock;

constexpr const char* kCacheControl = "public, max-age=86400";
constexpr const char* kMethods = "GET, HEAD, OPTIONS";
// The page loads nothing from elsewhere and runs no inline code.
constexpr const char* kPagePolicy =
    "default-src 'self'; object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// Whether If-None-Match names `etag` (weak comparison, as RFC 9110 has it for this header).
bool NoneMatch(std::string_view header, const std::string& etag) {
  while (!header.empty()) {
    const size_t comma = std::min(header.find(','), header.size());
    std::string_view tag = header.substr(0, comma);
    while (!tag.empty() && (tag.front() == ' ' || tag.front() == '\t')) tag.remove_prefix(1);
    while (!tag.empty() && (tag.back() == ' ' || tag.back() == '\t')) tag.remove_suffix(1);
    if (tag.starts_with("W/")) tag.remove_prefix(2);
    if (tag == "*" || tag == etag) return true;
    header.remove_prefix(std::min(comma + 1, header.size()));
  }
  return false;
}

}  // namespace

class TService::TImpl {
 public:
  explicit TImpl(const TServerConfig& Config)
      : FConfig(Config),
        FCatalogue(std::make_shared<const TCatalogue>(Config.ClientDir)),
        FWeb(LoadWeb(Config.WebDir)),
        FCache(Config.CacheMb > 0 ? std::make_unique<TAnswerCache>(static_cast<uint64_t>(Config.CacheMb) << 20)
                                  : nullptr),
        FPool(Config.RenderThreads, Config.Queue) {}

  void Reload() {
    try {
      auto fresh = std::make_shared<const TCatalogue>(FConfig.ClientDir);
      {
        std::lock_guard lock(FSwapLock);
        FCatalogue = std::move(fresh);
      }
      std::cerr << "varune-server: client loaded again from " << FConfig.ClientDir << "\n";
    } catch (const std::exception& error) {
      std::cerr << "varune-server: reload failed, the client loaded before stays: " << error.what() << "\n";
    }
    try {
      auto fresh = LoadWeb(FConfig.WebDir);
      std::lock_guard lock(FSwapLock);
      FWeb = std::move(fresh);
    } catch (const std::exception& error) {
      std::cerr << "varune-server: reload failed, the web page read before stays: " << error.what() << "\n";
    }
  }

  void Handle(const THttpRequest& Request, TReply Reply);
  TRenderPool& Pool() { return FPool; }

 private:
  // What every answer shares: its version, keep-alive, CORS, metrics.
  struct TExchange {
    unsigned Version;
    bool KeepAlive;
    std::string Origin;
    std::string RouteName = "unknown";
    TClock::time_point Start = TClock::now();
    TReply Reply;
  };

  static std::shared_ptr<const TWebFiles> LoadWeb(const std::string& dir) {
    return dir.empty() ? std::make_shared<const TWebFiles>() : std::make_shared<const TWebFiles>(dir);
  }

  std::shared_ptr<const TCatalogue> Catalogue() {
    std::lock_guard lock(FSwapLock);
    return FCatalogue;
  }

  std::shared_ptr<const TWebFiles> Web() {
    std::lock_guard lock(FSwapLock);
    return FWeb;
  }

  // A file of the page: revalidated on every use, so a new page shows at once.
  void SendWebFile(const TExchange& exchange, const THttpRequest& request, const TWebFile& file) {
    const auto match = request.find(http::field::if_none_match);
    const bool fresh = match != request.end() && NoneMatch(match->value(), file.ETag);
    THttpResponse response(fresh ? http::status::not_modified : http::status::ok, exchange.Version);
    response.set(http::field::etag, file.ETag);
    response.set(http::field::cache_control, "no-cache");
    response.set("X-Content-Type-Options", "nosniff");
    if (!fresh) {
      response.set(http::field::content_type, file.ContentType);
      if (file.ContentType.starts_with("text/html")) {
        response.set("Content-Security-Policy", kPagePolicy);
        response.set("Referrer-Policy", "no-referrer");
      }
      response.body() = file.Body;
    }
    Send(exchange, std::move(response));
  }

  void Send(const TExchange& exchange, THttpResponse response) {
    response.version(exchange.Version);
    response.keep_alive(exchange.KeepAlive);
    if (!FConfig.CorsOrigin.empty()) {
      response.set(http::field::vary, "Origin");
      if (exchange.Origin == FConfig.CorsOrigin) {
        response.set(http::field::access_control_allow_origin, FConfig.CorsOrigin);
        response.set(http::field::access_control_expose_headers, "ETag, Retry-After, X-Varune-Refused");
      }
    }
    response.prepare_payload();
    FMetrics.Count(exchange.RouteName, static_cast<int>(response.result_int()),
                   std::chrono::duration<double>(TClock::now() - exchange.Start).count());
    exchange.Reply(std::move(response));
  }

  void SendError(const TExchange& exchange, const TApiError& error) {
    Send(exchange, ErrorResponse(error.Status, error.Code, error.what()));
  }

  void SendAnswer(const TExchange& exchange, const TAnswer& answer, const std::string& etag) {
    THttpResponse response(static_cast<http::status>(answer.Status), exchange.Version);
    response.set(http::field::content_type, answer.ContentType);
    if (answer.Status == 200 && !etag.empty()) {
      response.set(http::field::etag, etag);
      response.set(http::field::cache_control, kCacheControl);
    } else {
      response.set(http::field::cache_control, "no-store");
    }
    for (const auto& [name, value] : answer.Headers) response.set(name, value);
    response.body() = answer.Body;
    Send(exchange, std::move(response));
  }

  void Options(const TExchange& exchange, const THttpRequest& request) {
    THttpResponse response(http::status::no_content, exchange.Version);
    response.set(http::field::allow, kMethods);
    if (!FConfig.CorsOrigin.empty() && exchange.Origin == FConfig.CorsOrigin &&
        request.find(http::field::access_control_request_method) != request.end()) {
      response.set(http::field::access_control_allow_methods, kMethods);
      response.set(http::field::access_control_allow_headers, "If-None-Match");
      response.set(http::field::access_control_max_age, "86400");
    }
    Send(exchange, std::move(response));
  }

  void Answer(const TExchange& exchange, const THttpRequest& request, const TRoute& route);

  const TServerConfig FConfig;
  std::mutex FSwapLock;  // of the catalogue and the page, each replaced whole
  std::shared_ptr<const TCatalogue> FCatalogue;
  std::shared_ptr<const TWebFiles> FWeb;
  std::unique_ptr<TAnswerCache> FCache;
  TMetrics FMetrics;
  TRenderPool FPool;  // last: its threads stop before what their jobs use goes
};

void TService::TImpl::Handle(const THttpRequest& Request, TReply Reply) {
  // The HTTP layer answers other methods itself and hands HEAD on as GET.
  TExchange exchange{Request.version(), Request.keep_alive(), std::string(Request[http::field::origin]), "unknown",
                     TClock::now(), std::move(Reply)};
  if (Request.method() == http::verb::options) {
    exchange.RouteName = "options";
    return Options(exchange, Request);
  }
  TRoute route;
  try {
    route = ParseTarget(Request.target());
  } catch (const TApiError& error) {
    // A path the API has no route for may name a file of the page.
    const std::shared_ptr<const TWebFiles> web = Web();
    if (const TWebFile* file = error.Status == http::status::not_found ? web->Find(Request.target()) : nullptr) {
      exchange.RouteName = "web";
      return SendWebFile(exchange, Request, *file);
    }
    return SendError(exchange, error);
  }
  exchange.RouteName = route.Entry->Name;
  try {
    Answer(exchange, Request, route);
  } catch (const TApiError& error) {
    SendError(exchange, error);
  }
}

void TService::TImpl::Answer(const TExchange& exchange, const THttpRequest& request, const TRoute& route) {
  switch (route.Entry->Id) {
    case riHealth: {
      TAnswer answer{200, "text/plain", "ok\n", {}};
      return SendAnswer(exchange, answer, "");
    }
    case riMetrics: {
      TGauges gauges{FPool.Waiting(), FPool.Running()};
      if (FCache) gauges = {gauges.QueueDepth, gauges.InFlight, FCache->Hits(), FCache->Misses(), FCache->Bytes()};
      TAnswer answer{200, "text/plain; version=0.0.4", FMetrics.Text(gauges), {}};
      return SendAnswer(exchange, answer, "");
    }
    default: break;
  }
  const std::shared_ptr<const TCatalogue> catalogue = Catalogue();
  const std::string key = route.Canonical() + '\n' + catalogue->Identity() + '\n' + AppVersionNumber();
  const std::string etag = ETagOf(key);
  if (const auto match = request.find(http::field::if_none_match); match != request.end() && NoneMatch(match->value(), etag)) {
    THttpResponse response(http::status::not_modified, exchange.Version);
    response.set(http::field::etag, etag);
    response.set(http::field::cache_control, kCacheControl);
    return Send(exchange, std::move(response));
  }
  if (route.Entry->Id == riOpenApi) return SendAnswer(exchange, JsonAnswer(OpenApiDocument()), etag);
  if (FCache)
    if (const std::shared_ptr<const TAnswer> cached = FCache->Find(etag)) return SendAnswer(exchange, *cached, etag);

  TWork work = PrepareDataAnswer(catalogue, route);
  if (!work) work = PreparePictureAnswer(catalogue, route);
  const bool taken = FPool.Submit([this, exchange, work = std::move(work), etag, catalogue] {
    std::shared_ptr<TAnswer> answer;
    try {
      answer = std::make_shared<TAnswer>(work());
    } catch (const std::exception& failure) {
      answer = std::make_shared<TAnswer>(FailureAnswer(failure));
      if (answer->Status >= 500) std::cerr << "varune-server: " << exchange.RouteName << ": " << failure.what() << "\n";
    }
    if (FCache && answer->Status == 200) FCache->Add(etag, answer);
    SendAnswer(exchange, *answer, etag);
  });
  if (!taken) {
    THttpResponse response =
        ErrorResponse(http::status::service_unavailable, "busy", "every render thread is busy and the queue is full");
    response.set(http::field::retry_after, "1");
    Send(exchange, std::move(response));
  }
}

TService::TService(const TServerConfig& Config) : FImpl(std::make_unique<TImpl>(Config)) {}
TService::~TService() = default;

THandler TService::Handler() {
  return [impl = FImpl.get()](const THttpRequest& Request, const std::string&, TReply Reply) {
    impl->Handle(Request, std::move(Reply));
  };
}

void TService::Reload() { FImpl->Reload(); }
TRenderPool& TService::Pool() { return FImpl->Pool(); }

}  // namespace varune::server
