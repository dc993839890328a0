#include "viewer/slot_panel.h"

#include "database/panels.h"
#include "imaging/canvas.h"
#include "viewer/item_icon.h"

namespace varune {

namespace {

constexpr int32_t kCellPitch = 34, kCellSize = 32, kPanelMargin = 10;
constexpr int32_t kSlotGrid[4][4] = {{1, 2, 3, 13}, {4, 5, 6, 14}, {7, 8, 9, -1}, {10, 11, 12, -1}};
constexpr TPoint kGenderIcons[] = {{10, 154}, {56, 154}};
constexpr int32_t kGenderIconSize = 36;

// The row or column of the cell that `V` (a coordinate) falls in, or -1.
int32_t CellOf(int32_t V) {
  const int32_t offset = V - kPanelMargin;
  if (offset < 0 || offset >= 4 * kCellPitch || offset % kCellPitch >= kCellSize) return -1;
  return offset / kCellPitch;
}

}  // namespace

TPoint EquipCellOrigin(int32_t PosID) {
  // Weapon and shield stand in a fourth column beside the 3 x 4 grid.
  if (PosID == kWeaponSlot || PosID == kShieldSlot)
    return {3 * kCellPitch + kPanelMargin, (PosID - kWeaponSlot) * kCellPitch + kPanelMargin};
  return {(PosID - 1) % 3 * kCellPitch + kPanelMargin, (PosID - 1) / 3 * kCellPitch + kPanelMargin};
}

int32_t EquipSlotAt(TPoint P) {
  const int32_t column = CellOf(P.X), row = CellOf(P.Y);
  return column < 0 || row < 0 ? -1 : kSlotGrid[row][column];
}

int32_t GenderIconAt(TPoint P) {
  for (int32_t gender = 0; gender < kGenderCount; ++gender) {
    const TPoint at = kGenderIcons[gender];
    if (P.X >= at.X && P.X < at.X + kGenderIconSize && P.Y >= at.Y && P.Y < at.Y + kGenderIconSize) return gender;
  }
  return -1;
}

TPoint SlotHintPoint(TPoint P) {
  // The division truncates toward zero, also left of and above the grid.
  return {(P.X - kPanelMargin) / kCellPitch * kCellPitch + kPanelMargin + kCellSize / 2,
          (P.Y - kPanelMargin) / kCellPitch * kCellPitch + kPanelMargin + kCellSize + 2};
}

void DrawEquipPanel(TBitmap32& Buffer, const TChara& Chara, TVaruneDatabase& DataBase, int32_t CharaViewWidth) {
  TCanvas canvas(Buffer);
  DrawTable(canvas, Buffer.Width(), Buffer.Height(), false);
  TUIManager& ui = DataBase.UIManager();
  for (int32_t posID = 1; posID <= kPanelSlotCount; ++posID) {
    const TPoint at = EquipCellOrigin(posID);
    const TVaruneItem* item = Chara.GetEquipObj(posID);
    ui.DrawEquipIcon(canvas, at.X, at.Y, posID, item != nullptr);
    if (!item) continue;
    // An item shows faded in the cells it takes besides its own.
    const bool sub = posID == item->FSubPosID11 || posID == item->FSubPosID12;
    DrawItemIcon(canvas, at.X, at.Y, DataBase, *item, sub);
  }
  for (const TGenderType gender : {gtMale, gtFemale})
    ui.DrawGenderIcon(canvas, kGenderIcons[gender].X, kGenderIcons[gender].Y, gender, Chara.Gender() == gender);
  for (const int32_t x : {153, 154 + CharaViewWidth}) Buffer.Line(x, 2, x, Buffer.Height() - 2, kPanelSeparatorColor);
}

}  // namespace varune
