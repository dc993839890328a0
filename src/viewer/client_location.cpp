#include "viewer/client_location.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "archive/text.h"
#include "viewer/startup.h"
#include "viewer/utf8_text.h"

namespace varune {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLauncherKeys[] = {"Software\\Mirel Soft\\VaruneLauncher",
                                         "Software\\Wow6432Node\\Mirel Soft\\VaruneLauncher"};
constexpr char kLauncherValue[] = "Excutable";  // spelled so by the launcher
constexpr const char* kProgramFilesFolders[] = {"Program Files", "Program Files (x86)"};
constexpr char kClientSubfolder[] = "Tovenar/Varune";

// Enough for the longest Windows path with every character escaped as \xHHHH.
constexpr size_t kMaxRegistryLine = 256 << 10;

// The lines of a regular file without their line ends. A line longer than
// kMaxRegistryLine is passed over whole, so memory stays bounded.
class TLineReader {
 public:
  explicit TLineReader(const std::string& FileName) {
    std::error_code error;
    // Only regular files: a pipe would block the open, a device never ends.
    if (fs::is_regular_file(FileName, error)) FFile.reset(std::fopen(FileName.c_str(), "rb"));
  }

  // False at the end of the file.
  bool Next(std::string& Line) {
    if (!FFile) return false;
    for (;;) {
      Line.clear();
      bool tooLong = false;
      int c;
      while ((c = std::getc(FFile.get())) != EOF && c != '\n') {
        if (Line.size() < kMaxRegistryLine) Line += static_cast<char>(c);
        else tooLong = true;
      }
      if (c == EOF && Line.empty()) return false;
      if (!tooLong) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        return true;
      }
      if (c == EOF) return false;
    }
  }

 private:
  struct TCloser {
    void operator()(std::FILE* File) const { std::fclose(File); }
  };
  std::unique_ptr<std::FILE, TCloser> FFile;
};

// UTF-8 text from a registry string's raw bytes and the UTF-16 code units its
// escapes stand for; a surrogate pair spelled as two escapes is one character.
class TRegistryText {
 public:
  bool AddByte(char Byte) {
    if (FHigh != 0) return false;
    FText += Byte;
    return true;
  }
  bool AddUnit(char32_t Unit) {
    const bool high = Unit >= 0xD800 && Unit <= 0xDBFF;
    const bool low = Unit >= 0xDC00 && Unit <= 0xDFFF;
    if (FHigh != 0) {
      if (!low) return false;
      AppendUtf8(FText, 0x10000 + ((FHigh - 0xD800) << 10) + (Unit - 0xDC00));
      FHigh = 0;
    } else if (high) {
      FHigh = Unit;
    } else if (low) {
      return false;
    } else {
      AppendUtf8(FText, Unit);
    }
    return true;
  }
  std::optional<std::string> Finish() {
    if (FHigh != 0 || !IsValidUtf8Text(FText)) return std::nullopt;
    return std::move(FText);
  }

 private:
  std::string FText;
  char32_t FHigh = 0;
};

// Up to `MaxDigits` digits of `Base` at `Pos`; false when there is none.
bool ReadCodeUnit(std::string_view Line, size_t& Pos, int Base, size_t MaxDigits, char32_t& Unit) {
  const char* first = Line.data() + Pos;
  uint32_t value = 0;
  const auto result = std::from_chars(first, first + std::min(MaxDigits, Line.size() - Pos), value, Base);
  Pos += static_cast<size_t>(result.ptr - first);
  Unit = value;
  return result.ec == std::errc();
}

