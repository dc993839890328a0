#include <gtest/gtest.h>

#include "archive/error.h"
#include "database/client_writer.h"
#include "database/database.h"
#include "database/language.h"
#include "formats/ldt_writer.h"
#include "formats/tbl_writer.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

TItemRow Equipment(int32_t id, int32_t slot, int32_t category, int32_t num, int32_t color, int32_t subType = 1) {
  TItemRow row;
  row.ID = id;
  row.PosID1 = slot;
  row.Category = category;
  row.Num = num;
  row.ColorID = color;
  row.SubType = subType;
  row.Name = "装備" + std::to_string(id);
  return row;
}

TItemRow BasePart(int32_t id, int32_t category) {
  TItemRow row = Equipment(id, 1, category, 1, 1);
  row.Type = 2;
  return row;
}

TItemRow Restricted(TItemRow row, int32_t gender, bool firstUnused = false) {
  row.Requires[firstUnused ? 1 : 0] = {1, 2, std::to_string(gender), "0"};
  return row;
}

class DatabaseTest : public ::testing::Test {
 protected:
  void Load(bool genderFree = false) {
    client.AddMinimalTables();
    client.Write(dir.Path());
    database.SetGenderFree(genderFree);
    database.LoadPath(dir.Path() + "/");
  }

  std::vector<int32_t> Ids(const TVaruneItemList& list) {
    std::vector<int32_t> ids;
    for (const TVaruneItem* item : list) ids.push_back(item->FIndex);
    return ids;
  }

  test::TempDir dir;
  TClientWriter client;
  TVaruneDatabase database;
};

TEST_F(DatabaseTest, MissingFolderArchiveOrTable) {
  EXPECT_THROW(
      {
        try {
          database.LoadPath(dir.File("nowhere/"));
        } catch (const Error& error) {
          EXPECT_EQ(std::string(error.what()), "存在しないパスです (" + dir.File("nowhere/") + ")");
          throw;
        }
      },
      Error);
  EXPECT_THROW(database.LoadPath(dir.Path() + "/"), Error);  // no archives

  client.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", WriteMft(TMftHeader{}, {}));
  client.Write(dir.Path());
  TVaruneDatabase noTables;
  try {
    noTables.LoadPath(dir.Path() + "/");
    FAIL();
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "無効なインデックス [-1]");
  }
}

TEST_F(DatabaseTest, RequiredColumnsAreNamedWhenMissing) {
  TLdtWriter broken;
  broken.AddColumn("_Category", 3);
  client.Add("DATA/LDT/ITEM_1.LDT", broken.SaveToBytes());
  try {
    Load();
    FAIL();
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("DATA/LDT/ITEM_1.LDT"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("_Num"), std::string::npos);
  }
}

TEST_F(DatabaseTest, ItemRowsSkippedAndDuplicatesAcrossTables) {
  client.Add("DATA/LDT/ITEM_1.LDT",
             WriteItemTable({Equipment(1, 1, 100, 1, 1), Equipment(2, 1, 100, 1, 1),     // battle twin: skipped
                             Equipment(3, 2, 100, 2, 1, 2), Equipment(4, 2, 100, 2, 1, 2),  // fashion twins: both
                             Equipment(5, 0, 100, 3, 1),                                  // PosID1 0
                             Equipment(6, 3, 100, 4, 1, 3),                               // subtype 3
                             [] { TItemRow r = Equipment(7, 3, 100, 5, 1); r.Type = 3; return r; }(),
                             [] { TItemRow r = BasePart(8, 1501); r.SubType = 3; return r; }()}));
  client.Add("DATA/LDT/ITEM_2.LDT", WriteItemTable({Equipment(20, 1, 100, 1, 1),        // battle twin of 1
                                                    Equipment(21, 1, 100, 1, 1, 2)}));  // fashion: loaded
  Load();
  EXPECT_EQ(Ids(database.ItemList()), (std::vector<int32_t>{1, 3, 4, 8, 21}));
  EXPECT_EQ(Ids(database.GetSpec(gtMale, 1)), (std::vector<int32_t>{1, 21}));
  EXPECT_EQ(Ids(database.Bodies()), (std::vector<int32_t>{8}));
}

