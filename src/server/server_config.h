#pragma once
// varune-server's command line.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace varune::server {

// A malformed command line: the program prints it with its usage and exits 2.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TServerConfig {
  std::string ClientDir;
  std::string Address = "127.0.0.1";  // IPv4 or IPv6, without brackets
  uint16_t Port = 8080;               // 0 picks a free one
  int32_t IoThreads = 1;
  int32_t RenderThreads = 1;          // the machine's cores unless given
  int32_t Queue = 64;                 // renders waiting beyond those running
  int64_t CacheMb = 256;              // 0 turns the answer cache off
  std::string CorsOrigin;             // empty: no CORS headers
  int32_t MaxConnections = 1024;
  std::string WebDir;                 // the dress-up page's files; empty: no page
};

// The arguments after the program's name. --help and --version are the
// caller's; anything malformed is a TUsageError naming the option.
TServerConfig ParseServerArgs(const std::vector<std::string>& Args);

// "ADDR:PORT" or "[IPV6]:PORT" as --listen takes it, into `Config`.
void ParseListen(const std::string& Text, TServerConfig& Config);

// The usage line and one line per option, as --help prints them.
std::string ServerUsage();

}  // namespace varune::server
