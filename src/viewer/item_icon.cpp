#include "viewer/item_icon.h"

namespace varune {

const std::string* ItemIconSheet(const TVaruneDatabase& DataBase, const TVaruneItem& Item) {
  const TVaruneGlobalRes* sheet = DataBase.GlobalResList().Find(Item.FIcon);
  return sheet && Item.FIconIndex != 0 ? &sheet->FFileName : nullptr;
}

bool DrawItemIcon(TCanvas& Canvas, int32_t X, int32_t Y, TVaruneDatabase& DataBase, const TVaruneItem& Item,
                  bool Sub) {
  const std::string* sheet = ItemIconSheet(DataBase, Item);
  if (!sheet) return false;
  DataBase.IconManager().Draw(Canvas, X, Y, *sheet, Item.FIconIndex, Sub);
  return true;
}

}  // namespace varune
