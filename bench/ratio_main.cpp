// Benchmark main that prints, after the usual table, the ratio of every
// measured subject to its peer. A peer is registered under the subject's name
// followed by ":" and the peer's name ("table_load" and "table_load:memcpy");
// the ratio is subject time / peer time, so below 1 means we are faster.
// Register both with the same time unit.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        seconds_[Subject(run.benchmark_name())] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nratios (ours / peer, same run):\n");
    for (const auto& [name, time] : seconds_) {
      const size_t colon = name.find(':');
      if (colon == std::string::npos) continue;
      const std::string subject = name.substr(0, colon);
      const auto ours = seconds_.find(subject);
      if (ours == seconds_.end() || time <= 0) continue;
      std::printf("  %-40s %-10s %8.3f\n", subject.c_str(), name.substr(colon + 1).c_str(), ours->second / time);
    }
  }

 private:
  // The name without the settings the library appends ("cold_start/min_time:2.000/manual_time").
  static std::string Subject(const std::string& name) { return name.substr(0, name.find('/')); }

  std::map<std::string, double> seconds_;  // in the reporter's time unit
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
