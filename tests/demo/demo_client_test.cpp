// The demo client against the loader's rules: what it writes must load whole,
// resolve every reference and exercise every rule the viewer reads.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "character/chara.h"
#include "database/language.h"
#include "demo/animation.h"
#include "demo/catalogue.h"
#include "demo/demo_fixture.h"
#include "formats/tbl.h"
#include "imaging/canvas.h"

namespace varune::test {
namespace {

using demo::TDemoCatalogue;

const TSeq* FindSequence(TVaruneDatabase& database, const std::string& name) {
  if (const TSeq* seq = database.SequenceManager().GetFile("DATA/ANITABLE/" + name + "_R.SEQ")) return seq;
  return database.SequenceManager().GetFile("DATA/ANITABLE/" + name + ".SDT");
}

// Every drawn (layer, cell) pair of every sequence a motion record names.
std::map<int32_t, std::set<int32_t>> CellsUsed(TVaruneDatabase& database) {
  std::map<int32_t, std::set<int32_t>> used;
  auto add = [&](const TSeq* seq) {
    for (int32_t f = 0; seq && f < seq->Count(); ++f)
      for (const TSeqLayer& layer : seq->GetItem(f).Items)
        if (layer.Visible) used[layer.LayerNumber].insert(layer.ImageIndex - 1);
  };
  const TVaruneMotionList& motions = database.MotionList();
  std::set<std::string> seen;
  for (int32_t i = 0; i < motions.Count(); ++i)
    for (int32_t kind = 0; kind < atEmotIcon; ++kind) {
      const std::string& name = motions.GetItem(i)->GetAnimation(static_cast<TAnimationType>(kind));
      if (seen.insert(name).second) add(FindSequence(database, name));
    }
  for (int32_t n = 1; n <= demo::kEmoticonCount; ++n) add(FindSequence(database, demo::EmoticonName(n)));
  return used;
}

// Items the viewer lists: equipment of both genders and every base part.
std::vector<const TVaruneItem*> ListedItems(const TVaruneDatabase& database) {
  std::set<const TVaruneItem*> items;
  for (TGenderType gender : {gtMale, gtFemale}) {
    for (int32_t slot = 1; slot <= kSlotCount; ++slot) {
      const TVaruneItemList& list = database.GetSpec(gender, slot);
      for (int32_t i = 0; i < list.Count(); ++i) items.insert(list.GetItem(i));
    }
    for (const TVaruneItemList* list : {&database.GetHairList(gender), &database.GetFaceList(gender),
                                        &database.GetTopsList(gender), &database.GetBottomsList(gender)})
      for (int32_t i = 0; i < list->Count(); ++i) items.insert(list->GetItem(i));
  }
  for (int32_t i = 0; i < database.Bodies().Count(); ++i) items.insert(database.Bodies().GetItem(i));
  return {items.begin(), items.end()};
}

void LoadsEverySpriteTableAndEveryRowNotMeantToBeSkipped(const TDemoFixture& fixture, TVaruneDatabase* database) {
  TMft manifest;
  manifest.LoadFromSpfInfo(database->SpfManager().GetItem("DATA/CHAR/CHARLAYER/CHARACTER.MFT"));
  EXPECT_EQ(static_cast<int32_t>(database->TblList().size()), manifest.Count());
  EXPECT_EQ(manifest.Count(), fixture.Summary.SpriteTables);
  bool subfolder = false;
  for (const auto& table : database->TblList()) {
    EXPECT_EQ(table->Count(), table->DeclaredCount()) << table->Path();
    subfolder |= table->Path().size() > std::string("DATA/CHAR/CHARLAYER/").size();
  }
  EXPECT_TRUE(subfolder);

  const TDemoCatalogue catalogue = demo::BuildCatalogue(0);
  std::set<int32_t> expected, skipped;
  for (const demo::TDemoItem& item : catalogue.Items) (item.Skipped ? skipped : expected).insert(item.Row.ID);
  std::set<int32_t> loaded;
  for (int32_t i = 0; i < database->ItemList().Count(); ++i) loaded.insert(database->ItemList().GetItem(i)->Index());
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(static_cast<int32_t>(skipped.size()), fixture.Summary.SkippedRows);
  EXPECT_GE(skipped.size(), 5u);  // no slot, type 3, subtype 3, repeated battle looks

  EXPECT_EQ(database->MotionList().Count(), kJobCount * static_cast<int32_t>(demo::MotionTypes.size()));
  EXPECT_EQ(database->BasicList().Count(), static_cast<int32_t>(catalogue.Basics.size()));
}

void EveryAnimationNameResolvesToAPlayableSequence(TVaruneDatabase* database) {
  const TVaruneMotionList& motions = database->MotionList();
  std::set<std::string> names;
  for (int32_t i = 0; i < motions.Count(); ++i)
    for (int32_t kind = 0; kind < atEmotIcon; ++kind) {
      const std::string& name = motions.GetItem(i)->GetAnimation(static_cast<TAnimationType>(kind));
      ASSERT_FALSE(name.empty()) << motions.GetItem(i)->Index() << " " << AnimationTypeNames[kind];
      names.insert(name);
    }
  int32_t legacy = 0, hidden = 0, mirrored = 0;
  for (const std::string& name : names) {
    const TSeq* seq = FindSequence(*database, name);
    ASSERT_NE(seq, nullptr) << name;
    ASSERT_GT(seq->Count(), 0) << name;
    legacy += database->SequenceManager().GetFile("DATA/ANITABLE/" + name + "_R.SEQ") == nullptr;
    for (int32_t f = 0; f < seq->Count(); ++f) {
      const TSeqFrame& frame = seq->GetItem(f);
      EXPECT_GE(FrameTimeMs(frame), 60) << name;
      EXPECT_LE(FrameTimeMs(frame), 200) << name;
      for (const TSeqLayer& layer : frame.Items) {
        EXPECT_TRUE(layer.LayerNumber >= 1 && layer.LayerNumber <= kLayerCount) << name;
        hidden += layer.Visible == 0;
        mirrored += LayerMirrored(layer);
      }
    }
  }
  EXPECT_GT(legacy, 0);
  EXPECT_GT(hidden, 0);
  EXPECT_GT(mirrored, 0);

  TChara chara(*database);
  chara.SetAnimationType(atEmotIcon);
  for (int32_t n = 1; n <= demo::kEmoticonCount; ++n) {
    chara.SetEmotIconNum(n);
    EXPECT_GT(chara.FrameCount(), 0) << n;
  }
}

void ListedItemsHaveCellsForEveryLayerTheSequencesUse(TVaruneDatabase* database) {
  const std::map<int32_t, std::set<int32_t>> used = CellsUsed(*database);
  ASSERT_TRUE(used.count(23) && used.count(24));
  std::set<std::string> sheets;
  for (const TVaruneItem* item : ListedItems(*database)) {
    int32_t entries = 0;
    for (int32_t layer = 1; layer <= kLayerCount; ++layer) {
      const TTblItem* entry = database->GetTableDataByID(LayerKey(layer, *item));
      if (!entry) continue;
      ++entries;
      ASSERT_TRUE(used.count(layer)) << entry->ID() << " lies on a layer no sequence draws";
      for (int32_t k : used.at(layer)) {
        std::vector<const TTblImage*> cells;
        if (layer == 23) {  // both hair sets
          for (int32_t set = 0; set < 2; ++set) {
            const int32_t index = entry->IndexOfID23(k % 12 + set * 12);
            ASSERT_GE(index, 0) << entry->ID() << " cell " << k;
            cells.push_back(&entry->Images[static_cast<size_t>(index)]);
          }
        } else if (layer == 24) {
          const int32_t index = entry->IndexOfID24(k);
          ASSERT_GE(index, 0) << entry->ID() << " cell " << k;
          cells.push_back(&entry->Images[static_cast<size_t>(index)]);
        } else {
          ASSERT_GE(entry->IndexOfID(k), 0) << entry->ID() << " cell " << k;
          cells.push_back(&entry->Images[static_cast<size_t>(entry->IndexOfID(k))]);
        }
        for (const TTblImage* cell : cells) sheets.insert(entry->Path() + cell->FileName);
      }
    }
    EXPECT_GT(entries, 0) << item->FName;
  }
  for (const std::string& sheet : sheets) EXPECT_NE(database->CharaManager().GetFile(sheet), nullptr) << sheet;
}

void SheetsComeInEveryTransparencyKind(TVaruneDatabase* database) {
  std::set<std::string> names;
  for (const auto& table : database->TblList())
    for (int32_t i = 0; i < table->Count(); ++i)
      for (const TTblImage& cell : table->GetItem(i).Images) names.insert(table->Path() + cell.FileName);
  std::set<std::pair<int32_t, int32_t>> kinds;  // colour type, transparency mode
  for (const std::string& name : names) {
    const TSpfItemInfo* info = database->SpfManager().GetItem(name);
    ASSERT_NE(info, nullptr) << name;
    const TPngImage png = DecodePng(ExtractEntry(*info));
    kinds.insert({png.ColorType, png.TransparencyMode()});
  }
  EXPECT_TRUE(kinds.count({pctRGBA, ptmPartial}));
  EXPECT_TRUE(kinds.count({pctPalette, ptmBit}));
  EXPECT_TRUE(kinds.count({pctPalette, ptmPartial}));
  EXPECT_TRUE(kinds.count({pctRGB, ptmBit}));
}

void EveryIconReferenceResolvesToAPaintedCell(TVaruneDatabase* database) {
  const TVaruneItemList& items = database->ItemList();
  int32_t equipment = 0, withIcon = 0;
  TBitmap32 target(32, 32);
  TCanvas canvas(target);
  for (int32_t i = 0; i < items.Count(); ++i) {
    const TVaruneItem* item = items.GetItem(i);
    if (item->FType != kItemTypeEquipment) continue;
    ++equipment;
    if (item->FIconIndex == 0) continue;
    ++withIcon;
    const int32_t res = database->GlobalResList().IndexOf(item->FIcon);
    ASSERT_GE(res, 0) << item->FName;
    const std::string& sheet = database->GlobalResList().GetItem(res)->FFileName;
    const TPngImage* png = database->IconManager().GetFile(sheet);
    ASSERT_NE(png, nullptr) << sheet;
    const int32_t n = item->FIconIndex - 1;
    ASSERT_LE((n / 16 + 1) * 32, png->Height) << item->FName;
    target.Clear(0);
    database->IconManager().Draw(canvas, 0, 0, sheet, item->FIconIndex, false);
    EXPECT_EQ(AlphaComponent(target.Pixel(16, 16)), 255) << item->FName;
  }
  EXPECT_LT(withIcon, equipment);               // some go without
  EXPECT_GT(withIcon * 100, equipment * 95);    // nearly all have one
}

void RowsExerciseEveryRuleTheViewerReads(TVaruneDatabase* database) {
  for (TGenderType gender : {gtMale, gtFemale})
    for (int32_t slot = 1; slot <= kSlotCount; ++slot) EXPECT_GT(database->GetSpec(gender, slot).Count(), 0) << slot;

  std::set<int32_t> hats, kinds, statusTypes;
  bool twoSlots = false, highJobBit = false, black = false, coloured = false, cash = false, effect = false;
  std::set<int32_t> subtypes;
  const TVaruneItemList& items = database->ItemList();
  for (int32_t i = 0; i < items.Count(); ++i) {
    const TVaruneItem& item = *items.GetItem(i);
    if (item.FType != kItemTypeEquipment) continue;
    if (item.FPosID1 == 1) hats.insert(item.FCategory);
    if (item.FKind) {
      kinds.insert(item.FKind);
      EXPECT_EQ(item.FPosID1, item.FKind == 12 || item.FKind == 23 ? kShieldSlot : kWeaponSlot) << item.FName;
    }
    twoSlots |= item.FPosID1 == kWeaponSlot && item.FSubPosID11 == kShieldSlot;
    for (const TVaruneRequire& require : item.FRequires)
      highJobBit |= require.Use && require.ID == kRequireJob && (require.Value1 >> 32) != 0;
    if (item.FNameColor == 0xFF000000u) black = true;
    else coloured = true;
    cash |= item.FCashCheck != 0;
    subtypes.insert(item.FSubType);
    for (const TVaruneStatus& status : item.FStatuses)
      if (status.SType) statusTypes.insert(status.SType);
    for (int32_t id : item.FEffects) effect |= id && database->EffectList().IndexOf(id) >= 0;
    // Each motion type a weapon imposes exists for every job.
    for (int32_t motion : {item.FMotionTypeID1, item.FMotionTypeID2, item.FMotionTypeID3})
      for (int32_t job = 1; motion && job <= kJobCount; ++job)
        ASSERT_GE(database->MotionList().IndexOf(job, motion), 0) << item.FName << " " << job;
  }
  for (int32_t category : {901, 903, 904, 906}) EXPECT_TRUE(hats.count(category)) << category;
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kWeaponKindCount));
  EXPECT_TRUE(twoSlots && highJobBit && black && coloured && cash && effect);
  EXPECT_EQ(subtypes, (std::set<int32_t>{kSubTypeBattle, kSubTypeFashion}));

