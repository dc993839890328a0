// The desktop program's cold start on a client of the game's size (the large
// demo client, over 20,000 items), beside the database load alone in the same
// run: what the window adds to the load.
//
//   cold_start                 the main window created on the client (the
//                              creation sequence, the database load
//                              included), shown, until the character view
//                              is first painted; the QApplication exists
//                              already (made once per process)
//   cold_start:database_load   TVaruneDatabase::LoadPath of the same client

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "app/main_window.h"
#include "database/database.h"
#include "demo/demo_client.h"
#include "viewer/startup.h"

namespace varune {
namespace {

struct TLargeDemo {
  std::string Dir;
  TLargeDemo() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-app-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir + "/client", demo::dsLarge);
    InitAppFolders({Dir + "/", Dir + "/cache/", Dir + "/varune-wardrobe.ini"});
    SetClientDir(Dir + "/client/");
  }
  ~TLargeDemo() { std::filesystem::remove_all(Dir); }
};

const TLargeDemo& Demo() {
  static const TLargeDemo demo;
  return demo;
}

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "bench_app";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static app::TApplication application(argc, argv);
}

void ColdStart(benchmark::State& state) {
  Demo();
  EnsureApplication();
  for (auto _ : state) {
    auto window = std::make_unique<app::TfrmQuillon>();
    QEventLoop painted;
    QObject::connect(window.get(), &app::TfrmQuillon::CharaViewPainted, &painted, &QEventLoop::quit);
    if (!window->FormCreate()) {
      state.SkipWithError("the window could not be created");
      break;
    }
    window->show();
    painted.exec();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}

void DatabaseLoad(benchmark::State& state) {
  const std::string dir = Demo().Dir + "/client/";
  for (auto _ : state) {
    auto database = std::make_unique<TVaruneDatabase>();
    database->LoadPath(dir);
    benchmark::DoNotOptimize(database->ItemList().Count());
    state.PauseTiming();
    database.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(ColdStart)->Name("cold_start")->Unit(benchmark::kMillisecond);
BENCHMARK(DatabaseLoad)->Name("cold_start:database_load")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varune
