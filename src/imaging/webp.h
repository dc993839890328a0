#pragma once
// Animated WebP export through libwebp's animation encoder: lossless, alpha
// kept, looping for ever, encoded frame by frame as they are added.
//
// A decoder gives back every frame pixel for pixel, colours under alpha 0
// included (exact mode; libwebp's empty canvas and cleared areas are $00000000
// on both sides, so no transparent value is lost). The background colour is
// transparent black too, for players that honour it.
//
// A frame equal to the one before is not stored again: the earlier frame lasts
// the sum of both, so the file may hold fewer frames, with the same timing.
// One frame (or only equal frames) gives a plain still WebP.

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/bitmap32.h"

struct WebPAnimEncoder;

namespace varune {

class TWebpWriter {
 public:
  // Loops for ever. Sides from 1 to 16383.
  TWebpWriter(int32_t Width, int32_t Height);
  ~TWebpWriter();
  TWebpWriter(const TWebpWriter&) = delete;
  TWebpWriter& operator=(const TWebpWriter&) = delete;

  // Frames must have the canvas size; the frame lasts DurationMs exactly
  // (below 2^24 ms, WebP's limit).
  void AddFrame(const TBitmap32& Frame, uint32_t DurationMs);
  int32_t FrameCount() const { return FFrameCount; }
  // The file; needs at least one frame. Lossless; alpha kept. Ends the
  // writer: no frames can follow.
  std::vector<uint8_t> Finish();

 private:
  struct TEncoderDelete {
    void operator()(WebPAnimEncoder* Encoder) const;
  };
  int32_t FWidth;
  int32_t FHeight;
  int32_t FFrameCount = 0;
  uint32_t FTimestamp = 0;  // start of the next frame, in ms
  std::unique_ptr<WebPAnimEncoder, TEncoderDelete> FEncoder;
};

}  // namespace varune
