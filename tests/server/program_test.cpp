// varune-server as a person runs it: the program started on a copy of the
// demo client, talked to over HTTP on 127.0.0.1, signalled, and stopped.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "demo/demo_fixture.h"
#include "server/http_types.h"

extern char** environ;

namespace varune::server {
namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every file of a folder with its bytes.
std::map<std::string, std::string> Contents(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) files[entry.path().string()] = ReadFile(entry.path());
  return files;
}

class TServerProcess {
 public:
  explicit TServerProcess(const std::string& client) : FLog(client + "/../server.log") {
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, FLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> words = {VARUNE_SERVER_PROGRAM, client, "--listen", "127.0.0.1:0", "--render-threads",
                                      "2"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // "listening on 127.0.0.1:PORT" once it accepts.
    std::string line;
    for (char c; read(out[0], &c, 1) == 1 && c != '\n';) line += c;
    close(out[0]);
    const std::string said = "listening on 127.0.0.1:";
    EXPECT_TRUE(line.starts_with(said)) << line << "\n" << ReadFile(FLog);
    if (line.starts_with(said)) FPort = static_cast<uint16_t>(std::stoi(line.substr(said.size())));
  }
  ~TServerProcess() {
    if (FPid > 0) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }

  void Signal(int signal) const { kill(FPid, signal); }
  // The exit status after SIGTERM, within 15 s.
  int Wait() {
    int status = 0;
    for (int i = 0; i < 1500 && waitpid(FPid, &status, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    FPid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Log() const { return ReadFile(FLog); }

  THttpResponse Get(const std::string& target) const {
    asio::io_context io;
    tcp::socket socket(io);
    socket.connect({asio::ip::make_address("127.0.0.1"), FPort});
    THttpRequest request(http::verb::get, target, 11);
    request.set(http::field::host, "127.0.0.1");
    http::write(socket, request);
    boost::beast::flat_buffer buffer;
    THttpResponse response;
    http::read(socket, buffer, response);
    return response;
  }

 private:
  std::string FLog;
  pid_t FPid = -1;
  uint16_t FPort = 0;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of its own: one test takes an archive away.
    std::filesystem::create_directories(client);
    for (const auto& entry : std::filesystem::directory_iterator(test::TDemoFixture::Get().Dir.Path()))
      std::filesystem::copy_file(entry.path(), client + "/" + entry.path().filename().string());
  }
  test::TempDir dir;
  const std::string client = dir.Path() + "/client";
};

TEST_F(ProgramTest, ServesTheCommandLinesPicturesAndStopsAfterTheRequestInFlight) {
  const auto before = Contents(client);
  TServerProcess server(client);
  EXPECT_EQ(server.Get("/healthz").result(), http::status::ok);

  std::ostringstream out, err;
  ASSERT_EQ(cli::RunCli({"code", client, "--gender", "female", "--random", "11"}, out, err), 0) << err.str();
  std::string code = out.str().substr(0, out.str().size() - 1);
  const std::string picture = dir.Path() + "/walk.webp";
  ASSERT_EQ(cli::RunCli({"render", client, "--code", code, "--anim", "Move", "--crop", "--scale", "2", "-o", picture},
                        out, err),
            0)
      << err.str();
  for (char& c : code) c = c == '+' ? '-' : c == '/' ? '_' : c;
  const THttpResponse served = server.Get("/api/v1/render/" + code + ".webp?anim=Move&crop=1&scale=2");
  ASSERT_EQ(served.result(), http::status::ok) << served.body();
  EXPECT_EQ(served.body(), ReadFile(picture));
  EXPECT_NE(server.Get("/metrics").body().find("varune_requests_total{route=\"render\",status=\"200\"} 1"),
            std::string::npos);

  // A long request in flight when SIGTERM comes is answered whole, then the program exits 0.
  auto inFlight = std::async(std::launch::async, [&] { return server.Get("/api/v1/sheet/" + code + ".png?all=1&crop=1"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  server.Signal(SIGTERM);
  const THttpResponse sheet = inFlight.get();
  EXPECT_EQ(sheet.result(), http::status::ok);
  EXPECT_EQ(sheet.body().substr(1, 3), "PNG");
  EXPECT_EQ(server.Wait(), 0);

  // One line per request, and the client as it was.
  const std::string log = server.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
  EXPECT_NE(log.find(" GET /healthz 200 "), std::string::npos) << log;
  EXPECT_EQ(Contents(client), before);
}

TEST_F(ProgramTest, HangupLoadsTheClientAgainAndAFailedLoadKeepsTheOld) {
  TServerProcess server(client);
  const auto logSays = [&](const std::string& text) {
    for (int i = 0; i < 500 && server.Log().find(text) == std::string::npos; ++i) {
      // Answers go on meanwhile.
      EXPECT_EQ(server.Get("/api/v1/info").result(), http::status::ok);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  };
  server.Signal(SIGHUP);
  logSays("client loaded again");
  std::filesystem::rename(client + "/ROWID.SPF", dir.Path() + "/ROWID.SPF");
  server.Signal(SIGHUP);
  logSays("reload failed");
  EXPECT_EQ(server.Get("/api/v1/items?slot=13&limit=1").result(), http::status::ok);
  const std::string log = server.Log();
  EXPECT_NE(log.find("client loaded again"), std::string::npos) << log;
  EXPECT_NE(log.find("reload failed"), std::string::npos) << log;
  server.Signal(SIGTERM);
  EXPECT_EQ(server.Wait(), 0);
}

}  // namespace
}  // namespace varune::server
