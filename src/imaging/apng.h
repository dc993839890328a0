#pragma once
// Animated PNG export: full 8-bit RGBA in every frame, so transparent
// animations keep their partial alpha (which GIF cannot carry).
//
// Frames cover the whole canvas and replace it (blend op SOURCE, dispose op
// NONE). The first frame is also the default image, so a viewer without APNG
// support shows it as a still picture.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune {

class TApngWriter {
 public:
  // Plays is the loop count; 0 repeats forever.
  TApngWriter(int32_t Width, int32_t Height, uint32_t Plays = 0);

  // Frames must have the canvas size. DelayMs is stored as DelayMs / 1000 s
  // (reduced to hundredths above 65535 ms).
  void AddFrame(const TBitmap32& Frame, uint32_t DelayMs);
  int32_t FrameCount() const { return static_cast<int32_t>(FFrames.size()); }
  // The file; needs at least one frame.
  std::vector<uint8_t> Finish() const;
  void SaveToFile(const std::string& FileName) const;

 private:
  struct TFrame {
    std::vector<uint8_t> Compressed;  // zlib stream of the filtered rows
    uint16_t DelayNum = 0;
    uint16_t DelayDen = 1000;
  };
  int32_t FWidth;
  int32_t FHeight;
  uint32_t FPlays;
  std::vector<TFrame> FFrames;
};

}  // namespace varune
