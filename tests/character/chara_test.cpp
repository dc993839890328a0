#include <gtest/gtest.h>

#include "archive/error.h"
#include "character/chara.h"
#include "client/test_client.h"

namespace varune {
namespace {

using namespace test;

class CharaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = client().Load();
    chara = std::make_unique<TChara>(*database, [this] { return clock; });
    chara->OnChangeSequence = [this](TChara&) { events.push_back("sequence"); };
    chara->OnAnimation = [this](TChara&) { events.push_back("animation"); };
    chara->OnGenderChange = [this](TChara&) { events.push_back("gender"); };
    chara->OnModified = [this](TChara&) { events.push_back("modified"); };
  }
  static const TTestClient& client() {
    static const TTestClient instance;
    return instance;
  }
  const TVaruneItem* Item(int32_t id) const { return database->ItemList().Find(id); }
  const TVaruneItem* DrawnItem(int32_t layer) const { return chara->DrawParts()[layer].Item; }

  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
  std::vector<std::string> events;
  uint32_t clock = 5000;
};

TEST_F(CharaTest, StartsWithDefaultBasePartsStanding) {
  EXPECT_EQ(chara->Gender(), gtMale);
  EXPECT_EQ(chara->Job(), 1);
  EXPECT_EQ(chara->MotionType(), 1);
  EXPECT_EQ(chara->AnimationType(), atStand);
  EXPECT_EQ(chara->FrameCount(), 2);
  EXPECT_EQ(chara->GetBaseID(bpHair), kHairMale);
  EXPECT_EQ(chara->GetBaseID(bpFace), kFaceMale);
  EXPECT_EQ(chara->GetBaseID(bpBody), kBody);
  EXPECT_EQ(chara->GetBaseID(bpTops), kTopsMale);
  EXPECT_EQ(chara->GetBaseID(bpBottoms), kBottomsMale);
  EXPECT_EQ(DrawnItem(kLayerTops)->FIndex, kTopsMale);
  EXPECT_EQ(chara->DrawParts()[kLayerTops].TblItem->ID(), "05_0205_001_01");
  EXPECT_TRUE(events.empty());
}

TEST_F(CharaTest, EquipmentCoversBaseLayersAndTakingOffRestoresThem) {
  chara->Equip(Item(kTop));
  EXPECT_EQ(events, (std::vector<std::string>{"modified"}));
  EXPECT_EQ(chara->GetEquipID(4), kTop);
  EXPECT_EQ(DrawnItem(kLayerTops)->FIndex, kTop);
  EXPECT_EQ(chara->BaseParts()[kLayerTops].Item->FIndex, kTopsMale);

  chara->SetEquipID(4, -1);
  EXPECT_EQ(chara->GetEquipID(4), -1);
  EXPECT_EQ(DrawnItem(kLayerTops)->FIndex, kTopsMale);
}

TEST_F(CharaTest, RefusalsStillRaiseOneModifiedFromEquip) {
  chara->SetEquipObj(5, Item(kTop));  // not its slot
  EXPECT_EQ(chara->GetEquipID(5), -1);
  EXPECT_TRUE(events.empty());
  chara->Equip(Item(kJob2Ring));  // job 1 may not wear it
  EXPECT_EQ(chara->GetEquipID(12), -1);
  EXPECT_EQ(events, (std::vector<std::string>{"modified"}));
  chara->SetEquipObj(0, Item(kTop));
  chara->SetEquipObj(17, Item(kTop));
  EXPECT_EQ(chara->GetEquipObj(17), nullptr);
  EXPECT_THROW(chara->SetEquipID(17, kTop), Error);
  chara->SetEquipID(4, 999999);  // not in the slot's list
  EXPECT_EQ(chara->GetEquipID(4), -1);
}

// An update ends with one OnModified also when a step fails, and the step's
// failure is the one raised even when the redraw fails as well.
TEST_F(CharaTest, AnUpdateEndsWhenAStepFails) {
  EXPECT_THROW(chara->Update([this] {
    chara->Equip(Item(kTop));
    throw Error("step");
  }),
               Error);
  EXPECT_EQ(events, (std::vector<std::string>{"modified"}));
  chara->OnModified = [](TChara&) { throw std::runtime_error("redraw"); };
  try {
    chara->Update([] { throw Error("step"); });
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "step");
  }
}

