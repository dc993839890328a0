#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "archive/stream.h"
#include "support/temp_dir.h"
#include "viewer/client_location.h"

namespace varune {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void WriteText(const std::string& path, std::string_view text) { WriteWholeFile(path, text.data(), text.size()); }

// A registry file with the launcher key (spelled with other case) whose
// "Excutable" value has the data `Data`, between keys that must not be read.
std::string LauncherRegistry(std::string_view Data) {
  return std::string("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
                     "[Software\\\\Mirel Soft\\\\Other] 1700000000\n\"Excutable\"=\"C:\\\\wrong\\\\a.exe\"\n\n"
                     "[Software\\\\mirel soft\\\\VARUNELAUNCHER] 1700000000\n#time=1d9a0b\n@=\"default\"\n"
                     "\"Other\"=\"x\"\n\"excutable\"=") +
         std::string(Data) + "\n\n[Software\\\\Next]\n\"Excutable\"=\"C:\\\\after\\\\a.exe\"\n";
}

TEST(WineRegistryTest, StringForms) {
  struct TCase {
    std::string_view Data;
    std::optional<std::string> Expected;
  };
  const TCase cases[] = {
      {R"("C:\\Games\\Varune\\VaruneClient.exe")", R"(C:\Games\Varune\VaruneClient.exe)"},
      {R"(str:"a")", "a"},
      {R"(str(2):"%ProgramFiles%\\V")", R"(%ProgramFiles%\V)"},
      {R"("q\"\n\r\t\x41\101\x3042\xd83d\xde00\x41B")", "q\"\n\r\tAAあ😀Л"},
      {"\"あ\"  ", "あ"},
      {R"("")", ""},
      // Not valid: absent.
      {R"("a\q")", std::nullopt},
      {R"("a\")", std::nullopt},
      {R"("a\x")", std::nullopt},
      {R"("a\0b")", std::nullopt},
      {R"("a\x0000")", std::nullopt},
      {R"("\xd83d")", std::nullopt},
      {R"("\xd83dA")", std::nullopt},
      {R"("\xde00\xd83d")", std::nullopt},
      {"\"\xC3(\"", std::nullopt},
      {R"("abc)", std::nullopt},
      {R"("abc" x)", std::nullopt},
      {"dword:00000001", std::nullopt},
      {"hex:41,00", std::nullopt},
      {R"(str(7):"a")", std::nullopt},
  };
  TempDir dir;
  const std::string file = dir.File("system.reg");
  for (const TCase& c : cases) {
    WriteText(file, LauncherRegistry(c.Data));
    EXPECT_EQ(ReadWineRegistryString(file, "Software\\Mirel Soft\\VaruneLauncher", "Excutable"), c.Expected)
        << c.Data;
  }
}

TEST(WineRegistryTest, KeysValuesAndDamagedFiles) {
  TempDir dir;
  const std::string file = dir.File("system.reg");
  WriteText(file, LauncherRegistry("dword:1"));
  EXPECT_EQ(ReadWineRegistryString(file, "software\\mirel soft\\other", "EXCUTABLE"), "C:\\wrong\\a.exe");
  EXPECT_EQ(ReadWineRegistryString(file, "Software\\Mirel Soft\\VaruneLauncher", ""), std::nullopt);
  EXPECT_EQ(ReadWineRegistryString(file, "Software\\Mirel Soft", "Excutable"), std::nullopt);
  // The value missing from its key is not taken from the next one.
  WriteText(file, "[Software\\\\A]\n\"x\"=\"1\"\n[Software\\\\B]\n\"Excutable\"=\"2\"\n");
  EXPECT_EQ(ReadWineRegistryString(file, "Software\\A", "Excutable"), std::nullopt);

  // An endless line is passed over; a value too long for a path is absent.
  WriteText(file, std::string(3 << 20, 'a') + "\n[K]\r\n\"v\"=\"ok\"\r\n[L]\n\"v\"=\"" + std::string(300 << 10, 'b') +
                      "\"\n");
  EXPECT_EQ(ReadWineRegistryString(file, "K", "v"), "ok");
  EXPECT_EQ(ReadWineRegistryString(file, "L", "v"), std::nullopt);

  using namespace std::string_literals;
  WriteText(file, "[K\0]\n\"v\"=\"1\"\n[K]\n\"\xFF\"=\"2\"\n\"v\"=\"3\"\n"s);
  EXPECT_EQ(ReadWineRegistryString(file, "K", "v"), "3");
  EXPECT_EQ(ReadWineRegistryString(dir.File("none.reg"), "K", "v"), std::nullopt);
  EXPECT_EQ(ReadWineRegistryString(dir.Path(), "K", "v"), std::nullopt);
}

