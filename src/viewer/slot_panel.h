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

// Draws the panel into `Buffer`, the picture of the whole paint box: the
// panel background over all of it, the cells and gender buttons, and the
// separator lines left and right of the character picture, which is
// `CharaViewWidth` wide and drawn over the buffer afterwards.
void DrawEquipPanel(TBitmap32& Buffer, const TChara& Chara, TVaruneDatabase& DataBase, int32_t CharaViewWidth);

}  // namespace varune
