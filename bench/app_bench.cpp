// The desktop program's cold start on a client of the game's size (the large
// demo client, over 20,000 items), beside the database load alone, each in a
// fresh process timed from its main (startup_probe), as a person starts it:
//
//   cold_start                 varune-wardrobe's run from main until the
//                              character view is first painted: Qt's start,
//                              the client's location, the window, its
//                              creation sequence with the database load
//   cold_start:database_load   TVaruneDatabase::LoadPath of the same client

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "demo/demo_client.h"

namespace varune {
namespace {

struct TLargeDemo {
  std::string Dir;
  TLargeDemo() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-app-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir + "/client", demo::dsLarge);
  }
  ~TLargeDemo() { std::filesystem::remove_all(Dir); }
};

const TLargeDemo& Demo() {
  static const TLargeDemo demo;
  return demo;
}

// The probe's milliseconds in seconds; negative when it failed.
double ProbeSeconds(const char* Mode) {
  const std::string probe = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "startup_probe";
  // The program keeps its settings in the benchmark's folder, and needs no display.
  const std::string command = "VARUNE_APPDIR='" + Demo().Dir + "/' QT_QPA_PLATFORM=\"${QT_QPA_PLATFORM:-offscreen}\" '" +
                              probe + "' " + Mode + " '" + Demo().Dir + "/client/' 2>/dev/null";
  FILE* output = ::popen(command.c_str(), "r");
  if (!output) return -1;
  double milliseconds = -1;
  if (std::fscanf(output, "%lf", &milliseconds) != 1) milliseconds = -1;
  return ::pclose(output) == 0 ? milliseconds / 1000 : -1;
}

void Probe(benchmark::State& state, const char* Mode) {
  Demo();
  for (auto _ : state) {
    const double seconds = ProbeSeconds(Mode);
    if (seconds < 0) {
      state.SkipWithError("the probe failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void ColdStart(benchmark::State& state) { Probe(state, "app"); }
void DatabaseLoad(benchmark::State& state) { Probe(state, "load"); }

// A start of the program lasts a tenth of a second in all: enough of them to
// average out the machine's moods.
BENCHMARK(ColdStart)->Name("cold_start")->UseManualTime()->MinTime(2)->Unit(benchmark::kMillisecond);
BENCHMARK(DatabaseLoad)->Name("cold_start:database_load")->UseManualTime()->MinTime(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varune
