#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "archive/stream.h"
#include "support/temp_dir.h"
#include "viewer/favorites.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

using test::TempDir;

class FavoritesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t id : {101, 102, 103}) items.Add(std::make_unique<TVaruneItem>(id));
  }
  std::vector<int32_t> IDs() const {
    std::vector<int32_t> ids;
    for (const TVaruneItem* item : favorites) ids.push_back(item->FIndex);
    return ids;
  }
  void WriteText(const std::string& Path, const std::string& Text) { WriteWholeFile(Path, Text.data(), Text.size()); }

  TVaruneItemList items{true}, favorites;
  TempDir dir;
};

TEST_F(FavoritesTest, TheFileKeepsKnownIDsInOrderAndDropsTheRest) {
  ReadFavorites(dir.File("none.dat"), items, favorites);
  EXPECT_TRUE(favorites.Count() == 0);

  WriteText(dir.File("fav.dat"), "103\r\n\r\nabc\r\n999\r\n101\n12x\r\n103\r\n+102\r\n 102\r\n-5\r\n102");
  ReadFavorites(dir.File("fav.dat"), items, favorites);
  EXPECT_EQ(IDs(), (std::vector<int32_t>{103, 101, 103, 102}));  // a last line without its line end counts

  WriteFavorites(dir.File("fav.dat"), favorites);
  const std::vector<uint8_t> bytes = ReadWholeFile(dir.File("fav.dat"));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "103\r\n101\r\n103\r\n102\r\n");
  EXPECT_EQ(FavoritesText(TVaruneItemList()), "");
}

TEST_F(FavoritesTest, TheStarAddsOrTakesOffOneEntry) {
  ToggleFavorite(favorites, *items[1]);
  ToggleFavorite(favorites, *items[0]);
  ToggleFavorite(favorites, *items[1]);
  EXPECT_EQ(IDs(), (std::vector<int32_t>{101}));
  EXPECT_TRUE(IsFavorite(favorites, 101));
  EXPECT_FALSE(IsFavorite(favorites, 102));

  favorites.Add(items[0]);  // listed twice in the file: one click takes one
  ToggleFavorite(favorites, *items[0]);
  EXPECT_EQ(IDs(), (std::vector<int32_t>{101}));
}

TEST_F(FavoritesTest, RecentlyWornIsNewestFirstEachOnceAndAtMostFifty) {
  NoteWorn(favorites, *items[0]);
  NoteWorn(favorites, *items[1]);
  NoteWorn(favorites, *items[0]);
  EXPECT_EQ(IDs(), (std::vector<int32_t>{101, 102}));

  TVaruneItemList many(true);
  for (int32_t id = 1; id <= 60; ++id) many.Add(std::make_unique<TVaruneItem>(id));
  std::string text = "7\r\n3\r\n7\r\n";
  for (int32_t id = 60; id >= 1; --id) text += std::to_string(id) + "\r\n";
  WriteText(dir.File("recent.dat"), text);
  favorites.Clear();
  ReadRecent(dir.File("recent.dat"), many, favorites);
  ASSERT_EQ(favorites.Count(), kRecentCount);
  EXPECT_EQ((std::vector<int32_t>{favorites[0]->FIndex, favorites[1]->FIndex, favorites[2]->FIndex}),
            (std::vector<int32_t>{7, 3, 60}));
  EXPECT_EQ(favorites[kRecentCount - 1]->FIndex, 13);  // 60 down to 13, 7 and 3 taken out
  NoteWorn(favorites, *many[0]);
  EXPECT_EQ(favorites.Count(), kRecentCount);
  EXPECT_EQ(favorites[0]->FIndex, 1);
}

TEST_F(FavoritesTest, PaletteSettingsDefaultToTheCurrentPlacement) {
  const TPaletteSettings current{{385, 183, 256, 338}, false};
  TIniFile ini(dir.File("a.ini"));
  const TPaletteSettings read = ReadPaletteSettings(ini, current);
  EXPECT_EQ(read.Placement, current.Placement);
  EXPECT_FALSE(read.Visible);

  WritePaletteSettings(ini, {{10, 20, 300, 400}, true}, true);
  const TPaletteSettings again = ReadPaletteSettings(ini, current);
  EXPECT_EQ(again.Placement, (TFormPlacement{10, 20, 300, 400}));
  EXPECT_TRUE(again.Visible);
}

TEST(StarPictureTest, YellowOrGreyWithTransparentSurroundings) {
  for (bool favorite : {true, false}) {
    const TBitmap32 star = StarPicture(favorite);
    ASSERT_EQ(star.Width(), kStarSize);
    ASSERT_EQ(star.Height(), kStarSize);
    EXPECT_EQ(AlphaComponent(star.Pixel(0, kStarSize - 1)), 0);
    const TColor32 centre = star.Pixel(kStarSize / 2, kStarSize / 2);
    EXPECT_EQ(AlphaComponent(centre), 255);
    if (favorite)
      EXPECT_GT(RedComponent(centre), BlueComponent(centre) + 100);  // yellow
    else
      EXPECT_EQ(RedComponent(centre), BlueComponent(centre));  // grey
  }
}

}  // namespace
}  // namespace varune
