#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <mutex>
#include <sstream>
#include <chrono>
#include <thread>

#include "server/http_server.h"

namespace varune::server {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;
using testing::MatchesRegex;

// Every wait is bounded, so a server that fails to answer or to close fails the test instead of hanging it.
class TClient {
 public:
  explicit TClient(const tcp::endpoint& Server) { Stream.connect(Server); }

  beast::error_code Read(THttpResponse& Answer, bool Head = false) {
    http::response_parser<http::string_body> parser;
    parser.skip(Head);
    beast::error_code result;
    Stream.expires_after(5s);
    http::async_read(Stream, Buffer, parser, [&](beast::error_code Error, size_t) { result = Error; });
    Run();
    Answer = parser.release();
    return result;
  }

  void Send(const std::string& Text) { asio::write(Stream.socket(), asio::buffer(Text)); }

  THttpResponse Get(const std::string& Request, bool Head = false) {
    Send(Request);
    THttpResponse answer;
    EXPECT_FALSE(Read(answer, Head)) << Request.substr(0, 40);
    return answer;
  }

  // The server closed the connection with nothing more to say.
  bool Closed() {
    beast::error_code result;
    char byte;
    Stream.expires_after(5s);
    Stream.async_read_some(asio::buffer(&byte, 1), [&](beast::error_code Error, size_t) { result = Error; });
    Run();
    return result == asio::error::eof || result == asio::error::connection_reset;
  }

 private:
  void Run() {
    Io.restart();
    Io.run();
  }

  asio::io_context Io;
  beast::tcp_stream Stream{Io};
  beast::flat_buffer Buffer;
};

const std::string kGet = "GET /a HTTP/1.1\r\n\r\n";

class HttpServerTest : public testing::Test {
 protected:
  ~HttpServerTest() override { Finish(); }

  // "/held" is kept for the test to answer, "/throw" throws, anything else echoes the request.
  std::unique_ptr<THttpServer> MakeServer(THttpLimits Limits) {
    auto server = std::make_unique<THttpServer>(
        Io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0), Limits,
        [this](const THttpRequest& Request, const std::string& Client, TReply Reply) {
          if (Request.target() == "/throw") throw std::runtime_error("broken");
          if (Request.target() == "/held") {
            std::lock_guard lock(HeldMutex);
            Held.push_back(std::move(Reply));
            return;
          }
          THttpResponse answer(http::status::ok, 11);
          answer.body() = std::string(Request.target()) + " " + std::string(Request.method_string()) + " " + Client;
          Reply(std::move(answer));
        },
        Log);
    server->Start();
    return server;
  }

  void StartServer(THttpLimits Limits = {}) {
    Server = MakeServer(Limits);
    for (int i = 0; i < 2; ++i) Threads.emplace_back([this] { Io.run(); });
  }

  static THttpLimits ShortLimits() {
    return {.HeaderTimeout = 300ms, .IdleTimeout = 300ms, .MaxConnections = 1024, .MaxTarget = 1024,
            .MaxHeaders = 2048};
  }

  // Waits for the `Index`th held request (from 1) to reach the handler.
  TReply WaitHeld(size_t Index = 1) {
    for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(10ms)) {
      std::lock_guard lock(HeldMutex);
      if (Held.size() >= Index) return Held[Index - 1];
    }
    ADD_FAILURE() << "the request never reached the handler";
    return [](THttpResponse) {};
  }

  bool WaitOpen(int32_t Count) {
    for (int i = 0; i < 500 && Server->OpenConnections() != Count; ++i) std::this_thread::sleep_for(10ms);
    return Server->OpenConnections() == Count;
  }

  // Stops the server and lets the I/O threads run dry; the log is complete after it.
  void Finish() {
    if (Server) Server->Stop();
    Work.reset();
    for (std::thread& thread : Threads) thread.join();
    Threads.clear();
  }

  tcp::endpoint Endpoint() const { return Server->LocalEndpoint(); }

  asio::io_context Io;
  asio::executor_work_guard<asio::io_context::executor_type> Work = asio::make_work_guard(Io);
  std::ostringstream Log;
  std::unique_ptr<THttpServer> Server;
  std::vector<std::thread> Threads;
  std::mutex HeldMutex;
  std::vector<TReply> Held;
};

