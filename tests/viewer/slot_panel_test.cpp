#include <gtest/gtest.h>

#include "database/panels.h"
#include "demo/demo_fixture.h"
#include "viewer/item_icon.h"
#include "viewer/slot_panel.h"

namespace varune {
namespace {

using test::TDemoFixture;

// The pixels of a w x h block of `Picture` at (X, Y), row by row.
std::vector<TColor32> Block(const TBitmap32& Picture, TPoint At, int32_t W = 32, int32_t H = 32) {
  std::vector<TColor32> pixels;
  for (int32_t y = At.Y; y < At.Y + H; ++y)
    for (int32_t x = At.X; x < At.X + W; ++x) pixels.push_back(Picture.Pixel(x, y));
  return pixels;
}

TEST(SlotHitTest, CellsAreHalfOpenAndGapsAndTheTwoEmptyCellsHoldNoSlot) {
  for (int32_t posID = 1; posID <= kPanelSlotCount; ++posID) {
    const TPoint at = EquipCellOrigin(posID);
    EXPECT_EQ(EquipSlotAt(at), posID);
    EXPECT_EQ(EquipSlotAt({at.X + 31, at.Y + 31}), posID);
    EXPECT_EQ(EquipSlotAt({at.X + 32, at.Y}), -1) << posID;  // the gap on the right, or beyond the grid
    EXPECT_EQ(EquipSlotAt({at.X, at.Y + 32}), -1) << posID;
    EXPECT_EQ(EquipSlotAt({at.X - 1, at.Y}), -1) << posID;
    EXPECT_EQ(EquipSlotAt({at.X, at.Y - 1}), -1) << posID;
  }
  for (const TPoint p : {TPoint{112, 78}, TPoint{143, 109}, TPoint{112, 112}, TPoint{143, 143}})
    EXPECT_EQ(EquipSlotAt(p), -1) << p.X << "," << p.Y;
  EXPECT_EQ(EquipSlotAt({0, 0}), -1);
  EXPECT_EQ(EquipSlotAt({-30, 20}), -1);  // left of the grid, a cell width away
}

TEST(SlotHitTest, GenderButtons) {
  EXPECT_EQ(GenderIconAt({10, 154}), gtMale);
  EXPECT_EQ(GenderIconAt({45, 189}), gtMale);
  EXPECT_EQ(GenderIconAt({56, 154}), gtFemale);
  EXPECT_EQ(GenderIconAt({91, 189}), gtFemale);
  for (const TPoint p : {TPoint{9, 154}, TPoint{10, 153}, TPoint{46, 160}, TPoint{55, 160}, TPoint{92, 154},
                         TPoint{56, 190}})
    EXPECT_EQ(GenderIconAt(p), -1) << p.X << "," << p.Y;
  EXPECT_EQ(EquipSlotAt({20, 160}), -1);
}

TEST(SlotHitTest, TheHintHangsBelowTheCellsCentre) {
  EXPECT_EQ(SlotHintPoint({44, 44}), (TPoint{60, 78}));
  EXPECT_EQ(SlotHintPoint({75, 75}), (TPoint{60, 78}));  // anywhere in the cell of slot 5
  EXPECT_EQ(SlotHintPoint({112, 10}), (TPoint{128, 44}));
  EXPECT_EQ(SlotHintPoint({5, 5}), (TPoint{26, 44}));  // left of and above the grid: truncated toward zero
}

class SlotPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = TDemoFixture::Get().Load();
    chara = std::make_unique<TChara>(*database);
  }
  TBitmap32 Panel(int32_t ViewWidth = 250, int32_t ViewHeight = 250) {
    TBitmap32 buffer(ViewWidth + 164, ViewHeight + 4);
    DrawEquipPanel(buffer, *chara, *database, ViewWidth);
    return buffer;
  }
  // A weapon that takes the shield slot too and has an icon.
  const TVaruneItem* TwoHanded() const {
    for (const TVaruneItem* item : database->GetSpec(gtMale, 13))
      if (item->FSubPosID11 == 14 && item->FIconIndex != 0) return item;
    return nullptr;
  }
  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
};

TEST_F(SlotPanelTest, CellsOfTheGridAndTheWeaponColumn) {
  EXPECT_EQ(EquipCellOrigin(1), (TPoint{10, 10}));
  EXPECT_EQ(EquipCellOrigin(3), (TPoint{78, 10}));
  EXPECT_EQ(EquipCellOrigin(5), (TPoint{44, 44}));
  EXPECT_EQ(EquipCellOrigin(12), (TPoint{78, 112}));
  EXPECT_EQ(EquipCellOrigin(13), (TPoint{112, 10}));
  EXPECT_EQ(EquipCellOrigin(14), (TPoint{112, 44}));
}

