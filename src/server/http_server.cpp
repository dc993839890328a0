#include "server/http_server.h"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <list>
#include <mutex>
#include <optional>
#include <vector>

namespace varune::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
using tcp = asio::ip::tcp;

namespace {

constexpr size_t kReadChunk = 4096;
// After the last answer of a connection the peer may still be sending (a
// refused body); reading a little of it first keeps the kernel from
// answering with a reset that could destroy the answer in flight.
constexpr size_t kDrainBytes = 64 * 1024;
constexpr std::chrono::milliseconds kDrainTime{1000};
constexpr std::chrono::milliseconds kAcceptRetry{100};

std::string UtcTimestamp(std::chrono::system_clock::time_point Time) {
  const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(Time.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[80];  // room for any int the fields could hold
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms % 1000));
  return text;
}

std::string ClientAddress(const tcp::endpoint& Peer) {
  const asio::ip::address address = Peer.address();
  // A dual-stack listener sees IPv4 clients as ::ffff:a.b.c.d.
  if (address.is_v6() && address.to_v6().is_v4_mapped())
    return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
  return address.to_string();
}

bool IsParseError(const beast::error_code& Error) {
  return Error.category() == http::make_error_code(http::error::need_more).category() &&
         Error != http::error::end_of_stream && Error != http::error::partial_message;
}

bool HasNoBody(http::status Status) {
  return http::to_status_class(Status) == http::status_class::informational || Status == http::status::no_content ||
         Status == http::status::not_modified;
}

}  // namespace

namespace detail {

class TConnection;

struct TServerState {
  TServerState(asio::io_context& AIo, THttpLimits ALimits, THandler AHandler, std::ostream& ALog)
      : Io(AIo), Limits(ALimits), Handler(std::move(AHandler)), Log(ALog), Acceptor(asio::make_strand(AIo)),
        AcceptRetry(Acceptor.get_executor()) {}

  void WriteLog(const std::string& Line) {
    std::lock_guard lock(LogMutex);
    Log << Line << '\n' << std::flush;
  }

  asio::io_context& Io;
  const THttpLimits Limits;
  const THandler Handler;
  std::ostream& Log;
  std::mutex LogMutex;
  tcp::acceptor Acceptor;  // and AcceptRetry: only on the acceptor's strand
  asio::steady_timer AcceptRetry;
  std::atomic<bool> Stopped{false};
  std::atomic<int32_t> Open{0};
  std::mutex ConnectionsMutex;
  std::list<std::weak_ptr<TConnection>> Connections;
};

// One client's connection. Everything but Stop and the replies runs on its
// stream's strand.
class TConnection : public std::enable_shared_from_this<TConnection> {
 public:
  TConnection(tcp::socket Socket, std::shared_ptr<TServerState> AServer, std::string AClient)
      : Server(std::move(AServer)),
        Stream(std::move(Socket)),
        Buffer(Server->Limits.MaxTarget + Server->Limits.MaxHeaders + kReadChunk),
        Client(std::move(AClient)) {
    ++Server->Open;
  }

  ~TConnection() {
    if (Registered) {
      std::lock_guard lock(Server->ConnectionsMutex);
      Server->Connections.erase(*Registered);
    }
    if (State != EState::Closed) --Server->Open;  // dropped unanswered, with a reply never given
  }

  void Start() {
    {
      std::lock_guard lock(Server->ConnectionsMutex);
      Registered = Server->Connections.insert(Server->Connections.end(), weak_from_this());
    }
    asio::post(Stream.get_executor(), [self = shared_from_this()] { self->ReadRequest(); });
  }

  void Stop() {
    asio::post(Stream.get_executor(), [self = shared_from_this()] {
      self->Stopping = true;
      if (self->State != EState::Busy) self->Close();
    });
  }

 private:
  enum class EState { Idle, Reading, Busy, Draining, Closed };

  void ReadRequest() {
    if (Stopping || Server->Stopped) return Close();
    Parser.emplace();
    // Room for both limits, so that after the header is read an oversized
    // target (414) can be told from oversized fields (431).
    Parser->header_limit(static_cast<uint32_t>(Server->Limits.MaxTarget + Server->Limits.MaxHeaders));
    Parser->body_limit(0);
    State = EState::Idle;
    if (Buffer.size() > 0) return ReadHeader();  // pipelined
    Stream.expires_after(Server->Limits.IdleTimeout);
    Stream.async_read_some(Buffer.prepare(kReadChunk), [self = shared_from_this()](beast::error_code Error, size_t Bytes) {
      self->Buffer.commit(Bytes);
      if (Error || self->State != EState::Idle) return self->Close();
      self->ReadHeader();
    });
  }

