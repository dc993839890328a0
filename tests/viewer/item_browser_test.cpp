#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "database/client_writer.h"
#include "database/language.h"
#include "formats/seq_writer.h"
#include "support/temp_dir.h"
#include "viewer/item_browser.h"

namespace varune {
namespace {

// Item IDs of the browser's client. Every slot 1 to 16 also holds a "Drill
// Gear" only job 1 can use (kDrillGear + PosID) and a "Plain Gear" for every
// job (kPlainGear + PosID), listed after the named items of the slot.
enum : int32_t {
  kIronHelm = 101, kLeatherCap = 102, kIronCrown = 103, kSilkRibbon = 104,  // slot 1
  kIronSword = 131, kOakBow = 132, kIronBow = 133,                          // slot 13
  kDrillGear = 1000, kPlainGear = 2000,
};
constexpr int32_t kSword = 3, kBow = 9;  // weapon kinds

class TBrowserClient {
 public:
  TBrowserClient() {
    // Each slot has a category of its own: items that look alike are loaded once.
    std::vector<TItemRow> rows;
    auto add = [&](int32_t id, int32_t posID, int32_t num, const char* name) -> TItemRow& {
      TItemRow row;
      row.ID = id, row.PosID1 = posID, row.Category = 100 + posID, row.Num = num, row.Name = name;
      rows.push_back(row);
      return rows.back();
    };
    add(kIronHelm, 1, 1, "Iron Helm");
    add(kLeatherCap, 1, 2, "Leather Cap").SubType = 2;
    rows.back().CashCheck = 1;
    add(kIronCrown, 1, 3, "Iron Crown").Requires[0] = {1, kRequireJob, "2", "0"};
    add(kSilkRibbon, 1, 4, "Silk Ribbon").Requires[0] = {1, kRequireGender, "2", "0"};
    add(kIronSword, 13, 1, "Iron Sword").Kind = kSword;
    add(kOakBow, 13, 2, "Oak Bow").Kind = kBow;
    add(kIronBow, 13, 3, "Iron Bow").Kind = kBow;
    for (int32_t posID = 1; posID <= kSlotCount; ++posID) {
      add(kDrillGear + posID, posID, 100, "Drill Gear").Requires[0] = {1, kRequireJob, "1", "0"};
      add(kPlainGear + posID, posID, 101, "Plain Gear");
    }
    TClientWriter client;
    client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(rows));
    // Items go on only while a stand sequence is loaded.
    std::vector<TMotionRow> motions;
    for (int32_t job = 1; job <= 3; ++job) motions.push_back({job * 1000 + 1, {{atStand, "STAND"}}});
    client.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable(motions));
    client.Add("DATA/ANITABLE/STAND_R.SEQ", WriteSeq(TSeqHeader{}, {TSeqFrame{0, 0.1f, 0, {}}}));
    client.AddMinimalTables();
    client.Write(FDir.Path());
  }
  const std::string& Path() const { return FDir.Path(); }

 private:
  test::TempDir FDir;
};

class ItemBrowserTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { client = new TBrowserClient; }
  static void TearDownTestSuite() { delete client; }
  void SetUp() override {
    database.LoadPath(client->Path());
    chara = std::make_unique<TChara>(database);
    browser = std::make_unique<TItemBrowser>(database, *chara);
    browser->SetJobSelector([this] { return jobEntry; });
  }
  std::vector<int32_t> Listed() const {
    std::vector<int32_t> ids;
    for (const TVaruneItem* item : browser->ActiveItemList()) ids.push_back(item->FIndex);
    return ids;
  }
  // Chooses job `Index` + 1 in the job selector.
  bool ChooseJob(int32_t Index) {
    jobEntry = Index;
    return browser->FilterMenuClick(fsJobSelector);
  }
  int32_t Select(int32_t ID) {
    browser->SetSelectedIndex(browser->ActiveItemList().IndexOf(ID));
    return browser->SelectedIndex();
  }

  static TBrowserClient* client;
  TVaruneDatabase database;
  std::unique_ptr<TChara> chara;
  std::unique_ptr<TItemBrowser> browser;
  int32_t jobEntry = -1;  // what the job selector shows
};

