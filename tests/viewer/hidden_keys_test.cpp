#include <gtest/gtest.h>

#include <vector>

#include "viewer/hidden_keys.h"

namespace varune {
namespace {

const std::vector<THiddenKey> kFull = {hkLeft, hkRight, hkLeft, hkRight, hkUp, hkUp, hkDown, hkDown, hkA, hkB};

// How many of `Keys` reported the completion.
int32_t Type(THiddenKeys& Counter, const std::vector<THiddenKey>& Keys) {
  int32_t completions = 0;
  for (const THiddenKey key : Keys) completions += Counter.KeyDown(key);
  return completions;
}

TEST(HiddenKeysTest, TheSequenceCompletesOnceAndThenIgnoresEveryKey) {
  THiddenKeys counter;
  for (size_t i = 0; i + 1 < kFull.size(); ++i) EXPECT_FALSE(counter.KeyDown(kFull[i])) << i;
  EXPECT_FALSE(counter.Complete());
  EXPECT_TRUE(counter.KeyDown(hkB));
  EXPECT_TRUE(counter.Complete());
  EXPECT_EQ(Type(counter, {hkOther}), 0);
  EXPECT_EQ(Type(counter, kFull), 0);
  EXPECT_TRUE(counter.Complete());
}

TEST(HiddenKeysTest, AWrongKeyStartsAgainWithoutCountingAsTheFirstKey) {
  THiddenKeys counter;
  // The wrong Left is where the sequence starts, yet the rest does not complete it.
  EXPECT_EQ(Type(counter, {hkLeft, hkRight, hkLeft, hkRight, hkUp, hkLeft}), 0);
  EXPECT_EQ(Type(counter, {hkRight, hkLeft, hkRight, hkUp, hkUp, hkDown, hkDown, hkA, hkB}), 0);
  EXPECT_FALSE(counter.Complete());
  // A doubled key breaks the run too.
  EXPECT_EQ(Type(counter, {hkLeft, hkLeft, hkRight, hkLeft, hkRight, hkUp, hkUp, hkDown, hkDown, hkA, hkB}), 0);
  EXPECT_EQ(Type(counter, kFull), 1);
}

}  // namespace
}  // namespace varune
