#pragma once
// What the HTTP layer and the API agree on: a request as Boost.Beast parsed
// it (a request never has a body: one is refused before it reaches the
// API), the answer the API gives, and how it is given back.

#include <boost/beast/http.hpp>
#include <functional>
#include <string>

namespace varune::server {

namespace http = boost::beast::http;

using THttpRequest = http::request<http::empty_body>;
using THttpResponse = http::response<http::string_body>;

// Gives the answer back to the connection. Callable from any thread, once;
// a connection closed meanwhile drops it.
using TReply = std::function<void(THttpResponse Response)>;

// Answers one request. Runs on an I/O thread, so it must not block: long
// work goes to the render pool, which calls Reply when done. `Client` is
// the peer's address as text ("127.0.0.1", "::1").
using THandler = std::function<void(const THttpRequest& Request, const std::string& Client, TReply Reply)>;

// An error answer, as every route gives one: {"error": CODE, "message":
// TEXT} in JSON, for the request's HTTP version and keep-alive.
THttpResponse ErrorResponse(http::status Status, const std::string& Code, const std::string& Message,
                            unsigned Version = 11, bool KeepAlive = true);

}  // namespace varune::server
