#pragma once
// The item browser's filtering: the items of one gender's slot list that pass
// the category, weapon kind, search text and job tests, in list order.

#include <cstdint>
#include <string>

#include "database/language.h"
#include "database/lists.h"

namespace varune {

struct TItemFilter {
  int32_t Slot = 1;                // the PosID browsed
  TEquipFilter Category = efAll;   // entry of EquipFilterNames
  int32_t WeaponKind = 0;          // 0 all; tested only while the weapon slot is browsed
  std::string Search;              // case-sensitive substring of the name; empty: no test
  int32_t Job = 0;                 // 1 to 52; 0: no job test

  // The tests in the browser's order, stopping at the first that fails.
  bool Passes(const TVaruneItem& Item) const;
};

// Appends to `Target` (a referring list, cleared first) the items of
// `Source` that pass `Filter`.
void ApplyItemFilter(const TVaruneItemList& Source, const TItemFilter& Filter, TVaruneItemList& Target);
// The same without clearing `Target` first.
void AppendFilteredItems(const TVaruneItemList& Source, const TItemFilter& Filter, TVaruneItemList& Target);

}  // namespace varune
