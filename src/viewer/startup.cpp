#include "viewer/startup.h"

#include <charconv>
#include <filesystem>
#include <optional>

#include "archive/error.h"
#include "viewer/export.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

constexpr char kDataSection[] = "Data";

struct TStartupOptions {
  bool CacheMode;
  bool DisableCheck;
};

TAppFolders FFolders;
std::string FClientDir;
std::optional<TStartupOptions> FStartupOptions;

const TStartupOptions& StartupOptions() {
  if (!FStartupOptions) {
    const TIniFile ini(SettingsFileName());
    FStartupOptions = TStartupOptions{ini.ReadBool(kDataSection, "CacheMode", false),
                                      ini.ReadBool(kDataSection, "DisableCheck", false)};
  }
  return *FStartupOptions;
}

}  // namespace

std::string WithTrailingSlash(std::string Dir) {
  if (Dir.empty()) return Dir;
  while (!Dir.empty() && Dir.back() == '/') Dir.pop_back();
  return Dir + '/';
}

std::string AppVersionNumber() {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, kAppVersion, std::chars_format::fixed, 1);
  return std::string(text, result.ptr);
}

std::string MainWindowCaption() { return std::string(kAppTitle) + " " + AppVersionNumber(); }

TAppFolders AppFoldersFor(const std::string& ExecutablePath, const char* AppDirOverride) {
  const size_t slash = ExecutablePath.find_last_of('/');
  const std::string exeFolder = slash == std::string::npos ? "." : ExecutablePath.substr(0, slash + 1);
  const std::string exeName = slash == std::string::npos ? ExecutablePath : ExecutablePath.substr(slash + 1);
  TAppFolders folders;
  folders.AppDir = WithTrailingSlash(AppDirOverride && *AppDirOverride ? AppDirOverride : exeFolder);
  folders.CacheDir = folders.AppDir + "cache/";
  folders.SettingsFile = folders.AppDir + WithExtension(exeName, ".ini");
  return folders;
}

std::string ExecutablePath() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw Error(Sprintf("プログラムの場所を読めません: %s", error.message().c_str()));
  return path.string();
}

void InitAppFolders(const TAppFolders& Folders) { FFolders = Folders; }
const std::string& AppDir() { return FFolders.AppDir; }
const std::string& CacheDir() { return FFolders.CacheDir; }
const std::string& SettingsFileName() { return FFolders.SettingsFile; }

const std::string& ClientDir() { return FClientDir; }
void SetClientDir(const std::string& Dir) { FClientDir = Dir; }

bool IsCacheMode() { return StartupOptions().CacheMode; }
bool IsDisableCheck() { return StartupOptions().DisableCheck; }
void ResetStartupOptions() { FStartupOptions.reset(); }

std::string ReadClientPath() { return TIniFile(SettingsFileName()).ReadString(kDataSection, "ClientPath", ""); }

void WriteClientPath(const std::string& Path) {
  TIniFile ini(SettingsFileName());
  ini.WriteString(kDataSection, "ClientPath", Path);
  ini.Save();
}

}  // namespace varune
