// The main window's character view: the slot panel beside the picture and
// its clicks, the picture's background, size and zoom, and the animation
// with its frame stepping. Dragging pictures out and outfits in is in
// main_window_dragdrop.cpp.

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/anchors.h"
#include "app/item_hint_window.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/main_window_shared.h"
#include "imaging/framing.h"
#include "viewer/slot_panel.h"

namespace varune::app {
namespace {

// The paint box is the character picture plus the slot panel and margins.
constexpr int kPaintBoxExtraWidth = 164;
constexpr int kPaintBoxExtraHeight = 4;
constexpr int kCharaViewLeft = 154;
constexpr int kCharaViewTop = 2;
// No frame of a sequence is shown longer than this (milliseconds).
constexpr uint32_t kLongestFrameTime = 1 << 20;

}  // namespace

void TfrmQuillon::pbCharaMouseDown(QPoint Position, Qt::MouseButton Button) {
  const int32_t slot = EquipSlotAt({Position.x(), Position.y()});
  const int32_t gender = GenderIconAt({Position.x(), Position.y()});
  if (Button == Qt::LeftButton && slot != -1) {
    SelectEquipList(slot);
    FilterMenuClick(fsNone);
  } else if (Button == Qt::LeftButton && gender != -1) {
    OutfitStep([&] { Chara()->SetGender(static_cast<TGenderType>(gender)); });
  } else if (Button == Qt::RightButton && slot != -1) {
    OutfitStep([&] { Chara()->SetEquipObj(slot, nullptr); });
  } else if (Button == Qt::LeftButton && Position.x() >= kCharaViewLeft) {
    FDragStart = Position;  // the picture may be dragged out
  }
}

void TfrmQuillon::pbCharaMouseMove(QPoint Position) {
  if (FDragStart && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) FDragStart.reset();
  if (FDragStart && (Position - *FDragStart).manhattanLength() >= QApplication::startDragDistance()) {
    FDragStart.reset();
    return StartPictureDrag();
  }
  const TPoint point{Position.x(), Position.y()};
  const int32_t slot = EquipSlotAt(point);
  pbChara->setCursor(slot != -1 || GenderIconAt(point) != -1 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (slot == FHintIndex) return;
  FHintIndex = slot;
  if (const TVaruneItem* item = slot != -1 ? Chara()->GetEquipObj(slot) : nullptr) {
    FHintShowing = true;
    if (isActiveWindow()) {
      const TPoint below = SlotHintPoint(point);
      FHintWindow->ActivateHintPos(pbChara->mapToGlobal(QPoint(below.X, below.Y)), *item, *DataBase());
    }
  } else if (FHintShowing) {
    HideItemCard();
    pbChara->update();
  }
}

void TfrmQuillon::CharaModified() {
  DrawEquipPanel();
  RenderCharaView();
}

void TfrmQuillon::DrawEquipPanel() {
  varune::DrawEquipPanel(FBuffer, *Chara(), *FWardrobe.DataBase(), FCharaBuffer.Width());
}

void TfrmQuillon::RenderCharaView() {
  if (!Chara()) return;
  FView.Render(*Chara(), Chara()->FrameNumber(), FCharaBuffer);
  // The feet stay where they are: the view grows around them, inside its own box.
  const TBitmap32* shown = &FCharaBuffer;
  if (FViewZoom > 1) {
    ZoomAbout(FCharaBuffer, FViewZoom, FView.Geometry.FeetX, FView.Geometry.FeetY, FZoomedView);
    shown = &FZoomedView;
  }
  shown->DrawTo(FBuffer, kCharaViewLeft, kCharaViewTop);
  pbChara->update();
}

void TfrmQuillon::SetViewZoom(int32_t Zoom) {
  FViewZoom = std::clamp(Zoom, 1, kMaxViewZoom);
  RenderCharaView();
}

void TfrmQuillon::CharaChangeSequence() {
  FAnimationClock.Restart(FClock(), Chara()->GetFrameTime(0));
  if (cbAnimation->isChecked()) StartAnimationTimer();
}

void TfrmQuillon::StartAnimationTimer() {
  // At least a millisecond: frames of no time must not spin the loop.
  FAnimationTimer.start(static_cast<int>(std::clamp<uint32_t>(FAnimationClock.MsUntilDue(FClock()), 1, kLongestFrameTime)));
}

void TfrmQuillon::AnimationIdle() {
  if (!cbAnimation->isChecked() || !Chara()) return;
  try {
    FAnimationClock.Tick(FClock, [this] { return Chara()->NextFrame(); });
  } catch (const std::exception&) {
    // A frame that cannot be drawn stops the animation; the box stays checked.
    return;
  }
  StartAnimationTimer();
}

void TfrmQuillon::cbAnimationClick(bool Checked) {
  if (!Checked) {
    FAnimationTimer.stop();
    return;
  }
  // A due time left from long ago (the clock wraps every 49 days) would read
  // as one far ahead: no frame lasts that long, so it is due now.
  const uint32_t now = FClock();
  if (FAnimationClock.MsUntilDue(now) > kLongestFrameTime) FAnimationClock.SetNextDrawTime(now);
  StartAnimationTimer();
}

void TfrmQuillon::btnPrevFrameClick() {
  cbAnimation->setChecked(false);
  Chara()->PrevFrame();
}

void TfrmQuillon::btnNextFrameClick() {
  cbAnimation->setChecked(false);
  Chara()->NextFrame();
}

void TfrmQuillon::FillAnimationTypes() {
  // "atStand" is shown as "Stand".
  for (std::string_view name : AnimationTypeNames) cbAniType->addItem(Qs(std::string(name.substr(2))));
}

void TfrmQuillon::cbAniTypeSelect(int Index) {
  if (Index < 0) return;
  seEmotIconNum->setVisible(Index == atEmotIcon);
  Chara()->SetAnimationType(static_cast<TAnimationType>(Index));
}

void TfrmQuillon::cbBackgroundSelect(int Index) {
  btnColor->setVisible(Index == 0);
  FView.SetBackgroundPicture(Index > 0 ? FBackgrounds[Index - 1].FileName : std::string());
  RenderCharaView();
}

void TfrmQuillon::btnColorClick() {
  const TColor32 current = FView.BackgroundColor;
  const QColor chosen = QColorDialog::getColor(QColor::fromRgb(current & 0xFFFFFF), this);
  if (!chosen.isValid()) return;
  FView.BackgroundColor = 0xFF000000u | (chosen.rgb() & 0xFFFFFF);
  RenderCharaView();
}

void TfrmQuillon::btnChangeSizeClick() {
  FLargeCharaView = !FLargeCharaView;
  FView.Geometry = FLargeCharaView ? kLargeView : kSmallView;
  const int w = FView.Geometry.Width;
  const int h = FView.Geometry.Height;
  FCharaBuffer.SetSize(w, h);
  FAnchors->Move(pbChara, {pbChara->x(), pbChara->y(), w + kPaintBoxExtraWidth, h + kPaintBoxExtraHeight});
  FBuffer.SetSize(pbChara->width(), pbChara->height());
  auto moveTop = [this](QWidget* control, int top) {
    FAnchors->Move(control, {control->x(), top, control->width(), control->height()});
  };
  moveTop(imgSaveImage, h + 8);
  FAnchors->Move(pnEquipControls, {w + 174, pnEquipControls->y(), pnEquipControls->width(), pnEquipControls->height()});
  for (QWidget* control : {static_cast<QWidget*>(imgFilter1), static_cast<QWidget*>(imgFilter2),
                           static_cast<QWidget*>(imgFilter3), static_cast<QWidget*>(imgFavorite),
                           static_cast<QWidget*>(imgTextFilter)})
    moveTop(control, h + 12);
  FAnchors->Move(pnItemListOwner, {pnItemListOwner->x(), h + 32, pnItemListOwner->width(), height() - (h + 32)});
  moveTop(lblSearch, h + 17);
  moveTop(edFilter, h + 17);
  DrawEquipPanel();
  RenderCharaView();
}

}  // namespace varune::app