// A Wine prefix with drives C: and D:; the launcher's entry says D:.
class ClientLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"cmd", "settings", "dialog", "prefix/dosdevices", "prefix/drive_d/Games/Varune",
                               "prefix/drive_c/Program Files/Tovenar/Varune",
                               "prefix/drive_c/Program Files (x86)/Tovenar/Varune"})
      fs::create_directories(dir.File(folder));
    fs::create_directory_symlink("../drive_c", dir.File("prefix/dosdevices/c:"));
    fs::create_directory_symlink("../drive_d", dir.File("prefix/dosdevices/d:"));
    SetLauncher("Software\\\\Wow6432Node\\\\Mirel Soft\\\\VaruneLauncher",
                "D:\\\\GAMES\\\\varune\\\\VaruneClient.exe");
    search.CommandLine = dir.File("cmd");
    search.SettingsPath = dir.File("settings") + "//";
    search.WinePrefix = prefix;
    search.AskUser = [this] {
      ++asked;
      return dir.File("dialog/VaruneClient.exe");
    };
  }
  void SetLauncher(const std::string& key, const std::string& executable) {
    WriteText(prefix + "/system.reg",
              "WINE REGISTRY Version 2\n\n[" + key + "] 1\n\"Excutable\"=\"" + executable + "\"\n");
  }

  TempDir dir;
  const std::string prefix = dir.File("prefix");
  const std::string launcherFolder = prefix + "/dosdevices/d:/Games/Varune/";
  TClientSearch search;
  int asked = 0;
};

TEST_F(ClientLocationTest, CandidatesInOrder) {
  const std::pair<std::string, std::string> steps[] = {
      {dir.File("cmd/"), "cmd"},
      {dir.File("settings/"), "settings"},
      {launcherFolder, "prefix/drive_d"},
      {dir.File("dialog/"), "dialog"},
      {prefix + "/drive_c/Program Files/Tovenar/Varune/", "prefix/drive_c/Program Files"},
      {prefix + "/drive_c/Program Files (x86)/Tovenar/Varune/", "prefix/drive_c/Program Files (x86)"},
      {"", ""},
  };
  for (const auto& [expected, removeAfter] : steps) {
    const TLocatedClient found = LocateClient(search);
    EXPECT_EQ(found.Folder, expected);
    EXPECT_EQ(found.FromCommandLine, removeAfter == "cmd");
    if (!removeAfter.empty()) fs::remove_all(dir.File(removeAfter));
  }
  EXPECT_EQ(asked, 4);  // from the first step without the launcher's folder on
}

TEST_F(ClientLocationTest, ARelativeCommandLineFolderComesBackAbsolute) {
  const fs::path working = fs::current_path();
  fs::current_path(dir.Path());
  search.CommandLine = "cmd";
  const TLocatedClient found = LocateClient(search);
  fs::current_path(working);
  EXPECT_EQ(found.Folder, dir.File("cmd/"));
  EXPECT_TRUE(found.FromCommandLine);
}

TEST_F(ClientLocationTest, DialogCancelledOrAbsent) {
  search.CommandLine.clear();
  search.SettingsPath = dir.File("gone");
  fs::remove_all(dir.File("prefix/drive_d"));
  search.AskUser = [] { return std::string(); };
  EXPECT_EQ(LocateClient(search).Folder, prefix + "/drive_c/Program Files/Tovenar/Varune/");
  search.AskUser = nullptr;
  EXPECT_EQ(LocateClient(search).Folder, prefix + "/drive_c/Program Files/Tovenar/Varune/");
  search.WinePrefix.clear();
  EXPECT_EQ(LocateClient(search).Folder, "");
}