TEST_F(SlotPanelTest, EquippedItemsShowTheirIconFadedInTheirSecondCell) {
  const TBitmap32 empty = Panel();
  const TVaruneItem* weapon = TwoHanded();
  ASSERT_NE(weapon, nullptr);
  chara->SetJob(database->MotionList().GetJobByItem(*weapon));
  chara->Equip(weapon);
  ASSERT_EQ(chara->GetEquipObj(14), weapon);
  const TBitmap32 armed = Panel();

  const std::vector<TColor32> own = Block(armed, EquipCellOrigin(13));
  const std::vector<TColor32> second = Block(armed, EquipCellOrigin(14));
  EXPECT_NE(own, Block(empty, EquipCellOrigin(13)));
  EXPECT_NE(second, Block(empty, EquipCellOrigin(14)));
  EXPECT_NE(own, second);
  for (int32_t posID = 1; posID <= 12; ++posID)
    EXPECT_EQ(Block(armed, EquipCellOrigin(posID)), Block(empty, EquipCellOrigin(posID))) << posID;
}

TEST_F(SlotPanelTest, SeparatorsBesideTheCharacterPicture) {
  for (const int32_t width : {250, 200}) {
    const TBitmap32 panel = Panel(width, width);
    const int32_t h = panel.Height();
    for (const int32_t x : {153, 154 + width}) {
      EXPECT_EQ(panel.Pixel(x, 2), kPanelSeparatorColor) << x;
      EXPECT_EQ(panel.Pixel(x, h - 3), kPanelSeparatorColor) << x;
      EXPECT_NE(panel.Pixel(x, 1), kPanelSeparatorColor) << x;
      EXPECT_NE(panel.Pixel(x, h - 2), kPanelSeparatorColor) << x;  // the last pixel is left out
    }
    EXPECT_NE(panel.Pixel(152, 100), kPanelSeparatorColor);
    EXPECT_NE(panel.Pixel(155 + width, 100), kPanelSeparatorColor);
  }
}

TEST_F(SlotPanelTest, TheCurrentGendersButtonIsLit) {
  const TPoint male{10, 154}, female{56, 154};
  const TBitmap32 asMale = Panel();
  chara->SetGender(gtFemale);
  const TBitmap32 asFemale = Panel();
  EXPECT_NE(Block(asMale, male, 36, 36), Block(asFemale, male, 36, 36));
  EXPECT_NE(Block(asMale, female, 36, 36), Block(asFemale, female, 36, 36));
  // The lit buttons over the bare panel.
  TBitmap32 lit(asMale.Width(), asMale.Height());
  TCanvas canvas(lit);
  DrawTable(canvas, lit.Width(), lit.Height(), false);
  database->UIManager().DrawGenderIcon(canvas, male.X, male.Y, gtMale, true);
  database->UIManager().DrawGenderIcon(canvas, female.X, female.Y, gtFemale, true);
  EXPECT_EQ(Block(asMale, male, 36, 36), Block(lit, male, 36, 36));
  EXPECT_EQ(Block(asFemale, female, 36, 36), Block(lit, female, 36, 36));
}

TEST_F(SlotPanelTest, ItemsWithoutIconArtworkDrawNothing) {
  const TVaruneItem* weapon = TwoHanded();
  ASSERT_NE(weapon, nullptr);
  TBitmap32 target(32, 32);
  TCanvas canvas(target);
  EXPECT_TRUE(DrawItemIcon(canvas, 0, 0, *database, *weapon, false));
  TVaruneItem noSheet(1), noIndex(2);
  noSheet.FIcon = -5, noSheet.FIconIndex = 1;
  noIndex.FIcon = weapon->FIcon, noIndex.FIconIndex = 0;
  target.Clear(0xFF000000);
  EXPECT_FALSE(DrawItemIcon(canvas, 0, 0, *database, noSheet, false));
  EXPECT_FALSE(DrawItemIcon(canvas, 0, 0, *database, noIndex, false));
  EXPECT_EQ(Block(target, {0, 0}), std::vector<TColor32>(32 * 32, 0xFF000000));
}

}  // namespace
}  // namespace varune
