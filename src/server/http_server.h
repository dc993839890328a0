#pragma once
// varune-server's HTTP/1.1 layer: accepts connections, reads each request's
// header under its limits and timeouts, hands the request to the THandler
// and writes the answer back, one access-log line per request. It knows
// nothing of the API.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>

#include "server/http_types.h"

namespace varune::server {

struct THttpLimits {
  std::chrono::milliseconds HeaderTimeout{10'000};  // to receive a request's headers once it has begun
  std::chrono::milliseconds IdleTimeout{30'000};    // for a request's first byte, and to write an answer
  int32_t MaxConnections = 1024;                    // beyond it, new connections are closed at once
  size_t MaxTarget = 8 * 1024;                      // 414 past it
  size_t MaxHeaders = 16 * 1024;                    // 431 past it (the header block besides the target)
};

namespace detail {
struct TServerState;
}

// Requests with a body are refused (413), as are methods other than GET,
// HEAD and OPTIONS (405); HEAD reaches the handler as GET and is answered
// without the body. Several threads may run the io_context.
class THttpServer {
 public:
  // Binds and listens at once (port 0 picks a free port); accepting starts
  // with Start(). `Log` must outlive the io_context's handlers.
  THttpServer(boost::asio::io_context& Io, const boost::asio::ip::tcp::endpoint& Listen, THttpLimits Limits,
              THandler Handler, std::ostream& Log);
  ~THttpServer();  // stops
  THttpServer(const THttpServer&) = delete;
  THttpServer& operator=(const THttpServer&) = delete;

  boost::asio::ip::tcp::endpoint LocalEndpoint() const;
  void Start();
  // No new connections; idle ones close; a request in flight is answered,
  // then its connection closes. Thread-safe; returns without waiting.
  void Stop();
  int32_t OpenConnections() const;

 private:
  std::shared_ptr<detail::TServerState> State;
  boost::asio::ip::tcp::endpoint Local;
};

}  // namespace varune::server
