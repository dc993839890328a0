#pragma once
// Everything behind the HTTP layer: the loaded client, the API and its
// pools, and the web page's files.

#include <memory>

#include "server/http_types.h"
#include "server/render_pool.h"
#include "server/server_config.h"

namespace varune::server {

class TService {
 public:
  // Loads the client of Config.ClientDir and the page of Config.WebDir; a
  // failure raises varune::Error.
  explicit TService(const TServerConfig& Config);
  ~TService();
  TService(const TService&) = delete;
  TService& operator=(const TService&) = delete;

  // Valid while the service lives.
  THandler Handler();
  // Loads the client and the page again beside those answering and swaps
  // them; requests in flight keep theirs. A failure is logged on stderr and
  // the old one kept.
  void Reload();

  // The pool the work runs on; tests fill it to see the queue refuse.
  TRenderPool& Pool();

 private:
  class TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace varune::server
