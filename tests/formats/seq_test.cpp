#include "formats/seq.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "archive/error.h"
#include "formats/byte_builder.h"
#include "formats/seq_writer.h"

namespace varune {
namespace {

using test::LoadBytes;
using test::TBytes;

TEST(SeqFormat, ReadsHandBuiltLayout) {
  TBytes bytes;
  bytes.I32(3).F32(1.25f).I32(-4).I32(2);                      // header
  bytes.I32(10).F32(0.1f).I32(2);                              // frame 0
  bytes.I32(5).I32(8).I32(-90).I32(12).I32(-7).U32(0x101);     // layer: mirrored
  bytes.I32(23).I32(1).I32(0).I32(0).I32(0).U32(0);            // layer: hidden
  bytes.I32(11).F32(0.0999f).I32(0);                           // frame 1, no layers
  TSeq seq;
  EXPECT_EQ(LoadBytes(seq, bytes.Data()), static_cast<int64_t>(bytes.Size()));
  EXPECT_EQ(seq.Header().Unknown1, 3);
  EXPECT_EQ(seq.Header().TotalTime, 1.25f);
  EXPECT_EQ(seq.Header().Unknown3, -4);
  ASSERT_EQ(seq.Count(), 2);
  const TSeqFrame& frame = seq.GetItem(0);
  EXPECT_EQ(frame.Number, 10);
  EXPECT_EQ(frame.Time, 0.1f);
  ASSERT_EQ(frame.Items.size(), 2u);
  const TSeqLayer first{5, 8, -90, 12, -7, 0x101};
  EXPECT_EQ(frame.Items[0], first);
  EXPECT_TRUE(LayerVisible(frame.Items[0]));
  EXPECT_TRUE(LayerMirrored(frame.Items[0]));
  EXPECT_FALSE(LayerVisible(frame.Items[1]));
  EXPECT_EQ(seq.GetItem(1).Count, 0);
  EXPECT_TRUE(seq.GetItem(1).Items.empty());
  EXPECT_THROW(seq.GetItem(2), Error);

  std::vector<TSeqFrame> frames = {seq.GetItem(0), seq.GetItem(1)};
  EXPECT_EQ(WriteSeq(seq.Header(), frames), bytes.Data());
}

TEST(SeqFormat, WriterRoundTripsAndFixesCounts) {
  TSeqHeader header{1, 2.5f, 3, 99};
  std::vector<TSeqFrame> frames(3);
  frames[0] = {0, 0.05f, 7, {{1, 1, 0, 0, 0, 1}, {35, 12, 45, -3, 4, 256}}};
  frames[2] = {2, 1.0f, 0, {{36, 2, 0, 0, 0, 1}}};
  TSeq seq;
  LoadBytes(seq, WriteSeq(header, frames));
  EXPECT_EQ(seq.Header().Count, 3);
  ASSERT_EQ(seq.Count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    frames[i].Count = static_cast<int32_t>(frames[i].Items.size());
    EXPECT_EQ(seq.GetItem(i), frames[i]);
  }

  LoadBytes(seq, WriteSeq({7, 0, 0, 5}, {}));
  EXPECT_EQ(seq.Count(), 0);
  EXPECT_EQ(seq.Header().Unknown1, 7);
  seq.Clear();  // keeps the header
  EXPECT_EQ(seq.Header().Unknown1, 7);
}

TEST(SeqFormat, FrameTimeAndVisibility) {
  auto ms = [](float time) { return FrameTimeMs(TSeqFrame{0, time, 0, {}}); };
  EXPECT_EQ(ms(0.0999f), 99);
  EXPECT_EQ(ms(0.1f), 100);
  EXPECT_EQ(ms(0.0f), 0);
  EXPECT_EQ(ms(1.0f), 1000);
  EXPECT_EQ(ms(std::nanf("")), 0);
  EXPECT_EQ(ms(1e30f), INT_MAX);
  EXPECT_EQ(ms(-1e30f), INT_MIN);

  EXPECT_TRUE(LayerVisible({0, 0, 0, 0, 0, 256}));
  EXPECT_TRUE(LayerMirrored({0, 0, 0, 0, 0, 256}));
  EXPECT_TRUE(LayerVisible({0, 0, 0, 0, 0, 1}));
  EXPECT_FALSE(LayerMirrored({0, 0, 0, 0, 0, 1}));
  EXPECT_FALSE(LayerVisible({0, 0, 0, 0, 0, 0}));
}

TEST(SeqDamaged, ImpossibleCountsAndTruncationsAreErrors) {
  TSeq seq;
  auto load = [&](const TBytes& bytes) { LoadBytes(seq, bytes.Data()); };
  TBytes negativeFrames;
  negativeFrames.I32(0).F32(0).I32(0).I32(-1);
  EXPECT_THROW(load(negativeFrames), Error);
  TBytes hugeFrames;
  hugeFrames.I32(0).F32(0).I32(0).I32(INT_MAX).I32(0).F32(0).I32(0);
  EXPECT_THROW(load(hugeFrames), Error);
  TBytes negativeLayers;
  negativeLayers.I32(0).F32(0).I32(0).I32(1).I32(0).F32(0).I32(-2);
  EXPECT_THROW(load(negativeLayers), Error);
  TBytes hugeLayers;
  hugeLayers.I32(0).F32(0).I32(0).I32(1).I32(0).F32(0).I32(1 << 28).Zeros(24);
  EXPECT_THROW(load(hugeLayers), Error);

  const std::vector<uint8_t> bytes = WriteSeq({}, {{0, 0.1f, 0, {{1, 1, 0, 0, 0, 1}}}, {1, 0.1f, 0, {}}});
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_THROW(LoadBytes(seq, test::Prefix(bytes, size)), Error) << size;
    EXPECT_EQ(seq.Count(), 0);
  }
}

}  // namespace
}  // namespace varune
