#include "viewer/outfit_history.h"

#include <gtest/gtest.h>

namespace varune {
namespace {

TOutfitSnapshot Worn(int32_t n, int32_t job = 1) { return {"code" + std::to_string(n), job}; }

void Step(TOutfitHistory& history, const TOutfitSnapshot& before, const TOutfitSnapshot& after) {
  history.BeginStep(before);
  history.EndStep(after);
}

TEST(OutfitHistoryTest, UndoAndRedoWalkTheStepsAndANewStepDropsTheRedo) {
  TOutfitHistory history;
  EXPECT_FALSE(history.Undo(Worn(0)));
  Step(history, Worn(0), Worn(1));
  Step(history, Worn(1), Worn(1, 5));  // the job alone is a change
  Step(history, Worn(1, 5), Worn(1, 5));  // nothing changed: no step
  EXPECT_EQ(history.Undo(Worn(1, 5)), Worn(1));
  EXPECT_EQ(history.Undo(Worn(1)), Worn(0));
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.Redo(Worn(0)), Worn(1));
  ASSERT_TRUE(history.CanRedo());
  Step(history, Worn(1), Worn(7));
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.Undo(Worn(7)), Worn(1));
  EXPECT_EQ(history.Redo(Worn(1)), Worn(7));
}

TEST(OutfitHistoryTest, NestedActionsAreOneStep) {
  TOutfitHistory history;
  history.BeginStep(Worn(0));
  history.BeginStep(Worn(1));  // the gender change puts base parts on
  history.EndStep(Worn(2));
  EXPECT_TRUE(history.InStep());
  history.EndStep(Worn(3));
  EXPECT_EQ(history.Undo(Worn(3)), Worn(0));
  EXPECT_FALSE(history.CanUndo());
  history.EndStep(Worn(4));  // an end without a beginning records nothing
  EXPECT_FALSE(history.CanUndo());
}

TEST(OutfitHistoryTest, TheOldestStepsGoBeyondTheLimit) {
  TOutfitHistory history;
  for (int32_t n = 0; n < 150; ++n) Step(history, Worn(n), Worn(n + 1));
  TOutfitSnapshot current = Worn(150);
  int32_t undone = 0;
  while (const auto previous = history.Undo(current)) current = *previous, ++undone;
  EXPECT_EQ(undone, 100);
  EXPECT_EQ(current, Worn(50));
}

}  // namespace
}  // namespace varune
