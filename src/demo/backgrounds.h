#pragma once
// Background pictures for the desktop program's character view, drawn by
// code: a sky, a meadow and a night, each the size of the large view.

#include <string>
#include <vector>

namespace varune::demo {

// Writes "Sky.bmp", "Meadow.bmp" and "Night.bmp" into `Dir` (created when
// missing); returns their paths.
std::vector<std::string> WriteDemoBackgrounds(const std::string& Dir);

}  // namespace varune::demo