// The text from `Pos` up to the unescaped `Close`, escapes decoded; `Pos` ends
// after `Close`. nullopt for a bad escape, a lone surrogate, a NUL, invalid
// UTF-8 or a missing `Close`.
std::optional<std::string> ReadEscaped(std::string_view Line, size_t& Pos, char Close) {
  TRegistryText text;
  while (Pos < Line.size()) {
    const char c = Line[Pos++];
    if (c == Close) return text.Finish();
    if (c != '\\') {
      if (!text.AddByte(c)) return std::nullopt;
      continue;
    }
    if (Pos >= Line.size()) return std::nullopt;
    const char escape = Line[Pos++];
    char32_t unit;
    if (escape == '\\' || escape == '"') unit = static_cast<char32_t>(escape);
    else if (escape == 'n') unit = '\n';
    else if (escape == 'r') unit = '\r';
    else if (escape == 't') unit = '\t';
    else if (escape == 'x') {
      if (!ReadCodeUnit(Line, Pos, 16, 4, unit)) return std::nullopt;
    } else if (escape >= '0' && escape <= '7') {
      ReadCodeUnit(Line, --Pos, 8, 3, unit);
    } else {
      return std::nullopt;
    }
    if (!text.AddUnit(unit)) return std::nullopt;
  }
  return std::nullopt;
}

std::string_view TrimLeft(std::string_view Text) {
  const size_t start = Text.find_first_not_of(" \t");
  return start == std::string_view::npos ? std::string_view() : Text.substr(start);
}

// The data of a string value: "...", str:"..." (plain) or str(2):"..." (expandable, kept unexpanded).
std::optional<std::string> ParseStringData(std::string_view Data) {
  for (const std::string_view tag : {"\"", "str:\"", "str(2):\""}) {
    if (!Data.starts_with(tag)) continue;
    size_t pos = tag.size();
    std::optional<std::string> text = ReadEscaped(Data, pos, '"');
    if (!TrimLeft(Data.substr(pos)).empty()) return std::nullopt;
    return text;
  }
  return std::nullopt;
}

bool IsFolder(const fs::path& Path) {
  std::error_code error;
  return !Path.empty() && fs::is_directory(Path, error);
}

// `Dir` as the client folder when it names an existing folder, else empty. The
// folder is made absolute: it is saved in the settings and must hold from any
// working folder.
std::string ExistingFolder(const std::string& Dir) {
  std::error_code error;
  if (!IsFolder(Dir)) return {};
  const fs::path absolute = fs::absolute(Dir, error);
  return WithTrailingSlash(error ? Dir : absolute.string());
}

std::string FolderOfFile(const std::string& FileName) {
  const size_t slash = FileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : FileName.substr(0, slash + 1);
}

// The entry of `Folder` named `Name`, or one whose name differs only in case,
// as Windows names compare; `Name` itself when there is neither.
std::string EntryName(const fs::path& Folder, const std::string& Name) {
  std::error_code error;
  if (Name == "." || Name == ".." || fs::exists(Folder / Name, error)) return Name;
  for (fs::directory_iterator it(Folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (SameTextAscii(entry, Name)) return entry;
  }
  return Name;
}

// The Linux path of a Windows folder ("C:\Games\Varune\") in the prefix: the
// drive through dosdevices/, then each name. Empty without a known drive.
std::string WineFolder(const std::string& WinePrefix, std::string_view WindowsDir) {
  const bool drive = WindowsDir.size() >= 2 && WindowsDir[1] == ':' &&
                     AsciiLower(WindowsDir[0]) >= 'a' && AsciiLower(WindowsDir[0]) <= 'z';
  if (!drive) return {};
  fs::path path = fs::path(WinePrefix) / "dosdevices" / std::string{AsciiLower(WindowsDir[0]), ':'};
  if (!IsFolder(path)) return {};
  std::string_view rest = WindowsDir.substr(2);
  while (!rest.empty()) {
    const size_t separator = rest.find_first_of("\\/");
    const std::string name(rest.substr(0, separator));
    if (!name.empty()) path /= EntryName(path, name);
    rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
  }
  return WithTrailingSlash(path.string());
}

}  // namespace

std::string DefaultWinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
  if (const char* home = std::getenv("HOME"); home && *home) return (fs::path(home) / ".wine").string();
  return {};
}

bool ClientLocationSkipped(bool CacheMode, bool DisableCheck) { return CacheMode && DisableCheck; }

