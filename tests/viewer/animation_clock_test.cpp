#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "viewer/animation_clock.h"

namespace varune {
namespace {

TEST(AnimationClockTest, DueFromTheDueTimeOn) {
  TAnimationClock clock;
  clock.Restart(1000, 79);
  EXPECT_EQ(clock.NextDrawTime(), 1079u);
  EXPECT_FALSE(clock.IsDue(1078));
  EXPECT_EQ(clock.MsUntilDue(1078), 1u);
  EXPECT_TRUE(clock.IsDue(1079));
  EXPECT_TRUE(clock.IsDue(900000));
  EXPECT_EQ(clock.MsUntilDue(900000), 0u);
}

TEST(AnimationClockTest, TheClocksWrapIsNotADueTime) {
  TAnimationClock clock;
  clock.Restart(0xFFFFFFF0u, 0x20);  // due at 0x10, past the wrap
  EXPECT_FALSE(clock.IsDue(0xFFFFFFFFu));
  EXPECT_EQ(clock.MsUntilDue(0xFFFFFFFFu), 0x11u);
  EXPECT_FALSE(clock.IsDue(0x0F));
  EXPECT_TRUE(clock.IsDue(0x10));
  clock.SetNextDrawTime(0xFFFFFFF0u);  // due before the wrap, read after it
  EXPECT_TRUE(clock.IsDue(5));
}

TEST(AnimationClockTest, TickStepsOncePerDueTimeAcrossTheWrap) {
  uint32_t now = 0xFFFFFE00u;
  const TClock fake = [&] { return now; };
  TAnimationClock clock;
  clock.Restart(now, 100);
  std::vector<uint32_t> steps;
  const auto step = [&] {
    steps.push_back(now);
    return now + 100;
  };
  for (int ms = 0; ms < 1000; ++ms, ++now) clock.Tick(fake, step);
  ASSERT_EQ(steps.size(), 9u);  // at +100 ... +900, none back to back after the wrap at +512
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], 0xFFFFFE00u + 100 * static_cast<uint32_t>(i + 1)) << i;
}

TEST(AnimationClockTest, TickWaitsFromAFreshReadingAndKeepsTheDueTimeOnAFailedStep) {
  uint32_t now = 500;
  const TClock fake = [&] { return now; };
  TAnimationClock clock;
  clock.SetNextDrawTime(500);
  const uint32_t wait = clock.Tick(fake, [&] {
    const uint32_t due = now + 100;
    now += 30;  // drawing the frame took 30 ms
    return due;
  });
  EXPECT_EQ(clock.NextDrawTime(), 600u);
  EXPECT_EQ(wait, 70u);
  EXPECT_EQ(clock.Tick(fake, [&]() -> uint32_t { throw std::logic_error("not due yet"); }), 70u);

  now = 650;
  EXPECT_THROW(clock.Tick(fake, []() -> uint32_t { throw std::runtime_error("sheet"); }), std::runtime_error);
  EXPECT_EQ(clock.NextDrawTime(), 600u);
}

}  // namespace
}  // namespace varune
