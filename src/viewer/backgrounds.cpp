#include "viewer/backgrounds.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <tuple>

#include "archive/text.h"

namespace varune {

std::vector<TBackgroundEntry> ListBackgrounds(const std::string& Folder) {
  namespace fs = std::filesystem;
  std::vector<TBackgroundEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(Folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& path = it->path();
    std::error_code statusError;
    if (AsciiLowerCopy(path.extension().string()) != ".bmp" || !it->is_regular_file(statusError)) continue;
    entries.push_back({path.stem().string(), path.string()});
  }
  std::sort(entries.begin(), entries.end(), [](const TBackgroundEntry& A, const TBackgroundEntry& B) {
    return std::tie(A.Name, A.FileName) < std::tie(B.Name, B.FileName);
  });
  return entries;
}

}  // namespace varune