TEST_F(HttpServerTest, KeepAliveHeadAndOneLogLineEach) {
  StartServer();
  {
    TClient client(Endpoint());
    EXPECT_EQ(client.Get("GET /a?b=1 HTTP/1.1\r\n\r\n").body(), "/a?b=1 GET 127.0.0.1");
    // Pipelined: the second request waits in the buffer while the first is answered.
    EXPECT_EQ(client.Get(kGet + "GET /b HTTP/1.1\r\n\r\n").body(), "/a GET 127.0.0.1");
    THttpResponse answer;
    ASSERT_FALSE(client.Read(answer));
    EXPECT_EQ(answer.body(), "/b GET 127.0.0.1");
    // HEAD reaches the handler as GET; the answer frames the body it leaves out.
    EXPECT_EQ(client.Get("HEAD /c HTTP/1.1\r\n\r\n", true)[http::field::content_length], "16");
    answer = client.Get("DELETE /a HTTP/1.1\r\n\r\n");
    EXPECT_EQ(answer.result(), http::status::method_not_allowed);
    EXPECT_EQ(answer[http::field::allow], "GET, HEAD, OPTIONS");
    EXPECT_EQ(client.Get("GET /throw HTTP/1.1\r\n\r\n").result(), http::status::internal_server_error);
    answer = client.Get("OPTIONS /d HTTP/1.0\r\n\r\n");
    EXPECT_EQ(answer.body(), "/d OPTIONS 127.0.0.1");
    EXPECT_EQ(answer.version(), 10u);
    EXPECT_FALSE(answer.keep_alive());
    EXPECT_TRUE(client.Closed());
  }
  Finish();
  std::istringstream lines(Log.str());
  std::vector<std::string> got;
  for (std::string line; std::getline(lines, line);) got.push_back(line);
  const std::string stamp = R"(^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z 127\.0\.0\.1 )";
  const std::string ms = R"( [0-9]+\.[0-9]$)";
  EXPECT_THAT(got, testing::ElementsAre(MatchesRegex(stamp + R"(GET /a\?b=1 200 20)" + ms),
                                        MatchesRegex(stamp + "GET /a 200 16" + ms), MatchesRegex(stamp + "GET /b 200 16" + ms),
                                        MatchesRegex(stamp + "HEAD /c 200 0" + ms),
                                        MatchesRegex(stamp + "DELETE /a 405 [0-9]+" + ms),
                                        MatchesRegex(stamp + "GET /throw 500 [0-9]+" + ms),
                                        MatchesRegex(stamp + "OPTIONS /d 200 20" + ms)));
}

TEST_F(HttpServerTest, RefusalsAnswerAtOnceAndClose) {
  StartServer(ShortLimits());
  for (const auto& [request, status, code] : std::vector<std::tuple<std::string, unsigned, std::string>>{
           {"POST / HTTP/1.1\r\nContent-Length: 4\r\n\r\nbody", 413, "payload_too_large"},
           {"GET / HTTP/1.1\r\nContent-Length: 9999999999\r\n\r\n", 413, "payload_too_large"},
           {"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody\r\n0\r\n\r\n", 413, "payload_too_large"},
           {"GET /" + std::string(1100, 'x') + " HTTP/1.1\r\n\r\n", 414, "uri_too_long"},
           {"GET / HTTP/1.1\r\nX-A: " + std::string(2500, 'a') + "\r\n\r\n", 431, "header_fields_too_large"},
           {"GET / HTTP/1.1\r\nX-A: " + std::string(20000, 'a') + "\r\n\r\n", 431, "header_fields_too_large"},
           {"HELLO\r\n\r\n", 400, "bad_request"},
           {"GET / HTTP/1.1\r\nContent-Length: x\r\n\r\n", 400, "bad_request"}}) {
    TClient client(Endpoint());
    const THttpResponse answer = client.Get(request);
    EXPECT_EQ(answer.result_int(), status) << request.substr(0, 40);
    EXPECT_THAT(answer.body(), testing::HasSubstr("\"error\":\"" + code + "\""));
    EXPECT_FALSE(answer.keep_alive());
    EXPECT_TRUE(client.Closed()) << request.substr(0, 40);
  }
}

