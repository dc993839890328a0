// Reading archives and tables, each beside a memcpy of the same bytes.
//
//   directory_read   TSpf::LoadFromStream of a 50,000-entry archive directory
//   name_resolve     10,000 names resolved by a fresh archive set over five
//                    archives of 10,000 entries (the first lookup in each
//                    archive builds its name index); peer: a memcpy of the
//                    five directories
//   table_load       TLdt::LoadFromStream of a 20,000-row, 70-column table

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/spf.h"
#include "archive/spf_writer.h"
#include "formats/ldt.h"
#include "formats/ldt_writer.h"

namespace varune {
namespace {

std::string EntryName(int archive, int i) {
  return "DATA/CHAR/CHARLAYER/LAYER" + std::to_string(archive) + "/SHEET_" + std::to_string(i) + ".PNG";
}

std::vector<uint8_t> ArchiveBytes(int archive, int entries) {
  TSpfWriter writer;
  for (int i = 0; i < entries; ++i) writer.Add(EntryName(archive, i), {});
  return writer.SaveToBytes();
}

void CopyBytes(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> target(bytes.size());
  for (auto _ : state) {
    std::memcpy(target.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

const std::vector<uint8_t>& BigArchive() {
  static const std::vector<uint8_t> bytes = ArchiveBytes(0, 50000);
  return bytes;
}

void DirectoryRead(benchmark::State& state) {
  TMemoryStream stream(BigArchive());
  TSpf spf;
  for (auto _ : state) {
    spf.LoadFromStream(stream);
    benchmark::DoNotOptimize(spf.Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BigArchive().size()));
}
void DirectoryReadMemcpy(benchmark::State& state) { CopyBytes(state, BigArchive()); }

struct TClient {
  std::string Dir;
  std::vector<uint8_t> Directories;
  TClient() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(Dir);
    for (int archive = 0; archive < 5; ++archive) {
      const std::vector<uint8_t> bytes = ArchiveBytes(archive, 10000);
      WriteWholeFile(Dir + "/" + ArchiveFileNames[archive], bytes);
      Directories.insert(Directories.end(), bytes.end() - 140 - 10000 * 140, bytes.end() - 140);
    }
  }
  ~TClient() { std::filesystem::remove_all(Dir); }
};

const TClient& Client() {
  static const TClient client;
  return client;
}

void NameResolve(benchmark::State& state) {
  // Names spread over all five archives, one in ten absent.
  std::vector<std::string> names;
  for (int i = 0; i < 10000; ++i) names.push_back(i % 10 == 9 ? "DATA/MISSING/" + std::to_string(i) : EntryName(i % 5, i));
  for (auto _ : state) {
    state.PauseTiming();
    TSpfManager manager;
    AddClientArchives(manager, Client().Dir);
    state.ResumeTiming();
    for (const std::string& name : names) benchmark::DoNotOptimize(manager.GetItem(name));
  }
}
void NameResolveMemcpy(benchmark::State& state) { CopyBytes(state, Client().Directories); }

const std::vector<uint8_t>& ItemTable() {
  static const std::vector<uint8_t> bytes = [] {
    TLdtWriter writer;
    const int32_t types[] = {1, 2, 3, 3, 2, 3, 4, 3, 2, 3};
    for (int32_t col = 0; col < 70; ++col) writer.AddColumn("_Column" + std::to_string(col), types[col % 10]);
    for (int32_t row = 0; row < 20000; ++row) {
      std::vector<TLdtWriter::TCell> cells;
      for (int32_t col = 0; col < 70; ++col) {
        switch (types[col % 10]) {
          case 1: cells.emplace_back(col == 0 ? "アイテム名 " + std::to_string(row) : std::string(col % 20, 'x')); break;
          case 2: cells.emplace_back(static_cast<uint32_t>(row * col)); break;
          case 3: cells.emplace_back(static_cast<int32_t>(row - col)); break;
          default: cells.emplace_back(row * 0.25f);
        }
      }
      writer.AddRow(row + 1, std::move(cells));
    }
    return writer.SaveToBytes();
  }();
  return bytes;
}

void TableLoad(benchmark::State& state) {
  TMemoryStream stream(ItemTable());
  TLdt table;
  for (auto _ : state) {
    stream.SetPosition(0);
    table.LoadFromStream(stream);
    benchmark::DoNotOptimize(table.RowCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * ItemTable().size()));
}
void TableLoadMemcpy(benchmark::State& state) { CopyBytes(state, ItemTable()); }

BENCHMARK(DirectoryRead)->Name("directory_read")->Unit(benchmark::kMicrosecond);
BENCHMARK(DirectoryReadMemcpy)->Name("directory_read:memcpy")->Unit(benchmark::kMicrosecond);
BENCHMARK(NameResolve)->Name("name_resolve")->Unit(benchmark::kMicrosecond);
BENCHMARK(NameResolveMemcpy)->Name("name_resolve:memcpy")->Unit(benchmark::kMicrosecond);
BENCHMARK(TableLoad)->Name("table_load")->Unit(benchmark::kMicrosecond);
BENCHMARK(TableLoadMemcpy)->Name("table_load:memcpy")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varune
