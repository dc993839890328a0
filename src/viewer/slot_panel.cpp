#include "viewer/slot_panel.h"

#include "database/panels.h"
#include "imaging/canvas.h"
#include "viewer/item_icon.h"

namespace varune {

TPoint EquipCellOrigin(int32_t PosID) {
  // Weapon and shield stand in a fourth column beside the 3 x 4 grid.
  if (PosID == 13) return {112, 10};
  if (PosID == 14) return {112, 44};
  return {(PosID - 1) % 3 * 34 + 10, (PosID - 1) / 3 * 34 + 10};
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
  ui.DrawGenderIcon(canvas, 10, 154, gtMale, Chara.Gender() == gtMale);
  ui.DrawGenderIcon(canvas, 56, 154, gtFemale, Chara.Gender() == gtFemale);
  for (const int32_t x : {153, 154 + CharaViewWidth}) Buffer.Line(x, 2, x, Buffer.Height() - 2, kPanelSeparatorColor);
}

}  // namespace varune