  // Status texts in both notations the hint replaces.
  bool plus = false, percent = false;
  for (int32_t type : statusTypes) {
    const int32_t found = database->GlobalStringList().IndexOf(1020000 + type);
    ASSERT_GE(found, 0) << type;
    const std::string& text = database->GlobalStringList().GetItem(found)->FText;
    plus |= text.find("%+d") != std::string::npos;
    percent |= text.find("%d%%") != std::string::npos;
  }
  EXPECT_TRUE(plus && percent);

  // Restricted items appear only where they may.
  int32_t femaleOnly = 0;
  for (int32_t slot = 1; slot <= kSlotCount; ++slot) {
    const TVaruneItemList& male = database->GetSpec(gtMale, slot);
    for (int32_t i = 0; i < male.Count(); ++i) EXPECT_TRUE(male.GetItem(i)->IsUsableGender(gtMale) || male.GetItem(i)->FRequires[0].Use == 0);
    const TVaruneItemList& female = database->GetSpec(gtFemale, slot);
    for (int32_t i = 0; i < female.Count(); ++i) femaleOnly += !female.GetItem(i)->IsUsableGender(gtMale);
  }
  EXPECT_GT(femaleOnly, 0);

  for (int32_t job = 0; job < kJobCount; ++job) {
    EXPECT_FALSE(JobNames[job].empty()) << job + 1;
    EXPECT_FALSE(JobRequireNames[job].empty()) << job + 1;
  }
  EXPECT_EQ(GenderNames[1], "女性");
}

