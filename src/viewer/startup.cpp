#include "viewer/startup.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>

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
bool FClientDirForThisRunOnly = false;
bool FSettingsFileWritable = true;
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

TAppFolders AppFoldersFor(const std::string& ExecutablePath, const TFolderChoice& Choice) {
  const size_t slash = ExecutablePath.find_last_of('/');
  const std::string exeFolder = slash == std::string::npos ? "." : ExecutablePath.substr(0, slash + 1);
  const std::string exeName = slash == std::string::npos ? ExecutablePath : ExecutablePath.substr(slash + 1);
  auto set = [](const char* value) { return value && *value; };
  std::string appDir = exeFolder;
  if (set(Choice.AppDirOverride)) {
    appDir = Choice.AppDirOverride;
  } else if (!Choice.ProgramFolderWritable) {
    if (set(Choice.XdgConfigHome) && *Choice.XdgConfigHome == '/')  // a relative one is to be ignored
      appDir = WithTrailingSlash(Choice.XdgConfigHome) + kProgramName;
    else if (set(Choice.Home))
      appDir = WithTrailingSlash(Choice.Home) + ".config/" + kProgramName;
  }
  TAppFolders folders;
  folders.AppDir = WithTrailingSlash(appDir);
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

bool IsWritableFolder(const std::string& Dir) { return ::access(Dir.c_str(), W_OK | X_OK) == 0; }

TAppFolders ProgramAppFolders() {
  const std::string exe = ExecutablePath();
  const TFolderChoice choice{std::getenv("VARUNE_APPDIR"),
                             IsWritableFolder(std::filesystem::path(exe).parent_path().string()),
                             std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")};
  TAppFolders folders = AppFoldersFor(exe, choice);
  if (!(choice.AppDirOverride && *choice.AppDirOverride) && !choice.ProgramFolderWritable) {
    // A folder that cannot be made shows later, as every failed save does.
    std::error_code ignored;
    std::filesystem::create_directories(folders.AppDir, ignored);
  }
  return folders;
}

void InitAppFolders(const TAppFolders& Folders) {
  FFolders = Folders;
  FSettingsFileWritable = true;  // another file, not checked yet
}
const std::string& AppDir() { return FFolders.AppDir; }
const std::string& CacheDir() { return FFolders.CacheDir; }
const std::string& SettingsFileName() { return FFolders.SettingsFile; }

const std::string& ClientDir() { return FClientDir; }
void SetClientDir(const std::string& Dir, bool ForThisRunOnly) {
  FClientDir = Dir;
  FClientDirForThisRunOnly = ForThisRunOnly;
}

std::optional<std::string> ClientPathToSave() {
  if (FClientDirForThisRunOnly) return std::nullopt;
  return FClientDir;
}

std::string CheckSettingsFile() {
  std::string problem = TIniFile(SettingsFileName()).ReadProblem();
  FSettingsFileWritable = problem.empty();
  return problem;
}

bool SettingsFileWritable() { return FSettingsFileWritable; }

bool IsCacheMode() { return StartupOptions().CacheMode; }
bool IsDisableCheck() { return StartupOptions().DisableCheck; }
void ResetStartupOptions() { FStartupOptions.reset(); }

std::string ReadClientPath() { return TIniFile(SettingsFileName()).ReadString(kDataSection, "ClientPath", ""); }

void WriteClientPath(const std::string& Path) {
  if (!FSettingsFileWritable) return;
  TIniFile ini(SettingsFileName());
  ini.WriteString(kDataSection, "ClientPath", Path);
  ini.Save();
}

}  // namespace varune
