#include "viewer/app_options.h"

#include <string_view>

#include "archive/error.h"
#include "archive/text.h"
#include "viewer/startup.h"

namespace varune {
namespace {

constexpr std::string_view kClientAssignment = "--client=";
// Qt's own options that take the next argument as their value.
constexpr std::string_view kQtValueOptions[] = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                                "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-display",
                                                "-geometry", "-style", "-stylesheet", "-session"};

bool TakesQtValue(std::string_view Arg) {
  for (std::string_view option : kQtValueOptions)
    if (Arg == option) return true;
  return false;
}

}  // namespace

TAppOptions ParseAppOptions(const std::vector<std::string>& Args) {
  TAppOptions options;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string_view arg = Args[i];
    if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--version") {
      options.Version = true;
    } else if (arg == "--client" || arg.starts_with(kClientAssignment)) {
      if (arg == "--client") options.Client = i + 1 < Args.size() ? Args[++i] : "";
      else options.Client = arg.substr(kClientAssignment.size());
      if (options.Client.empty()) throw Error("option --client needs a folder");
    } else if (arg == "--outfit") {
      options.Outfit = i + 1 < Args.size() ? Args[++i] : "";
      if (options.Outfit.empty()) throw Error("option --outfit needs an outfit code");
    } else if (arg.starts_with("--")) {
      throw Error(Sprintf("unknown option %s (see --help)", Args[i].c_str()));
    } else if (SameTextAscii(arg.substr(0, 7), "varune:")) {
      options.Outfit = arg;  // a link clicked in a browser or a chat
    } else if (!arg.starts_with('-')) {
      throw Error(Sprintf("unexpected argument %s (see --help)", Args[i].c_str()));
    } else if (TakesQtValue(arg)) {
      ++i;
    }
  }
  return options;
}

std::string AppUsageText() {
  return std::string("usage: ") + kProgramName +
         " [--client DIR] [--outfit CODE | varune:outfit/CODE] [-h | --help] [--version]\n"
         "  --client DIR   the game client folder, tried before the saved one and the installed one\n"
         "  --outfit CODE  start wearing the outfit of an outfit code; an outfit link (varune:outfit/CODE) does the\n"
         "                 same, and is handed to the program already running, if one is\n"
         "  -h, --help     show this help and exit\n"
         "  --version      show the version and exit\n"
         "The settings file, save.dat, fav.dat, cache/ and bg/ live beside the program while its folder can be\n"
         "written, else in $XDG_CONFIG_HOME/varune-wardrobe/ (~/.config/varune-wardrobe/); VARUNE_APPDIR, when set,\n"
         "names another folder.\n";
}

std::string AppVersionText() { return std::string(kProgramName) + " " + AppVersionNumber(); }

}  // namespace varune