void BeautyShopOffersFamiliesAndExactItemsAndLeavesSomeOut(TVaruneDatabase* database) {
  auto findBasic = [](const TVaruneItem* item, const TVaruneBasicList& basics) -> const TVaruneBasic* {
    for (int32_t i = 0; i < basics.Count(); ++i)
      if (basics.GetItem(i)->FItemID == item->Index() || basics.GetItem(i)->FItemID == item->Index() / 100 * 100)
        return basics.GetItem(i);
    return nullptr;
  };
  for (TGenderType gender : {gtMale, gtFemale}) {
    const TVaruneBasicList& styles = database->GetBasicHairList(gender);
    ASSERT_GT(styles.Count(), 0);
    int32_t families = 0, exact = 0;
    for (int32_t i = 0; i < styles.Count(); ++i) {
      const TVaruneBasic* style = styles.GetItem(i);
      EXPECT_EQ(style->FItemID < 130200000, gender == gtMale);
      if (style->FItemID % 100 != 0) {
        ++exact;
        continue;
      }
      ++families;
      // Every colour of a family is an item of that gender.
      const TVaruneItemList& hairs = database->GetHairList(gender);
      for (int32_t c = 0; c < database->BasicHairColors().Count(); ++c) {
        const int32_t id = style->FItemID + database->BasicHairColors().GetItem(c)->FItemID;
        bool found = false;
        for (int32_t h = 0; h < hairs.Count(); ++h) found |= hairs.GetItem(h)->Index() == id;
        EXPECT_TRUE(found) << style->FName << " " << id;
      }
    }
    EXPECT_GT(families, 0);
    if (gender == gtMale) {
      EXPECT_GT(exact, 0);
    }
  }
  // Unoffered: shown by the viewer as "[未実装]".
  int32_t hairsWithout = 0, facesWithout = 0;
  for (TGenderType gender : {gtMale, gtFemale}) {
    const TVaruneItemList& hairs = database->GetHairList(gender);
    for (int32_t i = 0; i < hairs.Count(); ++i) hairsWithout += !findBasic(hairs.GetItem(i), database->GetBasicHairList(gender));
    const TVaruneItemList& faces = database->GetFaceList(gender);
    for (int32_t i = 0; i < faces.Count(); ++i) facesWithout += !findBasic(faces.GetItem(i), database->GetBasicFaceList(gender));
  }
  EXPECT_GE(hairsWithout, 1);
  EXPECT_GE(facesWithout, 1);
  for (int32_t i = 0; i < database->Bodies().Count(); ++i)
    EXPECT_NE(findBasic(database->Bodies().GetItem(i), database->BasicBodies()), nullptr);
}

