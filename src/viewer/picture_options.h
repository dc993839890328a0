#pragma once
// How a finished picture is framed and sized: the view's own frame or a tight
// box around the figure, a mirror image, and exact pixel enlargement. Every
// export (files, frames, sheets) draws its frames through a TFramer so that
// the rules are the same everywhere.

#include <cstdint>
#include <string>

#include "archive/error.h"
#include "character/chara.h"
#include "imaging/bitmap32.h"
#include "viewer/view.h"

namespace varune {

enum TFraming : uint8_t {
  fmView,  // the whole view with its rights notices
  fmCrop,  // the box around every drawn pixel, no notices
};

inline constexpr int32_t kMaxScale = 8;
inline constexpr int32_t kMaxPadding = 64;

struct TPictureOptions {
  int32_t Scale = 1;       // 1 to kMaxScale: every pixel becomes a Scale x Scale block
  TFraming Framing = fmView;
  int32_t Padding = 0;     // 0 to kMaxPadding pixels of background around a crop, before scaling
  bool Flip = false;       // mirrored left to right, after framing
  bool StillFrame = false; // animated formats hold the current frame alone

  friend bool operator==(const TPictureOptions&, const TPictureOptions&) = default;
};

// The largest picture any export makes: a side of 16384 pixels and 256
// million pixels in all.
inline constexpr int64_t kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = 256'000'000;

// A picture past the limits; the message says how large it would be and
// names the command line's ways out, which a window words its own way.
class TPictureTooLarge : public Error {
 public:
  TPictureTooLarge(int64_t AWidth, int64_t AHeight);
  const int64_t Width;
  const int64_t Height;
};

// Raises TPictureTooLarge when a picture of that size is past the limits.
void CheckPictureSize(int64_t Width, int64_t Height);

// Draws frames of a character framed as the options say. In crop framing
// every frame the picture will hold is measured first, so that all of them
// share one box and the figure does not jump between frames.
class TFramer {
 public:
  TFramer(const TCharaView& View, bool Transparent, const TPictureOptions& Options);

  // Crop framing: widens the shared box by what this frame draws. Nothing to
  // do in view framing.
  void Measure(const TChara& Chara, int32_t Frame);
  bool NeedsMeasuring() const { return FOptions.Framing == fmCrop; }

  // The size of every frame Draw makes (after measuring).
  int32_t Width() const;
  int32_t Height() const;

  // Composes frame `Frame`, then frames, mirrors and enlarges it.
  void Draw(const TChara& Chara, int32_t Frame, TBitmap32& Target);

 private:
  void Compose(const TChara& Chara, int32_t Frame, TBitmap32& Target) const;
  // The part of the view the picture shows; 1 x 1 when nothing was drawn.
  TRect Area() const;

  const TCharaView& FView;
  const bool FTransparent;
  const TPictureOptions FOptions;
  TRect FBox;              // crop framing: the union of what the frames draw
  TBitmap32 FBackground;   // crop framing without transparency: what "nothing drawn" looks like
  TBitmap32 FComposed;
  TBitmap32 FFramed;
};

}  // namespace varune