TEST_F(CharaTest, TwoSlotItemsAndMotionTypes) {
  chara->Equip(Item(kSword));
  EXPECT_EQ(chara->MotionType(), 5);
  chara->Equip(Item(kRogueKnife));  // not a shield: the second motion type stays unused
  EXPECT_EQ(chara->MotionType(), 5);
  chara->Equip(Item(kShield));
  EXPECT_EQ(chara->MotionType(), 6);

  chara->Equip(Item(kGreatSword));  // slots 13 and 14: the sword and the shield come off
  EXPECT_EQ(chara->GetEquipID(13), kGreatSword);
  EXPECT_EQ(chara->GetEquipID(14), kGreatSword);
  EXPECT_EQ(chara->GetCurrentEquipIDList(), std::vector<int32_t>{kGreatSword});
  EXPECT_EQ(chara->MotionType(), 8);
  chara->SetEquipObj(14, nullptr);  // one of its slots empties both
  EXPECT_EQ(chara->GetEquipID(13), -1);
  EXPECT_EQ(chara->MotionType(), 1);
}

TEST_F(CharaTest, JobThirtyMotionTypes) {
  chara->SetJob(30);
  chara->Equip(Item(kHatPlain));  // any change recomputes the motion type
  EXPECT_EQ(chara->MotionType(), 3);
  chara->Equip(Item(kSword));
  EXPECT_EQ(chara->MotionType(), 5);
  chara->Equip(Item(kRogueKnife));
  EXPECT_EQ(chara->MotionType(), 7);
  chara->SetEquipID(13, -1);
  EXPECT_EQ(chara->MotionType(), 3);

  chara->SetJob(53);
  chara->SetJob(0);
  EXPECT_EQ(chara->Job(), 30);
}

TEST_F(CharaTest, BaseHairChangesUnderAHat) {
  chara->Equip(Item(kHatPlain));
  chara->Base(Item(kHairMale2));
  EXPECT_EQ(chara->GetBaseID(bpHair), kHairMale2);
  EXPECT_EQ(DrawnItem(kLayerHat)->FIndex, kHatPlain);
  EXPECT_EQ(DrawnItem(kLayerHair)->FIndex, kHairMale2);

  events.clear();
  chara->SetBaseObj(bpHair, Item(kHairMale2));  // the same part: nothing
  chara->SetBaseObj(bpHair, Item(kTop));        // equipment is no base part
  chara->SetBaseID(bpHair, -1);
  EXPECT_TRUE(events.empty());
  chara->SetBaseID(bpHair, kHairMale);
  EXPECT_EQ(events, std::vector<std::string>{"modified"});
  EXPECT_EQ(DrawnItem(kLayerHair)->FIndex, kHairMale);
}

TEST_F(CharaTest, GenderSwitchTakesOffWhatTheGenderCannotWear) {
  chara->SetGender(gtFemale);
  chara->Equip(Item(kFemaleGlasses));
  chara->Equip(Item(kTop));
  ASSERT_EQ(chara->GetEquipID(2), kFemaleGlasses);
  events.clear();

  chara->SetGender(gtMale);
  EXPECT_EQ(chara->GetEquipID(2), -1);
  EXPECT_EQ(chara->GetEquipID(4), kTop);
  EXPECT_EQ(chara->GetBaseID(bpHair), kHairMale);
  EXPECT_EQ(chara->GetBaseID(bpTops), kTopsMale);
  // Taking off reloads the sequence outside any bracket; then gender, then modified.
  EXPECT_EQ(events, (std::vector<std::string>{"sequence", "animation", "gender", "modified"}));

  events.clear();
  chara->SetGender(gtMale);
  chara->SetGender(static_cast<TGenderType>(7));
  EXPECT_EQ(chara->Gender(), gtMale);
  EXPECT_TRUE(events.empty());
}

TEST_F(CharaTest, SequencesEmoticonsAndEvents) {
  chara->SetAnimationType(atMove);  // only MOVE.SDT exists
  EXPECT_EQ(chara->FrameCount(), 3);
  EXPECT_EQ(events, (std::vector<std::string>{"sequence", "animation"}));
  EXPECT_EQ(chara->GetFrameTime(2), 99u);
  EXPECT_EQ(chara->GetFrameTime(1), 0u);

  chara->SetEmotIconNum(7);  // not playing emoticons: nothing loads
  EXPECT_EQ(chara->FrameCount(), 3);
  chara->SetAnimationType(atEmotIcon);
  EXPECT_EQ(chara->FrameCount(), 0);
  ASSERT_NE(chara->Sequence(), nullptr);  // 100_04_07_EMOTICON07, a sequence without frames
  chara->SetEmotIconNum(8);               // no such file
  EXPECT_EQ(chara->Sequence(), nullptr);

  chara->BeginUpdate();
  events.clear();
  chara->SetAnimationType(atStand);
  EXPECT_TRUE(events.empty());  // held back inside the bracket, and not replayed
  chara->EndUpdate();
  EXPECT_EQ(events, std::vector<std::string>{"modified"});
}

