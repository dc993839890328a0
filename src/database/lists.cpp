#include "database/lists.h"

#include <bit>

namespace varune {

void TVaruneItemList::Sort() {
  std::sort(FList.begin(), FList.end(), [](const TVaruneItem* a, const TVaruneItem* b) {
    if (a->FNum != b->FNum) return a->FNum < b->FNum;
    if (a->FCategory != b->FCategory) return a->FCategory < b->FCategory;
    return a->FColorID < b->FColorID;
  });
}

int32_t TVaruneMotionList::GetJobByMotion(int32_t AMotion) const {
  for (auto it = FList.rbegin(); it != FList.rend(); ++it)
    if ((*it)->FIndex % 1000 == AMotion) return (*it)->FIndex / 1000;
  return -1;
}

int32_t TVaruneMotionList::GetJobByItem(const TVaruneItem& AItem) const {
  for (const TVaruneRequire& require : AItem.FRequires) {
    if (require.Use == 0 || require.ID != kRequireJob) continue;
    const auto jobs = static_cast<int32_t>(static_cast<uint32_t>(require.Value1));
    if (jobs > 0) return std::countr_zero(static_cast<uint32_t>(jobs)) + 1;
    return GetJobByMotion(AItem.FMotionTypeID1);
  }
  return -1;
}

}  // namespace varune
