#include "archive/file_share.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace varune {
namespace {

bool IsNumber(const char* name) {
  if (*name == '\0') return false;
  for (; *name; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

struct TFileId {
  dev_t Device;
  ino_t Inode;
};

// The lowest index in `targets` of a file a descriptor in /proc/PID/fd refers
// to, or -1.
int ProcessHolds(int procDir, const char* pid, const std::vector<TFileId>& targets) {
  const std::string fdPath = std::string(pid) + "/fd";
  const int fdDir = ::openat(procDir, fdPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fdDir < 0) return -1;
  DIR* fds = ::fdopendir(fdDir);
  if (!fds) {
    ::close(fdDir);
    return -1;
  }
  int held = -1;
  while (const dirent* entry = ::readdir(fds)) {
    if (!IsNumber(entry->d_name)) continue;
    struct stat info;
    // Following the descriptor's link gives the open file's own identity.
    // A process that refuses one descriptor refuses them all: it is skipped.
    if (::fstatat(fdDir, entry->d_name, &info, 0) != 0) {
      if (errno == EACCES || errno == EPERM) break;
      continue;
    }
    for (size_t i = 0; i < targets.size(); ++i)
      if (info.st_dev == targets[i].Device && info.st_ino == targets[i].Inode && (held < 0 || int(i) < held))
        held = static_cast<int>(i);
  }
  ::closedir(fds);
  return held;
}

}  // namespace

std::string FirstOpenedByOtherProcess(const std::vector<std::string>& paths) {
  std::vector<TFileId> targets;
  std::vector<size_t> pathOf;
  for (size_t i = 0; i < paths.size(); ++i) {
    struct stat info;
    if (::stat(paths[i].c_str(), &info) != 0) continue;
    targets.push_back({info.st_dev, info.st_ino});
    pathOf.push_back(i);
  }
  if (targets.empty()) return {};
  const int procDir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procDir < 0) return {};
  DIR* processes = ::fdopendir(procDir);
  if (!processes) {
    ::close(procDir);
    return {};
  }
  const std::string self = std::to_string(::getpid());
  // The lowest index held by any process, so the answer names the first path.
  int first = -1;
  while (const dirent* entry = ::readdir(processes)) {
    if (!IsNumber(entry->d_name) || self == entry->d_name) continue;
    const int held = ProcessHolds(procDir, entry->d_name, targets);
    if (held >= 0 && (first < 0 || held < first)) first = held;
  }
  ::closedir(processes);
  return first < 0 ? std::string() : paths[pathOf[static_cast<size_t>(first)]];
}

}  // namespace varune
