#pragma once
// The client the service answers from: loaded once, then only read, and
// replaced as a whole on reload while requests in flight keep theirs.

#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "database/database.h"

namespace varune::server {

struct TArchiveFile {
  std::string Name;
  uint64_t Size = 0;
  int64_t ModifiedNs = 0;
};

class TCatalogue {
 public:
  // Raises varune::Error when the client does not load.
  explicit TCatalogue(const std::string& Dir);

  const TVaruneDatabase& Database() const { return *FDatabase; }
  TVaruneDatabase& MutableDatabase() const { return *FDatabase; }  // its caches fill while drawing
  // The same client with gender-restricted equipment listed for both
  // genders, loaded on first use.
  const TVaruneDatabase& GenderFree() const;

  const std::string& Folder() const { return FFolder; }
  const std::vector<TArchiveFile>& Archives() const { return FArchives; }
  // Hex of the folder's name and its archives' sizes and times.
  const std::string& Identity() const { return FIdentity; }

  // Loading a client rewrites the process's job and gender names, which
  // cards and selectors read: loads hold this uniquely, readers shared.
  static std::shared_mutex& NameTablesLock();

 private:
  std::string FDir;
  std::string FFolder;
  std::vector<TArchiveFile> FArchives;
  std::string FIdentity;
  std::unique_ptr<TVaruneDatabase> FDatabase;
  mutable std::once_flag FGenderFreeOnce;
  mutable std::unique_ptr<TVaruneDatabase> FGenderFree;
};

// 64-bit FNV-1a, as hex: stable across runs, for ETags.
std::string HashText(std::string_view Text);
// A strong ETag of `Text`: two such hashes, quoted.
std::string ETagOf(std::string_view Text);

}  // namespace varune::server
