#include "formats/seq.h"

#include <cmath>
#include <limits>

#include "archive/error.h"

namespace varune {
namespace {

constexpr int64_t kFrameHeaderSize = 12;

}  // namespace

int32_t FrameTimeMs(const TSeqFrame& frame) {
  const double ms = std::trunc(static_cast<double>(frame.Time) * 1000.0);
  if (std::isnan(ms)) return 0;
  if (ms <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (ms >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(ms);
}

void TSeq::Clear() { FRecords.clear(); }

void TSeq::LoadFromStream(TStream& Stream) {
  Clear();
  try {
    FHeader = Stream.ReadValue<TSeqHeader>();
    if (FHeader.Count < 0 || FHeader.Count > Stream.Remaining() / kFrameHeaderSize)
      throw Error(Sprintf("フレーム数が不正です [%d]", FHeader.Count));
    FRecords.resize(FHeader.Count);
    for (TSeqFrame& frame : FRecords) {
      frame.Number = Stream.ReadValue<int32_t>();
      frame.Time = Stream.ReadValue<float>();
      frame.Count = Stream.ReadValue<int32_t>();
      if (frame.Count < 0 || frame.Count > Stream.Remaining() / int64_t{sizeof(TSeqLayer)})
        throw Error(Sprintf("レイヤー数が不正です [%d]", frame.Count));
      frame.Items.resize(frame.Count);
      Stream.ReadBuffer(frame.Items.data(), int64_t{frame.Count} * int64_t{sizeof(TSeqLayer)});
    }
  } catch (...) {
    Clear();
    throw;
  }
}

const TSeqFrame& TSeq::GetItem(int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw Error(Sprintf(kMsgInvalidIndex, Index));
  return FRecords[Index];
}

}  // namespace varune
