#pragma once
// What the desktop program settles before its first window: the program's
// folders, the client folder found, and the options of the settings file's
// "Data" section that decide whether the client is looked for at all.

#include <string>

namespace varune {

inline constexpr char kAppTitle[] = "Varune Wardrobe";
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
// AppDir is the executable's folder; a non-empty `AppDirOverride` (the
// VARUNE_APPDIR variable) replaces it.
TAppFolders AppFoldersFor(const std::string& ExecutablePath, const char* AppDirOverride);
// The running program's path; raises varune::Error when it cannot be read.
std::string ExecutablePath();

// Set once at start from AppFoldersFor(ExecutablePath(), getenv("VARUNE_APPDIR"));
// tests set their own.
void InitAppFolders(const TAppFolders& Folders);
const std::string& AppDir();
const std::string& CacheDir();
const std::string& SettingsFileName();

// The client folder found at start, with trailing '/'; empty when the lookup was skipped.
const std::string& ClientDir();
void SetClientDir(const std::string& Dir);

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
// as a whole. Raises varune::Error when it cannot be written.
void WriteClientPath(const std::string& Path);

}  // namespace varune
