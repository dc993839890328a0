#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <string>
#include <vector>

#include "archive/error.h"
#include "archive/stream.h"
#include "character/chara.h"
#include "demo/demo_fixture.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "viewer/ini_file.h"
#include "viewer/settings.h"

namespace varune {
namespace {

using test::TDemoFixture;
using test::TempDir;

std::string ReadText(const std::string& Path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(Path);
  return {bytes.begin(), bytes.end()};
}

void WriteText(const std::string& Path, const std::string& Text) { WriteWholeFile(Path, Text.data(), Text.size()); }

TEST(SettingsTest, DefaultsAndValueForms) {
  TempDir dir;
  const TFormPlacement current{335, 133, 750, 534};
  TOutfitSettings now;
  now.Gender = gtFemale, now.Tops = 3, now.Bottom = 4;
  {
    const TIniFile missing(dir.File("none.ini"));
    EXPECT_EQ(ReadPlacement(missing, "Form", current), current);
    const TOutfitSettings outfit = ReadOutfitSettings(missing, now);
    EXPECT_EQ(outfit.Gender, gtFemale);
    EXPECT_EQ(outfit.Job, 1);
    EXPECT_EQ(outfit.EquipIDs, TOutfitSettings().EquipIDs);
    EXPECT_EQ(outfit.Hair, -1);
    EXPECT_EQ(outfit.Body, -1);
    EXPECT_EQ(outfit.Tops, 3);
    EXPECT_EQ(outfit.Bottom, 4);
  }
  // Keys without case, hexadecimal on reading, letters where a number belongs.
  WriteText(dir.File("a.ini"), "[form]\nleft=0x10\nWIDTH=800\n[CHARA]\npos1=1010\nPos3=abc\nJob=0x0A\nhaircolor=7\n");
  const TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ReadPlacement(ini, "Form", current), (TFormPlacement{16, 133, 800, 534}));
  const TOutfitSettings outfit = ReadOutfitSettings(ini, now);
  EXPECT_EQ(outfit.EquipIDs[0], 1010);
  EXPECT_EQ(outfit.EquipIDs[2], -1);
  EXPECT_EQ(outfit.Job, 10);
  EXPECT_EQ(outfit.HairColor, 7);
}

TEST(SettingsTest, TheLanguageChosenOrTheLocales) {
  TempDir dir;
  WriteText(dir.File("a.ini"), "[Data]\nLanguage=fr\n");
  TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ReadLanguageSetting(ini), std::nullopt);
  WriteLanguageSetting(ini, std::nullopt);
  EXPECT_EQ(ini.ReadString("Data", "Language", ""), "fr");
  WriteLanguageSetting(ini, true);
  EXPECT_EQ(ReadLanguageSetting(ini), true);
  WriteLanguageSetting(ini, false);
  EXPECT_EQ(ReadLanguageSetting(ini), false);
}

TEST(SettingsTest, WritesInOrderAndReadsBackWhatItWrote) {
  TempDir dir;
  TOutfitSettings outfit;
  outfit.Gender = gtFemale, outfit.Job = 7, outfit.EquipIDs[0] = 1010, outfit.EquipIDs[15] = 1616;
  outfit.Hair = 11, outfit.HairColor = 12, outfit.Face = 13, outfit.EyeColor = 14, outfit.Body = 15;
  outfit.Tops = 2, outfit.Bottom = 5;
  {
    TIniFile ini(dir.File("a.ini"));
    WritePlacement(ini, "Form", {10, 20, 900, 600}, true);
    WriteOutfitSettings(ini, outfit);
    WriteDataSettings(ini, true, false, "/games/Varune/");
    ini.Save();
  }
  const std::string text = ReadText(dir.File("a.ini"));
  std::vector<std::string> order = {"Left=10", "Top=20", "Width=900", "Height=600", "Gender=1"};
  for (int pos = 1; pos <= kSlotCount; ++pos) order.push_back("Pos" + std::to_string(pos) + "=");
  for (const char* key : {"Job=7", "Hair=11", "HairColor=12", "Face=13", "EyeColor=14", "Body=15", "Tops=2",
                          "Bottom=5", "CacheMode=1", "DisableCheck=0", "ClientPath=/games/Varune/"})
    order.push_back(key);
  size_t at = 0;
  for (const std::string& key : order) {
    const size_t found = text.find(key, at);
    ASSERT_NE(found, std::string::npos) << key << " after " << at << " in\n" << text;
    at = found + key.size();
  }

  const TIniFile again(dir.File("a.ini"));
  const TOutfitSettings read = ReadOutfitSettings(again, {});
  EXPECT_EQ(read.EquipIDs, outfit.EquipIDs);
  EXPECT_EQ(std::tie(read.Gender, read.Job, read.Hair, read.HairColor, read.Face, read.EyeColor, read.Body, read.Tops,
                     read.Bottom),
            std::tie(outfit.Gender, outfit.Job, outfit.Hair, outfit.HairColor, outfit.Face, outfit.EyeColor,
                     outfit.Body, outfit.Tops, outfit.Bottom));
}

