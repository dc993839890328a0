#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "database/client_writer.h"
#include "demo/demo_fixture.h"
#include "formats/seq_writer.h"
#include "support/temp_dir.h"
#include "viewer/random_outfit.h"

namespace varune {
namespace {

using test::TDemoFixture;

// One client for the whole suite: loading it is the slow part under ASan.
TVaruneDatabase& DemoDataBase() {
  static const std::unique_ptr<TVaruneDatabase> database = TDemoFixture::Get().Load();
  return *database;
}

bool Lists(const TVaruneItemList& List, const TVaruneItem* Item) {
  return std::find(List.begin(), List.end(), Item) != List.end();
}

TEST(OutfitRandomTest, FollowsSplitMix64AndDrawsInRange) {
  // The published SplitMix64 sequence for seed 0.
  TOutfitRandom random(0);
  EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFu);
  EXPECT_EQ(random.Next(), 0x6E789E6AA1B965F4u);
  EXPECT_EQ(random.Next(), 0x06C45D188009454Fu);

  EXPECT_EQ(random.Below(0), 0u);
  EXPECT_EQ(random.Below(1), 0u);
  std::set<uint32_t> seen;
  for (int i = 0; i < 100; ++i) seen.insert(random.Below(3));
  EXPECT_EQ(seen, (std::set<uint32_t>{0, 1, 2}));
}

TEST(RandomOutfitTest, SeedAloneDecidesTheOutfitInOneUpdate) {
  TChara chara(DemoDataBase());
  int modified = 0;
  chara.OnModified = [&](TChara&) { ++modified; };
  PutOnRandomOutfit(chara, DemoDataBase(), 42);
  EXPECT_EQ(modified, 1);
  const std::string first = chara.Code();

  // Seeds near each other still give outfits of their own.
  std::set<std::string> codes{first};
  for (uint64_t seed = 1; seed <= 8; ++seed) {
    PutOnRandomOutfit(chara, DemoDataBase(), seed);
    codes.insert(chara.Code());
  }
  EXPECT_EQ(codes.size(), 9u);
  // What was worn before makes no difference.
  PutOnRandomOutfit(chara, DemoDataBase(), 42);
  EXPECT_EQ(chara.Code(), first);
}

TEST(RandomOutfitTest, EveryOutfitIsWearableAndReadsBack) {
  const TVaruneDatabase& database = DemoDataBase();
  TChara chara(DemoDataBase());
  TChara reader(DemoDataBase());
  constexpr int32_t kJobs[] = {1, 4, 30, 52};  // 4 may use the two-handed sword, 30 the rogue knife
  int twoHanded = 0, shields = 0, empty = 0;
  for (uint64_t seed = 0; seed < 1000; ++seed) {
    SCOPED_TRACE(seed);
    const TGenderType gender = seed % 2 ? gtFemale : gtMale;
    const int32_t job = kJobs[seed / 2 % 4];
    chara.SetGender(gender);
    chara.SetJob(job);
    PutOnRandomOutfit(chara, database, seed);
    // Nothing drawn was refused or taken off again by the dressing rules.
    ASSERT_EQ(chara.Outfit(), DrawRandomOutfit(database, gender, job, seed));
    reader.SetJob(job);
    reader.SetCode(chara.Code());

    for (int32_t slot = 1; slot <= kSlotCount; ++slot) {
      const TVaruneItem* item = chara.GetEquipObj(slot);
      ASSERT_EQ(reader.GetEquipObj(slot), item) << "slot " << slot;
      if (!item) {
        ++empty;
        continue;
      }
      EXPECT_LE(item->FPosID1, kBrowsableSlotCount);
      EXPECT_TRUE(item->IsUsableJob(JobBitFlag(job))) << item->FIndex;
      EXPECT_TRUE(Lists(database.GetSpec(gender, item->FPosID1), item)) << item->FIndex;
    }
    const TVaruneItem* weapon = chara.GetEquipObj(kWeaponSlot);
    const TVaruneItem* offhand = chara.GetEquipObj(kShieldSlot);
    if (weapon && weapon == offhand) ++twoHanded;
    if (offhand && offhand != weapon) ++shields;
    if (weapon && (weapon->FSubPosID11 == kShieldSlot || weapon->FSubPosID12 == kShieldSlot)) {
      EXPECT_EQ(offhand, weapon);
    }

    const TVaruneItemList* lists[] = {&database.GetHairList(gender), &database.GetFaceList(gender),
                                      &database.Bodies(), &database.GetTopsList(gender),
                                      &database.GetBottomsList(gender)};
    for (int32_t position = 0; position < kBasePositionCount; ++position) {
      const TVaruneItem* part = chara.GetBaseObj(static_cast<TBasePosition>(position));
      EXPECT_EQ(reader.GetBaseObj(static_cast<TBasePosition>(position)), part);
      EXPECT_TRUE(Lists(*lists[position], part)) << "position " << position;
    }
  }
  // The loop saw every case it checks.
  EXPECT_GT(twoHanded, 0);
  EXPECT_GT(shields, 0);
  EXPECT_GT(empty, 0);
}

// Items taking a second slot: a greatsword the shield slot, and a cape worn
// over it that takes the shield slot as well.
TEST(RandomOutfitTest, NeverDrawsAnItemThatTakesOffAnother) {
  enum : int32_t { kGreatsword = 1301, kCape = 601 };
  std::vector<TItemRow> rows(2);
  rows[0].ID = kGreatsword, rows[0].PosID1 = kWeaponSlot, rows[0].SubPosID11 = kShieldSlot, rows[0].Category = 113;
  rows[1].ID = kCape, rows[1].PosID1 = 6, rows[1].SubPosID11 = kShieldSlot, rows[1].Category = 106;
  TClientWriter client;
  client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(rows));
  client.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable({{1001, {{atStand, "STAND"}}}}));
  client.Add("DATA/ANITABLE/STAND_R.SEQ", WriteSeq(TSeqHeader{}, {TSeqFrame{0, 0.1f, 0, {}}}));
  client.AddMinimalTables();
  test::TempDir dir;
  client.Write(dir.Path());
  TVaruneDatabase database;
  database.LoadPath(dir.Path());

  TChara chara(database);
  int capes = 0;
  for (uint64_t seed = 0; seed < 100; ++seed) {
    PutOnRandomOutfit(chara, database, seed);
    ASSERT_EQ(chara.Outfit(), DrawRandomOutfit(database, gtMale, 1, seed)) << seed;
    capes += chara.GetEquipID(6) == kCape;
  }
  EXPECT_GT(capes, 0);
}

// A changed generator or order of draws changes every saved seed's outfit.
TEST(RandomOutfitTest, PinnedSeedGivesThePinnedOutfit) {
  TChara chara(DemoDataBase());
  chara.SetGender(gtFemale);
  chara.SetJob(4);
  PutOnRandomOutfit(chara, DemoDataBase(), 20240601);
  TOutfitRecord pinned;
  pinned.Gender = gtFemale;
  pinned.BaseIDs = {130200104, 140200105, 150100101, 20900102, 30300301};
  pinned.EquipIDs = {9010103,  10100201, 10200201, 10400303, 10500203, 10600402,
                     10700201, 10800101, 10900301, 11000305, 12050101, 12120101};
  EXPECT_EQ(chara.Outfit(), pinned);
}

}  // namespace
}  // namespace varune
