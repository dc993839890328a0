#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"
#include "viewer/backgrounds.h"

namespace varune {
namespace {

using test::TempDir;

TEST(BackgroundsTest, BmpFilesOfTheFolderInNameOrder) {
  TempDir dir;
  for (const char* name : {"sky.bmp", "Autumn.BMP", "night.Bmp", "notes.txt", "sky.bmp.txt", "photo.png"})
    std::ofstream(dir.File(name)) << "x";
  std::filesystem::create_directory(dir.File("folder.bmp"));
  std::filesystem::create_symlink(dir.File("sky.bmp"), dir.File("linked.bmp"));
  std::filesystem::create_symlink(dir.File("gone.bmp"), dir.File("dangling.bmp"));

  const std::vector<TBackgroundEntry> entries = ListBackgrounds(dir.Path() + "/");
  std::vector<std::string> names;
  for (const TBackgroundEntry& entry : entries) names.push_back(entry.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Autumn", "linked", "night", "sky"}));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(std::filesystem::path(entries[0].FileName), std::filesystem::path(dir.File("Autumn.BMP")));

  EXPECT_TRUE(ListBackgrounds(dir.File("missing")).empty());
  EXPECT_TRUE(ListBackgrounds(dir.File("notes.txt")).empty());
}

}  // namespace
}  // namespace varune
