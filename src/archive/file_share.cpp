#include "archive/file_share.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Whether any descriptor in /proc/PID/fd refers to the given file.
bool ProcessHolds(int procDir, const char* pid, const struct stat& target) {
  const std::string fdPath = std::string(pid) + "/fd";
  const int fdDir = ::openat(procDir, fdPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fdDir < 0) return false;
  DIR* fds = ::fdopendir(fdDir);
  if (!fds) {
    ::close(fdDir);
    return false;
  }
  bool holds = false;
  while (const dirent* entry = ::readdir(fds)) {
    if (!IsNumber(entry->d_name)) continue;
    struct stat info;
    // Following the descriptor's link gives the open file's own identity.
    if (::fstatat(fdDir, entry->d_name, &info, 0) == 0 && info.st_dev == target.st_dev &&
        info.st_ino == target.st_ino) {
      holds = true;
      break;
    }
  }
  ::closedir(fds);
  return holds;
}

}  // namespace

bool IsOpenedByOtherProcess(const std::string& path) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return false;
  const int procDir = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procDir < 0) return false;
  DIR* processes = ::fdopendir(procDir);
  if (!processes) {
    ::close(procDir);
    return false;
  }
  const std::string self = std::to_string(::getpid());
  bool held = false;
  while (const dirent* entry = ::readdir(processes)) {
    if (!IsNumber(entry->d_name) || self == entry->d_name) continue;
    if (ProcessHolds(procDir, entry->d_name, target)) {
      held = true;
      break;
    }
  }
  ::closedir(processes);
  return held;
}

}  // namespace varune
