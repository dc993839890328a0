#pragma once
// An item's icon, as the slot panel and the item lists show it.

#include <cstdint>

#include "database/database.h"
#include "imaging/canvas.h"

namespace varune {

// The icon sheet of an item, or null when it has no icon artwork: no global
// resource record with its FIcon as ID (that record names the sheet), or
// FIconIndex 0.
const std::string* ItemIconSheet(const TVaruneDatabase& DataBase, const TVaruneItem& Item);

// Draws the item's icon at (X, Y), at half opacity when `Sub`. False, with
// nothing drawn, when the item has no icon artwork.
bool DrawItemIcon(TCanvas& Canvas, int32_t X, int32_t Y, TVaruneDatabase& DataBase, const TVaruneItem& Item,
                  bool Sub);

}  // namespace varune
