#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/thread_pool.hpp>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "server/http_server.h"
#include "server/server_config.h"
#include "server/service.h"
#include "server/web_files.h"
#include "viewer/startup.h"

namespace {

namespace asio = boost::asio;
using namespace varune::server;

// How long SIGTERM waits for the requests in flight.
constexpr std::chrono::seconds kStopWait{10};

std::string EndpointText(const asio::ip::tcp::endpoint& Endpoint) {
  const std::string address = Endpoint.address().to_string();
  return (Endpoint.address().is_v6() ? "[" + address + "]" : address) + ":" + std::to_string(Endpoint.port());
}

int Serve(const TServerConfig& Config) {
  // First made, last gone: the service's pools may still hold replies bound
  // to connections of this context.
  asio::io_context io(Config.IoThreads);
  TService service(Config);
  THttpLimits limits;
  limits.MaxConnections = Config.MaxConnections;
  THttpServer server(io, asio::ip::tcp::endpoint(asio::ip::make_address(Config.Address), Config.Port), limits,
                     service.Handler(), std::cerr);  // one line per request

  asio::thread_pool reloads(1);  // a reload takes long; the I/O threads go on answering
  asio::signal_set hangups(io, SIGHUP);
  std::function<void()> awaitHangup = [&] {
    hangups.async_wait([&](const boost::system::error_code& Error, int) {
      if (Error) return;
      asio::post(reloads, [&service] { service.Reload(); });
      awaitHangup();
    });
  };
  awaitHangup();
  std::promise<void> stopAsked;
  std::future<void> stopping = stopAsked.get_future();
  asio::signal_set stops(io, SIGTERM, SIGINT);
  stops.async_wait([&](const boost::system::error_code& Error, int) {
    if (!Error) stopAsked.set_value();
  });

  server.Start();
  std::cout << "listening on " << EndpointText(server.LocalEndpoint()) << std::endl;
  std::vector<std::thread> threads;
  for (int32_t i = 0; i < Config.IoThreads; ++i) threads.emplace_back([&io] { io.run(); });

  stopping.wait();
  server.Stop();
  const auto deadline = std::chrono::steady_clock::now() + kStopWait;
  while (server.OpenConnections() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  io.stop();
  for (std::thread& thread : threads) thread.join();
  reloads.stop();
  reloads.join();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::cout << ServerUsage();
      return 0;
    }
    if (arg == "--version") {
      std::cout << "varune-server " << varune::AppVersionNumber() << "\n";
      return 0;
    }
  }
  TServerConfig config;
  try {
    config = ParseServerArgs(args);
  } catch (const TUsageError& error) {
    const std::string usage = ServerUsage();
    std::cerr << "varune-server: " << error.what() << "\n" << usage.substr(0, usage.find('\n')) << "\n";
    return 2;
  }
  try {
    if (config.WebDir.empty() && (config.WebDir = DefaultWebDir()).empty())
      std::cerr << "varune-server: no web page found beside the program; the API alone is served\n";
    return Serve(config);
  } catch (const std::exception& error) {
    std::cerr << "varune-server: " << error.what() << "\n";
    return 1;
  }
}
