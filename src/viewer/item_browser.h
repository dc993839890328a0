#pragma once
// The item browser of the main window without its widgets: the browsed slot,
// the weapon kind and category filters, the search text and job selector it
// is fed, the list it shows and the item selected in it. The window mirrors
// this state into its filter row and icon list after every operation that
// asks for a repaint.

#include <cstdint>
#include <functional>
#include <string>

#include "character/chara.h"
#include "database/database.h"

namespace varune {

// The browsed "slot" that is every slot of the gender at once: the slot
// menu's entry after slot 14.
inline constexpr int32_t kEverySlot = 0;

// What ran FilterMenuClick: an entry of one of the three filter menus (with
// its position in the menu), the search box, the job selector, or nothing.
enum TFilterSender : int32_t { fsNone, fsSlotMenu, fsWeaponMenu, fsCategoryMenu, fsSearchBox, fsJobSelector };

class TItemBrowser {
 public:
  // Both must outlive the browser. Nothing is browsed until the first slot is
  // chosen: the active list is then empty.
  TItemBrowser(const TVaruneDatabase& DataBase, TChara& Chara);
  TItemBrowser(const TItemBrowser&) = delete;
  TItemBrowser& operator=(const TItemBrowser&) = delete;

  // ---- Inputs from the window -----------------------------------------------

  // Takes effect at the next FilterMenuClick of the search box.
  void SetSearchText(std::string Text) { FSearchText = std::move(Text); }
  const std::string& SearchText() const { return FSearchText; }
  // The job selector's entry as it shows now (entry i is job i + 1), read at
  // every filtering: the selector may have been set without its handler (a
  // loaded slot, a pasted code). -1, or any index outside the 52 jobs, is no
  // selection, which leaves the job test out; so is having no selector.
  void SetJobSelector(std::function<int32_t()> SelectedEntry) { FJobSelector = std::move(SelectedEntry); }
  int32_t JobIndex() const;

  // ---- Operations ------------------------------------------------------------

  // Browses slot `PosID` of the character's gender, unfiltered unless there
  // is search text, with the weapon kind and category reset and nothing
  // selected. Ignored (false) unless PosID is 1 to 14 and not browsed already.
  bool SelectEquipList(int32_t PosID);
  // Browses every slot at once: the items of slots 1 to 14 that pass the
  // category, search and job tests, slot by slot, nothing selected. The
  // category is kept. False when every slot is browsed already.
  bool SelectEverySlot();
  // The character's gender changed: browse slot 1 of the new gender's lists.
  void GenderChanged();
  // Applies a filter choice. `Position` is the chosen entry of a menu sender
  // (the slot menu's entry kBrowsableSlotCount is every slot).
  // False when nothing changed and the filter row needs no repaint: the
  // checked entry of a menu chosen again, a position outside the menu, or the
  // job selector without a selection. The slot menu browses without
  // filtering (as SelectEquipList); the other senders re-filter. Choosing a
  // job then sets it on the character and takes off, in slots 1 to 16, what
  // the job cannot use.
  bool FilterMenuClick(TFilterSender Sender, int32_t Position = 0);
  // Rebuilds the filtered list of the browsed slot and shows it, keeping the
  // selected item selected when it is still listed.
  void ApplyFilters();

  // ---- State shown by the window ----------------------------------------------

  int32_t EquipListIndex() const { return FEquipListIndex; }    // -1 before the first slot; kEverySlot
  int32_t WeaponListIndex() const { return FWeaponListIndex; }  // 0 all, else a weapon kind
  int32_t EquipTypeIndex() const { return FEquipTypeIndex; }    // entry of EquipFilterNames
  // The weapon kind button and menu exist only while the weapon slot is browsed.
  bool WeaponFilterShown() const { return FEquipListIndex == kWeaponSlot; }

  // The database's list of the browsed slot or the filtered list; every
  // index the window holds into it must be below its Count.
  const TVaruneItemList& ActiveItemList() const { return *FActiveItemList; }
  // -1 for none; an index outside the active list selects nothing.
  int32_t SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int32_t Index);
  const TVaruneItem* SelectedItem() const;

 private:
  const TVaruneDatabase& FDataBase;
  TChara& FChara;
  std::string FSearchText;
  std::function<int32_t()> FJobSelector;
  int32_t FEquipListIndex = -1;
  int32_t FWeaponListIndex = 0;
  int32_t FEquipTypeIndex = 0;
  TVaruneItemList FFilteredItemList;
  const TVaruneItemList* FActiveItemList = &FFilteredItemList;
  int32_t FSelectedIndex = -1;
};

}  // namespace varune