TEST_F(HttpServerTest, HalfRequestAndIdleConnectionTimeOut) {
  StartServer(ShortLimits());
  THttpLimits patient = ShortLimits();
  patient.IdleTimeout = 60s;  // only the header timeout can close it
  std::unique_ptr<THttpServer> other = MakeServer(patient);
  TClient half(other->LocalEndpoint());
  half.Send("GET / HTTP/1.1\r\nHost:");
  EXPECT_TRUE(half.Closed());

  TClient idle(Endpoint());
  EXPECT_TRUE(idle.Closed());
  TClient kept(Endpoint());
  kept.Get(kGet);
  EXPECT_TRUE(kept.Closed());
}

TEST_F(HttpServerTest, ConnectionLimit) {
  StartServer({.MaxConnections = 2});
  auto first = std::make_unique<TClient>(Endpoint());
  TClient second(Endpoint());
  first->Get(kGet);
  second.Get(kGet);
  TClient third(Endpoint());
  EXPECT_TRUE(third.Closed());

  first.reset();
  ASSERT_TRUE(WaitOpen(1));
  EXPECT_EQ(TClient(Endpoint()).Get(kGet).result(), http::status::ok);
}

TEST_F(HttpServerTest, LateAndDoubleRepliesAreDropped) {
  StartServer();
  {
    TClient client(Endpoint());
    client.Send("GET /held HTTP/1.1\r\n\r\n");
    WaitHeld();
  }
  std::thread([reply = WaitHeld()] { reply(THttpResponse(http::status::ok, 11)); }).join();
  EXPECT_TRUE(WaitOpen(0));

  TClient client(Endpoint());
  client.Send("GET /held HTTP/1.1\r\n\r\n");
  TReply reply = WaitHeld(2);
  std::thread first([reply] { reply(THttpResponse(http::status::accepted, 11)); });
  std::thread second([reply] { reply(THttpResponse(http::status::ok, 11)); });
  first.join();
  second.join();
  THttpResponse answer;
  ASSERT_FALSE(client.Read(answer));
  EXPECT_EQ(client.Get(kGet).body(), "/a GET 127.0.0.1");  // a second answer would have come first
}

TEST_F(HttpServerTest, StopAnswersTheRequestInFlightThenCloses) {
  StartServer();
  TClient idle(Endpoint());
  idle.Get(kGet);
  auto busy = std::make_unique<TClient>(Endpoint());
  busy->Send("GET /held HTTP/1.1\r\n\r\n");
  TReply reply = WaitHeld();

  Server->Stop();
  EXPECT_TRUE(idle.Closed());
  // The listener closes on the I/O thread: connections may slip into its
  // backlog until then, for as long as a loaded machine takes to get there.
  beast::error_code refused;
  for (int i = 0; i < 1000 && refused != asio::error::connection_refused; ++i) {
    tcp::socket late(Io);
    late.connect(Endpoint(), refused);
    if (refused != asio::error::connection_refused) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(refused, asio::error::connection_refused);

  THttpResponse answer;
  answer.body() = "late";
  reply(std::move(answer));
  ASSERT_FALSE(busy->Read(answer));
  EXPECT_EQ(answer.body(), "late");
  EXPECT_FALSE(answer.keep_alive());
  EXPECT_TRUE(busy->Closed());
  busy.reset();
  EXPECT_TRUE(WaitOpen(0));
}

}  // namespace
}  // namespace varune::server
