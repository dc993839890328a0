#include "viewer/picture_options.h"

#include "archive/error.h"
#include "archive/text.h"
#include "imaging/framing.h"

namespace varune {

TPictureTooLarge::TPictureTooLarge(int64_t AWidth, int64_t AHeight)
    : Error(Sprintf("the picture would be %lld x %lld pixels, more than the 16384 pixels a side and 256 million "
                    "pixels that can be made; try --crop or a smaller --scale",
                    static_cast<long long>(AWidth), static_cast<long long>(AHeight))),
      Width(AWidth),
      Height(AHeight) {}

void CheckPictureSize(int64_t Width, int64_t Height) {
  if (Width <= kMaxPictureSide && Height <= kMaxPictureSide && Width * Height <= kMaxPicturePixels) return;
  throw TPictureTooLarge(Width, Height);
}

TFramer::TFramer(const TCharaView& View, bool Transparent, const TPictureOptions& Options)
    : FView(View), FTransparent(Transparent), FOptions(Options) {
  if (NeedsMeasuring() && !FTransparent) {
    FBackground.SetSize(FView.Geometry.Width, FView.Geometry.Height);
    FView.DrawBackground(FBackground);
  }
}

void TFramer::Compose(const TChara& Chara, int32_t Frame, TBitmap32& Target) const {
  if (FTransparent) {
    FView.RenderTransparent(Chara, Frame, Target);
    return;
  }
  FView.Render(Chara, Frame, Target, FOptions.Framing == fmView);
  // Blending leaves alpha below 255 under the shadow; a picture on a
  // background is opaque, whatever its format can carry.
  Target.ResetAlpha();
}

void TFramer::Measure(const TChara& Chara, int32_t Frame) {
  if (!NeedsMeasuring()) return;
  Compose(Chara, Frame, FComposed);
  FBox = UnionRect(FBox, FTransparent ? VisibleBounds(FComposed) : DifferenceBounds(FComposed, FBackground));
}

TRect TFramer::Area() const {
  if (!NeedsMeasuring()) return {0, 0, FView.Geometry.Width, FView.Geometry.Height};
  return FBox.Empty() ? TRect{0, 0, 1, 1} : FBox;
}

int32_t TFramer::Width() const {
  const int32_t padding = NeedsMeasuring() ? FOptions.Padding : 0;
  return (Area().Width() + 2 * padding) * FOptions.Scale;
}

int32_t TFramer::Height() const {
  const int32_t padding = NeedsMeasuring() ? FOptions.Padding : 0;
  return (Area().Height() + 2 * padding) * FOptions.Scale;
}

void TFramer::Draw(const TChara& Chara, int32_t Frame, TBitmap32& Target) {
  const bool enlarged = FOptions.Scale > 1;
  if (!NeedsMeasuring() && !enlarged) {
    Compose(Chara, Frame, Target);
    if (FOptions.Flip) FlipHorizontally(Target);
    return;
  }
  Compose(Chara, Frame, FComposed);
  TBitmap32* framed = &FComposed;
  if (NeedsMeasuring()) {
    framed = enlarged ? &FFramed : &Target;
    CutOut(FComposed, Area(), FOptions.Padding, FTransparent ? nullptr : &FBackground,
           FTransparent ? 0 : FView.BackgroundColor | 0xFF000000u, *framed);
  }
  if (FOptions.Flip) FlipHorizontally(*framed);
  if (enlarged) Enlarge(*framed, FOptions.Scale, Target);
}

}  // namespace varune
