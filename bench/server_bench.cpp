// varune-server under load on 127.0.0.1, beside peers doing the same work in
// the same run, on the demo client (dsDemo) in a folder of shared memory.
// Each measurement starts its own processes and stops them when done.
//
//   serve_png                 300 random outfits as PNG through the service,
//                             cache off, render threads = cores; wrk -t2 -c4
//                             for 20 s cycling through their URLs
//   serve_png:in_process      the same outfits drawn in this process on as
//                             many threads for 10 s, by the service's steps
//   cached_png                one render answered from the service's cache
//                             (default size), wrk -t2 -c4 for 5 s
//   cached_png:nginx          nginx serving the same bytes as a static file,
//                             one worker as the service has one I/O thread
//   memory                    resident size of the service with --cache-mb 8
//                             under 100,000 mixed requests on one connection
//   png_encode, png_encode_x4 EncodePng on a 250 x 250 render, and at scale 4
//     ...:libpng_default      libpng with its defaults on the same pixels
//     ...:libdeflate_up       the same file made with libdeflate at level 6,
//                             every row filtered Up: the setting to weigh
//                             ours against, on time and bytes
//
// The service's times are seconds per render or request (1 / rate), so its
// ratios are the peer's rate over ours. wrk's time includes its own work on the same cores:
// that is what a client on the machine costs, and nginx pays it too.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "character/chara.h"
#include "character/outfit.h"
#include "database/database.h"
#include "demo/demo_client.h"
#include "imaging/png.h"
#include "viewer/export.h"
#include "viewer/picture_request.h"
#include "viewer/random_outfit.h"

extern char** environ;

namespace varune {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;
using TClockTime = std::chrono::steady_clock;

constexpr int32_t kOutfits = 300;
constexpr int32_t kServeSeconds = 20;
constexpr int32_t kInProcessSeconds = 10;
constexpr int32_t kCachedSeconds = 5;
constexpr int32_t kMemoryCacheMb = 8;
constexpr int32_t kMemoryRequests = 100000;
constexpr int32_t kMemoryFirstMark = 10000;

double SecondsSince(TClockTime::time_point start) {
  return std::chrono::duration<double>(TClockTime::now() - start).count();
}

int32_t Cores() { return std::max(1, static_cast<int32_t>(std::thread::hardware_concurrency())); }

// A process of ours, in a process group of its own so that a stop reaches
// the workers it starts (nginx) and nothing else.
class TChild {
 public:
  TChild() = default;
  TChild(const TChild&) = delete;
  ~TChild() { Stop(SIGTERM); }