std::vector<std::string> LauncherWinePrefixes(const std::string& Home, const std::string& WinePrefix) {
  if (Home.empty()) return {};
  const fs::path home(Home);
  std::vector<std::string> prefixes;
  std::vector<fs::path> seen;  // ~/.steam/steam is often a link to ~/.local/share/Steam
  const auto add = [&](const fs::path& prefix) {
    std::error_code error;
    const fs::path real = fs::canonical(prefix, error);
    if (error || !IsFolder(real) || std::find(seen.begin(), seen.end(), real) != seen.end()) return;
    if (std::error_code same; !WinePrefix.empty() && fs::equivalent(real, WinePrefix, same)) return;
    seen.push_back(real);
    prefixes.push_back(prefix.string());
  };
  // Every folder in `Place`, by name, with `Inside` appended.
  const auto each = [&](const fs::path& place, const char* inside) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(home / place, error), end; !error && it != end; it.increment(error))
      folders.push_back(*inside ? it->path() / inside : it->path());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& folder : folders) add(folder);
  };
  add(home / ".wine");
  each("Games", "");
  each(".local/share/bottles/bottles", "");
  each(".var/app/com.usebottles.bottles/data/bottles/bottles", "");
  each(".steam/steam/steamapps/compatdata", "pfx");
  each(".local/share/Steam/steamapps/compatdata", "pfx");
  each(".PlayOnLinux/wineprefix", "");
  return prefixes;
}

TLocatedClient LocateClient(const TClientSearch& Search) {
  if (std::string found = ExistingFolder(Search.CommandLine); !found.empty()) return {found, true};
  if (std::string found = ExistingFolder(Search.SettingsPath); !found.empty()) return {found};
  const auto programFiles = [](const std::string& prefix) {
    for (const char* folder : kProgramFilesFolders)
      if (std::string found = ExistingFolder((fs::path(prefix) / "drive_c" / folder / kClientSubfolder).string());
          !found.empty())
        return found;
    return std::string();
  };
  std::string found = ExistingFolder(LauncherClientFolder(Search.WinePrefix));
  for (size_t i = 0; found.empty() && i < Search.LauncherPrefixes.size(); ++i) {
    found = ExistingFolder(LauncherClientFolder(Search.LauncherPrefixes[i]));
    if (found.empty()) found = programFiles(Search.LauncherPrefixes[i]);
  }
  if (found.empty() && Search.AskUser) found = ExistingFolder(FolderOfFile(Search.AskUser()));
  if (found.empty() && !Search.WinePrefix.empty()) found = programFiles(Search.WinePrefix);
  return {found};
}

std::string LauncherClientFolder(const std::string& WinePrefix) {
  if (WinePrefix.empty()) return {};
  const std::string registryFile = (fs::path(WinePrefix) / "system.reg").string();
  for (const char* key : kLauncherKeys) {
    const std::optional<std::string> executable = ReadWineRegistryString(registryFile, key, kLauncherValue);
    const size_t separator = executable ? executable->find_last_of("\\/") : std::string::npos;
    if (separator == std::string::npos) continue;
    if (std::string folder = WineFolder(WinePrefix, executable->substr(0, separator)); !folder.empty())
      return folder;
  }
  return {};
}

std::optional<std::string> ReadWineRegistryString(const std::string& RegFile, std::string_view Key,
                                                  std::string_view ValueName) {
  TLineReader reader(RegFile);
  std::string line;
  bool inKey = false;
  while (reader.Next(line)) {
    const std::string_view text(line);
    size_t pos = 1;
    if (text.starts_with('[')) {
      const std::optional<std::string> name = ReadEscaped(text, pos, ']');  // a timestamp may follow
      inKey = name && SameTextAscii(*name, Key);
    } else if (inKey && text.starts_with('"')) {
      const std::optional<std::string> name = ReadEscaped(text, pos, '"');
      if (!name || !SameTextAscii(*name, ValueName)) continue;
      const std::string_view data = TrimLeft(text.substr(pos));
      return data.starts_with('=') ? ParseStringData(TrimLeft(data.substr(1))) : std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace varune
