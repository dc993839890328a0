#pragma once
// What varune-server serves, behind its HTTP layer.

#include <memory>

#include "server/http_types.h"
#include "server/server_config.h"

namespace varune::server {

// Everything behind the HTTP layer: the loaded client, the API and its
// pools. Loading failures raise varune::Error.
class TService {
 public:
  explicit TService(const TServerConfig& Config);
  ~TService();
  TService(const TService&) = delete;
  TService& operator=(const TService&) = delete;

  // Answers the API's routes; valid while the service lives.
  THandler Handler();
  // Loads the client again and swaps it in; on failure logs and keeps the
  // old one. Runs off the I/O threads: answers go on meanwhile.
  void Reload();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> Impl;
};

}  // namespace varune::server
