#pragma once
// Animation sequences (.SEQ): frames with a display time, each a list of
// layers saying which cell of which character layer is drawn where.

#include <cstdint>
#include <vector>

#include "archive/varune_base.h"

namespace varune {

struct TSeqHeader {
  int32_t Unknown1 = 0;
  float TotalTime = 0;
  int32_t Unknown3 = 0;
  int32_t Count = 0;  // frames
};
static_assert(sizeof(TSeqHeader) == 16);

struct TSeqLayer {
  int32_t LayerNumber;  // character layer; drawn are 1 to 35
  int32_t ImageIndex;   // 1-based: the cell with image ID ImageIndex - 1
  int32_t Angle;        // degrees
  int32_t RevX;
  int32_t RevY;
  uint32_t Visible;  // non-zero: drawn; bit 8 (256): mirrored left to right

  bool operator==(const TSeqLayer&) const = default;
};
static_assert(sizeof(TSeqLayer) == 24);

struct TSeqFrame {
  int32_t Number = 0;
  float Time = 0;  // seconds
  int32_t Count = 0;
  std::vector<TSeqLayer> Items;

  bool operator==(const TSeqFrame&) const = default;
};

inline bool LayerVisible(const TSeqLayer& layer) { return layer.Visible != 0; }
inline bool LayerMirrored(const TSeqLayer& layer) { return (layer.Visible & 0x100) != 0; }

// How long a frame stays, in whole milliseconds (truncated: 0.0999 s is 99).
// Times that are not a number count as 0; huge ones are clamped.
int32_t FrameTimeMs(const TSeqFrame& frame);

class TSeq : public TVaruneBase {
 public:
  // Empties the frames; the header keeps its last values.
  void Clear() override;

  // A short read, or a frame or layer count that is negative or larger than
  // the rest of the stream can hold, raises varune::Error; the sequence then
  // holds no frames.
  void LoadFromStream(TStream& Stream) override;

  const TSeqHeader& Header() const { return FHeader; }
  int32_t Count() const { return static_cast<int32_t>(FRecords.size()); }
  // Frame `Index` ("無効なインデックス [%d]" when out of range).
  const TSeqFrame& GetItem(int32_t Index) const;

 private:
  TSeqHeader FHeader;
  std::vector<TSeqFrame> FRecords;
};

}  // namespace varune
