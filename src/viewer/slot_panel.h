#pragma once
// The slot panel at the left of the character view: the cells of equipment
// slots 1 to 14 with the icons of the equipped items, and the gender buttons.

#include <cstdint>

#include "archive/geometry.h"
#include "character/chara.h"
#include "imaging/bitmap32.h"

namespace varune {

inline constexpr int32_t kPanelSlotCount = 14;  // slots 15 and 16 have no cell
inline constexpr TColor32 kPanelSeparatorColor = 0xFF428E7C;

// Top-left corner of the cell of slot `PosID` (1 to 14).
TPoint EquipCellOrigin(int32_t PosID);

// The slot (PosID) whose 32 x 32 cell holds `P`, or -1: the panel is read as
// 4 x 4 cells at a pitch of 34 from (10, 10); the gaps between cells and the
// two cells below the shield belong to no slot. Cells are half-open.
int32_t EquipSlotAt(TPoint P);
// 0 (gtMale) or 1 (gtFemale) when `P` lies on that gender's 36 x 36 button, else -1.
int32_t GenderIconAt(TPoint P);
// Where the hint of the item in the cell under `P` is anchored: the cell's
// horizontal centre, 2 pixels below its bottom edge.
TPoint SlotHintPoint(TPoint P);

// Draws the panel into `Buffer`, the picture of the whole paint box: the
// panel background over all of it, the cells and gender buttons, and the
// separator lines left and right of the character picture, which is
// `CharaViewWidth` wide and drawn over the buffer afterwards.
void DrawEquipPanel(TBitmap32& Buffer, const TChara& Chara, TVaruneDatabase& DataBase, int32_t CharaViewWidth);

}  // namespace varune
