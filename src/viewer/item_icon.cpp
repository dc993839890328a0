#include "viewer/item_icon.h"

namespace varune {

bool DrawItemIcon(TCanvas& Canvas, int32_t X, int32_t Y, TVaruneDatabase& DataBase, const TVaruneItem& Item,
                  bool Sub) {
  const TVaruneGlobalRes* sheet = DataBase.GlobalResList().Find(Item.FIcon);
  if (!sheet || Item.FIconIndex == 0) return false;
  DataBase.IconManager().Draw(Canvas, X, Y, sheet->FFileName, Item.FIconIndex, Sub);
  return true;
}

}  // namespace varune
