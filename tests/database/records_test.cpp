#include <gtest/gtest.h>

#include "database/language.h"
#include "database/lists.h"

namespace varune {
namespace {

TVaruneItem ItemWith(std::initializer_list<TVaruneRequire> requirements) {
  TVaruneItem item(1);
  size_t i = 0;
  for (const TVaruneRequire& require : requirements) item.FRequires[i++] = require;
  return item;
}

TEST(RecordsTest, GenderTestSkipsRequirementsNotInUse) {
  const TVaruneItem female = ItemWith({{0, 2, 1, 0}, {1, 2, 2, 0}});
  EXPECT_FALSE(female.IsUsableGender(gtMale));
  EXPECT_TRUE(female.IsUsableGender(gtFemale));
  for (int64_t both : {int64_t{0}, int64_t{3}, int64_t{1} << 32}) {  // only the low 32 bits count
    const TVaruneItem item = ItemWith({{1, 2, both, 0}});
    EXPECT_TRUE(item.IsUsableGender(gtMale)) << both;
    EXPECT_TRUE(item.IsUsableGender(gtFemale)) << both;
  }
  const TVaruneItem firstWins = ItemWith({{1, 2, 1, 0}, {1, 2, 2, 0}});
  EXPECT_FALSE(firstWins.IsUsableGender(gtFemale));
  EXPECT_TRUE(ItemWith({{1, 7, 1, 0}}).IsUsableGender(gtFemale));  // other kinds are ignored
}

TEST(RecordsTest, JobTestUsesTheFirstJobRequirementOnly) {
  const TVaruneItem jobs1And3 = ItemWith({{1, 1, 5, 0}, {1, 1, 2, 0}});
  EXPECT_TRUE(jobs1And3.IsUsableJob(JobBitFlag(1)));
  EXPECT_FALSE(jobs1And3.IsUsableJob(JobBitFlag(2)));
  EXPECT_TRUE(jobs1And3.IsUsableJob(JobBitFlag(3)));
  EXPECT_FALSE(ItemWith({{1, 1, 0, 0}}).IsUsableJob(JobBitFlag(1)));
  EXPECT_TRUE(ItemWith({{1, 1, int64_t{1} << 51, 0}}).IsUsableJob(JobBitFlag(52)));
  EXPECT_TRUE(ItemWith({}).IsUsableJob(JobBitFlag(40)));
  EXPECT_EQ(JobBitFlag(0), 0);
  EXPECT_EQ(JobBitFlag(53), 0);
  EXPECT_EQ(JobBitFlag(-5), 0);
}

TEST(ListsTest, OwningAndReferringListsAndLookups) {
  TVaruneItemList owner(true), view(false);
  for (auto [id, num, category, color] : {std::array{10, 2, 1, 1}, {11, 1, 9, 0}, {12, 1, 3, 5}, {13, 1, 3, 2}}) {
    auto item = std::make_unique<TVaruneItem>(id);
    item->FNum = num;
    item->FCategory = category;
    item->FColorID = color;
    view.Add(item.get());
    owner.Add(std::move(item));
  }
  view.Sort();
  std::vector<int32_t> order;
  for (const TVaruneItem* item : view) order.push_back(item->FIndex);
  EXPECT_EQ(order, (std::vector<int32_t>{13, 12, 11, 10}));
  EXPECT_EQ(owner.IndexOf(12), 2);
  EXPECT_EQ(owner.IndexOf(99), -1);
  EXPECT_THROW(owner.GetItem(4), Error);
  EXPECT_THROW(view.Add(std::make_unique<TVaruneItem>(1)), Error);  // a referring list takes no ownership

  view.Clear();  // frees nothing: the owner's records stay valid
  EXPECT_EQ(owner.GetItem(0)->FIndex, 10);
  owner.Delete(0);
  EXPECT_EQ(owner.Count(), 3);
  EXPECT_EQ(owner.GetItem(0)->FIndex, 11);
}

TEST(ListsTest, DuplicateIdsFindTheFirst) {
  TVaruneEffectList effects;
  for (auto [id, name] : {std::pair{5, "a"}, {5, "b"}}) {
    auto effect = std::make_unique<TVaruneEffect>(id);
    effect->FName = name;
    effects.Add(std::move(effect));
  }
  EXPECT_EQ(effects.Find(5)->FName, "a");
}

TEST(ListsTest, MotionJobs) {
  TVaruneMotionList motions;
  for (int32_t id : {1005, 2005, 3012}) motions.Add(std::make_unique<TVaruneMotion>(id));
  EXPECT_EQ(motions.IndexOf(3, 12), 2);
  EXPECT_EQ(motions.GetJobByMotion(5), 2);  // the later record wins
  EXPECT_EQ(motions.GetJobByMotion(7), -1);

  const TVaruneItem job3 = ItemWith({{1, 1, 12, 0}});
  EXPECT_EQ(motions.GetJobByItem(job3), 3);
  TVaruneItem highJob = ItemWith({{1, 1, int64_t{1} << 40, 0}});
  highJob.FMotionTypeID1 = 12;
  EXPECT_EQ(motions.GetJobByItem(highJob), 3);  // low word 0: found through the motion type
  EXPECT_EQ(motions.GetJobByItem(ItemWith({})), -1);
}

TEST(LanguageTest, TablesFollowTheChosenLanguage) {
  SetJapaneseUI(true);
  EXPECT_EQ(EquipSlotNames[12], "武器");
  EXPECT_EQ(EquipFilterNames[3], "有料装備");
  EXPECT_EQ(LangText("Weapon", "武器"), "武器");
  SetJapaneseUI(false);
  EXPECT_EQ(EquipSlotNames[2], "Earings");
  EXPECT_EQ(EquipFilterNames[1], "Only functional");
  EXPECT_EQ(WeaponKindNames[0], "すべての武器");
  EXPECT_EQ(WeaponKindNames[27], "ソウルストーン");
  EXPECT_EQ(LangText("Weapon", "武器"), "Weapon");
  EXPECT_EQ(MotionColumnNames[atLightAttack01], "LIGHT_ATTACK01");
  EXPECT_EQ(AnimationTypeNames[atFishinfWait], "atFishinfWait");
  EXPECT_EQ(MotionColumnNames[atFishinfWait], "FISHING_WAIT");
  EXPECT_EQ(MotionColumnNames[atEmotIcon], "");
}

}  // namespace
}  // namespace varune