TEST_F(DatabaseTest, GenderListsFollowRequiredGender) {
  client.Add("DATA/LDT/ITEM_1.LDT",
             WriteItemTable({Restricted(Equipment(1, 4, 100, 1, 1), 2), Restricted(Equipment(2, 4, 100, 2, 1), 1),
                             Restricted(Equipment(3, 4, 100, 3, 1), 2, true),  // requirement 1 unused
                             Restricted(Equipment(4, 4, 100, 4, 1), 3), Equipment(5, 17, 100, 5, 1)}));
  Load();
  EXPECT_EQ(Ids(database.GetSpec(gtMale, 4)), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(Ids(database.GetSpec(gtFemale, 4)), (std::vector<int32_t>{1, 3}));
  EXPECT_FALSE(database.GetSpec(gtFemale, 4).GetItem(1)->IsUsableGender(gtMale));
  EXPECT_EQ(database.ItemList().Count(), 5);  // gender 3 and slot 17 only here

  TVaruneDatabase free;
  free.SetGenderFree(true);
  free.LoadPath(dir.Path() + "/");
  EXPECT_EQ(Ids(free.GetSpec(gtMale, 4)), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(Ids(free.GetSpec(gtFemale, 4)), (std::vector<int32_t>{1, 2, 3}));

  EXPECT_THROW(database.GetSpec(gtFemale, 0), Error);
  EXPECT_THROW(database.GetSpec(gtFemale, 17), Error);
  EXPECT_NO_THROW(database.GetSpec(gtFemale, 16));
  EXPECT_THROW(database.GetSpec(static_cast<TGenderType>(2), 1), Error);
}

TEST_F(DatabaseTest, FieldsNameColoursAndRequirementValues) {
  TItemRow item = Equipment(1, 13, 700, 3, 2);
  item.Kind = 9;
  item.Red = 255;
  item.Green = 128;
  item.Blue = 0;
  item.Requires[0] = {1, 1, "4503599627370496", "-7"};
  item.Requires[1] = {1, 5, "12abc", "99999999999999999999"};
  item.Requires[2] = {1, 6, "-9223372036854775808", "9223372036854775808"};
  item.Requires[3] = {1, 7, " +42\t", "+-5"};
  item.Statuses[0] = {3, -20};
  item.Effects = {1, 2, 3, 4};
  TItemRow black = Equipment(2, 13, 700, 4, 2);
  black.NameColor = 0;
  black.Red = 255;
  client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable({item, black}));
  client.Add("DATA/LDT/ITEM_2.LDT", WriteItemTable({Equipment(3, 13, 700, 5, 2)}, false));
  Load();

  const TVaruneItemList& weapons = database.GetSpec(gtMale, 13);
  ASSERT_EQ(weapons.Count(), 3);
  const TVaruneItem& first = *weapons.GetItem(0);
  EXPECT_EQ(first.FName, "装備1");
  EXPECT_EQ(first.FKind, 9);
  EXPECT_EQ(first.FNameColor, 0xFFFF8000u);
  EXPECT_EQ(first.FRequires[0].Value1, int64_t{1} << 52);
  EXPECT_EQ(first.FRequires[0].Value2, -7);
  EXPECT_EQ(first.FRequires[1].Value1, 0);
  EXPECT_EQ(first.FRequires[1].Value2, 0);
  EXPECT_EQ(first.FRequires[2].Value1, INT64_MIN);
  EXPECT_EQ(first.FRequires[2].Value2, 0);  // one past the largest value
  EXPECT_EQ(first.FRequires[3].Value1, 42);
  EXPECT_EQ(first.FRequires[3].Value2, 0);
  EXPECT_EQ(first.FStatuses[0].Value, -20);
  EXPECT_EQ(first.FEffects[3], 4);
  EXPECT_EQ(weapons.GetItem(1)->FNameColor, 0xFF000000u);
  EXPECT_EQ(weapons.GetItem(2)->FNameColor, 0xFF000000u);  // no column: built from red, green, blue (0, 0, 0)
}

TEST_F(DatabaseTest, BasePartsBeautyShopMotionsAndStrings) {
  client.Add("DATA/LDT/ITEM_1.LDT",
             WriteItemTable({BasePart(1, 205), BasePart(2, 209), BasePart(3, 302), BasePart(4, 303),
                             BasePart(5, 1301), BasePart(6, 1302), BasePart(7, 1401), BasePart(8, 1402),
                             BasePart(9, 1501), BasePart(10, 999)}));
  client.Add("DATA/LDT/BEAUTY_SHOP.LDT",
             WriteBeautyShopTable({{1, 0, 0, 1, "髪", 0, 130199999}, {2, 0, 0, 1, "髪", 0, 130200000},
                                   {3, 0, 0, 2, "色", 0, 5}, {4, 0, 0, 3, "顔", 0, 140199999},
                                   {5, 0, 0, 3, "顔", 0, 140200000}, {6, 0, 0, 4, "目", 0, 2},
                                   {7, 0, 0, 5, "体", 0, 150100000}, {8, 0, 0, 9, "他", 0, 0}},
                                  true));
  client.Add("DATA/LDT/MOTIONTYPE.LDT",
             WriteMotionTable({{1001, {{atStand, "STAND_A"}, {atFishingStand, "FISH"}}}}, nullptr));
  std::vector<std::pair<int32_t, std::string>> strings{{20001, "ファイター"}, {6000019, "ファイター系"},
                                                        {1200001, "おとこ"}};
  client.Add("DATA/LDT/GLOBAL_STRING.LDT", WriteTextTable("_STRING", strings));
  client.Add("DATA/LDT/GLOBAL_RES.LDT", WriteTextTable("_FILENAME", {{5, "DATA/ICON/ICON_000.PNG"}}));
  Load();

  EXPECT_EQ(Ids(database.GetTopsList(gtFemale)), std::vector<int32_t>{2});
  EXPECT_EQ(Ids(database.GetBottomsList(gtMale)), std::vector<int32_t>{3});
  EXPECT_EQ(Ids(database.GetHairList(gtFemale)), std::vector<int32_t>{6});
  EXPECT_EQ(Ids(database.GetFaceList(gtMale)), std::vector<int32_t>{7});
  EXPECT_EQ(database.ItemList().Count(), 10);

  EXPECT_EQ(database.GetBasicHairList(gtMale).Count(), 1);
  EXPECT_EQ(database.GetBasicHairList(gtFemale).GetItem(0)->FIndex, 2);
  EXPECT_EQ(database.GetBasicFaceList(gtMale).GetItem(0)->FIndex, 4);
  EXPECT_EQ(database.GetBasicFaceList(gtFemale).GetItem(0)->FIndex, 5);
  EXPECT_EQ(database.BasicHairColors().Count(), 1);
  EXPECT_EQ(database.BasicEyeColors().Count(), 1);
  EXPECT_EQ(database.BasicBodies().Count(), 1);
  EXPECT_EQ(database.BasicList().Count(), 8);

  const TVaruneMotion* motion = database.MotionList().GetItem(database.MotionList().IndexOf(1, 1));
  EXPECT_EQ(motion->GetAnimation(atStand), "STAND_A");
  EXPECT_EQ(motion->GetAnimation(atFishingStand), "FISH");
  EXPECT_EQ(motion->GetAnimation(atMove), "");
  EXPECT_EQ(database.GlobalResList().Find(5)->FFileName, "DATA/ICON/ICON_000.PNG");

  EXPECT_EQ(JobNames[0], "ファイター");
  EXPECT_EQ(JobRequireNames[0], "ファイター系");
  EXPECT_EQ(JobNames[1], "");
  EXPECT_EQ(GenderNames[gtMale], "おとこ");
  EXPECT_EQ(GenderNames[gtFemale], "女");  // no string 1200002: the default stays
  GenderNames[gtMale] = "男";
}

TEST_F(DatabaseTest, SpriteTablesFromTheManifest) {
  auto table = [](const char* id, int32_t cell) {
    TTblImage image;
    image.ID = cell;
    return WriteTbl(0, {{1, id, {image}}});
  };
  client.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT",
             WriteMft(TMftHeader{}, {"BODY.TBL", "MISSING.TBL", "BROKEN.TBL", "SUB/DIR/HAIR.TBL"}), 1);
  client.Add("DATA/CHAR/CHARLAYER/BODY.TBL", table("01_0000_001_01", 1), 2);
  client.Add("DATA/CHAR/CHARLAYER/BROKEN.TBL", {1, 2, 3}, 2);
  client.Add("DATA/CHAR/CHARLAYER/SUB/DIR/HAIR.TBL", table("01_0000_001_01", 2), 0);
  Load();

  ASSERT_EQ(database.TblList().size(), 2u);
  EXPECT_EQ(database.TblList()[0]->Path(), "DATA/CHAR/CHARLAYER/");
  EXPECT_EQ(database.TblList()[1]->Path(), "DATA/CHAR/CHARLAYER/SUB/DIR/");
  const TTblItem* item = database.GetTableDataByID("01_0000_001_01");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Images[0].ID, 1);  // the earlier table in the manifest answers
  EXPECT_EQ(database.GetTableDataByID("99_0000_001_01"), nullptr);
}

}  // namespace
}  // namespace varune
