#pragma once
// A request the API refuses: the status, the error's code and a message
// that names the parameter as the query names it.

#include <stdexcept>
#include <string>

#include "server/http_types.h"

namespace varune::server {

class TApiError : public std::runtime_error {
 public:
  TApiError(http::status AStatus, std::string ACode, const std::string& Message)
      : std::runtime_error(Message), Status(AStatus), Code(std::move(ACode)) {}
  http::status Status;
  std::string Code;
};

inline TApiError BadRequest(const std::string& Message) {
  return TApiError(http::status::bad_request, "bad_request", Message);
}
inline TApiError NotFound(const std::string& Message) {
  return TApiError(http::status::not_found, "not_found", Message);
}

}  // namespace varune::server
