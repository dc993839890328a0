#pragma once
// What the demo client offers: item rows with the art each shows, the
// beauty shop, the motion table and the global strings.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "database/client_writer.h"
#include "demo/art.h"

namespace varune::demo {

enum TArtKind { arNone, arBody, arFace, arHair, arWear, arWeapon };

// How an item's appearance is drawn; HueShift recolours a drawn design.
struct TArtSpec {
  TArtKind Kind = arNone;
  int32_t A = 0, B = 0, C = 0;  // body: tone; face, hair: gender, design, colour; wear, weapon: design or kind, variant
  TWearKind Wear = wkHat;
  TColors Colors;
  int32_t HueShift = 0;
};

struct TDemoItem {
  TItemRow Row;
  int32_t Table = 1;      // "DATA/LDT/ITEM_1.LDT" or "DATA/LDT/ITEM_2.LDT"
  bool Skipped = false;   // a row the loader must leave out
  TArtSpec Art;
  std::string SpriteTable;  // manifest entry of its sprite table
  bool WithIcon = true;
};

struct TDemoCatalogue {
  std::vector<TDemoItem> Items;
  std::vector<TBasicRow> Basics;
  std::vector<TMotionRow> Motions;
  std::vector<std::pair<int32_t, std::string>> Strings, Effects, SkillMotions;
};

// The catalogue; `Variants` extra colour variants of every piece of
// equipment (0 for the demo, many for the client of the game's size).
TDemoCatalogue BuildCatalogue(int32_t Variants);

// Animation names of motion type `MotionType`: "%.3d_" and the column.
std::string AnimationName(int32_t MotionType, int32_t Kind);
// Emoticon names as the character model forms them.
std::string EmoticonName(int32_t Number);
inline constexpr int32_t kEmoticonCount = 122;

// Sprite tables, in manifest order, and the sheet kind of each.
struct TTableSpec {
  const char* Entry;
  int32_t Mode;  // TSheetMode
  int32_t Archive;
};
extern const std::vector<TTableSpec> SpriteTables;

// Global resource IDs of the icon sheets: kIconResBase + sheet number.
inline constexpr int32_t kIconResBase = 100;
std::string IconSheetName(int32_t Sheet);

}  // namespace varune::demo
