// One cold start for bench_app, in a process of its own, timed from main:
//
//   startup_probe app CLIENT_DIR    varune-wardrobe's whole run on the client
//                                   (--client) until the character view is
//                                   first painted
//   startup_probe load CLIENT_DIR   the database load of the client alone
//
// Prints the milliseconds and ends the process at once; nothing is printed
// when the run fails.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "database/database.h"

namespace {

const auto kStart = std::chrono::steady_clock::now();

[[noreturn]] void ReportAndExit() {
  std::printf("%.3f\n", std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStart).count());
  std::fflush(stdout);
  std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  if (mode == "load") {
    varune::TVaruneDatabase database;
    database.LoadPath(argv[2]);
    ReportAndExit();
  }
  if (mode != "app") return 2;
  char option[] = "--client";
  char* args[] = {argv[0], option, argv[2], nullptr};
  int count = 3;
  return varune::app::RunProgram(count, args, ReportAndExit);
}