TBrowserClient* ItemBrowserTest::client = nullptr;

using Ids = std::vector<int32_t>;

TEST_F(ItemBrowserTest, NothingIsBrowsedBeforeTheFirstSlot) {
  EXPECT_EQ(browser->EquipListIndex(), -1);
  EXPECT_EQ(browser->ActiveItemList().Count(), 0);
  EXPECT_EQ(browser->SelectedItem(), nullptr);
  browser->SetSearchText("Iron");
  EXPECT_TRUE(browser->FilterMenuClick(fsSearchBox));
  EXPECT_EQ(browser->ActiveItemList().Count(), 0);
}

TEST_F(ItemBrowserTest, ASlotIsShownWholeUnlessThereIsSearchText) {
  ASSERT_TRUE(ChooseJob(1));
  for (const int32_t posID : {0, 15, -1}) EXPECT_FALSE(browser->SelectEquipList(posID)) << posID;

  // The slot menu shows the slot's whole list, also what job 2 cannot use.
  EXPECT_TRUE(browser->FilterMenuClick(fsSlotMenu, 0));
  EXPECT_EQ(browser->EquipListIndex(), 1);
  EXPECT_EQ(Listed(), (Ids{kIronHelm, kLeatherCap, kIronCrown, kDrillGear + 1, kPlainGear + 1}));
  EXPECT_FALSE(browser->FilterMenuClick(fsSlotMenu, 0));
  EXPECT_FALSE(browser->FilterMenuClick(fsSlotMenu, kBrowsableSlotCount + 1));

  // A click on the slot's cell adds the filtering.
  EXPECT_FALSE(browser->SelectEquipList(1));
  EXPECT_TRUE(browser->FilterMenuClick(fsNone));
  EXPECT_EQ(Listed(), (Ids{kIronHelm, kLeatherCap, kIronCrown, kPlainGear + 1}));

  // With search text every slot change filters, the job test included.
  browser->SetSearchText("Gear");
  EXPECT_TRUE(browser->SelectEquipList(2));
  EXPECT_EQ(Listed(), (Ids{kPlainGear + 2}));
}

TEST_F(ItemBrowserTest, EverySlotListsTheMatchesOfEachSlotInTurn) {
  ASSERT_TRUE(ChooseJob(1));
  ASSERT_TRUE(browser->SelectEquipList(13));
  ASSERT_TRUE(browser->FilterMenuClick(fsWeaponMenu, kBow));
  browser->SetSearchText("Iron");
  EXPECT_TRUE(browser->FilterMenuClick(fsSlotMenu, kBrowsableSlotCount));
  EXPECT_EQ(browser->EquipListIndex(), kEverySlot);
  EXPECT_FALSE(browser->WeaponFilterShown());
  // Slot by slot; the weapon kind is no test here.
  EXPECT_EQ(Listed(), (Ids{kIronHelm, kIronCrown, kIronSword, kIronBow}));
  EXPECT_FALSE(browser->SelectEverySlot());

  browser->SetSearchText("Gear");
  EXPECT_TRUE(browser->FilterMenuClick(fsSearchBox));
  Ids gear;
  for (int32_t posID = 1; posID <= kBrowsableSlotCount; ++posID) gear.push_back(kPlainGear + posID);
  EXPECT_EQ(Listed(), gear);  // slots 15 and 16 are not browsed
  EXPECT_TRUE(browser->FilterMenuClick(fsCategoryMenu, efFashion));
  EXPECT_EQ(Listed(), Ids{});

  // Choosing a slot leaves it.
  EXPECT_TRUE(browser->SelectEquipList(1));
  EXPECT_EQ(browser->EquipListIndex(), 1);
}

