#include "demo/backgrounds.h"

#include <gtest/gtest.h>

#include "imaging/bmp.h"
#include "support/temp_dir.h"

namespace varune::demo {
namespace {

TEST(DemoBackgrounds, ThreeDistinctPicturesOfTheLargeViewAndTheSameOnEveryRun) {
  test::TempDir dir;
  const std::vector<std::string> files = WriteDemoBackgrounds(dir.File("bg"));
  ASSERT_EQ(files.size(), 3u);
  std::vector<TBitmap32> pictures;
  for (const std::string& file : files) {
    pictures.push_back(LoadBmpFromFile(file));
    EXPECT_EQ(pictures.back().Width(), 250);
    EXPECT_EQ(pictures.back().Height(), 250);
  }
  auto same = [](const TBitmap32& a, const TBitmap32& b) {
    return std::equal(a.Bits(), a.Bits() + 250 * 250, b.Bits());
  };
  EXPECT_FALSE(same(pictures[0], pictures[1]));
  EXPECT_FALSE(same(pictures[1], pictures[2]));
  const std::vector<std::string> again = WriteDemoBackgrounds(dir.File("again"));
  for (size_t i = 0; i < files.size(); ++i) EXPECT_TRUE(same(pictures[i], LoadBmpFromFile(again[i])));
}

}  // namespace
}  // namespace varune::demo
