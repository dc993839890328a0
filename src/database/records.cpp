#include "database/records.h"

namespace varune {

bool TVaruneItem::IsUsableGender(TGenderType AGender) const {
  for (const TVaruneRequire& require : FRequires) {
    if (require.Use == 0 || require.ID != kRequireGender) continue;
    switch (static_cast<int32_t>(require.Value1)) {
      case 1: return AGender == gtMale;
      case 2: return AGender == gtFemale;
      default: return true;
    }
  }
  return true;
}

bool TVaruneItem::IsUsableJob(int64_t ABitFlag) const {
  for (const TVaruneRequire& require : FRequires)
    if (require.Use != 0 && require.ID == kRequireJob) return (require.Value1 & ABitFlag) != 0;
  return true;
}

}  // namespace varune
