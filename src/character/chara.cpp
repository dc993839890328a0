#include "character/chara.h"

#include <algorithm>
#include <time.h>

#include "archive/error.h"
#include "archive/text.h"

namespace varune {
namespace {

constexpr int32_t kJobWithRogueKnife = 30;
constexpr int32_t kKindShield = 12;
constexpr int32_t kKindRogueKnife = 23;

bool ValidSlot(int32_t PosID) { return PosID >= 1 && PosID <= kSlotCount; }
bool ValidPosition(TBasePosition Position) { return Position < kBasePositionCount; }

}  // namespace

uint32_t TimeGetTime() {
  timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

int32_t BasePositionOf(int32_t Category) {
  switch (Category) {
    case kCategoryTopsMale: case kCategoryTopsFemale: return bpTops;
    case kCategoryBottomsMale: case kCategoryBottomsFemale: return bpBottoms;
    case kCategoryHairMale: case kCategoryHairFemale: return bpHair;
    case kCategoryFaceMale: case kCategoryFaceFemale: return bpFace;
    case kCategoryBody: return bpBody;
    default: return -1;
  }
}

std::string LayerKey(int32_t Layer, const TVaruneItem& Item) {
  std::string key;
  AppendZeroPadded(key, Layer, 2);
  key += '_';
  key += AppearanceKey(Item.FCategory, Item.FNum, Item.FColorID);
  return key;
}

TChara::TChara(TVaruneDatabase& ADataBase, TClock Clock) : FDataBase(ADataBase), FClock(std::move(Clock)) {
  LoadSequence();
  SetDefaultBase();
}

// ---- Events ----------------------------------------------------------------

void TChara::Raise(const TNotifyEvent& Event) {
  if (FUpdateCount == 0 && Event) Event(*this);
}

void TChara::EndUpdate() {
  --FUpdateCount;
  Raise(OnModified);
}

// ---- Properties ------------------------------------------------------------

int32_t TChara::FrameCount() const { return FSeq ? FSeq->Count() : 0; }

void TChara::SetGender(TGenderType Value) {
  if (Value == FGender || (Value != gtMale && Value != gtFemale)) return;
  FGender = Value;
  for (int32_t slot = 1; slot <= kSlotCount; ++slot) {
    const TVaruneItem* item = FEquipObjs[slot];
    if (item && !item->IsUsableGender(FGender)) TakeOff(item);
  }
  SetDefaultBase();
  BeginUpdate();
  if (OnGenderChange) OnGenderChange(*this);
  EndUpdate();
}

void TChara::SetJob(int32_t Value) {
  if (Value == FJob || Value < 1 || Value > kJobCount) return;
  FJob = Value;
  LoadSequence();
}

void TChara::SetMotionType(int32_t Value) {
  FMotionType = Value;
  LoadSequence();
}

void TChara::SetEmotIconNum(int32_t Value) {
  if (Value == FEmotIconNum) return;
  FEmotIconNum = Value;
  if (FAnimationType == atEmotIcon) LoadSequence();
}

void TChara::SetAnimationType(TAnimationType Value) {
  if (Value == FAnimationType || Value < 0 || Value >= kAnimationTypeCount) return;
  FAnimationType = Value;
  LoadSequence();
}

void TChara::LoadSequence() {
  std::string name;
  if (FAnimationType == atEmotIcon) {
    const int32_t n = FEmotIconNum;
    name = n < 100 ? Sprintf("100_04_%.2d_EMOTICON%.2d", n, n) : Sprintf("100_05_%.2d_EMOTICON%.2d", n - 99, n - 99);
  } else {
    const TVaruneMotion* motion = FDataBase.MotionList().Find(FJob * 1000 + FMotionType);
    if (!motion) return;
    name = motion->GetAnimation(FAnimationType);
  }
  FFrameNumber = 0;
  TSequenceManager& sequences = FDataBase.SequenceManager();
  FSeq = sequences.GetFile("DATA/ANITABLE/" + name + "_R.SEQ");
  if (!FSeq) FSeq = sequences.GetFile("DATA/ANITABLE/" + name + ".SDT");
  Raise(OnChangeSequence);
  Raise(OnAnimation);
}

const TSeqFrame* TChara::Frame(int32_t Index) const {
  return FSeq && Index >= 0 && Index < FSeq->Count() ? &FSeq->GetItem(Index) : nullptr;
}

// ---- Equipment -------------------------------------------------------------

int32_t TChara::GetEquipID(int32_t PosID) const {
  const TVaruneItem* item = GetEquipObj(PosID);
  return item ? item->FIndex : -1;
}

const TVaruneItem* TChara::GetEquipObj(int32_t PosID) const { return ValidSlot(PosID) ? FEquipObjs[PosID] : nullptr; }

void TChara::SetEquipID(int32_t PosID, int32_t ItemID) {
  if (ItemID == -1) {
    SetEquipObj(PosID, nullptr);
    return;
  }
  if (const TVaruneItem* item = FDataBase.GetSpec(FGender, PosID).Find(ItemID)) SetEquipObj(PosID, item);
}

void TChara::SetEquipObj(int32_t PosID, const TVaruneItem* Obj) {
  if (!ValidSlot(PosID) || Obj == FEquipObjs[PosID]) return;
  if (!Obj) {
    TakeOff(FEquipObjs[PosID]);
    Raise(OnModified);
    return;
  }
  if (PosID != Obj->FPosID1 || !Obj->IsUsableJob(JobBitFlag(FJob))) return;
  PutOn(Obj);
  Raise(OnModified);
}

void TChara::Equip(const TVaruneItem* Item) {
  if (!Item) return;
  BeginUpdate();
  SetEquipObj(Item->FPosID1, Item);
  EndUpdate();
}

void TChara::Clear() {
  BeginUpdate();
  for (int32_t slot = 1; slot <= kSlotCount; ++slot) SetEquipObj(slot, nullptr);
  EndUpdate();
}

void TChara::PutOn(const TVaruneItem* Item) {
  if (!FSeq) return;
  for (int32_t slot : Item->Slots()) {
    if (!ValidSlot(slot)) continue;
    TakeOff(FEquipObjs[slot]);
    FEquipObjs[slot] = Item;
  }
  // TakeOff may have loaded another sequence: the layers come from the
  // frame that is current now.
  if (const TSeqFrame* frame = Frame(FFrameNumber)) {
    for (auto layer = frame->Items.rbegin(); layer != frame->Items.rend(); ++layer) {
      const int32_t number = layer->LayerNumber;
      if (number < 1 || number > kLayerCount) continue;
      if (const TTblItem* entry = FDataBase.GetTableDataByID(LayerKey(number, *Item))) FDrawParts[number] = {entry, Item};
    }
  }
  UpdateMotionType();
}

void TChara::TakeOff(const TVaruneItem* Item) {
  if (!Item) return;
  for (const TVaruneItem*& slot : FEquipObjs)
    if (slot == Item) slot = nullptr;
  for (int32_t layer = 1; layer <= kLayerCount; ++layer) {
    const TTblItem* entry = FDrawParts[layer].TblItem;
    if (entry && entry->ID() == LayerKey(layer, *Item)) FDrawParts[layer] = FBaseParts[layer];
  }
  UpdateMotionType();
}

void TChara::UpdateMotionType() {
  const TVaruneItem* weapon = FEquipObjs[kWeaponSlot];
  const TVaruneItem* shield = FEquipObjs[kShieldSlot];
  auto fromWeapon = [&](int32_t fallback) {
    int32_t motion = fallback;
    if (weapon && weapon->FMotionTypeID1 != 0) {
      motion = weapon->FMotionTypeID1;
      if (shield && shield->FKind == kKindShield && weapon->FMotionTypeID2 != 0) motion = weapon->FMotionTypeID2;
    }
    return motion;
  };
  int32_t motion;
  if (FJob != kJobWithRogueKnife) {
    motion = fromWeapon(1);
  } else if (shield && shield->FKind == kKindRogueKnife) {
    motion = weapon && weapon->FMotionTypeID3 != 0 ? weapon->FMotionTypeID3 : 3;
  } else {
    motion = fromWeapon(3);
  }
  SetMotionType(motion);
}

std::vector<int32_t> TChara::GetCurrentEquipIDList() const {
  std::vector<int32_t> ids;
  for (int32_t slot = 1; slot <= kSlotCount; ++slot) {
    const TVaruneItem* item = FEquipObjs[slot];
    if (item && std::find(ids.begin(), ids.end(), item->FIndex) == ids.end()) ids.push_back(item->FIndex);
  }
  return ids;
}

// ---- Base appearance -------------------------------------------------------

int32_t TChara::GetBaseID(TBasePosition Position) const {
  const TVaruneItem* item = GetBaseObj(Position);
  return item ? item->FIndex : -1;
}

const TVaruneItem* TChara::GetBaseObj(TBasePosition Position) const {
  return ValidPosition(Position) ? FBaseObjs[Position] : nullptr;
}

void TChara::SetBaseID(TBasePosition Position, int32_t ItemID) {
  if (ItemID == -1) return;
  if (const TVaruneItem* item = FDataBase.ItemList().Find(ItemID)) SetBaseObj(Position, item);
}

void TChara::SetBaseObj(TBasePosition Position, const TVaruneItem* Obj) {
  if (!ValidPosition(Position) || Obj == FBaseObjs[Position] || !Obj || Obj->FType != kItemTypeBasePart) return;
  PutOnBase(Obj);
  Raise(OnModified);
}

void TChara::Base(const TVaruneItem* Item) {
  if (!Item) return;
  PutOnBase(Item);
  Raise(OnModified);
}

void TChara::Base(int32_t ItemID) { Base(FDataBase.ItemList().Find(ItemID)); }

void TChara::PutOnBase(const TVaruneItem* Item) {
  if (!Item || !FSeq) return;
  const int32_t position = BasePositionOf(Item->FCategory);
  // The old part of this position leaves its layers first.
  if (position >= 0) {
    if (const TVaruneItem* old = FBaseObjs[position]) {
      for (int32_t layer = 1; layer <= kLayerCount; ++layer) {
        const TTblItem* entry = FBaseParts[layer].TblItem;
        if (!entry || entry->ID() != LayerKey(layer, *old)) continue;
        if (FDrawParts[layer].TblItem == entry) FDrawParts[layer] = {};
        FBaseParts[layer] = {};
      }
    }
  }
  if (const TSeqFrame* frame = Frame(FFrameNumber)) {
    for (auto layer = frame->Items.rbegin(); layer != frame->Items.rend(); ++layer) {
      const int32_t number = layer->LayerNumber;
      if (number < 1 || number > kLayerCount) continue;
      const TTblItem* entry = FDataBase.GetTableDataByID(LayerKey(number, *Item));
      if (!entry) continue;
      FBaseParts[number] = {entry, Item};
      if (!FDrawParts[number].TblItem) FDrawParts[number] = {entry, Item};
    }
  }
  if (position >= 0) FBaseObjs[position] = Item;
}

void TChara::SetDefaultBase() {
  for (const TVaruneItemList* list : {&FDataBase.GetHairList(FGender), &FDataBase.GetFaceList(FGender),
                                      &FDataBase.Bodies(), &FDataBase.GetTopsList(FGender),
                                      &FDataBase.GetBottomsList(FGender)})
    if (list->Count() > 0) PutOnBase(list->GetItem(0));
}

// ---- Outfit record ---------------------------------------------------------

TOutfitRecord TChara::Outfit() const {
  TOutfitRecord record;
  record.Gender = FGender;
  for (int32_t position = 0; position < kBasePositionCount; ++position)
    record.BaseIDs[position] = GetBaseID(static_cast<TBasePosition>(position));
  record.EquipIDs = GetCurrentEquipIDList();
  return record;
}

void TChara::SaveToStream(TStream& Stream) const {
  const std::vector<uint8_t> bytes = EncodeOutfitRecord(Outfit());
  const int64_t position = Stream.Position();
  Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  Stream.SetPosition(position);
}

std::string TChara::Code() const { return EncodeOutfitCode(Outfit()); }

void TChara::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> bytes(static_cast<size_t>(std::min<int64_t>(Stream.Remaining(), 23 + 4 * 255)));
  bytes.resize(static_cast<size_t>(Stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
  Restore(DecodeOutfitRecord(bytes));
}

void TChara::SetCode(std::string_view Text) { Restore(DecodeOutfitCode(Text)); }

void TChara::Restore(const TOutfitRecord& Record) {
  BeginUpdate();
  Clear();
  SetGender(Record.Gender);
  for (int32_t position = 0; position < kBasePositionCount; ++position)
    SetBaseID(static_cast<TBasePosition>(position), Record.BaseIDs[position]);
  for (int32_t id : Record.EquipIDs) Equip(FDataBase.ItemList().Find(id));
  EndUpdate();
}

void DressLike(TChara& Twin, const TChara& Model) {
  Twin.Update([&] {
    Twin.SetGender(Model.Gender());
    Twin.SetJob(Model.Job());
    Twin.SetEmotIconNum(Model.EmotIconNum());
    Twin.SetAnimationType(Model.AnimationType());
    Twin.Restore(Model.Outfit());
    Twin.HideOptions = Model.HideOptions;
    Twin.SetFrameNumber(Model.FrameNumber());
  });
}

}  // namespace varune
