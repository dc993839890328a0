#pragma once
// What the desktop program settles before its first window: the program's
// folders, the client folder found, and the options of the settings file's
// "Data" section that decide whether the client is looked for at all.

#include <optional>
#include <string>

namespace varune {

inline constexpr char kAppTitle[] = "Varune Wardrobe";
// The executable's name, and the name of its folder in the user's configuration.
inline constexpr char kProgramName[] = "varune-wardrobe";
inline constexpr double kAppVersion = 1.9;

// "1.9": the version with one decimal and a '.' whatever the locale.
std::string AppVersionNumber();
// "Varune Wardrobe 1.9".
std::string MainWindowCaption();

// `Dir` ending in exactly one '/' ("a//" gives "a/", "/" stays "/"); empty stays empty.
std::string WithTrailingSlash(std::string Dir);

struct TAppFolders {
  std::string AppDir;        // with trailing '/'
  std::string CacheDir;      // AppDir + "cache/"
  std::string SettingsFile;  // AppDir + the executable's name with its extension replaced by ".ini"
};
// What decides where the program keeps its files.
struct TFolderChoice {
  const char* AppDirOverride = nullptr;  // VARUNE_APPDIR
  bool ProgramFolderWritable = true;
  const char* XdgConfigHome = nullptr;  // XDG_CONFIG_HOME
  const char* Home = nullptr;           // HOME
};
// AppDir is a non-empty `AppDirOverride`; else the executable's folder while
// it can be written (unpacked by hand, or a build); else, for a program
// installed under /usr, "varune-wardrobe/" in the user's configuration folder
// (an absolute XDG_CONFIG_HOME, or HOME + "/.config").
TAppFolders AppFoldersFor(const std::string& ExecutablePath, const TFolderChoice& Choice = {});
// The running program's path; raises varune::Error when it cannot be read.
std::string ExecutablePath();
// Whether this process may create files in `Dir`.
bool IsWritableFolder(const std::string& Dir);
// The folders of the running program, by its path and environment; the
// configuration folder is created when it is the one chosen.
TAppFolders ProgramAppFolders();

// Set once at start from ProgramAppFolders();
// tests set their own.
void InitAppFolders(const TAppFolders& Folders);
const std::string& AppDir();
const std::string& CacheDir();
const std::string& SettingsFileName();

// The client folder found at start, with trailing '/'; empty when the lookup
// was skipped. One named on the command line is for this run only.
const std::string& ClientDir();
void SetClientDir(const std::string& Dir, bool ForThisRunOnly = false);
// What "ClientPath" is to hold: ClientDir, or nothing (the key keeps what it
// held) when that is for this run only.
std::optional<std::string> ClientPathToSave();

// Run once at start, before the settings file is written: a file that exists
// but cannot be read (no permission, not a file, too large) is left alone
// for the whole run, never replaced by one holding only the program's keys.
// Returns why, for the message at start; empty when the file reads or does
// not exist yet.
std::string CheckSettingsFile();
// False once CheckSettingsFile found the file unreadable.
bool SettingsFileWritable();

// On their first use read "CacheMode" and "DisableCheck" of section "Data"
// together (default false each) and keep both for the rest of the process:
// the options in force never change while the program runs.
bool IsCacheMode();
bool IsDisableCheck();
// For tests: forget the values read, so that the next call reads the file again.
void ResetStartupOptions();

// "ClientPath" of "Data"; empty by default or when the value is not valid text.
std::string ReadClientPath();
// Writes "ClientPath" of "Data", keeping every other key; the file is replaced
// as a whole. Raises varune::Error when it cannot be written; does nothing
// while the file is left alone (SettingsFileWritable).
void WriteClientPath(const std::string& Path);

}  // namespace varune
