#include <gtest/gtest.h>

#include <string>

#include "archive/stream.h"
#include "support/temp_dir.h"
#include "viewer/export_settings.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

using test::TempDir;

TExportSettings ReadFrom(const TempDir& Dir, const std::string& Text) {
  WriteWholeFile(Dir.File("a.ini"), Text.data(), Text.size());
  return ReadExportSettings(TIniFile(Dir.File("a.ini")));
}

TEST(ExportSettingsTest, GoesRoundTheFileAndDefaultsToThePictureAsShown) {
  TempDir dir;
  EXPECT_EQ(ReadExportSettings(TIniFile(dir.File("none.ini"))), TExportSettings());
  EXPECT_EQ(TExportSettings().Picture, TPictureOptions());

  TExportSettings settings;
  settings.Picture = {3, fmCrop, 12, true, false};
  settings.AllAnimations = true;
  {
    TIniFile ini(dir.File("b.ini"));
    WriteExportSettings(ini, settings);
    ini.Save();
  }
  const TIniFile ini(dir.File("b.ini"));
  EXPECT_EQ(ini.ReadString("Export", "Framing", ""), "crop");
  EXPECT_EQ(ReadExportSettings(ini), settings);
}

TEST(ExportSettingsTest, ValuesTheDialogCouldNotGiveAreBroughtIntoRange) {
  TempDir dir;
  TExportSettings read = ReadFrom(dir, "[export]\nscale=99\nFraming=CROP\npadding=-4\nFlip=2\nAllAnimations=x\n");
  EXPECT_EQ(read.Picture, (TPictureOptions{kMaxScale, fmCrop, 0, true, false}));
  EXPECT_FALSE(read.AllAnimations);
  read = ReadFrom(dir, "[Export]\nScale=0\nFraming=zoom\nPadding=100000\n");
  EXPECT_EQ(read.Picture, (TPictureOptions{1, fmView, kMaxPadding, false, false}));
  read = ReadFrom(dir, "[Export]\nScale=abc\nFraming=\nPadding=0x7FFFFFFF\n");
  EXPECT_EQ(read.Picture, (TPictureOptions{1, fmView, kMaxPadding, false, false}));

  // What a caller gets wrong is not written either.
  TExportSettings wrong;
  wrong.Picture = {-3, static_cast<TFraming>(7), 65, false, true};
  EXPECT_EQ(CheckedExportSettings(wrong).Picture, (TPictureOptions{1, fmView, kMaxPadding, false, false}));
}

}  // namespace
}  // namespace varune
