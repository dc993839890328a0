#pragma once
// The program's own panel and button pictures and their painters. The canvas
// of a panel painter is the element's own surface, its origin the element's
// top-left corner; panel and button pixels are set opaque, whatever the
// colour of the window they stand in.

#include <string_view>

#include "imaging/bitmap32.h"
#include "imaging/canvas.h"

namespace varune {

// "IDB_TABLE": a 16 x 16 disc whose 8 x 8 quadrants are the panel corners.
const TBitmap32& TableBitmap();
// "IDB_TABLETRANS": the same, with the window colour outside the border in
// #FF00FF, the key colour of windows with colour-key transparency.
const TBitmap32& TableTransBitmap();
// "IDB_BUTTON": the 40 x 20 face of a picture button.
const TBitmap32& ButtonBitmap();

// A Width x Height panel, #314C61 border two pixels wide, #84BD80 fill, four
// rounded corners (of TableTransBitmap when `Trans`).
void DrawTable(TCanvas& Canvas, int32_t Width, int32_t Height, bool Trans);
// A tab rounded at the top and open at the bottom.
void DrawTableTop(TCanvas& Canvas, int32_t Width, int32_t Height);
// A tab open at the top and rounded at the bottom.
void DrawTableBottom(TCanvas& Canvas, int32_t Width, int32_t Height);
// The button picture at (X, Y) with `Caption` centred on it in the canvas's
// current font and colour. A new canvas has the default TFont (Tahoma 8 pt,
// black), what the desktop program's image controls start with.
void DrawButtonImage(TCanvas& Canvas, int32_t X, int32_t Y, std::string_view Caption);

}  // namespace varune
