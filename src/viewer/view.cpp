#include "viewer/view.h"

#include "archive/error.h"
#include "imaging/bmp.h"
#include "imaging/canvas.h"

namespace varune {

const char* const kNoticeLines[2] = {"(C) Tovenar Co., Ltd. All rights reserved.",
                                     "(C) Mirel Soft Inc. All rights reserved."};

void TCharaView::SetBackgroundPicture(const std::string& FileName) {
  FPictureFile = FileName;
  FPicture.SetSize(0, 0);
  if (FileName.empty()) return;
  try {
    FPicture = LoadBmpFromFile(FileName);
  } catch (const Error&) {
    // A picture deleted or damaged since it was listed: the colour shows.
  }
}

void TCharaView::DrawBackground(TBitmap32& Target) const {
  Target.Clear(BackgroundColor);
  if (!FPicture.Empty()) Target.Draw(0, 0, FPicture);
  Target.ResetAlpha();
}

void TCharaView::DrawNotices(TBitmap32& Target) const {
  TCanvas canvas(Target);
  canvas.Font.SetSize(7);
  canvas.Font.Color = 0xFFC0C0C0;
  const int32_t h = canvas.TextHeight("Mg");
  for (int line = 0; line < 2; ++line)
    canvas.TextOut(Target.Width() - canvas.TextWidth(kNoticeLines[line]), Target.Height() - (2 - line) * h,
                   kNoticeLines[line]);
}

void TCharaView::Render(const TChara& Chara, int32_t Frame, TBitmap32& Target, bool Notices) const {
  if (Target.Width() != Geometry.Width || Target.Height() != Geometry.Height)
    Target.SetSize(Geometry.Width, Geometry.Height);
  DrawBackground(Target);
  Chara.Draw(Target, Geometry.FeetX, Geometry.FeetY, Frame);
  if (Notices) DrawNotices(Target);
}

void TCharaView::RenderTransparent(const TChara& Chara, int32_t Frame, TBitmap32& Target) const {
  Target.SetSize(Geometry.Width, Geometry.Height);
  Chara.Draw(Target, Geometry.FeetX, Geometry.FeetY, Frame);
}

}  // namespace varune