TEST(SettingsTest, FormPlacementRules) {
  TempDir dir;
  // A window system that cannot report positions keeps the last real ones.
  WriteText(dir.File("a.ini"), "[Form]\nLeft=40\nTop=50\nWidth=800\nHeight=600\n");
  TIniFile ini(dir.File("a.ini"));
  WritePlacement(ini, "Form", {0, 0, 900, 700}, false);
  EXPECT_EQ(ReadPlacement(ini, "Form", {}), (TFormPlacement{40, 50, 900, 700}));

  const TFormPlacement fallback{335, 133, 750, 534};
  const std::vector<TRect> screens = {{0, 0, 1920, 1040}, {-1280, -200, 0, 824}};
  EXPECT_EQ(UsablePlacement({100, 100, 800, 600}, fallback, screens), (TFormPlacement{100, 100, 800, 600}));
  EXPECT_EQ(UsablePlacement({-1000, -100, 800, 600}, fallback, screens).Left, -1000);  // the left screen
  EXPECT_EQ(UsablePlacement({1900, 100, 800, 600}, fallback, screens), fallback);       // 20 pixels showing
  EXPECT_EQ(UsablePlacement({100, 5000, 800, 600}, fallback, screens), fallback);
  EXPECT_EQ(UsablePlacement({100, 100, 749, 600}, fallback, screens), fallback);  // below the minimum
  EXPECT_EQ(UsablePlacement({100, 100, 750, 533}, fallback, screens), fallback);
  EXPECT_EQ(UsablePlacement({5000, 5000, 750, 534}, fallback, {}).Left, 5000);  // no screens known

  // The main window is then brought whole onto the screen it overlaps most, or the nearest.
  EXPECT_EQ(FitOnNearestScreen({100, 100, 800, 600}, screens), (TFormPlacement{100, 100, 800, 600}));
  EXPECT_EQ(FitOnNearestScreen({1500, 700, 800, 600}, screens), (TFormPlacement{1120, 440, 800, 600}));
  EXPECT_EQ(FitOnNearestScreen({-300, 100, 800, 600}, screens), (TFormPlacement{0, 100, 800, 600}));
  EXPECT_EQ(FitOnNearestScreen({-1100, 700, 800, 600}, screens), (TFormPlacement{-1100, 224, 800, 600}));
  EXPECT_EQ(FitOnNearestScreen({3000, 100, 800, 600}, screens), (TFormPlacement{1120, 100, 800, 600}));
  EXPECT_EQ(FitOnNearestScreen({-1280, -200, 1400, 1100}, screens), (TFormPlacement{-1280, -200, 1280, 1024}));
  EXPECT_EQ(FitOnNearestScreen({3000, 100, 800, 600}, {}), (TFormPlacement{3000, 100, 800, 600}));
}

TEST(SettingsTest, TheCharactersOutfitGoesRoundAndBadValuesAreIgnored) {
  const auto database = TDemoFixture::Get().Load();
  TChara chara(*database);
  chara.SetGender(gtFemale);
  chara.SetJob(5);
  int32_t equipped = 0;
  for (int32_t pos = 1; pos <= kSlotCount && equipped < 2; ++pos) {
    const TVaruneItemList& list = database->GetSpec(gtFemale, pos);
    if (list.Count() == 0) continue;
    chara.SetEquipObj(pos, list.GetItem(0));
    ++equipped;
  }
  ASSERT_EQ(equipped, 2);

  const TOutfitSettings saved = CharaOutfit(chara);
  TChara next(*database);
  RestoreCharaOutfit(next, saved);
  EXPECT_EQ(next.Gender(), gtFemale);
  EXPECT_EQ(next.Job(), 5);
  EXPECT_EQ(CharaOutfit(next).EquipIDs, saved.EquipIDs);

  TOutfitSettings bad = saved;
  bad.Gender = 5, bad.Job = 99, bad.EquipIDs.fill(123456789);
  TChara other(*database);
  RestoreCharaOutfit(other, bad);
  EXPECT_EQ(other.Gender(), gtMale);
  EXPECT_EQ(other.Job(), 1);
  EXPECT_EQ(CharaOutfit(other).EquipIDs, TOutfitSettings().EquipIDs);
}

// A disk that fills up during the save: the write fails, the error says so,
// and the settings of the last run are still there, whole.
TEST(SettingsTest, AFailedSaveLeavesThePreviousFileWhole) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  const std::string before = "[Chara]\nGender=1\nJob=3\n";
  WriteText(path, before);
  TIniFile ini(path);
  WriteOutfitSettings(ini, {});

  {
    const test::FileSizeLimit full(16);
    EXPECT_THROW(ini.Save(), Error);
  }

  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

}  // namespace
}  // namespace varune
