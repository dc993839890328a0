#pragma once
// Runs varune-cli in-process and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace varune::cli {

struct TCliResult {
  int Code;
  std::string Out;
  std::string Err;
};

inline TCliResult RunCommand(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace varune::cli
