#include <gtest/gtest.h>

#include <filesystem>

#include "archive/error.h"
#include "archive/stream.h"
#include "support/temp_dir.h"
#include "viewer/app_options.h"
#include "viewer/ini_file.h"
#include "viewer/startup.h"

namespace varune {
namespace {

using test::TempDir;

TEST(StartupTest, CaptionAndVersion) {
  EXPECT_EQ(MainWindowCaption(), "Varune Wardrobe 1.9");
  EXPECT_EQ(AppVersionText(), "varune-wardrobe 1.9");
}

TEST(StartupTest, AppFolders) {
  const TAppFolders plain = AppFoldersFor("/opt/vw/varune-wardrobe");
  EXPECT_EQ(plain.AppDir, "/opt/vw/");
  EXPECT_EQ(plain.CacheDir, "/opt/vw/cache/");
  EXPECT_EQ(plain.SettingsFile, "/opt/vw/varune-wardrobe.ini");
  EXPECT_EQ(AppFoldersFor("/opt/v.w/wardrobe.exe", {.AppDirOverride = ""}).SettingsFile, "/opt/v.w/wardrobe.ini");
  EXPECT_EQ(AppFoldersFor("/varune-wardrobe").AppDir, "/");

  const TAppFolders moved = AppFoldersFor("/opt/vw/varune-wardrobe", {.AppDirOverride = "/home/u/vw//"});
  EXPECT_EQ(moved.AppDir, "/home/u/vw/");
  EXPECT_EQ(moved.CacheDir, "/home/u/vw/cache/");
  EXPECT_EQ(moved.SettingsFile, "/home/u/vw/varune-wardrobe.ini");

  EXPECT_EQ(std::filesystem::path(ExecutablePath()).filename(), "viewer_tests");
}

// Installed under /usr the program cannot write beside itself: its files go
// to the user's configuration folder, unless VARUNE_APPDIR names one.
TEST(StartupTest, AppFoldersOfAnInstalledProgram) {
  const std::string exe = "/usr/bin/varune-wardrobe";
  TFolderChoice installed{.ProgramFolderWritable = false, .XdgConfigHome = "/home/u/conf/", .Home = "/home/u"};
  EXPECT_EQ(AppFoldersFor(exe, installed).AppDir, "/home/u/conf/varune-wardrobe/");
  EXPECT_EQ(AppFoldersFor(exe, installed).SettingsFile, "/home/u/conf/varune-wardrobe/varune-wardrobe.ini");
  installed.XdgConfigHome = "conf";  // relative: not a valid base
  EXPECT_EQ(AppFoldersFor(exe, installed).AppDir, "/home/u/.config/varune-wardrobe/");
  installed.XdgConfigHome = "";
  EXPECT_EQ(AppFoldersFor(exe, installed).CacheDir, "/home/u/.config/varune-wardrobe/cache/");
  installed.AppDirOverride = "/srv/vw";
  EXPECT_EQ(AppFoldersFor(exe, installed).AppDir, "/srv/vw/");

  const TFolderChoice writable{.XdgConfigHome = "/home/u/conf", .Home = "/home/u"};
  EXPECT_EQ(AppFoldersFor("/home/u/vw/varune-wardrobe", writable).AppDir, "/home/u/vw/");

  TempDir dir;
  EXPECT_TRUE(IsWritableFolder(dir.Path()));
  EXPECT_FALSE(IsWritableFolder(dir.File("gone")));
}

class StartupSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitAppFolders(AppFoldersFor(dir.File("varune-wardrobe")));
    ResetStartupOptions();
  }
  void TearDown() override {
    InitAppFolders({});
    ResetStartupOptions();
  }
  void WriteSettings(std::string_view text) { WriteWholeFile(SettingsFileName(), text.data(), text.size()); }

  TempDir dir;
};

TEST_F(StartupSettingsTest, OptionsAreReadOnceTogether) {
  WriteSettings("[Data]\nCacheMode=1\n");
  EXPECT_TRUE(IsCacheMode());
  WriteSettings("[Data]\nCacheMode=0\nDisableCheck=1\n");
  EXPECT_TRUE(IsCacheMode());
  EXPECT_FALSE(IsDisableCheck());  // read with CacheMode, before the change
  ResetStartupOptions();
  EXPECT_TRUE(IsDisableCheck());
  EXPECT_FALSE(IsCacheMode());
}

