#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace varune::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "varune-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

}  // namespace varune::test
