#pragma once
// The item card: the picture of the hint window that describes one item
// (name, kind, level, job and gender requirements, status modifiers,
// effects) on a white card with a blue double border and cut corners. The
// window measures the card, paints it into its buffer and places it on the
// screen under the pointer; varune-cli exports the same picture.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/geometry.h"
#include "database/database.h"
#include "imaging/bitmap32.h"

namespace varune {

inline constexpr TColor32 kCardBackColor = 0xFFFFFFFF;
inline constexpr TColor32 kCardBorderColor = 0xFF315597;
// The cut corners; the window shows every pixel of this RGB as transparent.
inline constexpr TColor32 kCardKeyColor = 0x00FF00FF;
inline constexpr TColor32 kCardTextColor = 0xFF000000;     // kind, status and effect lines
inline constexpr TColor32 kCardRequireColor = 0xFFF70000;  // level, job and gender lines
// Opacity of the hint window, of 255.
inline constexpr uint8_t kCardAlphaBlendValue = 221;

struct TItemCardLine {
  std::string Text;  // empty: a spacing line
  TColor32 Color = kCardTextColor;
};

// What the measuring pass finds for one item; everything painting needs.
struct TItemCard {
  std::string FName;
  TColor32 FNameColor = 0;
  std::string FKindLine;                // "[sub-type]" or "[sub-type - kind]"
  std::vector<TItemCardLine> FStrings;  // requirement, status and effect lines
  int32_t FWidth = 0;
  int32_t FHeight = 0;
};

// One text as painted: the top-left of its cell, its colour, and whether it
// is in the bold name font.
struct TItemCardText {
  int32_t X = 0;
  int32_t Y = 0;
  TColor32 Color = 0;
  bool Bold = false;
  std::string Text;
};

// The measuring pass. Missing global strings and effects give the texts the
// card shows for them ("N/A", an empty sub-type, no line), never an error.
TItemCard MeasureItemHint(const TVaruneItem& Item, const TVaruneDatabase& DataBase);

// Every text of the card in painting order: the name at y 10, the kind line
// at y 27, then FStrings line i at y 42 + 15 i. Spacing lines are left out.
std::vector<TItemCardText> ItemCardTexts(const TItemCard& Card);

// The painting pass: `Buffer` becomes FWidth x FHeight and holds the card,
// its cut corners kCardKeyColor.
void PaintItemCard(const TItemCard& Card, TBitmap32& Buffer);

// What the window shows of a painted card, as a picture to save: pixels of
// the key colour's RGB fully transparent (transparent black), the others
// opaque. The window's translucency is left out.
void ApplyCardColorKey(TBitmap32& Picture);

// A measured card as a PNG file: painted, its key colour made transparent.
std::vector<uint8_t> ItemCardPng(const TItemCard& Card);

// Moves `Card` inside `Screen`, the available geometry of the screen under
// the pointer: the bottom and right edges are pulled in first, then the left
// and top edges pushed out, so a card larger than the screen keeps its
// top-left corner on the screen.
TRect PlaceItemCard(TRect Card, TRect Screen);

}  // namespace varune