TEST_F(CharaTest, StepsFramesCyclicallyWithDueTimes) {
  EXPECT_EQ(chara->GetFrameTime(0), 79u);  // the single nearest 0.08
  EXPECT_EQ(chara->GetFrameTime(1), 100u);
  EXPECT_EQ(chara->NextFrame(), 5100u);
  EXPECT_EQ(chara->FrameNumber(), 1);
  EXPECT_EQ(chara->NextFrame(), 5079u);
  EXPECT_EQ(chara->FrameNumber(), 0);
  EXPECT_EQ(chara->PrevFrame(), 5100u);
  EXPECT_EQ(chara->FrameNumber(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"animation", "animation", "animation"}));

  clock = 0xFFFFFFF0u;  // the clock wraps
  EXPECT_EQ(chara->NextFrame(), 0xFFFFFFF0u + 79u);
  chara->SetFrameNumber(-7);  // stored as given; stepping brings it back into range
  chara->NextFrame();
  EXPECT_EQ(chara->FrameNumber(), 0);

  chara->SetAnimationType(atEmotIcon);  // no frames: nothing steps
  events.clear();
  EXPECT_EQ(chara->NextFrame(), clock + 1000);
  EXPECT_EQ(chara->FrameNumber(), 0);
  EXPECT_EQ(chara->GetFrameTime(0), 1000u);
  EXPECT_TRUE(events.empty());
}

TEST_F(CharaTest, OutfitRecordAndCode) {
  std::vector<uint8_t> bytes(10, 0xEE);
  TMemoryStream stream(bytes);
  stream.SetPosition(10);
  chara->SaveToStream(stream);
  EXPECT_EQ(stream.Position(), 10);
  ASSERT_EQ(stream.Size(), 33);
  EXPECT_EQ(stream.Bytes()[10], 1);
  EXPECT_EQ(stream.Bytes()[11], 0);
  EXPECT_EQ(stream.Bytes()[32], 0);
  const std::string code = chara->Code();
  EXPECT_EQ(code.size(), 32u);
  EXPECT_EQ(code.find('\r'), std::string::npos);

  chara->Equip(Item(kGreatSword));
  chara->Equip(Item(kHatPlain));
  chara->SetGender(gtFemale);
  const TOutfitRecord saved = chara->Outfit();
  EXPECT_EQ(saved.EquipIDs, (std::vector<int32_t>{kHatPlain, kGreatSword}));
  EXPECT_EQ(saved.BaseIDs[bpHair], kHairFemale);
  const std::string fullCode = chara->Code();

  TChara other(*database);
  other.SetCode(fullCode);
  EXPECT_EQ(other.Outfit(), saved);
  std::string broken = fullCode;
  broken.insert(8, "\r\n");
  TChara again(*database);
  again.SetCode(broken);  // line breaks are optional
  EXPECT_EQ(again.Outfit(), saved);
}

TEST_F(CharaTest, DamagedRecordsChangeNothing) {
  chara->Equip(Item(kTop));
  const TOutfitRecord before = chara->Outfit();
  std::vector<uint8_t> record = EncodeOutfitRecord(before);
  events.clear();

  auto rejects = [&](std::vector<uint8_t> bytes) {
    TMemoryStream stream(std::move(bytes));
    EXPECT_THROW(chara->LoadFromStream(stream), Error);
  };
  std::vector<uint8_t> wrongVersion = record;
  wrongVersion[0] = 2;
  rejects(wrongVersion);
  std::vector<uint8_t> wrongGender = record;
  wrongGender[1] = 2;
  rejects(wrongGender);
  rejects(std::vector<uint8_t>(record.begin(), record.end() - 1));
  std::vector<uint8_t> tooMany = record;
  tooMany[22] = 17;
  rejects(tooMany);
  EXPECT_THROW(chara->SetCode("AQA*"), Error);
  EXPECT_THROW(chara->SetCode("AQA"), Error);
  EXPECT_EQ(chara->Outfit(), before);
  EXPECT_TRUE(events.empty());

  // Unknown IDs in a sound record are skipped.
  TOutfitRecord unknown = before;
  unknown.EquipIDs = {424242, kHatPlain};
  unknown.BaseIDs[bpHair] = 77;
  chara->Restore(unknown);
  EXPECT_EQ(chara->GetCurrentEquipIDList(), std::vector<int32_t>{kHatPlain});
  EXPECT_EQ(chara->GetBaseID(bpHair), kHairMale);
  EXPECT_EQ(events.back(), "modified");
}

}  // namespace
}  // namespace varune
