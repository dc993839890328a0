// Drawing the character's frames and stepping its animation.

#include <algorithm>
#include <memory>

#include "character/chara.h"
#include "imaging/canvas.h"
#include "imaging/resampler.h"
#include "imaging/transform.h"

namespace varune {
namespace {

constexpr int32_t kHairSetLayer = 23;
constexpr int32_t kSingleCellLayer = 24;
constexpr int32_t kHairSetSize = 12;
constexpr uint32_t kNoSequenceFrameTime = 1000;

// Position codes of base parts, in FPosID1.
constexpr int32_t kCodeTops = 1, kCodeBottoms = 2, kCodeHair = 3, kCodeFace = 4, kCodeBody = 5;

bool HidesHair(int32_t Category) { return Category == 903 || Category == 906; }
bool SwitchesHairSet(int32_t Category) { return Category == 901 || Category == 904; }

const std::shared_ptr<const TCustomResampler>& DraftResampler() {
  static const std::shared_ptr<const TCustomResampler> resampler = std::make_shared<TDraftResampler>();
  return resampler;
}

}  // namespace

void TChara::Draw(TBitmap32& ABitmap, int32_t X, int32_t Y, int32_t AFrameIndex) const {
  TCanvas canvas(ABitmap);
  FDataBase.UIManager().DrawShadow(canvas, X, Y);
  const TSeqFrame* frame = Frame(AFrameIndex);
  if (!frame) return;

  const TVaruneItem* head = FEquipObjs[1];
  const bool bottomWorn = FEquipObjs[5] != nullptr;
  bool secondHairSet = false;
  for (auto layer = frame->Items.rbegin(); layer != frame->Items.rend(); ++layer) {
    const int32_t number = layer->LayerNumber;
    if (number < 1 || number > kLayerCount) continue;
    const auto [entry, item] = FDrawParts[number];
    if (!entry || entry->Count() == 0) continue;

    if (item && item->FType == kItemTypeBasePart) {
      const int32_t code = item->FPosID1;
      if ((code == kCodeTops && (HideOptions & hoTops)) || (code == kCodeBottoms && (HideOptions & hoBottoms)) ||
          (code == kCodeHair && (HideOptions & hoHair)) || (code == kCodeFace && (HideOptions & hoFace)) ||
          (code == kCodeBody && (HideOptions & hoBody)))
        continue;
      if (code == kCodeBottoms && bottomWorn) continue;
      if (code == kCodeHair) {
        if (head && HidesHair(head->FCategory)) continue;
        secondHairSet = head && SwitchesHairSet(head->FCategory);
      }
    }
    if (layer->Visible == 0) continue;

    int32_t k = layer->ImageIndex - 1;
    const TTblImage* cell = nullptr;
    TTblImage found;
    if (number == kHairSetLayer || number == kSingleCellLayer) {
      if (number == kHairSetLayer) {
        if (k >= kHairSetSize) k -= kHairSetSize;
        if (secondHairSet) k += kHairSetSize;
      }
      const int32_t index = number == kHairSetLayer ? entry->IndexOfID23(k) : entry->IndexOfID24(k);
      if (index < 0) continue;
      cell = &entry->Images[static_cast<size_t>(index)];
    } else {
      found = entry->GetImageByID(k);
      if (found.ID == -1) continue;
      cell = &found;
    }

    const TBitmap32* sheet = FDataBase.CharaManager().GetFile(entry->Path() + cell->FileName);
    if (!sheet) continue;
    const int32_t w = cell->Rect.Width(), h = cell->Rect.Height();
    if (w <= 0 || h <= 0) continue;

    // The cell alone, so that interpolation never reaches its neighbours.
    FCell.SetSize(w, h);
    FCell.Draw(0, 0, cell->Rect, *sheet);
    FCell.DrawMode = dmBlend;
    FCell.CombineMode = cmBlend;
    FCell.OuterColor = 0;
    FCell.SetResampler(DraftResampler());

    const double rx = cell->RevX + 1.0, ry = cell->RevY + 1.0;
    TAffineTransformation transformation;
    transformation.SrcRect = {0, 0, static_cast<double>(w), static_cast<double>(h)};
    transformation.Translate(rx, ry);
    transformation.Scale(LayerMirrored(*layer) ? -1 : 1, 1);
    transformation.Rotate(0, 0, -layer->Angle);
    transformation.Translate(-rx, -ry);
    transformation.Translate(layer->RevX + cell->Offset.X, layer->RevY + cell->Offset.Y);
    transformation.Translate(X, Y);
    Transform(ABitmap, FCell, transformation);
  }
}

uint32_t TChara::GetFrameTime(int32_t Index) const {
  const TSeqFrame* frame = Frame(Index);
  if (!frame) return kNoSequenceFrameTime;
  // A negative time from a damaged file waits for nothing.
  return static_cast<uint32_t>(std::max(0, FrameTimeMs(*frame)));
}

uint32_t TChara::Step(int32_t Delta) {
  const int32_t count = FrameCount();
  if (count == 0) return FClock() + kNoSequenceFrameTime;
  // A frame number set from outside may lie anywhere: wrap it into range.
  const int64_t next = (static_cast<int64_t>(FFrameNumber) + Delta) % count;
  FFrameNumber = static_cast<int32_t>(next < 0 ? next + count : next);
  const uint32_t duration = GetFrameTime(FFrameNumber);
  const uint32_t now = FClock();
  Raise(OnAnimation);
  return now + duration;
}

uint32_t TChara::NextFrame() { return Step(1); }
uint32_t TChara::PrevFrame() { return Step(-1); }

}  // namespace varune
