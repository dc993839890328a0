#include "viewer/random_outfit.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <vector>

#include "viewer/selectors.h"

namespace varune {
namespace {

// The weapon comes first, so that a two-handed one is not ruled out by a
// shield drawn before it.
constexpr std::array<int32_t, kBrowsableSlotCount> kDrawOrder = {kWeaponSlot, 1, 2, 3, 4, 5, 6, 7,
                                                                 8,           9, 10, 11, 12, kShieldSlot};

using TSlotItems = std::array<const TVaruneItem*, kSlotCount + 1>;  // by PosID, null for free

bool IsSlot(int32_t PosID) { return PosID >= 1 && PosID <= kSlotCount; }

bool AllFree(const TVaruneItem& Item, const TSlotItems& Worn) {
  for (int32_t slot : Item.Slots())
    if (IsSlot(slot) && Worn[static_cast<size_t>(slot)]) return false;
  return true;
}

// What a base part's selectors offer, in groups: a style and its colours,
// or a single item for a body entry or a track bar position.
using TBaseChoices = std::vector<std::vector<const TVaruneItem*>>;

TBaseChoices StyleChoices(const TVaruneItemList& Items, const TVaruneBasicList& Styles,
                          const TVaruneBasicList& Colors) {
  TComboState style, colours;
  FillBasicCombo(style, Items, Styles);
  TBaseChoices choices;
  for (const TComboEntry& entry : style.Entries) {
    LoadBasicList2(colours, entry, Items, Colors);
    std::vector<const TVaruneItem*> group;
    for (const TComboEntry& colour : colours.Entries) group.push_back(colour.Item);
    if (!group.empty()) choices.push_back(std::move(group));
  }
  return choices;
}

TBaseChoices BodyChoices(const TVaruneDatabase& DataBase) {
  TComboState body;
  FillBasicCombo(body, DataBase.Bodies(), DataBase.BasicBodies());
  TBaseChoices choices;
  for (size_t i = 0; i < body.Entries.size(); ++i) {
    body.ItemIndex = static_cast<int32_t>(i);
    if (const TVaruneItem* item = SelectedBaseItem(body, DataBase.Bodies())) choices.push_back({item});
  }
  return choices;
}

TBaseChoices TrackBarChoices(const TVaruneItemList& List) {
  TBaseChoices choices;
  for (const TVaruneItem* item : List) choices.push_back({item});
  return choices;
}

template <class T>
const T& Pick(TOutfitRandom& Random, const std::vector<T>& Choices) {
  return Choices[Random.Below(static_cast<uint32_t>(Choices.size()))];
}

// Null when there is nothing to choose: the part worn stays.
const TVaruneItem* PickBase(TOutfitRandom& Random, const TBaseChoices& Choices) {
  return Choices.empty() ? nullptr : Pick(Random, Pick(Random, Choices));
}

}  // namespace

uint64_t TOutfitRandom::Next() {
  uint64_t z = (FState += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

uint32_t TOutfitRandom::Below(uint32_t Bound) {
  if (Bound == 0) return 0;
  uint64_t product = (Next() >> 32) * Bound;
  if (static_cast<uint32_t>(product) < Bound) {
    const uint32_t threshold = (0u - Bound) % Bound;  // 2^32 mod Bound: the values drawn too often
    while (static_cast<uint32_t>(product) < threshold) product = (Next() >> 32) * Bound;
  }
  return static_cast<uint32_t>(product >> 32);
}

TOutfitRecord DrawRandomOutfit(const TVaruneDatabase& DataBase, TGenderType Gender, int32_t Job, uint64_t Seed) {
  TOutfitRandom random(Seed);
  TOutfitRecord record;
  record.Gender = Gender;

  const TVaruneItem* base[kBasePositionCount] = {
      PickBase(random, StyleChoices(DataBase.GetHairList(Gender), DataBase.GetBasicHairList(Gender),
                                    DataBase.BasicHairColors())),
      PickBase(random, StyleChoices(DataBase.GetFaceList(Gender), DataBase.GetBasicFaceList(Gender),
                                    DataBase.BasicEyeColors())),
      PickBase(random, BodyChoices(DataBase)),
      PickBase(random, TrackBarChoices(DataBase.GetTopsList(Gender))),
      PickBase(random, TrackBarChoices(DataBase.GetBottomsList(Gender))),
  };
  for (int32_t position = 0; position < kBasePositionCount; ++position)
    record.BaseIDs[static_cast<size_t>(position)] = base[position] ? base[position]->FIndex : -1;

  const int64_t job = JobBitFlag(Job);
  TSlotItems worn{};
  std::vector<const TVaruneItem*> candidates;
  for (int32_t slot : kDrawOrder) {
    if (worn[static_cast<size_t>(slot)] || random.Below(kEmptySlotOneIn) == 0) continue;
    candidates.clear();
    for (const TVaruneItem* item : DataBase.GetSpec(Gender, slot))
      if (item->IsUsableJob(job) && AllFree(*item, worn)) candidates.push_back(item);
    if (candidates.empty()) continue;
    const TVaruneItem* item = Pick(random, candidates);
    for (int32_t s : item->Slots())
      if (IsSlot(s)) worn[static_cast<size_t>(s)] = item;
  }
  // In slot order, each item once, as the character lists what it wears.
  for (const TVaruneItem* item : worn)
    if (item && std::find(record.EquipIDs.begin(), record.EquipIDs.end(), item->FIndex) == record.EquipIDs.end())
      record.EquipIDs.push_back(item->FIndex);
  return record;
}

void PutOnRandomOutfit(TChara& Chara, const TVaruneDatabase& DataBase, uint64_t Seed) {
  Chara.Restore(DrawRandomOutfit(DataBase, Chara.Gender(), Chara.Job(), Seed));
}

uint64_t TimeSeed() {
  static std::atomic<uint64_t> calls{0};
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  TOutfitRandom mix(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) ^
                    (calls.fetch_add(1) * 0xD1B54A32D192ED03u));
  return mix.Next();
}

}  // namespace varune
