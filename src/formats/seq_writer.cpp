#include "formats/seq_writer.h"

#include "archive/stream.h"

namespace varune {

std::vector<uint8_t> WriteSeq(const TSeqHeader& header, const std::vector<TSeqFrame>& frames) {
  TMemoryStream stream;
  TSeqHeader written = header;
  written.Count = static_cast<int32_t>(frames.size());
  stream.WriteValue(written);
  for (const TSeqFrame& frame : frames) {
    stream.WriteValue(frame.Number);
    stream.WriteValue(frame.Time);
    stream.WriteValue(static_cast<int32_t>(frame.Items.size()));
    stream.WriteBuffer(frame.Items.data(), static_cast<int64_t>(frame.Items.size() * sizeof(TSeqLayer)));
  }
  return stream.TakeBytes();
}

}  // namespace varune
