#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "database/client_writer.h"
#include "imaging/text.h"
#include "support/temp_dir.h"
#include "viewer/item_card.h"

namespace varune {
namespace {

constexpr TColor32 kRed = kCardRequireColor, kBlack = kCardTextColor;
// The card's lines as text and colour; spacing lines have colour 0.
using TLines = std::vector<std::pair<std::string, TColor32>>;
// Status types of the client's global strings 1020000 + type.
enum : int32_t { kAttack = 1, kDefence = 2, kEvasion = 3, kHit = 4 };

// A client holding only the global strings and effects the card reads.
class TCardClient {
 public:
  TCardClient() {
    TClientWriter client;
    client.Add("DATA/LDT/GLOBAL_STRING.LDT",
               WriteTextTable("_STRING", {{1000011, "戦闘装備"},
                                          {1000012, "ファッション"},
                                          {1206003, "片手剣"},
                                          {1020000 + kAttack, "攻撃力 %+d"},
                                          {1020000 + kDefence, "防御力 %d"},
                                          {1020000 + kEvasion, "回避率 %d%%"},
                                          {1020000 + kHit, "命中 +%d"},
                                          {6000019, "剣士"},
                                          {6000020, "弓使い"},
                                          {6000021, "魔法使い"},
                                          {1200002, "女性"}}));
    client.Add("DATA/LDT/EFFECT.LDT", WriteTextTable("_Name", {{1, "炎属性の攻撃"}, {2, "毒を防ぐ"}}));
    client.AddMinimalTables();
    client.Write(FDir.Path());
  }
  const std::string& Path() const { return FDir.Path(); }

 private:
  test::TempDir FDir;
};

class ItemCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const TCardClient client;
    // Loaded per test: the loader fills the process-wide job and gender names.
    database.LoadPath(client.Path());
    item.FName = "Iron Sword";
    item.FNameColor = 0xFF204080;
    item.FSubType = kSubTypeBattle;
  }
  TItemCard Measure() const { return MeasureItemHint(item, database); }
  static TLines Lines(const TItemCard& Card) {
    TLines lines;
    for (const TItemCardLine& line : Card.FStrings) lines.emplace_back(line.Text, line.Text.empty() ? 0 : line.Color);
    return lines;
  }
  TVaruneDatabase database;
  TVaruneItem item;
};

TEST_F(ItemCardTest, AnItemWithoutLinesShowsNameAndKindOnly) {
  TItemCard card = Measure();
  EXPECT_TRUE(card.FStrings.empty());
  EXPECT_EQ(card.FHeight, 50);
  EXPECT_EQ(card.FWidth, 205);
  EXPECT_EQ(card.FKindLine, "[戦闘装備]");
  const std::vector<TItemCardText> texts = ItemCardTexts(card);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].Y, 10);
  EXPECT_EQ(texts[0].Color, 0xFF204080u);
  EXPECT_TRUE(texts[0].Bold);
  EXPECT_EQ(texts[1].Y, 27);

  // A long name widens the card by 16 pixels beyond it.
  item.FName = std::string(40, 'W');
  TFont nameFont;
  nameFont.Height = -13;
  nameFont.Bold = true;
  EXPECT_EQ(Measure().FWidth, TextWidth(nameFont, item.FName) + 16);
}

TEST_F(ItemCardTest, KindLineFallsBackWhenStringsAreMissing) {
  item.FKind = 3;
  EXPECT_EQ(Measure().FKindLine, "[戦闘装備 - 片手剣]");
  item.FSubType = kSubTypeFashion;
  item.FKind = 4;
  EXPECT_EQ(Measure().FKindLine, "[ファッション - N/A]");
  item.FSubType = 3;
  item.FKind = std::numeric_limits<int32_t>::max();  // no string ID overflows
  EXPECT_EQ(Measure().FKindLine, "[ - N/A]");
  item.FKind = 0;
  EXPECT_EQ(Measure().FKindLine, "[]");
}

TEST_F(ItemCardTest, LevelAndRequirementLines) {
  item.FItemLvValue = 1;
  EXPECT_TRUE(Measure().FStrings.empty());
  item.FItemLvValue = 2;
  item.FRequires[0] = {1, kRequireJob, 0b101, 0};
  item.FRequires[1] = {0, kRequireJob, 0b10, 0};  // not in use
  item.FRequires[2] = {1, kRequireGender, 2, 0};
  item.FRequires[3] = {1, 7, 1, 0};  // an ID the card does not describe
  EXPECT_EQ(Lines(Measure()), (TLines{{"", 0}, {"制限レベル: 2 ▲", kRed}, {"職業: 剣士. 魔法使い. ", kRed},
                                      {"性別制限: 女性", kRed}}));
  item.FItemLvValue = 0;
  item.FRequires[0].Value1 = 0;
  item.FRequires[2].Value1 = 3;
  EXPECT_EQ(Lines(Measure()), (TLines{{"", 0}, {"職業: ", kRed}, {"性別制限: ", kRed}}));
}

