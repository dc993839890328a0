#include "server/server_config.h"

#include <boost/asio/ip/address.hpp>
#include <charconv>
#include <thread>

namespace varune::server {
namespace {

int64_t ReadNumber(const std::string& option, const std::string& text, int64_t low, int64_t high) {
  int64_t value = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || problem != std::errc() || end != text.data() + text.size() || value < low || value > high)
    throw TUsageError(option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

}  // namespace

void ParseListen(const std::string& Text, TServerConfig& Config) {
  const size_t colon = Text.rfind(':');
  if (colon == std::string::npos || colon == 0) throw TUsageError("--listen takes ADDR:PORT, or [IPV6]:PORT");
  std::string host = Text.substr(0, colon);
  if (host.front() == '[') {
    if (host.back() != ']') throw TUsageError("--listen takes ADDR:PORT, or [IPV6]:PORT");
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string::npos) {
    throw TUsageError("--listen: an IPv6 address goes in brackets, as [::1]:8080");
  }
  boost::system::error_code error;
  boost::asio::ip::make_address(host, error);
  if (error) throw TUsageError("--listen: " + host + " is not an IP address");
  Config.Address = host;
  Config.Port = static_cast<uint16_t>(ReadNumber("--listen's port", Text.substr(colon + 1), 0, 65535));
}

TServerConfig ParseServerArgs(const std::vector<std::string>& Args) {
  TServerConfig config;
  config.RenderThreads = std::max(1, static_cast<int32_t>(std::thread::hardware_concurrency()));
  std::vector<std::string> positional;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& arg = Args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (i + 1 >= Args.size()) throw TUsageError(arg.starts_with("--") ? "option " + arg + " needs a value"
                                                                        : "unknown option " + arg);
    const std::string& value = Args[++i];
    if (arg == "--listen") ParseListen(value, config);
    else if (arg == "--threads") config.IoThreads = static_cast<int32_t>(ReadNumber(arg, value, 1, 256));
    else if (arg == "--render-threads") config.RenderThreads = static_cast<int32_t>(ReadNumber(arg, value, 1, 256));
    else if (arg == "--queue") config.Queue = static_cast<int32_t>(ReadNumber(arg, value, 0, 100000));
    else if (arg == "--cache-mb") config.CacheMb = ReadNumber(arg, value, 0, 1 << 20);
    else if (arg == "--max-connections") config.MaxConnections = static_cast<int32_t>(ReadNumber(arg, value, 1, 1 << 20));
    else if (arg == "--web") {
      if (value.empty()) throw TUsageError("--web takes the folder of the web page");
      config.WebDir = value;
    } else if (arg == "--cors-origin") {
      if (value.empty()) throw TUsageError("--cors-origin takes an origin, as https://wiki.example.org");
      config.CorsOrigin = value;
    } else {
      throw TUsageError("unknown option " + arg);
    }
  }
  if (positional.size() != 1) throw TUsageError("give the game client's folder: varune-server CLIENT_DIR");
  config.ClientDir = positional[0];
  return config;
}

std::string ServerUsage() {
  return "usage: varune-server CLIENT_DIR [--listen ADDR:PORT] [--threads N] [--render-threads N] [--queue N] "
         "[--cache-mb M] [--cors-origin ORIGIN] [--max-connections N] [--web DIR]\n"
         "\n"
         "Serves pictures and item data of a Varune game client over HTTP (the API under /api/v1/), and the "
         "dress-up web page at /.\n"
         "\n"
         "options:\n"
         "  --listen ADDR:PORT\n      the address to listen on (default 127.0.0.1:8080; IPv6 as [::1]:8080; port 0 "
         "picks a free one)\n"
         "  --threads N\n      I/O threads (default 1)\n"
         "  --render-threads N\n      threads that draw and encode (default: one per core)\n"
         "  --queue N\n      renders that may wait for a thread; beyond them the answer is 503 (default 64)\n"
         "  --cache-mb M\n      memory for answers already made (default 256; 0 turns the cache off)\n"
         "  --cors-origin ORIGIN\n      lets pages of that origin call the API from a browser\n"
         "  --max-connections N\n      open connections at most; further ones are closed at once (default 1024)\n"
         "  --web DIR\n      the web page's files (default: share/varune-wardrobe/web beside the program, or web/ of "
         "the source tree it was built from)\n"
         "  -h, --help\n      shows this help\n"
         "  --version\n      shows the program's version\n"
         "\n"
         "SIGHUP loads the client again (after a game update); SIGTERM and SIGINT stop after the requests in flight.\n"
         "exit status: 0 success, 1 error, 2 usage error\n";
}

}  // namespace varune::server
