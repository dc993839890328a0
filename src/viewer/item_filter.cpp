#include "viewer/item_filter.h"

namespace varune {

bool TItemFilter::Passes(const TVaruneItem& Item) const {
  switch (Category) {
    case efFunctional: if (Item.FSubType != kSubTypeBattle) return false; break;
    case efFashion: if (Item.FSubType != kSubTypeFashion) return false; break;
    case efShop: if (Item.FCashCheck == 0) return false; break;
    default: break;
  }
  if (Slot == kWeaponSlot && WeaponKind != 0 && Item.FKind != WeaponKind) return false;
  if (!Search.empty() && Item.FName.find(Search) == std::string::npos) return false;
  if (Job != 0 && !Item.IsUsableJob(JobBitFlag(Job))) return false;
  return true;
}

void ApplyItemFilter(const TVaruneItemList& Source, const TItemFilter& Filter, TVaruneItemList& Target) {
  Target.Clear();
  AppendFilteredItems(Source, Filter, Target);
}

void AppendFilteredItems(const TVaruneItemList& Source, const TItemFilter& Filter, TVaruneItemList& Target) {
  for (const TVaruneItem* item : Source)
    if (Filter.Passes(*item)) Target.Add(item);
}

}  // namespace varune
