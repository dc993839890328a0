#pragma once
// Where the game client is. The game runs under Wine on Linux, so the
// launcher's registry entry and the Program Files default are read from the
// Wine prefix. Every folder returned ends in exactly one '/'.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  // Prefixes of game launchers, each looked at for the launcher's entry and
  // then the default install folder, in order, before the file dialog.
  std::vector<std::string> LauncherPrefixes;
  std::function<std::string()> AskUser;  // the file dialog: the chosen file, empty when cancelled; may be empty
};

// The Wine prefix: $WINEPREFIX, else $HOME/.wine; empty when neither is set.
std::string DefaultWinePrefix();
// The other prefixes a player's game may be in, under `Home`: ~/.wine when
// it is not `WinePrefix`, then those of Lutris (~/Games/*), Bottles
// (~/.local/share/bottles/bottles/*, then its Flatpak's), Steam's Proton
// (~/.steam/steam/steamapps/compatdata/*/pfx, then ~/.local/share/Steam's)
// and PlayOnLinux (~/.PlayOnLinux/wineprefix/*): folders that exist, each
// once, by name within each place. A place that cannot be read gives none.
std::vector<std::string> LauncherWinePrefixes(const std::string& Home, const std::string& WinePrefix);
// When both options are on, the client is not looked for at all.
bool ClientLocationSkipped(bool CacheMode, bool DisableCheck);

struct TLocatedClient {
  std::string Folder;            // absolute; empty when no candidate exists
  bool FromCommandLine = false;  // a folder for this run only, never saved as "ClientPath"
};

// The first existing folder of: the command line, the settings, the launcher
// entry, for each launcher prefix its launcher entry then its Program Files
// folders, the file dialog (asked only when none of those exists), then the
// Wine prefix's Program Files, Program Files (x86).
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
