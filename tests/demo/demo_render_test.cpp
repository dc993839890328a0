// The demo client as a person sees it: dressed characters that are visible,
// of the intended size, and move; and a generator that repeats itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "archive/spf.h"
#include "character/chara.h"
#include "cli/cli.h"
#include "demo/contact_sheet.h"
#include "demo/demo_fixture.h"

namespace varune::test {
namespace {

struct TBounds {
  int32_t Pixels = 0, Top = 1 << 30, Bottom = -1;
};

// The figure's solid pixels; the ground shadow is only half transparent.
TBounds Solid(const TBitmap32& view) {
  TBounds b;
  for (int32_t y = 0; y < view.Height(); ++y)
    for (int32_t x = 0; x < view.Width(); ++x)
      if (AlphaComponent(view.Pixel(x, y)) > 200) {
        ++b.Pixels;
        b.Top = std::min(b.Top, y), b.Bottom = std::max(b.Bottom, y);
      }
  return b;
}

TBitmap32 Frame(const TChara& chara, int32_t frame) {
  TBitmap32 view(250, 250);
  chara.Draw(view, 128, 200, frame);
  return view;
}

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
  return std::equal(a.Bits(), a.Bits() + a.Width() * a.Height(), b.Bits());
}

TEST(DemoRender, OutfitsOfBothGendersAreVisibleInEveryFrameAndMove) {
  auto database = TDemoFixture::Get().Load();
  TChara chara(*database);
  const std::vector<demo::TOutfit>& outfits = demo::ShowcaseOutfits();
  const TAnimationType animations[] = {atStand, atMove, atRun, atNormalAttack01, atHeavyAttack02, atJumpUp,
                                       atSitDown, atDown, atLadderMoveUp};
  std::set<TGenderType> genders;
  // Every other outfit keeps the run short; they alternate genders.
  for (size_t o = 0; o < outfits.size(); o += 2) {
    demo::Dress(chara, *database, outfits[o]);
    genders.insert(chara.Gender());
    ASSERT_FALSE(chara.GetCurrentEquipIDList().empty());
    for (TAnimationType animation : animations) {
      chara.SetAnimationType(animation);
      ASSERT_GT(chara.FrameCount(), 1) << AnimationTypeNames[animation];
      const TBitmap32 first = Frame(chara, 0);
      bool moves = false;
      for (int32_t f = 0; f < chara.FrameCount(); ++f) {
        const TBitmap32 view = f ? Frame(chara, f) : first;
        EXPECT_GT(Solid(view).Pixels, 1000) << AnimationTypeNames[animation] << " frame " << f;
        moves |= !SamePixels(view, first);
      }
      EXPECT_TRUE(moves) << AnimationTypeNames[animation];
    }
  }
  EXPECT_EQ(genders.size(), 2u);
}

void TheDefaultCharacterStandsSixtyToNinetyPixelsTall(TVaruneDatabase* database) {
  for (TGenderType gender : {gtMale, gtFemale}) {
    TChara chara(*database);
    chara.SetGender(gender);
    const TBounds bounds = Solid(Frame(chara, 0));
    const int32_t height = bounds.Bottom - bounds.Top + 1;
    EXPECT_GE(height, 60) << gender;
    EXPECT_LE(height, 90) << gender;
    EXPECT_GE(bounds.Bottom, 195);  // standing on the feet point
    EXPECT_LE(bounds.Bottom, 202);
  }
}

void BrimmedHatsSwitchTheBackHairAndHoodsHideIt(TVaruneDatabase* database) {
  TChara chara(*database);
  chara.SetGender(gtFemale);  // long hair by default
  const TBitmap32 bare = Frame(chara, 0);
  auto withHat = [&](int32_t category) {
    demo::Dress(chara, *database, {gtFemale, 1, {}, {{category, 1, 1}}});
    EXPECT_EQ(chara.GetEquipObj(1)->FCategory, category);
    return Frame(chara, 0);
  };
  const TBitmap32 ribbon = withHat(902), cap = withHat(901), hood = withHat(903);
  // Below the head the long hair shows by the back; a brimmed hat tucks it
  // up, a hood takes it away.
  auto hairBelowHead = [](const TBitmap32& view) {
    int32_t pixels = 0;
    for (int32_t y = 170; y < 190; ++y)
      for (int32_t x = 136; x < 160; ++x) pixels += AlphaComponent(view.Pixel(x, y)) > 200;
    return pixels;
  };
  EXPECT_EQ(hairBelowHead(ribbon), hairBelowHead(bare));
  EXPECT_LT(hairBelowHead(cap), hairBelowHead(bare));
  EXPECT_LT(hairBelowHead(hood), hairBelowHead(cap) + 1);
}

TEST(DemoRender, FigureHasTheViewsSizeAndHatsActOnTheHair) {
  auto database = TDemoFixture::Get().Load();
  {
    SCOPED_TRACE("size");
    TheDefaultCharacterStandsSixtyToNinetyPixelsTall(database.get());
  }
  {
    SCOPED_TRACE("hats");
    BrimmedHatsSwitchTheBackHairAndHoodsHideIt(database.get());
  }
}

TEST(DemoClient, WritesTheSameBytesEveryTime) {
  const TDemoFixture& fixture = TDemoFixture::Get();
  TempDir again;
  demo::WriteDemoClient(again.Path());
  for (const char* name : ArchiveFileNames) {
    const std::string a = fixture.Dir.File(name), b = again.File(name);
    ASSERT_EQ(std::filesystem::file_size(a), std::filesystem::file_size(b)) << name;
    EXPECT_TRUE(ReadWholeFile(a) == ReadWholeFile(b)) << name;
  }
}

TEST(DemoClient, CommandRefusesAnUnknownScale) {
  TempDir dir;
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCli({"demo-client", dir.Path(), "--scale", "huge"}, out, err), cli::ecUsage);
  EXPECT_NE(err.str().find("--scale"), std::string::npos);
}

}  // namespace
}  // namespace varune::test
