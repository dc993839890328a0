#pragma once
// Exclusive reading of archive directories.
//
// On Windows the game opens its archives without sharing, and the viewer's
// directory read fails while the game runs. Linux has no mandatory share
// modes, and the game (under Wine) takes no advisory locks, so the check is
// made the way `fuser` does it: a file is held when any other process has a
// descriptor on the same device and inode.

#include <string>
#include <vector>

namespace varune {

// The first of `paths` that a process other than this one has open, or an
// empty text. One walk over the processes checks them all, which matters on
// a desktop with thousands of open descriptors. Processes whose descriptors
// cannot be inspected (other users) are not seen; missing files are not held.
std::string FirstOpenedByOtherProcess(const std::vector<std::string>& paths);

inline bool IsOpenedByOtherProcess(const std::string& path) { return !FirstOpenedByOtherProcess({path}).empty(); }

}  // namespace varune
