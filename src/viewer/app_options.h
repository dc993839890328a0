#pragma once
// The command line of varune-wardrobe.

#include <string>
#include <vector>

namespace varune {

struct TAppOptions {
  std::string Client;    // --client DIR or --client=DIR
  std::string Outfit;    // --outfit CODE, or an outfit link ("varune:outfit/CODE") given alone; not yet read
  bool Help = false;     // --help or -h
  bool Version = false;  // --version
};

// `Args` without the program name. Arguments that start with a single '-'
// (other than -h) belong to Qt and are skipped, with the value of those Qt
// options that take one ("-platform offscreen"), so that the line can be read
// before QApplication exists (--help needs no display). A missing value,
// an unknown "--" option or any other argument but a "varune:" link raises
// varune::Error with a one-line message.
TAppOptions ParseAppOptions(const std::vector<std::string>& Args);

// The --help text: usage line, one line per option, a line on VARUNE_APPDIR.
std::string AppUsageText();
// "varune-wardrobe 1.9".
std::string AppVersionText();

}  // namespace varune
