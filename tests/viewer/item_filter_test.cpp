#include <gtest/gtest.h>

#include "viewer/item_filter.h"

namespace varune {
namespace {

class ItemFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Add(1, "Iron Sword", 1, 0, 3, 0);
    Add(2, "iron sword", 2, 1, 3, 0);
    Add(3, "Bow of Iron", 1, 0, 9, JobBitFlag(3));
    Add(4, "鉄の剣", 2, 0, 3, JobBitFlag(40));
  }
  void Add(int32_t id, std::string name, int32_t subType, uint32_t cash, int32_t kind, int64_t jobs) {
    auto item = std::make_unique<TVaruneItem>(id);
    item->FName = std::move(name);
    item->FSubType = subType;
    item->FCashCheck = cash;
    item->FKind = kind;
    if (jobs != 0) item->FRequires[0] = {1, kRequireJob, jobs, 0};
    source.Add(item.get());
    owner.Add(std::move(item));
  }
  std::vector<int32_t> Run(const TItemFilter& filter) {
    TVaruneItemList target;
    target.Add(owner.GetItem(0));  // stale content is cleared first
    ApplyItemFilter(source, filter, target);
    std::vector<int32_t> ids;
    for (const TVaruneItem* item : target) ids.push_back(item->FIndex);
    return ids;
  }

  TVaruneItemList owner{true}, source;
};

TEST_F(ItemFilterTest, EachTestAndTheirCombination) {
  TItemFilter filter;
  filter.Slot = 13;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 2, 3, 4}));
  filter.Category = efFunctional;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 3}));
  filter.Category = efFashion;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{2, 4}));
  filter.Category = efShop;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{2}));

  filter = {};
  filter.Slot = 13;
  filter.WeaponKind = 9;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{3}));
  filter.Slot = 12;  // the weapon kind only counts in the weapon slot
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 2, 3, 4}));

  filter = {};
  filter.Search = "Iron";  // case-sensitive
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 3}));
  filter.Search = "鉄";
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{4}));

  filter = {};
  filter.Job = 3;
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 2, 3}));
  filter.Job = 40;  // a job above bit 31
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{1, 2, 4}));

  filter.Category = efFashion;
  filter.Search = "剣";
  EXPECT_EQ(Run(filter), (std::vector<int32_t>{4}));
}

}  // namespace
}  // namespace varune
