#pragma once
// Exclusive reading of archive directories.
//
// On Windows the game opens its archives without sharing, and the viewer's
// directory read fails while the game runs. Linux has no mandatory share
// modes, and the game (under Wine) takes no advisory locks, so the check is
// made the way `fuser` does it: a file is held when any other process has a
// descriptor on the same device and inode.

#include <string>

namespace varune {

// True when a process other than this one has the file at `path` open.
// Processes whose descriptors cannot be inspected (other users) are not seen.
bool IsOpenedByOtherProcess(const std::string& path);

}  // namespace varune
