#include "viewer/client_cache.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "archive/atomic_file.h"
#include "archive/spf.h"
#include "archive/stream.h"
#include "database/language.h"

namespace varune {
namespace {

constexpr int64_t kCopyChunk = 1 << 20;

bool FileExists(const std::string& Path) {
  std::error_code error;
  return std::filesystem::is_regular_file(Path, error);
}

// The last 4 bytes of a file. A plain read-only open lets the game go on
// reading and writing it, as the shared open it stands for does.
uint32_t ReadVersionWord(const std::string& Path) {
  TFileStream file(Path, TFileStream::fmOpenRead);
  if (file.Size() < 4) throw Error(kMsgReadError);
  file.Seek(-4, soEnd);
  return file.ReadValue<uint32_t>();
}

void Report(const TCacheProgress& Progress, const std::string& Name, int64_t Done, int64_t Total) {
  if (Progress && !Progress(Name, Done, Total)) throw TCacheCancelled();
}

// Copies by way of a temporary file renamed over the copy once complete, not
// by overwriting: a failed, cancelled or interrupted copy leaves the previous
// copy whole, or nothing under the archive's name that a later start would
// load as half an archive. The source's size is taken at the start; a source
// cut short meanwhile fails the copy.
void CopyArchive(const std::string& Source, const std::string& Target, const std::string& Name,
                 const TCacheProgress& Progress) {
  TFileStream source(Source, TFileStream::fmOpenRead);
  const int64_t total = source.Size();
  TAtomicFile target(Target, rmOwnCopy);
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min(total, kCopyChunk)));
  Report(Progress, Name, 0, total);
  for (int64_t done = 0; done < total;) {
    const int64_t count = std::min(total - done, kCopyChunk);
    source.ReadBuffer(chunk.data(), count);
    target.Write(chunk.data(), static_cast<size_t>(count));
    done += count;
    Report(Progress, Name, done, total);
  }
  target.Commit();
}

void MakeCopy(const std::string& Source, const std::string& Target, const std::string& Name,
              const TCacheProgress& Progress) {
  if (!FileExists(Source)) throw Error(LangText("Client application not found.", "クライアントが見つかりません"));
  try {
    CopyArchive(Source, Target, Name, Progress);
  } catch (const TCacheCancelled&) {
    throw;
  } catch (const Error&) {
    throw Error(LangText("Failed to generate cache files.", "キャッシュの生成に失敗しました"));
  }
}

// The update check: a copy whose version differs from the client's is copied
// again. A failure keeps the existing copy; only a cancel goes on.
void RefreshCopy(const std::string& Source, const std::string& Target, const std::string& Name,
                 const TCacheProgress& Progress) {
  try {
    if (ReadVersionWord(Source) != ReadVersionWord(Target)) CopyArchive(Source, Target, Name, Progress);
  } catch (const TCacheCancelled&) {
    throw;
  } catch (const Error&) {
  }
}

}  // namespace

TCacheCancelled::TCacheCancelled() : Error("cache generation cancelled") {}

void GenerateCache(const std::string& ClientDir, const std::string& CacheDir, bool DisableCheck,
                   const TCacheProgress& Progress) {
  std::error_code error;
  // A folder that cannot be made shows as a failed copy.
  std::filesystem::create_directories(CacheDir, error);
  for (const char* name : ArchiveFileNames) {
    const std::string source = ClientDir + name, target = CacheDir + name;
    RemoveStaleTemporaries(target);
    if (!FileExists(target))
      MakeCopy(source, target, name, Progress);
    else if (!DisableCheck)
      RefreshCopy(source, target, name, Progress);
  }
}

}  // namespace varune
