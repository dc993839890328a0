#pragma once
// Archives (.SPF) and the archive set.
//
// An archive keeps its entries' data first and a directory of 140-byte
// records before a 140-byte trailer: the trailer's first word is the
// directory's size, its last word the archive's version. Only the directory
// is held in memory; entries are read on demand, one open per extraction.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/stream.h"
#include "archive/text.h"

namespace varune {

// The five archives of a game client, in the order they are searched.
inline constexpr std::array<const char*, 5> ArchiveFileNames = {
    "AJJIYA.SPF", "BANX.SPF", "BARY.SPF", "ZENNE.SPF", "ROWID.SPF"};

inline constexpr int32_t kSpfRecordSize = 140;
inline constexpr int32_t kSpfTrailerSize = 140;
inline constexpr int32_t kSpfNameSize = 128;

// Whether opening an archive's directory checks that no other process holds
// the file (scExclusive), or relies on a check just made for a whole set.
enum TShareCheck { scExclusive, scAlreadyChecked };

// One directory record.
struct TSpfHeader {
  std::string FileName;  // UTF-8
  int32_t Offset = 0;
  int32_t Size = 0;
  int32_t Unknown = 0;
};

class TSpf {
 public:
  TSpf() = default;
  virtual ~TSpf() = default;
  TSpf(const TSpf&) = delete;
  TSpf& operator=(const TSpf&) = delete;

  // Empties the directory; the file name and version are kept.
  virtual void Clear();

  // Reads the directory of the archive at `AFileName`. Fails while another
  // process holds the file open. The file name changes only on success.
  void LoadFromFile(const std::string& AFileName, TShareCheck Check = scExclusive);
  void LoadFromStream(TStream& Stream);

  // Lowest directory index whose name equals `S` (ASCII letters without
  // case, everything else exactly), or -1. Safe from several threads at once.
  int32_t IndexOf(std::string_view S) const;
  const TSpfHeader& GetItem(int32_t Index) const;

  // Copies entry `Index` into `Stream` at its position, which is restored
  // afterwards; a memory stream is first sized to the entry.
  void SaveToStream(int32_t Index, TStream& Stream) const;
  void SaveToFile(int32_t Index, const std::string& AFileName) const;

  int32_t Version() const { return FVersion; }
  int32_t Count() const { return FCount; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(std::string AFileName) { FFileName = std::move(AFileName); }

 private:
  void BuildNameIndex() const;

  std::string FFileName;
  int32_t FVersion = 0;
  int32_t FCount = 0;
  std::vector<TSpfHeader> FHeaders;
  // Built on the first lookup: name (without case) -> lowest index. The
  // flag is read without the lock once set; the lock only orders the build.
  mutable std::unordered_map<std::string_view, int32_t, CaseInsensitiveHash, CaseInsensitiveEqual> FNameIndex;
  mutable std::atomic<bool> FNameIndexBuilt = false;
  mutable std::mutex FNameIndexLock;
};

// One entry of an archive as a read-only stream, read from the file on
// demand: readers parse an entry without first copying it into memory. Small
// reads come from a buffer, large ones go straight to the caller.
class TSpfEntryStream : public TStream {
 public:
  // Fails like extraction for an index out of range or an entry that lies
  // outside the archive file.
  TSpfEntryStream(const TSpf& Spf, int32_t Index);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return FSize; }

 private:
  static constexpr int64_t kBufferSize = 64 * 1024;

  TFileStream FFile;
  int64_t FOffset = 0;  // of the entry in the archive
  int64_t FSize = 0;
  int64_t FPosition = 0;
  std::vector<uint8_t> FBuffer;
  int64_t FBufferStart = 0;  // entry position of FBuffer[0]
};

// Where one archived file lives. The archive is referred to, not owned.
struct TSpfItemInfo {
  const TSpf* FSpf = nullptr;
  int32_t FIndex = -1;
};

// The archive set: archives in the order they were added, and a cache of
// every name resolved so far (absences included). Name lookups may run on
// several threads at once (a batch export draws on all cores); adding
// archives and Clear may not run beside anything else.
class TSpfManager {
 public:
  TSpfManager() = default;
  ~TSpfManager() { Clear(); }
  TSpfManager(const TSpfManager&) = delete;
  TSpfManager& operator=(const TSpfManager&) = delete;

  // Frees every archive and locator; locators handed out become invalid.
  void Clear();

  // Appends the archive at `AFileName` unless the same path (without case)
  // is already there. Only a fully read archive is added.
  void AddSpf(const std::string& AFileName, TShareCheck Check = scExclusive);

  // Position of `AFileName` in the name index, resolving it first if new.
  // The first archive added that holds the name wins; an absence is
  // remembered, even against archives added later.
  int32_t IndexOf(std::string_view AFileName);

  // The locator of `AFileName`, or null when no archive holds it.
  const TSpfItemInfo* GetItem(std::string_view AFileName);

  int32_t SpfCount() const { return static_cast<int32_t>(FSpfList.size()); }
  const TSpf& Spf(int32_t Index) const { return *FSpfList[Index]; }

 private:
  struct TNameEntry {
    std::string Name;
    std::unique_ptr<TSpfItemInfo> Info;
  };

  // The position and locator of a name, resolving it first if new.
  std::pair<int32_t, const TSpfItemInfo*> Resolve(std::string_view AFileName);

  // Name index, in resolution order, with its lookup by name. Hits share the
  // lock; a miss takes it alone to append.
  std::shared_mutex FListLock;
  std::vector<TNameEntry> FList;
  std::unordered_map<std::string, int32_t, CaseInsensitiveHash, CaseInsensitiveEqual> FListIndex;
  // Archive list in search order, with its lookup by path.
  std::vector<std::unique_ptr<TSpf>> FSpfList;
  std::unordered_map<std::string, int32_t, CaseInsensitiveHash, CaseInsensitiveEqual> FSpfIndex;
};

// The paths of the five archives of the game client in `ClientDir`, in search order.
std::vector<std::string> ClientArchivePaths(const std::string& ClientDir);

// Fails, naming the file, when another process holds any of `Paths` open.
void CheckNotHeld(const std::vector<std::string>& Paths);

// Adds the five archives of the game client in `ClientDir`, in search order,
// checking them for other openers in one pass unless `Check` says the
// caller already knows that nobody else has them.
void AddClientArchives(TSpfManager& Manager, const std::string& ClientDir, TShareCheck Check = scExclusive);

}  // namespace varune
