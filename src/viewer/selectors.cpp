#include "viewer/selectors.h"

#include <algorithm>

namespace varune {
namespace {

// Colour variants of one style share their ID up to the last two digits.
int32_t FamilyOf(int32_t ItemID) { return ItemID / 100 * 100; }

}  // namespace

const TComboEntry* TComboState::Selected() const {
  return ItemIndex >= 0 && ItemIndex < static_cast<int32_t>(Entries.size()) ? &Entries[static_cast<size_t>(ItemIndex)]
                                                                              : nullptr;
}

const TVaruneBasic* FindBasicOfItem(const TVaruneItem& Item, const TVaruneBasicList& Basics) {
  for (const TVaruneBasic* basic : Basics)
    if (basic->FItemID == Item.FIndex || basic->FItemID == FamilyOf(Item.FIndex)) return basic;
  return nullptr;
}

bool ComboHasEntry(const TComboState& Combo, const TVaruneItem& Item, const TVaruneBasic& Basic) {
  return std::any_of(Combo.Entries.begin(), Combo.Entries.end(), [&](const TComboEntry& entry) {
    if (entry.Basic) return entry.Basic == &Basic;
    return entry.Item->FCategory == Item.FCategory && entry.Item->FNum == Item.FNum &&
           entry.Item->FColorID == Item.FColorID;
  });
}

void FillBasicCombo(TComboState& Combo, const TVaruneItemList& Items, const TVaruneBasicList& Basics) {
  Combo.Entries.clear();
  for (const TVaruneItem* item : Items) {
    const TVaruneBasic* basic = FindBasicOfItem(*item, Basics);
    if (!basic) {
      Combo.Entries.push_back({"[未実装]" + item->FDescription, item, nullptr});
    } else if (!ComboHasEntry(Combo, *item, *basic)) {
      const bool exact = basic->FItemID == item->FIndex;
      Combo.Entries.push_back({basic->FName, exact ? item : nullptr, exact ? nullptr : basic});
    }
  }
  Combo.ItemIndex = Combo.Entries.empty() ? -1 : 0;
}

void LoadBasicList2(TComboState& Combo, const TComboEntry& Style, const TVaruneItemList& ItemList,
                    const TVaruneBasicList& BasicList) {
  const int32_t previous = Combo.ItemIndex;
  Combo.Entries.clear();
  if (Style.Item) {
    Combo.Entries.push_back({"---", Style.Item, nullptr});
    Combo.Enabled = false;
  } else {
    for (const TVaruneBasic* colour : BasicList)
      if (const TVaruneItem* item = ItemList.Find(colour->FItemID + Style.Basic->FItemID))
        Combo.Entries.push_back({colour->FName, item, nullptr});
    Combo.Enabled = true;
  }
  const auto count = static_cast<int32_t>(Combo.Entries.size());
  Combo.ItemIndex = count == 0 ? -1 : previous >= 0 && previous < count ? previous : 0;
}

int32_t IndexOfComboID(const TComboState& Combo, int32_t ID) {
  for (size_t i = 0; i < Combo.Entries.size(); ++i)
    if (Combo.Entries[i].ID() == ID) return static_cast<int32_t>(i);
  return -1;
}

void SelectComboID(TComboState& Combo, int32_t ID) {
  const int32_t index = IndexOfComboID(Combo, ID);
  if (index >= 0) Combo.ItemIndex = index;
}

int32_t SelectedComboID(const TComboState& Combo) {
  const TComboEntry* entry = Combo.Selected();
  return entry ? entry->ID() : -1;
}

bool RestoreStyle(TComboState& Style, TComboState& Colors, int32_t StyleID, int32_t ColorID,
                  const TVaruneItemList& Items, const TVaruneBasicList& ColorRecords) {
  const int32_t index = IndexOfComboID(Style, StyleID);
  if (index < 0) return false;
  Style.ItemIndex = index;
  LoadBasicList2(Colors, Style.Entries[index], Items, ColorRecords);
  SelectComboID(Colors, ColorID);
  return true;
}

namespace {

// The first entry that is `Obj` or the record of `Obj`'s family, or -1.
int32_t IndexOfLoadedEntry(const TComboState& Combo, const TVaruneItem& Obj) {
  for (size_t i = 0; i < Combo.Entries.size(); ++i) {
    const TComboEntry& entry = Combo.Entries[i];
    if (entry.Item == &Obj || (entry.Basic && entry.Basic->FItemID == FamilyOf(Obj.FIndex)))
      return static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace

bool SelectBasicEntry(TComboState& Style, TComboState& Colors, const TVaruneItem* Obj,
                      const TVaruneBasicList& ColorRecords, const TVaruneItemList& Items) {
  const int32_t index = Obj ? IndexOfLoadedEntry(Style, *Obj) : -1;
  if (index < 0) return false;
  Style.ItemIndex = index;
  const TComboEntry& entry = Style.Entries[static_cast<size_t>(index)];
  LoadBasicList2(Colors, entry, Items, ColorRecords);
  if (entry.Basic) {
    const auto colour = std::find_if(Colors.Entries.begin(), Colors.Entries.end(),
                                     [&](const TComboEntry& c) { return c.Item == Obj; });
    if (colour != Colors.Entries.end()) Colors.ItemIndex = static_cast<int32_t>(colour - Colors.Entries.begin());
  }
  return true;
}

bool SelectBodyEntry(TComboState& Body, const TVaruneItem* Obj) {
  const int32_t index = Obj ? IndexOfLoadedEntry(Body, *Obj) : -1;
  if (index >= 0) Body.ItemIndex = index;
  return index >= 0;
}

const TVaruneItem* SelectedBaseItem(const TComboState& Combo, const TVaruneItemList& Items) {
  const TComboEntry* entry = Combo.Selected();
  if (!entry) return nullptr;
  if (entry->Item) return entry->Item;
  for (const TVaruneItem* item : Items)
    if (FamilyOf(item->FIndex) == entry->Basic->FItemID) return item;
  return nullptr;
}

const TVaruneItem* TrackBarItem(const TVaruneItemList& List, int32_t Position) {
  return Position >= 0 && Position < List.Count() ? List[Position] : nullptr;
}

}  // namespace varune
