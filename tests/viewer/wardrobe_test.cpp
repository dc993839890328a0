#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "demo/demo_fixture.h"
#include "viewer/wardrobe.h"

namespace varune {
namespace {

using test::TDemoFixture;

const std::string& DemoDir() {
  static const std::string dir = TDemoFixture::Get().Dir.Path() + "/";
  return dir;
}

// Steps that log their names and the character's modifications; the step
// named `Failing` throws.
struct TStepLog {
  std::vector<std::string> Ran;
  int32_t Modified = 0;
  std::string Failing;

  std::function<void()> Step(const std::string& Name) {
    return [this, Name] {
      Ran.push_back(Name);
      if (Name == Failing) throw std::runtime_error(Name);
    };
  }
  TCreationSteps Steps() {
    TCreationSteps steps;
    steps.ConnectEvents = [this](TChara& Chara) {
      Chara.OnModified = [this](TChara&) { ++Modified; };
      Step("ConnectEvents")();
    };
    steps.GenderChanged = Step("GenderChanged");
    steps.LoadSettings = Step("LoadSettings");
    steps.FillJobs = Step("FillJobs");
    steps.ClearAnimationTypes = Step("ClearAnimationTypes");
    steps.AddAnimationTypes = Step("AddAnimationTypes");
    steps.SelectFirstAnimationType = Step("SelectFirstAnimationType");
    steps.ApplyJobFilter = Step("ApplyJobFilter");
    return steps;
  }
};

const std::vector<std::string> kStepOrder = {
    "ConnectEvents",     "GenderChanged",     "LoadSettings",           "FillJobs",
    "ClearAnimationTypes", "AddAnimationTypes", "SelectFirstAnimationType", "ApplyJobFilter"};

TEST(WardrobeTest, CreatesDatabaseAndCharacterAndRunsTheStepsInOrder) {
  TWardrobe wardrobe;
  EXPECT_EQ(wardrobe.DataBase(), nullptr);
  TStepLog log;
  uint32_t now = 1234;
  ASSERT_TRUE(wardrobe.Create(DemoDir(), true, log.Steps(), [&] { return now; }));
  EXPECT_EQ(wardrobe.ErrorNo(), 9);
  EXPECT_EQ(log.Ran, kStepOrder);
  EXPECT_EQ(log.Modified, 1);  // once, when updates resume
  ASSERT_NE(wardrobe.DataBase(), nullptr);
  ASSERT_NE(wardrobe.Chara(), nullptr);
  EXPECT_TRUE(wardrobe.DataBase()->GenderFree());
  EXPECT_GT(wardrobe.DataBase()->ItemList().Count(), 0);
  EXPECT_EQ(wardrobe.Chara()->NextFrame(), now + wardrobe.Chara()->GetFrameTime(1));  // the given clock

  ASSERT_NE(wardrobe.Browser(), nullptr);
  wardrobe.Release();
  EXPECT_EQ(wardrobe.Browser(), nullptr);
  EXPECT_EQ(wardrobe.Chara(), nullptr);
  EXPECT_EQ(wardrobe.DataBase(), nullptr);

  EXPECT_TRUE(wardrobe.Create(DemoDir(), false, {}));
  EXPECT_FALSE(wardrobe.DataBase()->GenderFree());
}

TEST(WardrobeTest, AMissingClientFailsAtStageZero) {
  TWardrobe wardrobe;
  TStepLog log;
  EXPECT_FALSE(wardrobe.Create(TDemoFixture::Get().Dir.File("no such folder"), false, log.Steps()));
  EXPECT_EQ(wardrobe.ErrorNo(), 0);
  EXPECT_EQ(wardrobe.DataBase(), nullptr);
  EXPECT_TRUE(log.Ran.empty());
}

TEST(WardrobeTest, AFailingStepReportsItsStageAndReleasesEverything) {
  struct TCase {
    const char* Failing;
    int32_t Stage;
    int32_t Modified;  // updates resume after a failure of the steps 2 to 4 too
  };
  const TCase cases[] = {
      {"ConnectEvents", 2, 0},       {"GenderChanged", 2, 1},     {"LoadSettings", 3, 1},
      {"FillJobs", 4, 1},            {"ClearAnimationTypes", 5, 1}, {"AddAnimationTypes", 6, 1},
      {"SelectFirstAnimationType", 7, 1}, {"ApplyJobFilter", 8, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Failing);
    TWardrobe wardrobe;
    TStepLog log;
    log.Failing = c.Failing;
    EXPECT_FALSE(wardrobe.Create(DemoDir(), false, log.Steps()));
    EXPECT_EQ(wardrobe.ErrorNo(), c.Stage);
    EXPECT_EQ(log.Modified, c.Modified);
    EXPECT_EQ(log.Ran.back(), c.Failing);  // nothing ran after it
    EXPECT_EQ(wardrobe.DataBase(), nullptr);
    EXPECT_EQ(wardrobe.Chara(), nullptr);
  }
}

TEST(WardrobeTest, ARedrawThatFailsWhenUpdatesResume) {
  TWardrobe wardrobe;
  TCreationSteps steps;
  steps.ConnectEvents = [](TChara& Chara) { Chara.OnModified = [](TChara&) { throw std::runtime_error("redraw"); }; };
  EXPECT_FALSE(wardrobe.Create(DemoDir(), false, steps));
  EXPECT_EQ(wardrobe.ErrorNo(), 5);
  steps.LoadSettings = [] { throw std::runtime_error("settings"); };
  EXPECT_FALSE(wardrobe.Create(DemoDir(), false, steps));
  EXPECT_EQ(wardrobe.ErrorNo(), 3);  // the first failure is the one reported
}

TEST(WardrobeTest, InitializationErrorMessage) {
  EXPECT_STREQ(kInitializationErrorCaption, "初期化エラー");
  EXPECT_EQ(InitializationErrorText(3),
            "キャッシュモードを除き、クライアント起動中には実行できません\r\n"
            "それ以外でこのエラーが出た場合はエラー時の詳細状況に下記情報を添えて作者までどうぞ\r\n"
            "ErrorNo: 3");
}

}  // namespace
}  // namespace varune
