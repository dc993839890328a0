// varune-cli batch drawing 1,000 outfits to PNG on a client of the game's
// size (the large demo client), on every core beside one thread, in the
// same run. Each run loads the client and starts with empty caches, as the
// command does. The pictures go to shared memory (see TBatchDemo).
//
//   batch_png              `varune-cli batch` with --jobs set to the cores
//   batch_png:one_thread   the same list with --jobs 1
//
// The ratio is the time on every core over the time on one: 1 / ratio is
// the speed-up (0.556 or less is 1.8 times one thread's rate). Counters:
// pictures per second by the wall clock, and the threads used.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli.h"
#include "database/database.h"
#include "demo/demo_client.h"

namespace varune {
namespace {

constexpr int32_t kOutfits = 1000;

struct TBatchDemo {
  std::string Dir;
  std::string List;

  TBatchDemo() {
    // Shared memory where the system has it: each picture is flushed to its
    // disk on commit, and a disk's flushes queue one behind the other on
    // every thread count alike, which would measure the disk, not the drawing.
    std::error_code error;
    const std::filesystem::path shm = "/dev/shm";
    const auto base = std::filesystem::is_directory(shm, error) ? shm : std::filesystem::temp_directory_path();
    Dir = (base / ("varune-bench-batch-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir + "/client", demo::dsLarge);
    TVaruneDatabase database;
    database.LoadPath(Dir + "/client/");
    // Outfits of both genders, each wearing items of several slots picked
    // by a fixed sequence, so that the run decodes many sheets.
    std::ostringstream list;
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int32_t n = 0; n < kOutfits; ++n) {
      const TGenderType gender = n % 2 ? gtFemale : gtMale;
      list << "--gender " << (gender == gtMale ? "male" : "female") << " --equip ";
      bool first = true;
      for (const int32_t slot : {1, 3, 4, 5, 6, 13}) {
        const TVaruneItemList& items = database.GetSpec(gender, slot);
        if (items.Count() == 0) continue;
        const TVaruneItem* item = items[static_cast<int32_t>(next() % static_cast<uint32_t>(items.Count()))];
        // Items of another job would be refused by job 1; they are left out.
        if (!item->IsUsableJob(JobBitFlag(1))) continue;
        list << (first ? "" : ",") << item->FIndex;
        first = false;
      }
      list << "\n";
    }
    List = Dir + "/list.txt";
    std::ofstream(List) << list.str();
    // One untimed run first: whichever run came first would otherwise pay
    // alone for what a process does once (its heap growing, the fonts).
    std::ostringstream printed, told;
    cli::RunCli({"batch", Dir + "/client", List, "-o", Dir + "/warm-up"}, printed, told);
  }
  ~TBatchDemo() { std::filesystem::remove_all(Dir); }
};

TBatchDemo& Demo() {
  static TBatchDemo demo;
  return demo;
}

int32_t Cores() { return std::max(1, static_cast<int32_t>(std::thread::hardware_concurrency())); }

void Run(benchmark::State& state, int32_t threads) {
  TBatchDemo& demo = Demo();
  const std::string folder = demo.Dir + "/out" + std::to_string(threads);
  double seconds = 0;
  for (auto _ : state) {
    std::ostringstream printed, told;
    const auto start = std::chrono::steady_clock::now();
    const int code = cli::RunCli(
        {"batch", demo.Dir + "/client", demo.List, "-o", folder, "--jobs", std::to_string(threads)}, printed, told);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (code != 0) {
      state.SkipWithError(told.str().c_str());
      break;
    }
  }
  // By the clock on the wall: the CPU time counts the calling thread alone.
  state.counters["pictures_per_s"] = static_cast<double>(state.iterations()) * kOutfits / seconds;
  state.counters["threads"] = threads;
}

void BatchPng(benchmark::State& state) { Run(state, Cores()); }
void BatchPngOneThread(benchmark::State& state) { Run(state, 1); }

BENCHMARK(BatchPng)->Name("batch_png")->Unit(benchmark::kMillisecond);
BENCHMARK(BatchPngOneThread)->Name("batch_png:one_thread")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varune
