#include <gtest/gtest.h>


#include "cli/run_cli.h"
#include "database/client_writer.h"
#include "imaging/png.h"
#include "support/temp_dir.h"

namespace varune::cli {
namespace {

class DatabaseCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto item = [](int32_t id, int32_t slot, int32_t num, int32_t subType, int32_t kind, const char* name) {
      TItemRow row;
      row.ID = id;
      row.PosID1 = slot;
      row.Category = 500;
      row.Num = num;
      row.ColorID = 1;
      row.SubType = subType;
      row.Kind = kind;
      row.Name = name;
      row.Red = 0x12;
      row.Green = 0x34;
      row.Blue = 0x56;
      return row;
    };
    TItemRow femaleBow = item(3, 13, 1, 1, 9, "女弓");
    femaleBow.Requires[0] = {1, 2, "2", "0"};
    femaleBow.Statuses[0] = {1, 12};
    femaleBow.Effects[0] = 1;
    TItemRow hair = item(9, 1, 1, 0, 0, "髪");
    hair.Type = 2;
    hair.Category = 1301;
    TClientWriter client;
    client.Add("DATA/LDT/ITEM_1.LDT",
               WriteItemTable({item(1, 13, 5, 1, 3, "Sword\tA"), item(2, 13, 2, 2, 9, "Bow"), femaleBow, hair}));
    client.Add("DATA/LDT/GLOBAL_STRING.LDT",
               WriteTextTable("_STRING", {{1000011, "戦闘装備"}, {1020001, "攻撃力 %+d"}, {1200002, "女性"}}));
    client.Add("DATA/LDT/EFFECT.LDT", WriteTextTable("_Name", {{1, "炎の力"}}));
    client.AddMinimalTables();
    client.Write(dir.Path());
  }
  test::TempDir dir;
};

TEST_F(DatabaseCommandsTest, InfoCountsEveryList) {
  const TCliResult result = RunCommand({"info", dir.Path()});
  ASSERT_EQ(result.Code, 0) << result.Err;
  const std::string& out = result.Out;
  EXPECT_EQ(out.substr(0, out.find("equipment.male.2")),
            "items\t4\nequipment.male.1\t0\n");
  EXPECT_NE(out.find("\nequipment.male.13\t2\n"), std::string::npos);
  EXPECT_NE(out.find("\nequipment.female.13\t3\n"), std::string::npos);
  EXPECT_NE(out.find("\nhairs.male\t1\nhairs.female\t0\nfaces.male\t0\n"), std::string::npos);
  EXPECT_NE(out.find("\nspritetables\t0\nload_ms\t"), std::string::npos);
  size_t lines = 0;
  for (char c : out) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 32 + 2 + 2 + 1 + 2 + 2 + 2 + 1 + 2 + 1 + 1 + 6 + 1);
}

TEST_F(DatabaseCommandsTest, ItemsListsTheFilteredSlotInOrder) {
  TCliResult result = RunCommand({"items", dir.Path(), "--slot", "13"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "id\tname\tcategory\tnum\tcolor\tsubtype\tkind\tcash\tpos1\tsub11\tsub12\tlevel\tnamecolor\n"
            "2\tBow\t500\t2\t1\t2\t9\t0\t13\t0\t0\t0\tFF123456\n"
            "1\tSword\\tA\t500\t5\t1\t1\t3\t0\t13\t0\t0\t0\tFF123456\n");

  result = RunCommand({"items", dir.Path(), "--slot", "13", "--gender", "female", "--weapon", "9", "--filter",
                       "functional"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out.substr(result.Out.find('\n') + 1), "3\t女弓\t500\t1\t1\t1\t9\t0\t13\t0\t0\t0\tFF123456\n");

  result = RunCommand({"items", dir.Path(), "--slot", "13", "--search", "女", "--gender-free"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out.substr(result.Out.find('\n') + 1, 2), "3\t");

  EXPECT_EQ(RunCommand({"items", dir.Path(), "--slot", "17"}).Code, 2);
  EXPECT_EQ(RunCommand({"items", dir.Path(), "--job", "53"}).Code, 2);
  EXPECT_EQ(RunCommand({"items", dir.Path(), "--gender", "other"}).Code, 2);
  EXPECT_EQ(RunCommand({"items", dir.Path(), "--filter", "cheap"}).Code, 2);
  EXPECT_EQ(RunCommand({"items", dir.File("missing")}).Code, 1);
}

TEST_F(DatabaseCommandsTest, CardPrintsItsTextsOrWritesItsPicture) {
  TCliResult result = RunCommand({"card", dir.Path(), "3", "--lines"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "10\t#FF123456\t女弓\n"
            "27\t#FF000000\t[戦闘装備 - N/A]\n"
            "57\t#FFF70000\t性別制限: 女性\n"
            "87\t#FF000000\t攻撃力 +12\n"
            "102\t#FF000000\t炎の力\n");

  const std::string png = dir.File("card.png");
  result = RunCommand({"card", dir.Path(), "3", "-o", png});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out, png + "\n");
  const TPngImage picture = LoadPngFromFile(png);
  EXPECT_EQ(picture.ColorType, pctRGBA);
  ASSERT_EQ(picture.Width, 205);
  ASSERT_EQ(picture.Height, 50 + 15 * 5);
  EXPECT_EQ(picture.PixelColor32(0, 0), 0u);  // a cut corner
  EXPECT_EQ(picture.PixelColor32(2, 2), 0xFF315597u);
  EXPECT_EQ(picture.PixelColor32(100, 40), 0xFFFFFFFFu);

  result = RunCommand({"card", dir.Path(), "999", "--lines"});
  EXPECT_EQ(result.Code, 1);
  EXPECT_NE(result.Err.find("no item 999"), std::string::npos);
  EXPECT_EQ(RunCommand({"card", dir.Path(), "3"}).Code, 2);
  EXPECT_EQ(RunCommand({"card", dir.Path(), "3", "--lines", "-o", png}).Code, 2);
  EXPECT_EQ(RunCommand({"card", dir.Path(), "3", "-o", dir.File("card.bmp")}).Code, 2);
  EXPECT_EQ(RunCommand({"card", dir.Path(), "three", "--lines"}).Code, 2);
}

}  // namespace
}  // namespace varune::cli