  void ReadHeader() {
    State = EState::Reading;
    Stream.expires_after(Server->Limits.HeaderTimeout);
    http::async_read_header(Stream, Buffer, *Parser, [self = shared_from_this()](beast::error_code Error, size_t Bytes) {
      self->OnHeader(Error, Bytes);
    });
  }

  void OnHeader(beast::error_code Error, size_t Bytes) {
    if (State != EState::Reading) return Close();
    Started = std::chrono::steady_clock::now();
    StartedAt = std::chrono::system_clock::now();
    const THttpRequest& request = Parser->get();
    Method = request.method_string().empty() ? "-" : std::string(request.method_string());
    Target = request.target().empty() ? "-" : std::string(request.target().substr(0, Server->Limits.MaxTarget));
    Version = request.version();
    Head = request.method() == http::verb::head;
    KeepAlive = false;
    const THttpLimits& limits = Server->Limits;
    if (Error == http::error::body_limit)
      return Refuse(http::status::payload_too_large, "payload_too_large", "requests carry no body here");
    if (Error == http::error::header_limit || Error == http::error::buffer_overflow)
      return Refuse(http::status::request_header_fields_too_large, "header_fields_too_large",
                    "the header is larger than " + std::to_string(limits.MaxTarget + limits.MaxHeaders) + " bytes");
    if (IsParseError(Error)) return Refuse(http::status::bad_request, "bad_request", "the request is not valid HTTP/1.1");
    if (Error) return Close();  // gone, or too slow: there is no one to answer

    if (request.target().size() > limits.MaxTarget)
      return Refuse(http::status::uri_too_long, "uri_too_long",
                    "the target is longer than " + std::to_string(limits.MaxTarget) + " bytes");
    if (Bytes - request.target().size() > limits.MaxHeaders)
      return Refuse(http::status::request_header_fields_too_large, "header_fields_too_large",
                    "the header fields are larger than " + std::to_string(limits.MaxHeaders) + " bytes");
    if (Parser->chunked() || Parser->content_length().value_or(0) > 0)
      return Refuse(http::status::payload_too_large, "payload_too_large", "requests carry no body here");
    KeepAlive = request.keep_alive();
    const http::verb method = request.method();
    if (method != http::verb::get && method != http::verb::head && method != http::verb::options)
      return Refuse(http::status::method_not_allowed, "method_not_allowed", "only GET, HEAD and OPTIONS are served");

    State = EState::Busy;
    Stream.expires_never();  // the client is not read while its answer is made
    if (Head) Parser->get().method(http::verb::get);
    auto replied = std::make_shared<std::atomic<bool>>(false);
    TReply reply = [self = shared_from_this(), replied](THttpResponse Response) {
      if (replied->exchange(true)) return;
      asio::post(self->Stream.get_executor(), [self, response = std::move(Response)]() mutable {
        self->Answer(std::move(response));
      });
    };
    try {
      Server->Handler(Parser->get(), Client, std::move(reply));
    } catch (...) {
      // What went wrong inside is no business of the client's.
      if (!replied->exchange(true))
        Answer(ErrorResponse(http::status::internal_server_error, "internal_error", "the answer could not be made"));
    }
  }

  void Refuse(http::status Status, const std::string& Code, const std::string& Message) {
    State = EState::Busy;
    THttpResponse response = ErrorResponse(Status, Code, Message);
    if (Status == http::status::method_not_allowed) response.set(http::field::allow, "GET, HEAD, OPTIONS");
    Answer(std::move(response));
  }

  void Answer(THttpResponse Response) {
    if (State != EState::Busy) return;  // closed meanwhile
    KeepAlive = KeepAlive && !Stopping && !Server->Stopped;
    Answered = std::move(Response);
    Answered.version(Version);
    Answered.keep_alive(KeepAlive);
    if (HasNoBody(Answered.result())) Answered.body().clear();
    else Answered.prepare_payload();
    Serializer.emplace(Answered);
    Stream.expires_after(Server->Limits.IdleTimeout);
    auto written = [self = shared_from_this()](beast::error_code Error, size_t) { self->OnWritten(Error); };
    if (Head) http::async_write_header(Stream, *Serializer, std::move(written));
    else http::async_write(Stream, *Serializer, std::move(written));
  }