void TheFirstArchiveHoldingANameWins(TVaruneDatabase* database) {
  TBitmap32 target(64, 64);
  TCanvas canvas(target);
  database->UIManager().DrawShadow(canvas, 32, 32);
  const TColor32 centre = target.Pixel(32, 32);
  EXPECT_GT(AlphaComponent(centre), 0);
  EXPECT_LT(RedComponent(centre), 0x80);  // the later copy is solid red
  const TSeq* stand = database->SequenceManager().GetFile("DATA/ANITABLE/" + demo::AnimationName(1, atStand) + "_R.SEQ");
  ASSERT_NE(stand, nullptr);
  EXPECT_GT(stand->Count(), 0);  // the later copy has no frames
}

// Everything the viewer looks up must be there: tables, rows, sequences,
// cells and their sheets, icons.
TEST(DemoClient, LoadsWholeAndEveryReferenceResolves) {
  const TDemoFixture& fixture = TDemoFixture::Get();
  auto database = fixture.Load();
  {
    SCOPED_TRACE("tables and rows");
    LoadsEverySpriteTableAndEveryRowNotMeantToBeSkipped(fixture, database.get());
  }
  {
    SCOPED_TRACE("sequences");
    EveryAnimationNameResolvesToAPlayableSequence(database.get());
  }
  {
    SCOPED_TRACE("cells");
    ListedItemsHaveCellsForEveryLayerTheSequencesUse(database.get());
  }
  {
    SCOPED_TRACE("sheets");
    SheetsComeInEveryTransparencyKind(database.get());
  }
  {
    SCOPED_TRACE("icons");
    EveryIconReferenceResolvesToAPaintedCell(database.get());
  }
}

// The rows, the beauty shop and the archives exercise the rules the loader
// and the viewer apply.
TEST(DemoClient, ContentExercisesEveryRuleTheViewerReads) {
  auto database = TDemoFixture::Get().Load();
  {
    SCOPED_TRACE("item rows");
    RowsExerciseEveryRuleTheViewerReads(database.get());
  }
  {
    SCOPED_TRACE("beauty shop");
    BeautyShopOffersFamiliesAndExactItemsAndLeavesSomeOut(database.get());
  }
  {
    SCOPED_TRACE("archive order");
    TheFirstArchiveHoldingANameWins(database.get());
  }
}

}  // namespace
}  // namespace varune::test
