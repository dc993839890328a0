#include <gtest/gtest.h>

#include "character/chara.h"
#include "client/test_client.h"
#include "imaging/blend.h"

namespace varune {
namespace {

using namespace test;

constexpr int32_t kX = 40, kY = 40;
// White under the ground shadow, where the checks below look.
constexpr TColor32 kBlank = BlendPixel(kShadowColor, 0xFFFFFFFF);

class CharaDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = client().Load();
    chara = std::make_unique<TChara>(*database);
  }
  static const TTestClient& client() {
    static const TTestClient instance;
    return instance;
  }
  const TVaruneItem* Item(int32_t id) const { return database->ItemList().Find(id); }

  // Draws the current frame on an opaque white surface.
  TBitmap32 Picture(int32_t frame = -1) {
    TBitmap32 picture(80, 80);
    picture.Clear(0xFFFFFFFF);
    if (frame < 0)
      chara->Draw(picture, kX, kY);
    else
      chara->Draw(picture, kX, kY, frame);
    return picture;
  }
  static TColor32 Cell(int32_t layer, int32_t item, int32_t cell = 0) {
    return TTestClient::CellColor(layer, item, cell);
  }

  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
};

TEST_F(CharaDrawTest, LayersLandAtExactPositionsFirstListedInFront) {
  const TBitmap32 picture = Picture();
  // Tops (listed before the body) cover the body where both lie.
  for (int32_t y = kY - 8; y < kY - 4; ++y)
    for (int32_t x = kX; x < kX + 4; ++x) EXPECT_EQ(picture.Pixel(x, y), Cell(kLayerTops, kTopsMale)) << x << "," << y;
  EXPECT_EQ(picture.Pixel(kX - 1, kY - 8), kBlank);
  EXPECT_EQ(picture.Pixel(kX, kY - 4), Cell(kLayerBottoms, kBottomsMale));
  EXPECT_EQ(picture.Pixel(kX, kY - 12), Cell(kLayerFace, kFaceMale));
  // Hair layer 23, image 4: cell ID 3 folds to 1.
  EXPECT_EQ(picture.Pixel(kX + 3, kY - 13), Cell(kLayerHair, kHairMale, 1));
}

TEST_F(CharaDrawTest, HideOptionsLeaveOutBaseLayersOnly) {
  chara->HideOptions = hoTops;
  EXPECT_EQ(Picture().Pixel(kX, kY - 8), Cell(kLayerBody, kBody));
  chara->HideOptions = hoTops | hoBody;
  EXPECT_EQ(Picture().Pixel(kX, kY - 8), kBlank);
  chara->Equip(Item(kTop));
  EXPECT_EQ(Picture().Pixel(kX, kY - 8), Cell(kLayerTops, kTop));  // equipment is never hidden
  chara->HideOptions = hoFace | hoHair;
  const TBitmap32 picture = Picture();
  EXPECT_EQ(picture.Pixel(kX, kY - 12), kBlank);
  EXPECT_EQ(picture.Pixel(kX + 3, kY - 13), kBlank);
}

TEST_F(CharaDrawTest, HatsAndBottoms) {
  chara->Equip(Item(kHatHidingHair));
  TBitmap32 picture = Picture();
  EXPECT_EQ(picture.Pixel(kX + 3, kY - 13), kBlank);
  EXPECT_EQ(picture.Pixel(kX, kY - 20), Cell(kLayerHat, kHatHidingHair));

  chara->Equip(Item(kHatSecondHairSet));  // image 4 asks for cell 3 + 12
  EXPECT_EQ(Picture().Pixel(kX + 3, kY - 13), Cell(kLayerHair, kHairMale, 15));

  chara->Equip(Item(kBottom));  // its own layer elsewhere, yet the base bottoms go
  picture = Picture();
  EXPECT_EQ(picture.Pixel(kX, kY - 4), kBlank);
  EXPECT_EQ(picture.Pixel(kX + 4, kY - 4), Cell(kLayerHat + 5, kBottom));
}

TEST_F(CharaDrawTest, MirroredAndTurnedCellsAndTheShadow) {
  chara->SetAnimationType(atRun);
  const TBitmap32 picture = Picture();
  // Mirrored body: columns x + 10 - 2 * 1 - 1 - x for cell columns x.
  for (int32_t x = kX + 4; x < kX + 8; ++x) EXPECT_EQ(picture.Pixel(x, kY), Cell(kLayerBody, kBody)) << x;
  EXPECT_NE(picture.Pixel(kX + 10, kY), Cell(kLayerBody, kBody));
  // A quarter turn clockwise about (-1, -1) of the cell: columns -6 to -3 from x + 20.
  for (int32_t x = kX + 14; x < kX + 18; ++x) EXPECT_EQ(picture.Pixel(x, kY + 2), Cell(kLayerTops, kTopsMale)) << x;
  EXPECT_EQ(picture.Pixel(kX + 18, kY + 2), kBlank);
  // The shadow is centred on the feet, its top 16 pixels above them.
  EXPECT_EQ(picture.Pixel(kX - 32, kY - 16), kBlank);
  EXPECT_EQ(picture.Pixel(kX + 31, kY + 15), kBlank);
  EXPECT_EQ(picture.Pixel(kX - 33, kY - 16), 0xFFFFFFFFu);
  EXPECT_EQ(picture.Pixel(kX + 32, kY + 15), 0xFFFFFFFFu);
  EXPECT_EQ(picture.Pixel(kX - 32, kY + 16), 0xFFFFFFFFu);
}

TEST_F(CharaDrawTest, DrawingAnotherFrameKeepsTheCurrentOne) {
  const TBitmap32 second = Picture(1);
  EXPECT_EQ(chara->FrameNumber(), 0);
  EXPECT_EQ(second.Pixel(kX, kY - 8), Cell(kLayerTops, kTopsMale, 1));
  EXPECT_EQ(Picture().Pixel(kX, kY - 8), Cell(kLayerTops, kTopsMale, 0));
}

TEST_F(CharaDrawTest, WithoutFramesOnlyTheShadow) {
  chara->SetEmotIconNum(7);
  chara->SetAnimationType(atEmotIcon);
  ASSERT_EQ(chara->FrameCount(), 0);
  TBitmap32 picture(80, 80);
  chara->Draw(picture, kX, kY);
  int32_t covered = 0;
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 80; ++x) covered += picture.Pixel(x, y) != 0;
  EXPECT_EQ(covered, 64 * 32);
}

}  // namespace
}  // namespace varune
