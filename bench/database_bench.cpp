// Loading a client of the real game's size, beside reading the same archive
// bytes from disk in the same run.
//
//   database_load   TVaruneDatabase::LoadPath of 20,000 items over both item
//                   tables, 600 beauty-shop rows, 52 jobs x 4 motion types,
//                   40 sprite tables of 200 items with 20 cells, 10,000
//                   global strings; counters: page faults per load, heap the
//                   database keeps, and the peak resident size of a process
//                   that only loads

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "database/client_writer.h"
#include "database/database.h"
#include "formats/tbl_writer.h"

namespace varune {
namespace {

struct TLargeClient {
  std::string Dir;

  TLargeClient() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-db-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(Dir);
    TClientWriter client;
    std::vector<TItemRow> items[2];
    for (int32_t i = 0; i < 20000; ++i) {
      TItemRow row;
      row.ID = 100000 + i;
      row.Type = i % 25 == 0 ? 2 : 1;
      row.SubType = 1 + i % 2;
      row.PosID1 = 1 + i % 16;
      row.Category = row.Type == 2 ? 1301 : 100 + i % 40;
      row.Num = i / 40;
      row.ColorID = i % 7;
      row.Name = "アイテム名その" + std::to_string(i);
      row.Description = "説明文です。装備すると強くなります。" + std::to_string(i);
      row.Icon = 1 + i % 30;
      row.IconIndex = i % 256;
      row.Requires[0] = {1, 1, std::to_string((int64_t{1} << (i % 52)) | 1), "0"};
      row.Requires[1] = {1, 2, std::to_string(i % 3), "0"};
      row.Statuses[0] = {i % 20, i % 100};
      items[i % 2].push_back(std::move(row));
    }
    client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(items[0]));
    client.Add("DATA/LDT/ITEM_2.LDT", WriteItemTable(items[1]));

    std::vector<TBasicRow> basics;
    for (int32_t i = 0; i < 600; ++i)
      basics.push_back({i + 1, 0, 0, 1 + i % 5, "ヘアスタイル" + std::to_string(i), 0, 130100000 + i * 100});
    client.Add("DATA/LDT/BEAUTY_SHOP.LDT", WriteBeautyShopTable(basics));

    std::vector<TMotionRow> motions;
    for (int32_t job = 1; job <= 52; ++job)
      for (int32_t type = 1; type <= 4; ++type) {
        TMotionRow row{job * 1000 + type, {}};
        for (int32_t kind = 0; kind < atEmotIcon; ++kind) row.Animations[kind] = "ANIM_" + std::to_string(kind);
        motions.push_back(std::move(row));
      }
    client.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable(motions));

    std::vector<std::pair<int32_t, std::string>> strings;
    for (int32_t i = 0; i < 10000; ++i) strings.emplace_back(1000000 + i, "グローバル文字列 " + std::to_string(i));
    client.Add("DATA/LDT/GLOBAL_STRING.LDT", WriteTextTable("_STRING", strings));

    std::vector<std::string> manifest;
    for (int32_t t = 0; t < 40; ++t) {
      std::vector<TTblItemData> tblItems;
      for (int32_t i = 0; i < 200; ++i) {
        TTblItemData item{20, Sprintf("%.2d_%.4d_%.3d_%.2d", t % 35 + 1, 100 + i % 40, i, t), {}};
        for (int32_t cell = 0; cell < 20; ++cell) {
          TTblImage image;
          image.ID = cell;
          image.Rect = {cell * 40, 0, cell * 40 + 40, 60};
          image.FileName = "SHEET_" + std::to_string(i % 10) + ".PNG";
          item.Images.push_back(image);
        }
        tblItems.push_back(std::move(item));
      }
      const std::string name = "LAYER" + std::to_string(t) + "/CHAR.TBL";
      manifest.push_back(name);
      client.Add("DATA/CHAR/CHARLAYER/" + name, WriteTbl(0, tblItems), t % 4);
    }
    client.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", WriteMft(TMftHeader{}, manifest), 0);
    client.AddMinimalTables();
    client.Write(Dir);
  }
  ~TLargeClient() { std::filesystem::remove_all(Dir); }
};

const TLargeClient& Client() {
  static const TLargeClient client;
  return client;
}

// Peak resident size of a child process that does nothing but load.
double PeakLoadMiB() {
  const pid_t child = ::fork();
  if (child == 0) {
    TVaruneDatabase database;
    database.LoadPath(Client().Dir);
    ::_exit(0);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  return usage.ru_maxrss / 1024.0;
}

void DatabaseLoad(benchmark::State& state) {
  const std::string& dir = Client().Dir;
  // Measured once, before any timed load: after a fork every page of this
  // process is copy-on-write, and the first write to each would be timed.
  static const double peak = PeakLoadMiB();
  size_t kept = 0;
  struct rusage start {};
  ::getrusage(RUSAGE_SELF, &start);
  for (auto _ : state) {
    const size_t before = ::mallinfo2().uordblks;
    auto database = std::make_unique<TVaruneDatabase>();
    database->LoadPath(dir);
    kept = ::mallinfo2().uordblks - before;
    benchmark::DoNotOptimize(database->ItemList().Count());
    // Only the load is measured, not the freeing of the previous database.
    state.PauseTiming();
    database.reset();
    state.ResumeTiming();
  }
  struct rusage end {};
  ::getrusage(RUSAGE_SELF, &end);
  state.counters["faults"] = static_cast<double>(end.ru_minflt - start.ru_minflt) / state.iterations();
  state.counters["heap_MiB"] = static_cast<double>(kept) / (1 << 20);
  state.counters["peak_rss_MiB"] = peak;
}

void DatabaseLoadRead(benchmark::State& state) {
  const std::string& dir = Client().Dir;
  size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const char* name : ArchiveFileNames) bytes += ReadWholeFile(dir + "/" + name).size();
  }
  state.counters["archive_MiB"] = static_cast<double>(bytes) / (1 << 20);
}

BENCHMARK(DatabaseLoad)->Name("database_load")->Unit(benchmark::kMillisecond);
BENCHMARK(DatabaseLoadRead)->Name("database_load:read")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varune
