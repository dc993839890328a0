#include "server/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "archive/text.h"

namespace varune::server {

namespace {

std::unique_ptr<TVaruneDatabase> LoadDatabase(const std::string& dir, bool genderFree) {
  auto database = std::make_unique<TVaruneDatabase>();
  database->SetGenderFree(genderFree);
  std::unique_lock names(TCatalogue::NameTablesLock());
  database->LoadPath(dir);
  return database;
}

}  // namespace

std::string HashText(std::string_view Text) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : Text) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

std::string ETagOf(std::string_view Text) {
  return '"' + HashText(Text) + HashText("+" + std::string(Text)) + '"';
}

std::shared_mutex& TCatalogue::NameTablesLock() {
  static std::shared_mutex lock;
  return lock;
}

TCatalogue::TCatalogue(const std::string& Dir) : FDir(Dir) {
  FDatabase = LoadDatabase(Dir, false);
  const std::filesystem::path path = std::filesystem::absolute(Dir).lexically_normal();
  FFolder = (path.has_filename() ? path.filename() : path.parent_path().filename()).string();
  for (const auto& entry : std::filesystem::directory_iterator(Dir)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || !SameTextAscii(entry.path().extension().string(), ".spf")) continue;
    const auto time = entry.last_write_time().time_since_epoch();
    FArchives.push_back(
        {name, entry.file_size(), std::chrono::duration_cast<std::chrono::nanoseconds>(time).count()});
  }
  std::sort(FArchives.begin(), FArchives.end(), [](auto& a, auto& b) { return a.Name < b.Name; });
  std::string identity = FFolder;
  for (const TArchiveFile& file : FArchives)
    identity += '\n' + file.Name + ' ' + std::to_string(file.Size) + ' ' + std::to_string(file.ModifiedNs);
  FIdentity = HashText(identity);
}

const TVaruneDatabase& TCatalogue::GenderFree() const {
  std::call_once(FGenderFreeOnce, [this] { FGenderFree = LoadDatabase(FDir, true); });
  return *FGenderFree;
}

}  // namespace varune::server