  void OnWritten(beast::error_code Error) {
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Started).count();
    const size_t sent = Error || Head ? 0 : Answered.body().size();
    char tail[64];
    std::snprintf(tail, sizeof tail, " %u %zu %.1f", Answered.result_int(), sent, ms);
    Server->WriteLog(UtcTimestamp(StartedAt) + " " + Client + " " + Method + " " + Target + tail);
    Serializer.reset();
    Answered = {};
    if (Error) return Close();
    if (!KeepAlive || Stopping) return Linger();
    ReadRequest();
  }

  void Linger() {
    State = EState::Draining;
    beast::error_code ignored;
    Stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    Stream.expires_after(std::min<std::chrono::milliseconds>(kDrainTime, Server->Limits.HeaderTimeout));
    Drained = 0;
    Drain();
  }

  void Drain() {
    Buffer.clear();
    Stream.async_read_some(Buffer.prepare(kReadChunk), [self = shared_from_this()](beast::error_code Error, size_t Bytes) {
      self->Drained += Bytes;
      if (Error || self->State != EState::Draining || self->Drained > kDrainBytes) return self->Close();
      self->Drain();
    });
  }

  void Close() {
    if (State == EState::Closed) return;
    State = EState::Closed;
    beast::error_code ignored;
    Stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    Stream.close();
    // Counted off now, not when the last reply holding it lets go.
    --Server->Open;
  }

  const std::shared_ptr<TServerState> Server;
  beast::tcp_stream Stream;
  beast::flat_buffer Buffer;
  const std::string Client;
  std::optional<std::list<std::weak_ptr<TConnection>>::iterator> Registered;  // in Server->Connections
  EState State = EState::Idle;
  bool Stopping = false;
  size_t Drained = 0;

  // The request being answered.
  std::optional<http::request_parser<http::empty_body>> Parser;
  std::string Method, Target;
  unsigned Version = 11;
  bool Head = false;
  bool KeepAlive = false;
  std::chrono::steady_clock::time_point Started;
  std::chrono::system_clock::time_point StartedAt;
  THttpResponse Answered;
  std::optional<http::response_serializer<http::string_body>> Serializer;
};

namespace {

void Accept(const std::shared_ptr<TServerState>& State) {
  if (State->Stopped) return;
  State->Acceptor.async_accept(asio::make_strand(State->Io), [State](beast::error_code Error, tcp::socket Socket) {
    if (State->Stopped || !State->Acceptor.is_open()) return;
    if (Error) {
      // Out of descriptors, most likely: wait rather than spin.
      State->AcceptRetry.expires_after(kAcceptRetry);
      State->AcceptRetry.async_wait([State](beast::error_code Cancelled) {
        if (!Cancelled) Accept(State);
      });
      return;
    }
    beast::error_code ignored;
    const tcp::endpoint peer = Socket.remote_endpoint(Error);
    if (Error || State->Open.load() >= State->Limits.MaxConnections) {
      Socket.close(ignored);
    } else {
      std::make_shared<TConnection>(std::move(Socket), State, ClientAddress(peer))->Start();
    }
    Accept(State);
  });
}

}  // namespace
}  // namespace detail

THttpServer::THttpServer(asio::io_context& Io, const tcp::endpoint& Listen, THttpLimits Limits, THandler Handler,
                         std::ostream& Log)
    : State(std::make_shared<detail::TServerState>(Io, Limits, std::move(Handler), Log)) {
  tcp::acceptor& acceptor = State->Acceptor;
  acceptor.open(Listen.protocol());
  acceptor.set_option(asio::socket_base::reuse_address(true));
  acceptor.bind(Listen);
  acceptor.listen(asio::socket_base::max_listen_connections);
  Local = acceptor.local_endpoint();
}

THttpServer::~THttpServer() { Stop(); }

tcp::endpoint THttpServer::LocalEndpoint() const { return Local; }

void THttpServer::Start() {
  asio::post(State->Acceptor.get_executor(), [state = State] { detail::Accept(state); });
}

void THttpServer::Stop() {
  if (State->Stopped.exchange(true)) return;
  asio::post(State->Acceptor.get_executor(), [state = State] {
    beast::error_code ignored;
    state->Acceptor.close(ignored);
    state->AcceptRetry.cancel();
  });
  std::vector<std::shared_ptr<detail::TConnection>> open;
  {
    std::lock_guard lock(State->ConnectionsMutex);
    for (const auto& connection : State->Connections)
      if (auto alive = connection.lock()) open.push_back(std::move(alive));
  }
  // Outside the lock: the last of these may be the one that destroys a connection.
  for (const auto& connection : open) connection->Stop();
}

int32_t THttpServer::OpenConnections() const { return State->Open.load(); }

}  // namespace varune::server