TEST_F(ClientLocationTest, LauncherEntryMapping) {
  EXPECT_EQ(LauncherClientFolder(prefix), launcherFolder);  // names matched without case
  SetLauncher("SOFTWARE\\\\Mirel Soft\\\\VaruneLauncher", "c:/Program Files/Tovenar/Varune/VaruneClient.exe");
  EXPECT_EQ(LauncherClientFolder(prefix + "/"), prefix + "/dosdevices/c:/Program Files/Tovenar/Varune/");
  for (const char* unmapped : {"Q:\\\\Games\\\\VaruneClient.exe", "\\\\\\\\server\\\\share\\\\VaruneClient.exe",
                               "VaruneClient.exe", "C\\\\x\\\\VaruneClient.exe"}) {
    SetLauncher("Software\\\\Mirel Soft\\\\VaruneLauncher", unmapped);
    EXPECT_EQ(LauncherClientFolder(prefix), "") << unmapped;
  }
  EXPECT_EQ(LauncherClientFolder(dir.File("no-prefix")), "");
}

TEST_F(ClientLocationTest, LauncherPrefixesComeBeforeTheDialog) {
  const std::string home = dir.File("home");
  for (const char* folder :
       {".wine", "Games/b", "Games/a", ".local/share/bottles/bottles/x", ".local/share/Steam/steamapps/compatdata/9/pfx",
        ".local/share/Steam/steamapps/compatdata/8", ".PlayOnLinux/wineprefix/p"})
    fs::create_directories(home + "/" + folder);
  fs::create_directories(home + "/.steam");
  fs::create_directory_symlink(home + "/.local/share/Steam", home + "/.steam/steam");
  EXPECT_EQ(LauncherWinePrefixes(home, prefix),
            (std::vector<std::string>{home + "/.wine", home + "/Games/a", home + "/Games/b",
                                      home + "/.local/share/bottles/bottles/x",
                                      home + "/.steam/steam/steamapps/compatdata/9/pfx",
                                      home + "/.PlayOnLinux/wineprefix/p"}));
  EXPECT_EQ(LauncherWinePrefixes(home, home + "/.wine/").front(), home + "/Games/a");  // the Wine prefix itself

  // The main prefix's entry first; then each launcher prefix's entry, else its Program Files; then the dialog.
  search.CommandLine.clear();
  search.SettingsPath.clear();
  search.LauncherPrefixes = LauncherWinePrefixes(home, prefix);
  EXPECT_EQ(LocateClient(search).Folder, launcherFolder);
  fs::remove_all(prefix + "/drive_d");
  fs::create_directories(home + "/Games/b/drive_c/Program Files (x86)/Tovenar/Varune");
  EXPECT_EQ(LocateClient(search).Folder, home + "/Games/b/drive_c/Program Files (x86)/Tovenar/Varune/");
  fs::create_directories(home + "/.wine/dosdevices/e:/Varune");
  WriteText(home + "/.wine/system.reg", "[Software\\\\Mirel Soft\\\\VaruneLauncher]\n\"Excutable\"=\"E:\\\\Varune\\\\VaruneClient.exe\"\n");
  EXPECT_EQ(LocateClient(search).Folder, home + "/.wine/dosdevices/e:/Varune/");
  EXPECT_EQ(asked, 0);
  search.LauncherPrefixes = {dir.File("unreadable")};
  EXPECT_EQ(LocateClient(search).Folder, dir.File("dialog/"));
}

TEST(ClientLocationRulesTest, SkipRuleAndDefaultPrefix) {
  EXPECT_TRUE(ClientLocationSkipped(true, true));
  EXPECT_FALSE(ClientLocationSkipped(true, false));
  EXPECT_FALSE(ClientLocationSkipped(false, true));

  const auto saved = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const std::optional<std::string> prefix = saved("WINEPREFIX"), home = saved("HOME");
  ::setenv("WINEPREFIX", "/p/wine", 1);
  ::setenv("HOME", "/home/u/", 1);
  EXPECT_EQ(DefaultWinePrefix(), "/p/wine");
  ::setenv("WINEPREFIX", "", 1);
  EXPECT_EQ(DefaultWinePrefix(), "/home/u/.wine");
  ::unsetenv("HOME");
  EXPECT_EQ(DefaultWinePrefix(), "");
  for (const auto& [name, value] : {std::pair{"WINEPREFIX", prefix}, std::pair{"HOME", home}}) {
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
}

}  // namespace
}  // namespace varune
