#pragma once
// The interface pictures of the demo client, drawn at the places the
// painters cut them from: item icons, slot placeholders and window pieces,
// gender buttons, the ground shadow and the small weapon icons.

#include <cstdint>

#include "demo/pixel_art.h"

namespace varune::demo {

enum TIconTint { itBattle, itFashion, itShop };

// A 32 x 32 icon: the drawing fitted onto a soft tile.
TBitmap32 DrawIcon(const TBitmap32& Drawing, TIconTint Tint);

// "DATA/INTERFACE/CONCEPT/UI102.PNG": window pieces at the top, the 14 slot
// placeholders in 29-pixel steps from (1, 211).
TBitmap32 DrawSlotAndWindowPicture();
// "DATA/LOBBY/RB001.PNG": the four gender buttons from (767, 244).
TBitmap32 DrawGenderButtons();
// "DATA/INTERFACE/CONCEPT/SHADOW.PNG": 64 x 32.
TBitmap32 DrawShadow();
// "DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG": 16 x 16 weapon icons in 17-pixel
// steps from (249, 133).
TBitmap32 DrawMiniWeaponIcons();

// Recolours every pixel by turning its hue (variants of a design).
void ShiftHues(TBitmap32& Bitmap, int32_t Degrees);

}  // namespace varune::demo
