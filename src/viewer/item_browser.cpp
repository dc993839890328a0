#include "viewer/item_browser.h"

#include <algorithm>

#include "database/language.h"
#include "viewer/item_filter.h"

namespace varune {

TItemBrowser::TItemBrowser(const TVaruneDatabase& DataBase, TChara& Chara) : FDataBase(DataBase), FChara(Chara) {}

bool TItemBrowser::SelectEquipList(int32_t PosID) {
  if (PosID < 1 || PosID > kBrowsableSlotCount || PosID == FEquipListIndex) return false;
  FEquipListIndex = PosID;
  FActiveItemList = &FDataBase.GetSpec(FChara.Gender(), PosID);
  FSelectedIndex = -1;
  FWeaponListIndex = 0;
  FEquipTypeIndex = 0;
  if (!FSearchText.empty()) ApplyFilters();
  return true;
}

bool TItemBrowser::SelectEverySlot() {
  if (FEquipListIndex == kEverySlot) return false;
  FEquipListIndex = kEverySlot;
  FSelectedIndex = -1;
  FWeaponListIndex = 0;
  ApplyFilters();
  return true;
}

void TItemBrowser::GenderChanged() {
  FEquipListIndex = -1;
  SelectEquipList(1);
}

bool TItemBrowser::FilterMenuClick(TFilterSender Sender, int32_t Position) {
  switch (Sender) {
    case fsSlotMenu:
      return Position == kBrowsableSlotCount ? SelectEverySlot() : SelectEquipList(Position + 1);
    case fsWeaponMenu:
      if (Position < 0 || Position > kWeaponKindCount || Position == FWeaponListIndex) return false;
      FWeaponListIndex = Position;
      break;
    case fsCategoryMenu:
      if (Position < 0 || Position >= static_cast<int32_t>(EquipFilterNames.size()) || Position == FEquipTypeIndex)
        return false;
      FEquipTypeIndex = Position;
      break;
    case fsJobSelector:
      if (JobIndex() < 0) return false;
      break;
    case fsSearchBox:
    case fsNone:
      break;
  }
  ApplyFilters();
  if (Sender == fsJobSelector) {
    const int32_t job = JobIndex() + 1;
    FChara.SetJob(job);
    for (int32_t posID = 1; posID <= kSlotCount; ++posID) {
      const TVaruneItem* item = FChara.GetEquipObj(posID);
      if (item && !item->IsUsableJob(JobBitFlag(job))) FChara.SetEquipObj(posID, nullptr);
    }
  }
  return true;
}

void TItemBrowser::ApplyFilters() {
  const TVaruneItem* selected = SelectedItem();
  FActiveItemList = &FFilteredItemList;
  FFilteredItemList.Clear();
  TItemFilter filter;
  filter.Category = static_cast<TEquipFilter>(FEquipTypeIndex);
  filter.WeaponKind = FWeaponListIndex;
  filter.Search = FSearchText;
  filter.Job = JobIndex() + 1;  // 0 without a job selection: no job test
  // One slot, every slot in order, or none before the first is chosen.
  const int32_t first = FEquipListIndex == kEverySlot ? 1 : FEquipListIndex;
  const int32_t last = FEquipListIndex == kEverySlot ? kBrowsableSlotCount : FEquipListIndex;
  for (int32_t slot = std::max(first, 1); slot <= last; ++slot) {
    filter.Slot = slot;
    AppendFilteredItems(FDataBase.GetSpec(FChara.Gender(), slot), filter, FFilteredItemList);
  }
  // The selection follows its item, so that no index outlives a shorter list.
  FSelectedIndex = -1;
  if (!selected) return;
  const auto found = std::find(FFilteredItemList.begin(), FFilteredItemList.end(), selected);
  if (found != FFilteredItemList.end()) FSelectedIndex = static_cast<int32_t>(found - FFilteredItemList.begin());
}

int32_t TItemBrowser::JobIndex() const {
  const int32_t entry = FJobSelector ? FJobSelector() : -1;
  return entry >= 0 && entry < kJobCount ? entry : -1;
}

void TItemBrowser::SetSelectedIndex(int32_t Index) {
  FSelectedIndex = Index >= 0 && Index < FActiveItemList->Count() ? Index : -1;
}

const TVaruneItem* TItemBrowser::SelectedItem() const {
  return FSelectedIndex < 0 ? nullptr : FActiveItemList->GetItem(FSelectedIndex);
}

}  // namespace varune
