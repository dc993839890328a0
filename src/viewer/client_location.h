#pragma once
// Where the game client is. The game runs under Wine on Linux, so the
// launcher's registry entry and the Program Files default are read from the
// Wine prefix. Every folder returned ends in exactly one '/'.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varune {

// Texts shown by the caller, exactly as given (Japanese in every language).
inline constexpr char kClientDialogTitle[] = "VaruneClient.exeの場所を指定して下さい";
inline constexpr char kClientDialogFilter[] = "VaruneClient.exe";  // the only file name the dialog shows
inline constexpr char kClientDialogDefaultSuffix[] = "exe";
inline constexpr char kClientNotFoundMessage[] = "クライアントが見つかりません\r\n終了します";

struct TClientSearch {
  std::string CommandLine;               // --client, empty when not given
  std::string SettingsPath;              // "ClientPath"
  std::string WinePrefix;                // the prefix folder; empty: no Wine candidates
  std::function<std::string()> AskUser;  // the file dialog: the chosen file, empty when cancelled; may be empty
};

// The Wine prefix: $WINEPREFIX, else $HOME/.wine; empty when neither is set.
std::string DefaultWinePrefix();
// When both options are on, the client is not looked for at all.
bool ClientLocationSkipped(bool CacheMode, bool DisableCheck);

struct TLocatedClient {
  std::string Folder;            // absolute; empty when no candidate exists
  bool FromCommandLine = false;  // a folder for this run only, never saved as "ClientPath"
};

// The first existing folder of: the command line, the settings, the launcher
// entry, the file dialog (asked only when the launcher entry names no existing
// folder), Program Files, Program Files (x86).
TLocatedClient LocateClient(const TClientSearch& Search);

// The launcher entry's folder mapped into the prefix, or empty. Its existence
// is not tested.
std::string LauncherClientFolder(const std::string& WinePrefix);

// A string value (plain or expandable) of a key in a Wine registry file; key
// and value names compare without case. nullopt when absent, of another type,
// or not valid text. Reads line by line and keeps no line longer than needed
// for a path, so any file is safe to read.
std::optional<std::string> ReadWineRegistryString(const std::string& RegFile, std::string_view Key,
                                                  std::string_view ValueName);

}  // namespace varune