TEST_F(ItemBrowserTest, WeaponKindAndCategoryMenus) {
  ASSERT_TRUE(browser->SelectEquipList(13));
  EXPECT_TRUE(browser->WeaponFilterShown());
  EXPECT_TRUE(browser->FilterMenuClick(fsWeaponMenu, kBow));
  EXPECT_EQ(Listed(), (Ids{kOakBow, kIronBow}));
  browser->SetSearchText("Iron");
  EXPECT_TRUE(browser->FilterMenuClick(fsSearchBox));
  EXPECT_EQ(Listed(), (Ids{kIronBow}));
  EXPECT_TRUE(browser->FilterMenuClick(fsCategoryMenu, efFashion));
  EXPECT_EQ(Listed(), Ids{});

  // The checked entry chosen again, or an entry beyond the menu, changes nothing.
  const TVaruneItemList* shown = &browser->ActiveItemList();
  EXPECT_FALSE(browser->FilterMenuClick(fsWeaponMenu, kBow));
  EXPECT_FALSE(browser->FilterMenuClick(fsCategoryMenu, efFashion));
  EXPECT_FALSE(browser->FilterMenuClick(fsWeaponMenu, kWeaponKindCount + 1));
  EXPECT_FALSE(browser->FilterMenuClick(fsCategoryMenu, 4));
  EXPECT_FALSE(browser->FilterMenuClick(fsCategoryMenu, -1));
  EXPECT_EQ(browser->WeaponListIndex(), kBow);
  EXPECT_EQ(browser->EquipTypeIndex(), efFashion);
  EXPECT_EQ(&browser->ActiveItemList(), shown);

  // Another slot resets both; the search text stays.
  browser->SetSearchText("");
  EXPECT_TRUE(browser->SelectEquipList(12));
  EXPECT_EQ(browser->WeaponListIndex(), 0);
  EXPECT_EQ(browser->EquipTypeIndex(), efAll);
  EXPECT_FALSE(browser->WeaponFilterShown());
  // Outside the weapon slot a weapon kind never filters.
  EXPECT_TRUE(browser->FilterMenuClick(fsWeaponMenu, kBow));
  EXPECT_EQ(Listed(), (Ids{kDrillGear + 12, kPlainGear + 12}));
  EXPECT_TRUE(browser->SelectEquipList(13));
  EXPECT_TRUE(browser->FilterMenuClick(fsNone));
  EXPECT_EQ(Listed(), (Ids{kIronSword, kOakBow, kIronBow, kDrillGear + 13, kPlainGear + 13}));
}

TEST_F(ItemBrowserTest, ChoosingAJobTakesOffWhatItCannotUseInAllSixteenSlots) {
  ASSERT_TRUE(ChooseJob(0));
  ASSERT_EQ(chara->Job(), 1);
  for (int32_t posID = 1; posID <= kSlotCount; ++posID) {
    const int32_t id = posID == 5 ? kPlainGear + posID : kDrillGear + posID;
    chara->Equip(database.GetSpec(gtMale, posID).Find(id));
    ASSERT_EQ(chara->GetEquipID(posID), id) << posID;
  }
  ASSERT_TRUE(browser->SelectEquipList(1));
  int32_t modified = 0;
  chara->OnModified = [&](TChara&) {
    ++modified;
    EXPECT_EQ(chara->Job(), 2);  // the job is set before anything comes off
    EXPECT_EQ(Listed(), (Ids{kIronHelm, kLeatherCap, kIronCrown, kPlainGear + 1}));
  };

  EXPECT_TRUE(ChooseJob(1));
  EXPECT_EQ(modified, kSlotCount - 1);
  for (int32_t posID = 1; posID <= kSlotCount; ++posID)
    EXPECT_EQ(chara->GetEquipID(posID), posID == 5 ? kPlainGear + 5 : -1) << posID;
}