  // Stdout goes to a pipe (ReadLine, Finish) or /dev/null, stderr to /dev/null.
  bool Start(std::vector<std::string> Words, bool Piped) {
    int out[2] = {-1, -1};
    if (Piped && pipe2(out, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (Piped) posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    else posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    std::vector<char*> argv;
    for (std::string& word : Words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const bool started = posix_spawnp(&FPid, argv[0], &actions, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (Piped) {
      close(out[1]);
      FOut = out[0];
    }
    if (!started) FPid = -1;
    return started;
  }

  pid_t Pid() const { return FPid; }
  // Left unreaped, so that its id stays ours until Stop.
  bool Running() const {
    siginfo_t info{};
    return FPid > 0 && waitid(P_PID, static_cast<id_t>(FPid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }

  // The next line of its stdout, waiting at most `Seconds`.
  bool ReadLine(std::string& Line, int Seconds) {
    Line.clear();
    const auto deadline = TClockTime::now() + std::chrono::seconds(Seconds);
    for (char c; TClockTime::now() < deadline;) {
      pollfd ready{FOut, POLLIN, 0};
      if (poll(&ready, 1, 100) <= 0) continue;
      if (read(FOut, &c, 1) != 1) return false;
      if (c == '\n') return true;
      Line += c;
    }
    return false;
  }

  // All of its stdout until it exits, and whether it exited 0.
  bool Finish(std::string& Text) {
    char buffer[4096];
    for (ssize_t n; (n = read(FOut, buffer, sizeof buffer)) > 0;) Text.append(buffer, static_cast<size_t>(n));
    int status = 0;
    const bool done = waitpid(FPid, &status, 0) == FPid;
    FPid = -1;
    return done && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  // `Signal`, then SIGKILL to what is left of its group after 10 s. The
  // group is killed before the process is reaped, while its id is still ours.
  void Stop(int Signal) {
    if (FPid > 0) {
      kill(FPid, Signal);
      for (int i = 0; i < 1000 && Running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      killpg(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
      FPid = -1;
    }
    if (FOut >= 0) close(FOut);
    FOut = -1;
  }

 private:
  pid_t FPid = -1;
  int FOut = -1;
};

// One keep-alive connection.
class TClient {
 public:
  explicit TClient(uint16_t Port) { FSocket.connect({asio::ip::make_address("127.0.0.1"), Port}); }

  http::response<http::string_body> Get(const std::string& Target) {
    http::request<http::empty_body> request(http::verb::get, Target, 11);
    request.set(http::field::host, "127.0.0.1");
    http::write(FSocket, request);
    http::response_parser<http::string_body> parser;
    parser.body_limit(64 << 20);
    http::read(FSocket, FBuffer, parser);
    return parser.release();
  }

 private:
  asio::io_context FIo;
  tcp::socket FSocket{FIo};
  boost::beast::flat_buffer FBuffer;
};

struct TServerDemo {
  std::string Dir;
  TVaruneDatabase Database;
  std::vector<std::string> Codes;  // standard Base64 without line breaks
  std::vector<std::string> Paths;  // their render URLs
  std::string CachedBytes;         // what cached_png served, for nginx

  TServerDemo() {
    // Shared memory where the system has it, so that no disk takes part.
    std::error_code error;
    const std::filesystem::path shm = "/dev/shm";
    const auto base = std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
    Dir = (base / ("varune-bench-server-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir + "/client", demo::dsDemo);
    Database.LoadPath(Dir + "/client/");
    for (int32_t n = 0; n < kOutfits; ++n) {
      std::string code = EncodeOutfitCode(DrawRandomOutfit(Database, n % 2 ? gtFemale : gtMale, 1, 1000 + n));
      std::erase_if(code, [](char c) { return c == '\r' || c == '\n'; });
      std::string safe;
      for (const char c : code)
        if (c != '=') safe += c == '+' ? '-' : c == '/' ? '_' : c;
      Codes.push_back(code);
      Paths.push_back("/api/v1/render/" + safe + ".png");
    }
    std::ofstream script(Dir + "/cycle.lua");
    script << "local paths = {\n";
    for (const std::string& path : Paths) script << "  \"" << path << "\",\n";
    // Each wrk thread starts at its own place in the list.
    script << "}\nlocal count = 0\nfunction setup(thread) thread:set(\"first\", count * 137) count = count + 1 end\n"
              "function init(args) at = first or 0 end\n"
              "function request() at = at % #paths + 1 return wrk.format(\"GET\", paths[at]) end\n";
  }
  ~TServerDemo() {
    std::error_code error;
    std::filesystem::remove_all(Dir, error);
  }
};

TServerDemo& Demo() {
  static TServerDemo demo;
  return demo;
}

// varune-server on the demo client, on a free port.
struct TServer {
  TChild Process;
  uint16_t Port = 0;

  std::string Start(const std::vector<std::string>& Options) {
    std::vector<std::string> words = {VARUNE_SERVER_PROGRAM, Demo().Dir + "/client", "--listen", "127.0.0.1:0"};
    words.insert(words.end(), Options.begin(), Options.end());
    if (!Process.Start(words, true)) return "varune-server could not start";
    const std::string said = "listening on 127.0.0.1:";
    std::string line;
    if (!Process.ReadLine(line, 60) || !line.starts_with(said)) return "varune-server did not say it listens";
    Port = static_cast<uint16_t>(std::stoi(line.substr(said.size())));
    return "";
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(Port); }
};

struct TWrkFigures {
  double Rate = 0;  // requests per second
  double P50Ms = 0;
  double P99Ms = 0;
};

// A latency as wrk prints it ("812.00us", "3.25ms", "1.02s") in milliseconds.
double Milliseconds(const std::string& text) {
  char* unit = nullptr;
  const double value = std::strtod(text.c_str(), &unit);
  const std::string_view suffix(unit);
  return suffix == "us" ? value / 1000 : suffix == "s" ? value * 1000 : suffix == "m" ? value * 60000 : value;
}

// Runs wrk -t2 -c4 on `Url` for `Seconds`; an error text, or "" with the figures.
std::string RunWrk(const std::string& Url, int32_t Seconds, const std::string& Script, TWrkFigures& Figures) {
  std::vector<std::string> words = {"wrk", "-t2", "-c4", "-d" + std::to_string(Seconds) + "s", "--latency"};
  if (!Script.empty()) words.insert(words.end(), {"-s", Script});
  words.push_back(Url);
  TChild wrk;
  std::string text;
  if (!wrk.Start(words, true)) return "wrk could not run (Debian package wrk)";
  if (!wrk.Finish(text)) return "wrk failed: " + text;
  if (text.find("Non-2xx") != std::string::npos) return "answers other than 200 under wrk: " + text;
  std::istringstream lines(text);
  bool latencies = false;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string first, second;
    words >> first >> second;
    if (first == "Latency" && second == "Distribution") latencies = true;
    if (latencies && first == "50%") Figures.P50Ms = Milliseconds(second);
    if (latencies && first == "99%") Figures.P99Ms = Milliseconds(second);
    if (first == "Requests/sec:") Figures.Rate = std::strtod(second.c_str(), nullptr);
  }
  return Figures.Rate > 0 ? "" : "no rate in wrk's output: " + text;
}

void SetWrkCounters(benchmark::State& state, const TWrkFigures& figures, const char* rate) {
  state.counters[rate] = figures.Rate;
  state.counters["p50_ms"] = figures.P50Ms;
  state.counters["p99_ms"] = figures.P99Ms;
}

// One render as the service makes it for /render/{code}.png.
std::vector<uint8_t> RenderLikeTheService(TVaruneDatabase& database, const std::string& code) {
  TPictureRequest request;
  SetRequestOption(request, "code", code);
  request.FormatName = "png";
  Check(request);
  DecodeOutfitCode(*request.Code);
  const TCharaView view = MakeView(request);
  TChara chara(database);
  std::vector<std::string> refused;
  Dress(chara, request, [&](const std::string& what) { refused.push_back(what); });
  return ExportToBytes(view, chara, request.Format, request.Options);
}

void ServePng(benchmark::State& state) {
  TServerDemo& demo = Demo();
  TServer server;
  std::string problem = server.Start({"--cache-mb", "0", "--render-threads", std::to_string(Cores())});
  // One pass first, as the peer has: the sheets' caches fill once per process.
  try {
    TClient client(server.Port);
    for (const std::string& path : demo.Paths)
      if (problem.empty() && client.Get(path).result() != http::status::ok) problem = "render failed: " + path;
  } catch (const std::exception& error) {
    if (problem.empty()) problem = error.what();
  }
  TWrkFigures figures;
  for (auto _ : state) {
    if (problem.empty()) problem = RunWrk(server.Url(), kServeSeconds, demo.Dir + "/cycle.lua", figures);
    if (!problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
    state.SetIterationTime(1 / figures.Rate);
  }
  SetWrkCounters(state, figures, "renders_per_s");
  state.counters["threads"] = Cores();
}

void ServePngInProcess(benchmark::State& state) {
  TServerDemo& demo = Demo();
  const int32_t threads = Cores();
  for (const std::string& code : demo.Codes) RenderLikeTheService(demo.Database, code);
  double rate = 0;
  for (auto _ : state) {
    std::atomic<int64_t> next{0};
    std::atomic<bool> failed{false};
    const auto start = TClockTime::now();
    const auto deadline = start + std::chrono::seconds(kInProcessSeconds);
    std::vector<std::thread> pool;
    for (int32_t t = 0; t < threads; ++t)
      pool.emplace_back([&] {
        try {
          while (TClockTime::now() < deadline) {
            const int64_t n = next++;
            if (RenderLikeTheService(demo.Database, demo.Codes[static_cast<size_t>(n % kOutfits)]).empty())
              failed = true;
          }
        } catch (const std::exception&) {
          failed = true;
        }
      });
    for (std::thread& thread : pool) thread.join();
    if (failed) {
      state.SkipWithError("an in-process render failed");
      break;
    }
    rate = static_cast<double>(next.load()) / SecondsSince(start);
    state.SetIterationTime(1 / rate);
  }
  state.counters["renders_per_s"] = rate;
  state.counters["threads"] = threads;
}

void CachedPng(benchmark::State& state) {
  TServerDemo& demo = Demo();
  TServer server;
  std::string problem = server.Start({});
  try {
    // The first answer is made and kept; the second comes from the cache.
    TClient client(server.Port);
    const auto made = client.Get(demo.Paths[0]);
    const auto kept = client.Get(demo.Paths[0]);
    if (problem.empty() && (made.result() != http::status::ok || kept.body() != made.body()))
      problem = "the render was not answered twice alike";
    demo.CachedBytes = made.body();
  } catch (const std::exception& error) {
    if (problem.empty()) problem = error.what();
  }
  TWrkFigures figures;
  for (auto _ : state) {
    if (problem.empty()) problem = RunWrk(server.Url() + demo.Paths[0], kCachedSeconds, "", figures);
    if (!problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
    state.SetIterationTime(1 / figures.Rate);
  }
  SetWrkCounters(state, figures, "requests_per_s");
  state.counters["bytes"] = static_cast<double>(demo.CachedBytes.size());
}

uint16_t FreePort() {
  asio::io_context io;
  tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), 0});
  return acceptor.local_endpoint().port();
}

bool Accepts(uint16_t port) {
  try {
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect({asio::ip::make_address("127.0.0.1"), port});
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void CachedPngNginx(benchmark::State& state) {
  TServerDemo& demo = Demo();
  const std::string root = demo.Dir + "/nginx";
  std::string problem = demo.CachedBytes.empty() ? "no bytes to serve: cached_png failed" : "";
  std::filesystem::create_directories(root + "/www");
  std::ofstream(root + "/www/x.png", std::ios::binary) << demo.CachedBytes;
  const uint16_t port = FreePort();
  // Logs to /dev/null as the service's do in this run; keep-alive unbounded as the service's.
  std::ofstream(root + "/nginx.conf") << "worker_processes 1;\n"
                                      << "pid " << root << "/nginx.pid;\nerror_log " << root << "/error.log;\n"
                                      << "events { worker_connections 64; }\nhttp {\n"
                                      << "  access_log /dev/null;\n  keepalive_requests 100000000;\n  sendfile on;\n"
                                      << "  types { image/png png; }\n"
                                      << "  client_body_temp_path " << root << "/body;\n"
                                      << "  proxy_temp_path " << root << "/proxy;\n"
                                      << "  fastcgi_temp_path " << root << "/fastcgi;\n"
                                      << "  uwsgi_temp_path " << root << "/uwsgi;\n"
                                      << "  scgi_temp_path " << root << "/scgi;\n"
                                      << "  server { listen 127.0.0.1:" << port << "; root " << root << "/www; }\n}\n";
  TChild nginx;
  if (problem.empty() && !nginx.Start({"nginx", "-p", root, "-e", root + "/error.log", "-c", root + "/nginx.conf", "-g",
                                       "daemon off;"},
                                      false))
    problem = "nginx could not run (Debian package nginx-light)";
  for (int i = 0; problem.empty() && !Accepts(port); ++i) {
    if (i == 500 || !nginx.Running()) problem = "nginx did not start; see its error.log";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  TWrkFigures figures;
  for (auto _ : state) {
    if (problem.empty()) problem = RunWrk("http://127.0.0.1:" + std::to_string(port) + "/x.png", kCachedSeconds, "", figures);
    if (!problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
    state.SetIterationTime(1 / figures.Rate);
  }
  nginx.Stop(SIGQUIT);
  SetWrkCounters(state, figures, "requests_per_s");
}

double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::strtod(line.c_str() + 6, nullptr) / 1024;
  return 0;
}

// Request `n` of the mix and the status it must get: renders of the 300
// outfits (kept after their first pass), item pages, info, random outfits
// (each seed new: the cache keeps taking and dropping them) and 404s.
std::pair<std::string, http::status> MixedRequest(const TServerDemo& demo, int32_t n) {
  const int32_t round = n / 10;
  switch (n % 10) {
    case 0:
    case 1:
    case 2:
    case 3: return {demo.Paths[static_cast<size_t>((round * 4 + n % 10) % kOutfits)], http::status::ok};
    case 4:
    case 5:
      return {"/api/v1/items?gender=" + std::string(n % 2 ? "female" : "male") + "&slot=" +
                  std::to_string(round % 14 + 1) + "&limit=" + std::to_string(round % 50 + 1),
              http::status::ok};
    case 6: return {"/api/v1/info", http::status::ok};
    case 7:
    case 8: return {"/api/v1/outfit?random=" + std::to_string(n), http::status::ok};
    default:
      return {round % 2 ? "/api/v1/nothing/" + std::to_string(n) : "/api/v1/items/" + std::to_string(900000 + n),
              http::status::not_found};
  }
}

void Memory(benchmark::State& state) {
  TServerDemo& demo = Demo();
  TServer server;
  std::string problem = server.Start({"--cache-mb", std::to_string(kMemoryCacheMb)});
  double start = 0, first = 0, last = 0, cachedFirst = 0, cachedLast = 0;
  // What the cache holds, as the service counts it.
  const auto cacheMb = [](TClient& client) {
    const std::string metrics = client.Get("/metrics").body();
    const size_t at = metrics.find("\nvarune_cache_bytes ");
    return at == std::string::npos ? 0.0 : std::strtod(metrics.c_str() + at + 20, nullptr) / (1 << 20);
  };
  for (auto _ : state) {
    if (!problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
    start = ResidentMb(server.Process.Pid());
    try {
      TClient client(server.Port);
      for (int32_t n = 0; n < kMemoryRequests && problem.empty(); ++n) {
        const auto [target, expected] = MixedRequest(demo, n);
        if (client.Get(target).result() != expected) problem = "unexpected status for " + target;
        if (n + 1 == kMemoryFirstMark) {
          first = ResidentMb(server.Process.Pid());
          cachedFirst = cacheMb(client);
        }
      }
      last = ResidentMb(server.Process.Pid());
      cachedLast = cacheMb(client);
    } catch (const std::exception& error) {
      if (problem.empty()) problem = error.what();
    }
    if (!problem.empty()) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
  state.counters["rss_start_mb"] = start;
  state.counters["rss_10k_mb"] = first;
  state.counters["rss_100k_mb"] = last;
  state.counters["growth_mb"] = last - first;
  state.counters["cache_mb"] = kMemoryCacheMb;
  state.counters["cache_10k_mb"] = cachedFirst;
  state.counters["cache_100k_mb"] = cachedLast;
  state.counters["within_goal"] = last - first <= kMemoryCacheMb * 1.1 ? 1 : 0;
}

// ---- PNG encoding ----

struct TEncodeDemo {
  TBitmap32 Pictures[2];              // scale 1 and 4
  std::vector<uint8_t> Rgb[2];        // the same pixels as RGB rows, libpng's input

  TEncodeDemo() {
    TServerDemo& demo = Demo();
    TPictureRequest request;
    SetRequestOption(request, "code", demo.Codes[0]);
    Check(request);
    TChara chara(demo.Database);
    Dress(chara, request, [](const std::string&) {});
    for (const int32_t i : {0, 1}) {
      Pictures[i] = StillPicture(MakeView(request), chara, false, {.Scale = i == 0 ? 1 : 4});
      for (int32_t y = 0; y < Pictures[i].Height(); ++y)
        for (int32_t x = 0; x < Pictures[i].Width(); ++x) {
          const TColor32 c = Pictures[i].GetScanLine(y)[x];
          Rgb[i].insert(Rgb[i].end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        }
    }
  }
};

TEncodeDemo& EncodeDemo() {
  static TEncodeDemo demo;
  return demo;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

// libpng as its manual shows it, every setting left alone.
std::vector<uint8_t> LibpngDefault(const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgb.data()) + static_cast<size_t>(y) * width * 3;
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_set_write_fn(png, &out, AppendBytes, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
  } else {
    out.clear();
  }
  png_destroy_write_struct(&png, &info);
  return out;
}

void BigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<uint8_t>(value >> shift));
}

void AddChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  BigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  BigEndian(out, libdeflate_crc32(0, out.data() + start, out.size() - start));
}

std::vector<uint8_t> LibdeflateUp(const std::vector<uint8_t>& rgb, int32_t width, int32_t height,
                                  libdeflate_compressor* compressor) {
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> rows((rowBytes + 1) * static_cast<size_t>(height));
  for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
    uint8_t* row = rows.data() + y * (rowBytes + 1);
    const uint8_t* pixels = rgb.data() + y * rowBytes;
    row[0] = 2;  // Up; the first row's "above" is zero
    for (size_t i = 0; i < rowBytes; ++i) row[1 + i] = static_cast<uint8_t>(pixels[i] - (y ? pixels[i - rowBytes] : 0));
  }
  std::vector<uint8_t> idat(libdeflate_zlib_compress_bound(compressor, rows.size()));
  idat.resize(libdeflate_zlib_compress(compressor, rows.data(), rows.size(), idat.data(), idat.size()));
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
  BigEndian(header, static_cast<uint32_t>(width));
  BigEndian(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, pctRGB, 0, 0, 0});
  AddChunk(out, "IHDR", header);
  AddChunk(out, "IDAT", idat);
  AddChunk(out, "IEND", {});
  return out;
}

void PngEncode(benchmark::State& state, int32_t scale) {
  const TBitmap32& picture = EncodeDemo().Pictures[scale == 1 ? 0 : 1];
  size_t bytes = 0;
  for (auto _ : state) bytes = EncodePng(picture, ppfRGB).size();
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["width"] = picture.Width();
}

void PngEncodeLibpng(benchmark::State& state, int32_t scale) {
  const TEncodeDemo& demo = EncodeDemo();
  const int32_t i = scale == 1 ? 0 : 1;
  size_t bytes = 0;
  for (auto _ : state) bytes = LibpngDefault(demo.Rgb[i], demo.Pictures[i].Width(), demo.Pictures[i].Height()).size();
  if (bytes == 0) state.SkipWithError("libpng failed");
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["width"] = demo.Pictures[i].Width();
}

void PngEncodeLibdeflate(benchmark::State& state, int32_t scale) {
  const TEncodeDemo& demo = EncodeDemo();
  const int32_t i = scale == 1 ? 0 : 1;
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(6);
  std::vector<uint8_t> bytes;
  for (auto _ : state) bytes = LibdeflateUp(demo.Rgb[i], demo.Pictures[i].Width(), demo.Pictures[i].Height(), compressor);
  libdeflate_free_compressor(compressor);
  // A file our decoder reads back to the same pixels, or the figures mean nothing.
  if (DecodePng(bytes).Rgb != demo.Rgb[i]) state.SkipWithError("libdeflate's file does not read back");
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["width"] = demo.Pictures[i].Width();
}

BENCHMARK(ServePng)->Name("serve_png")->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(ServePngInProcess)->Name("serve_png:in_process")->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(CachedPng)->Name("cached_png")->Unit(benchmark::kMicrosecond)->Iterations(1)->UseManualTime();
BENCHMARK(CachedPngNginx)->Name("cached_png:nginx")->Unit(benchmark::kMicrosecond)->Iterations(1)->UseManualTime();
BENCHMARK(Memory)->Name("memory")->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(PngEncode, 1, 1)->Name("png_encode")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(PngEncodeLibpng, 1, 1)->Name("png_encode:libpng_default")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(PngEncodeLibdeflate, 1, 1)->Name("png_encode:libdeflate_up")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(PngEncode, 4, 4)->Name("png_encode_x4")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(PngEncodeLibpng, 4, 4)->Name("png_encode_x4:libpng_default")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(PngEncodeLibdeflate, 4, 4)->Name("png_encode_x4:libdeflate_up")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace varune