TEST_F(StartupSettingsTest, MissingFileGivesDefaults) {
  EXPECT_FALSE(IsCacheMode());
  EXPECT_FALSE(IsDisableCheck());
  EXPECT_EQ(ReadClientPath(), "");
}

TEST_F(StartupSettingsTest, ClientPathRoundTrip) {
  WriteSettings("[Form]\nLeft=335\n[Data]\nClientPath=/old/\nCacheMode=1\n");
  WriteClientPath("/games/ヴァルネ/");
  EXPECT_EQ(ReadClientPath(), "/games/ヴァルネ/");
  const TIniFile ini(SettingsFileName());
  EXPECT_EQ(ini.ReadInteger("Form", "Left", 0), 335);
  EXPECT_TRUE(ini.ReadBool("Data", "CacheMode", false));

  WriteSettings("[Data]\nClientPath=/bad\xFF/\n");
  EXPECT_EQ(ReadClientPath(), "");

  InitAppFolders(AppFoldersFor(dir.File("varune-wardrobe"), {.AppDirOverride = dir.File("gone").c_str()}));
  EXPECT_THROW(WriteClientPath("/x/"), Error);
}

TEST_F(StartupSettingsTest, AFileThatDoesNotReadIsLeftAloneForTheRun) {
  EXPECT_EQ(CheckSettingsFile(), "");  // not there yet: the first write makes it
  EXPECT_TRUE(SettingsFileWritable());

  // Over the size a settings file can be: its keys would all be lost.
  std::string big = "[Data]\nClientPath=/kept/\n;" + std::string(5 << 20, 'x') + "\n";
  WriteSettings(big);
  EXPECT_NE(CheckSettingsFile(), "");
  EXPECT_FALSE(SettingsFileWritable());
  WriteClientPath("/new/");
  EXPECT_EQ(ReadWholeFile(SettingsFileName()).size(), big.size());
  TIniFile ini(SettingsFileName());
  ini.WriteString("Data", "ClientPath", "/new/");
  EXPECT_THROW(ini.Save(), Error);
  EXPECT_EQ(ReadWholeFile(SettingsFileName()).size(), big.size());

  std::filesystem::remove(SettingsFileName());
  std::filesystem::create_directory(SettingsFileName());
  EXPECT_NE(CheckSettingsFile(), "");
  std::filesystem::remove(SettingsFileName());
  EXPECT_EQ(CheckSettingsFile(), "");
  EXPECT_TRUE(SettingsFileWritable());
}

TEST(StartupTest, AClientFolderForThisRunIsNotSaved) {
  SetClientDir("/games/Varune/", true);
  EXPECT_EQ(ClientPathToSave(), std::nullopt);
  SetClientDir("/games/Varune/");
  EXPECT_EQ(ClientPathToSave(), "/games/Varune/");
  SetClientDir("");
}

TEST(AppOptionsTest, OursAndQtsArguments) {
  const TAppOptions none = ParseAppOptions({});
  EXPECT_EQ(none.Client, "");
  EXPECT_FALSE(none.Help || none.Version);

  EXPECT_EQ(ParseAppOptions({"--client", "/games/v"}).Client, "/games/v");
  EXPECT_EQ(ParseAppOptions({"-reverse", "--client=/a b/", "-style=fusion"}).Client, "/a b/");
  EXPECT_EQ(ParseAppOptions({"-platform", "offscreen", "--client", "/c", "-style", "fusion"}).Client, "/c");
  EXPECT_EQ(ParseAppOptions({"--client", "/a", "--client", "/b"}).Client, "/b");
  EXPECT_TRUE(ParseAppOptions({"-h"}).Help);
  EXPECT_TRUE(ParseAppOptions({"--help"}).Help);
  EXPECT_TRUE(ParseAppOptions({"--version"}).Version);
  EXPECT_EQ(ParseAppOptions({"--outfit", "AQ+x"}).Outfit, "AQ+x");
  EXPECT_EQ(ParseAppOptions({"-platform", "offscreen", "Varune:outfit/AQ-x"}).Outfit, "Varune:outfit/AQ-x");

  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--client"}, {"--client="}, {"--client", ""}, {"--clients"}, {"--verbose"}, {"/games/v"}, {"--"}, {"--outfit"}}) {
    try {
      ParseAppOptions(bad);
      ADD_FAILURE() << bad[0];
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
  }
  const std::string usage = AppUsageText();
  for (const char* part : {"usage: varune-wardrobe", "--client DIR", "--outfit CODE", "--help", "--version", "VARUNE_APPDIR"})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace varune