TEST_F(ItemBrowserTest, WithoutAJobSelectionThereIsNoJobTest) {
  ASSERT_TRUE(browser->SelectEquipList(1));
  ASSERT_TRUE(ChooseJob(1));
  const Ids all{kIronHelm, kLeatherCap, kIronCrown, kDrillGear + 1, kPlainGear + 1};
  EXPECT_NE(Listed(), all);

  // Choosing no job changes neither the list nor the character.
  EXPECT_FALSE(ChooseJob(-1));
  EXPECT_EQ(chara->Job(), 2);
  EXPECT_TRUE(browser->FilterMenuClick(fsNone));
  EXPECT_EQ(Listed(), all);
  jobEntry = kJobCount;  // beyond the selector's 52 entries
  EXPECT_EQ(browser->JobIndex(), -1);
  EXPECT_FALSE(browser->FilterMenuClick(fsJobSelector));
}

TEST_F(ItemBrowserTest, TheJobFilterReadsTheSelectorWhoeverSetIt) {
  ASSERT_TRUE(browser->SelectEquipList(1));
  ASSERT_TRUE(ChooseJob(0));
  ASSERT_NE(browser->ActiveItemList().IndexOf(kDrillGear + 1), -1);
  // Set without its handler, as a loaded slot sets it: the next filtering
  // of any sender lists what job 2 can use; only the selector's own
  // handler changes the character's job.
  jobEntry = 1;
  browser->SetSearchText("Gear");
  EXPECT_TRUE(browser->FilterMenuClick(fsSearchBox));
  EXPECT_EQ(Listed(), (Ids{kPlainGear + 1}));
  EXPECT_EQ(chara->Job(), 1);
}

TEST_F(ItemBrowserTest, TheSelectionFollowsItsItemOrIsCleared) {
  ASSERT_TRUE(browser->SelectEquipList(1));
  ASSERT_TRUE(ChooseJob(0));
  ASSERT_EQ(Listed(), (Ids{kIronHelm, kLeatherCap, kDrillGear + 1, kPlainGear + 1}));
  ASSERT_EQ(Select(kPlainGear + 1), 3);

  browser->SetSearchText("Gear");
  browser->FilterMenuClick(fsSearchBox);
  EXPECT_EQ(browser->SelectedIndex(), 1);
  EXPECT_EQ(browser->SelectedItem()->FIndex, kPlainGear + 1);

  // Filtered out: cleared, and it stays cleared when the item comes back.
  browser->SetSearchText("Drill");
  browser->FilterMenuClick(fsSearchBox);
  EXPECT_EQ(browser->SelectedIndex(), -1);
  browser->SetSearchText("");
  browser->FilterMenuClick(fsSearchBox);
  EXPECT_EQ(browser->SelectedItem(), nullptr);

  // An index beyond the list selects nothing; another slot clears the selection.
  browser->SetSelectedIndex(browser->ActiveItemList().Count());
  EXPECT_EQ(browser->SelectedIndex(), -1);
  ASSERT_EQ(Select(kIronHelm), 0);
  EXPECT_TRUE(browser->SelectEquipList(2));
  EXPECT_EQ(browser->SelectedIndex(), -1);
}

TEST_F(ItemBrowserTest, AGenderChangeBrowsesTheFirstSlotOfTheNewGender) {
  chara->OnGenderChange = [&](TChara&) { browser->GenderChanged(); };
  ASSERT_TRUE(browser->SelectEquipList(1));
  ASSERT_EQ(browser->ActiveItemList().IndexOf(kSilkRibbon), -1);
  ASSERT_EQ(Select(kIronHelm), 0);
  chara->SetGender(gtFemale);
  EXPECT_EQ(browser->EquipListIndex(), 1);
  EXPECT_NE(browser->ActiveItemList().IndexOf(kSilkRibbon), -1);
  EXPECT_EQ(browser->SelectedIndex(), -1);
}

}  // namespace
}  // namespace varune
