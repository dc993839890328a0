#pragma once
// The background pictures offered beside the colour: the BMP files of one folder.

#include <string>
#include <vector>

namespace varune {

struct TBackgroundEntry {
  std::string Name;      // the file name without its extension, shown in the list
  std::string FileName;  // the full path
};

// The files of `Folder` (a link to a file counts, a folder never) whose
// extension is ".bmp" in any case, sorted by name so that the list does not
// depend on the file system's order. A missing or unreadable folder has none.
std::vector<TBackgroundEntry> ListBackgrounds(const std::string& Folder);

}  // namespace varune