TEST_F(ItemCardTest, StatusValuesReplaceTheirPlaceholders) {
  item.FStatuses = {{{kAttack, 12}, {kAttack, -3}, {kEvasion, 5}, {kHit, 0}}};
  EXPECT_EQ(Lines(Measure()), (TLines{{"", 0}, {"攻撃力 +12", kBlack}, {"攻撃力 -3", kBlack},
                                      {"回避率 +5%", kBlack}, {"命中 0", kBlack}}));
  // Statuses without a string give no line, whatever their type.
  item.FStatuses = {{{kDefence, 7}, {99, 1}, {std::numeric_limits<int32_t>::max(), 1}, {0, 1}}};
  EXPECT_EQ(Lines(Measure()), (TLines{{"", 0}, {"防御力 +7", kBlack}}));
}

TEST_F(ItemCardTest, EmptyLinesSeparateRequirementsFromStatusesOnly) {
  item.FRequires[0] = {1, kRequireJob, 0b1, 0};
  item.FRequires[1] = {1, kRequireGender, 2, 0};
  item.FStatuses[0] = {kAttack, 4};
  TItemCard card = Measure();
  EXPECT_EQ(Lines(card), (TLines{{"", 0}, {"職業: 剣士. ", kRed}, {"性別制限: 女性", kRed}, {"", 0},
                                 {"攻撃力 +4", kBlack}}));
  EXPECT_EQ(card.FHeight, 50 + 15 * 5);
  // Texts skip the empty lines but keep their places.
  std::vector<int32_t> ys;
  for (const TItemCardText& text : ItemCardTexts(card)) ys.push_back(text.Y);
  EXPECT_EQ(ys, (std::vector<int32_t>{10, 27, 57, 72, 102}));

  item.FRequires[1] = {};
  item.FStatuses[0] = {};
  item.FEffects = {0, 2, 9, 1};  // 9 does not exist
  EXPECT_EQ(Lines(Measure()),
            (TLines{{"", 0}, {"職業: 剣士. ", kRed}, {"毒を防ぐ", kBlack}, {"炎属性の攻撃", kBlack}}));
}

TEST_F(ItemCardTest, CornersAreCutAndTheBorderIsDoubled) {
  item.FStatuses[0] = {kAttack, 1};
  TBitmap32 buffer;
  PaintItemCard(Measure(), buffer);
  const int32_t w = buffer.Width(), h = buffer.Height();
  ASSERT_EQ(w, 205);
  ASSERT_EQ(h, 80);
  // Each corner with the directions that point into the card.
  for (const auto& [x, y, dx, dy] : {std::array{0, 0, 1, 1}, std::array{w - 1, 0, -1, 1},
                                      std::array{0, h - 1, 1, -1}, std::array{w - 1, h - 1, -1, -1}}) {
    SCOPED_TRACE(testing::Message() << "corner " << x << "," << y);
    EXPECT_EQ(buffer.Pixel(x, y), kCardKeyColor);
    EXPECT_EQ(buffer.Pixel(x + dx, y), kCardKeyColor);
    EXPECT_EQ(buffer.Pixel(x, y + dy), kCardKeyColor);
    EXPECT_EQ(buffer.Pixel(x + 2 * dx, y + 2 * dy), kCardBorderColor);
    EXPECT_EQ(buffer.Pixel(x + dx, y + dy), kCardBorderColor);  // the inner frame's corner
    EXPECT_EQ(buffer.Pixel(x + 3 * dx, y + 3 * dy), kCardBackColor);
  }
  EXPECT_EQ(buffer.Pixel(100, 0), kCardBorderColor);
  EXPECT_EQ(buffer.Pixel(100, 1), kCardBorderColor);
  EXPECT_EQ(buffer.Pixel(100, 2), kCardBackColor);

  // The name is drawn in its colour, the status line in black from x 8.
  auto count = [&](TColor32 color, int32_t top, int32_t bottom) {
    int32_t n = 0;
    for (int32_t y = top; y < bottom; ++y)
      for (int32_t x = 0; x < w; ++x) n += buffer.Pixel(x, y) == color;
    return n;
  };
  EXPECT_GT(count(0xFF204080, 10, 27), 10);
  EXPECT_GT(count(kBlack, 57, 72), 10);

  ApplyCardColorKey(buffer);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool cut = (x < 2 || x >= w - 2) && (y < 2 || y >= h - 2) && (x == 0 || x == w - 1 || y == 0 || y == h - 1);
      ASSERT_EQ(AlphaComponent(buffer.Pixel(x, y)), cut ? 0 : 255) << x << "," << y;
    }
}

TEST(PlaceItemCardTest, KeepsTheCardOnTheScreenUnderThePointer) {
  const TRect left{-1920, -200, 0, 880};  // a screen left of and above the primary one
  EXPECT_EQ(PlaceItemCard({-100, 300, 105, 380}, left), (TRect{-205, 300, 0, 380}));
  EXPECT_EQ(PlaceItemCard({-1930, 850, -1725, 900}, left), (TRect{-1920, 830, -1715, 880}));
  EXPECT_EQ(PlaceItemCard({-500, -300, -295, -250}, left), (TRect{-500, -200, -295, -150}));
  const TRect primary{0, 0, 1920, 1040};
  EXPECT_EQ(PlaceItemCard({1800, 100, 2005, 150}, primary), (TRect{1715, 100, 1920, 150}));
  EXPECT_EQ(PlaceItemCard({10, 10, 215, 60}, primary), (TRect{10, 10, 215, 60}));
  // Larger than the screen: the top-left corner stays on it.
  EXPECT_EQ(PlaceItemCard({50, 50, 350, 150}, {0, 0, 200, 80}), (TRect{0, 0, 300, 100}));
}

}  // namespace
}  // namespace varune
