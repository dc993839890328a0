#pragma once
// Writing what a picture request asks for, of a character already dressed:
// one file, every frame's file, a sprite sheet with its data, or a sheet of
// variations. The command line and the desktop program's export both end
// here, so that a request means the same files wherever it is made.

#include <string>
#include <vector>

#include "character/chara.h"
#include "viewer/export.h"
#include "viewer/picture_request.h"
#include "viewer/view.h"

namespace varune {

// `Target` is the file, or for every frame's file the folder (the files are
// named FrameBaseName_000.png...). For a sheet of variations, `DataFile` is
// where its data goes (empty: none); a sprite sheet's data always goes
// beside it. Returns the files written, in order. The request must have
// passed Check.
std::vector<std::string> WritePicture(const TPictureRequest& Request, const TCharaView& View, const TChara& Chara,
                                      const std::string& Target, const std::string& DataFile = "",
                                      const TExportProgress& Progress = {});

}  // namespace varune
