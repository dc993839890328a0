#include "archive/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "archive/error.h"
#include "archive/file_share.h"

namespace varune {
namespace {

constexpr char kRandomPart[] = "XXXXXX";
// As many links as the kernel follows in one path before it gives up.
constexpr int kMaxLinkHops = 40;

// The folder of `Path` with its separator ("./" for a bare name) and the name.
std::pair<std::string, std::string> SplitPath(const std::string& Path) {
  const size_t slash = Path.find_last_of('/');
  if (slash == std::string::npos) return {"./", Path};
  return {Path.substr(0, slash + 1), Path.substr(slash + 1)};
}

// ".NAME.": what every temporary file of `Name` starts with.
std::string TemporaryPrefix(const std::string& Name) { return "." + Name + "."; }

// The process's file creation mask, read once. umask() reads it only by
// setting it, and two threads doing that at once could leave it at 0 for
// good; the initialisation of a static runs on one thread only.
mode_t CreationMask() {
  static const mode_t mask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
  }();
  return mask;
}

// Where a write to `Path` lands: the last target of a chain of symbolic
// links, or `Path` itself when it is no link. Raises varune::Error for a
// chain that never ends.
std::string LinkTarget(std::string Path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info;
    if (::lstat(Path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return Path;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(Path, error);
    if (error) return Path;
    Path = target.is_absolute() ? target.string() : SplitPath(Path).first + target.string();
  }
  throw Error(Sprintf("%s を書き込めません: %s", Path.c_str(), std::strerror(ELOOP)));
}

}  // namespace

TAtomicFile::TAtomicFile(std::string Path, TReplaceMode Mode)
    : FPath(std::move(Path)), FRights(0666 & ~CreationMask()) {
  if (Mode == rmUsersFile) {
    FPath = LinkTarget(FPath);
    struct stat info;
    if (::stat(FPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      // No write bit at all is a file protected by its owner, whoever runs us.
      if ((info.st_mode & 0222) == 0 || ::access(FPath.c_str(), W_OK) != 0) Fail(EACCES);
      FRights = info.st_mode & 0777;
    }
  }
  const auto [folder, name] = SplitPath(FPath);
  FTemporary = folder + TemporaryPrefix(name) + kRandomPart;
  FHandle = ::mkstemp(FTemporary.data());
  if (FHandle < 0) {
    FTemporary.clear();
    Fail(errno);
  }
}

TAtomicFile::~TAtomicFile() {
  if (FHandle >= 0) ::close(FHandle);
  if (!FCommitted && !FTemporary.empty()) ::unlink(FTemporary.c_str());
}

void TAtomicFile::Fail(int Errno) {
  if (FHandle >= 0) ::close(FHandle);
  FHandle = -1;
  if (!FTemporary.empty()) ::unlink(FTemporary.c_str());
  FTemporary.clear();
  throw Error(Sprintf("%s を書き込めません: %s", FPath.c_str(), std::strerror(Errno)));
}

void TAtomicFile::Write(const void* Data, size_t Size) {
  const char* at = static_cast<const char*>(Data);
  while (Size > 0) {
    const ssize_t written = ::write(FHandle, at, Size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) Fail(written < 0 ? errno : ENOSPC);
    at += written;
    Size -= static_cast<size_t>(written);
  }
}

void TAtomicFile::Commit() {
  // mkstemp makes the file private.
  if (::fchmod(FHandle, FRights) != 0 || ::fsync(FHandle) != 0) Fail(errno);
  const int handle = std::exchange(FHandle, -1);
  if (::close(handle) != 0 || ::rename(FTemporary.c_str(), FPath.c_str()) != 0) Fail(errno);
  FCommitted = true;
}

void WriteFilesTogether(const std::vector<TFileContents>& Files) {
  std::vector<std::unique_ptr<TAtomicFile>> written;
  for (const TFileContents& file : Files) {
    written.push_back(std::make_unique<TAtomicFile>(file.Path));
    written.back()->Write(file.Bytes.data(), file.Bytes.size());
  }
  for (const auto& file : written) file->Commit();
}

void RemoveStaleTemporaries(const std::string& Path) {
  namespace fs = std::filesystem;
  const auto [folder, name] = SplitPath(Path);
  const std::string prefix = TemporaryPrefix(name);
  std::vector<std::string> stale;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() == prefix.size() + std::strlen(kRandomPart) && entry.starts_with(prefix))
      stale.push_back(folder + entry);
  }
  for (const std::string& file : stale)
    if (!IsOpenedByOtherProcess(file)) ::unlink(file.c_str());
}

}  // namespace varune
