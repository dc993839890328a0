#include <gtest/gtest.h>

#include "archive/stream.h"

namespace varune {
namespace {

TEST(BinaryStreamTest, ReadWriteAndSeekFollowTheBlockBounds) {
  uint8_t block[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  TBinaryStream stream(block, 10);
  uint8_t buffer[8] = {};
  EXPECT_EQ(stream.Seek(-4, soEnd), 6);
  EXPECT_EQ(stream.Read(buffer, 8), 4);
  EXPECT_EQ(buffer[0], 6);
  EXPECT_EQ(stream.Seek(20, soBeginning), 20);
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  EXPECT_EQ(stream.Write(buffer, 8), 0);
  EXPECT_EQ(stream.Seek(5, 7), 20);
  stream.Seek(8, soBeginning);
  const uint8_t ones[4] = {1, 1, 1, 1};
  EXPECT_EQ(stream.Write(ones, 4), 2);  // never enlarges the block
  EXPECT_EQ(block[9], 1);
  EXPECT_EQ(stream.Size(), 10);
  stream.Seek(-3, soBeginning);
  EXPECT_EQ(stream.Read(buffer, 2), 0);
  stream.Seek(0, soBeginning);
  EXPECT_EQ(stream.Read(buffer, -1), 0);
}

}  // namespace
}  // namespace varune
