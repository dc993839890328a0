#pragma once
// The entries of the appearance selectors: hair style and colour, face and
// eye colour, body, and the tops and bottoms track bars. A style selector
// collapses the colour variants of one beauty-shop style into one entry; the
// colour selector then lists the colours that exist for that style. The
// window mirrors a TComboState into its drop-down list.

#include <cstdint>
#include <string>
#include <vector>

#include "database/lists.h"

namespace varune {

// One entry: its caption and the record it stands for, an item or a
// beauty-shop record standing for a family of colour variants. Exactly one
// of the two is set.
struct TComboEntry {
  std::string Caption;
  const TVaruneItem* Item = nullptr;
  const TVaruneBasic* Basic = nullptr;

  // The record ID (FIndex) of the entry's record.
  int32_t ID() const { return Item ? Item->FIndex : Basic->FIndex; }
};

struct TComboState {
  std::vector<TComboEntry> Entries;
  int32_t ItemIndex = -1;  // the selected entry, -1 for none
  bool Enabled = true;

  // Null when nothing is selected.
  const TComboEntry* Selected() const;
};

// The first record of `Basics` naming the item itself or its family (its ID
// rounded down to a multiple of 100), or null.
const TVaruneBasic* FindBasicOfItem(const TVaruneItem& Item, const TVaruneBasicList& Basics);

// True when `Combo` already offers what `Item` with its record `Basic` would
// add: an item of the same category, number and colour, or that very record.
bool ComboHasEntry(const TComboState& Combo, const TVaruneItem& Item, const TVaruneBasic& Basic);

// Fills a style selector with `Items` in order: an item with its own record
// under the record's name, a family under its record's name once, an item
// without record as "[未実装]" and its description. Selects the first entry.
void FillBasicCombo(TComboState& Combo, const TVaruneItemList& Items, const TVaruneBasicList& Basics);

// Fills a colour selector for the style entry `Style`: a single disabled
// "---" for a style without colour variants, else the colours of `BasicList`
// whose item (colour record's FItemID + family's FItemID) is in `ItemList`.
// The selected position is kept when the new list is long enough, else the
// first entry is selected.
void LoadBasicList2(TComboState& Combo, const TComboEntry& Style, const TVaruneItemList& ItemList,
                    const TVaruneBasicList& BasicList);

// Restoring selections by record ID: the first entry with that ID or -1;
// selecting an absent ID leaves the selection as it is; the selected entry's
// ID or -1.
int32_t IndexOfComboID(const TComboState& Combo, int32_t ID);
void SelectComboID(TComboState& Combo, int32_t ID);
int32_t SelectedComboID(const TComboState& Combo);

// Restores a style and its colour by record IDs: selects the style entry
// with `StyleID`, refills `Colors` for it (LoadBasicList2) and selects the
// colour with `ColorID` when it is there. False, with nothing changed, when
// no style entry has that ID.
bool RestoreStyle(TComboState& Style, TComboState& Colors, int32_t StyleID, int32_t ColorID,
                  const TVaruneItemList& Items, const TVaruneBasicList& ColorRecords);

// Selects what a loaded character wears, as the save slots restore it: the
// first style entry that is `Obj` itself (the colours then the single "---")
// or the family record of `Obj` (the colours refilled, then `Obj`'s colour
// selected when listed). False, with nothing changed, when no entry matches
// or `Obj` is null.
bool SelectBasicEntry(TComboState& Style, TComboState& Colors, const TVaruneItem* Obj,
                      const TVaruneBasicList& ColorRecords, const TVaruneItemList& Items);
// Selects the first body entry that is `Obj` or its family record; false,
// with the selection kept, when there is none.
bool SelectBodyEntry(TComboState& Body, const TVaruneItem* Obj);

// The base part the selected entry puts on, or null for nothing. An entry
// carrying a family record (a body style) stands for the family's first item
// in `Items`, the list the selector was filled from.
const TVaruneItem* SelectedBaseItem(const TComboState& Combo, const TVaruneItemList& Items);

// The tops or bottoms a track bar position puts on, or null when the list
// has no such position (an empty list included: its track bar stays disabled).
const TVaruneItem* TrackBarItem(const TVaruneItemList& List, int32_t Position);

}  // namespace varune
