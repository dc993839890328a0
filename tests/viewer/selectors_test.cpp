#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "viewer/selectors.h"

namespace varune {
namespace {

// Hair styles of a small beauty shop: style A comes in three colours and
// style C in two, both matched by family; style B's item has its own record.
class SelectorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Item(hair, 130100101, 1, 1);
    Item(hair, 130100102, 1, 2);
    Item(hair, 130100103, 1, 3);
    Item(hair, 130100201, 2, 1);
    Item(hair, 130100301, 3, 1, "New hair");  // no record
    Item(hair, 130100205, 2, 1);              // looks like 130100201, under a record of its own
    Item(hair, 130100401, 4, 1);
    Item(hair, 130100402, 4, 2);
    Basic(styles, 1, "Style A", 130100100);
    Basic(styles, 2, "Style B", 130100201);
    Basic(styles, 3, "Style C", 130100400);
    Basic(styles, 4, "Style B again", 130100205);
    Basic(styles, 5, "Style A1", 130100101);  // behind style A's family record
    Basic(colours, 11, "Red", 1);
    Basic(colours, 12, "Blue", 2);
    Basic(colours, 13, "Green", 3);
  }
  const TVaruneItem* Item(TVaruneItemList& list, int32_t id, int32_t num, int32_t colour,
                          std::string description = {}) {
    auto item = std::make_unique<TVaruneItem>(id);
    item->FCategory = id / 100000, item->FNum = num, item->FColorID = colour;
    item->FDescription = std::move(description);
    list.Add(item.get());
    return items.GetItem(items.Add(std::move(item)));
  }
  const TVaruneBasic* Basic(TVaruneBasicList& list, int32_t id, std::string name, int32_t itemID) {
    auto basic = std::make_unique<TVaruneBasic>(id);
    basic->FName = std::move(name), basic->FItemID = itemID;
    list.Add(basic.get());
    return basics.GetItem(basics.Add(std::move(basic)));
  }
  static std::vector<std::string> Captions(const TComboState& combo) {
    std::vector<std::string> captions;
    for (const TComboEntry& entry : combo.Entries) captions.push_back(entry.Caption);
    return captions;
  }
  // The colour selector for style entry `Index` of `style`.
  void ChooseStyle(const TComboState& style, int32_t Index) {
    LoadBasicList2(colour, style.Entries[static_cast<size_t>(Index)], hair, colours);
  }

  TVaruneItemList items{true}, hair;
  TVaruneBasicList basics{true}, styles, colours;
  TComboState colour;
};

using Strings = std::vector<std::string>;

TEST_F(SelectorsTest, FamiliesCollapseIntoOneEntryAndItemsWithoutRecordShowTheirDescription) {
  EXPECT_EQ(FindBasicOfItem(*hair[0], styles)->FName, "Style A");  // the first record wins, family or not
  EXPECT_EQ(FindBasicOfItem(*hair[3], styles)->FName, "Style B");
  EXPECT_EQ(FindBasicOfItem(*hair[4], styles), nullptr);

  TComboState style;
  style.ItemIndex = 5;
  FillBasicCombo(style, hair, styles);
  EXPECT_EQ(Captions(style), (Strings{"Style A", "Style B", "[未実装]New hair", "Style C"}));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(style.Entries[0].Basic, styles[0]);  // a family carries its record
  EXPECT_EQ(style.Entries[1].Item, hair[3]);     // an exact match carries the item
  EXPECT_EQ(style.Entries[2].Item, hair[4]);
  EXPECT_EQ(style.Entries[3].Basic, styles[2]);

  FillBasicCombo(style, TVaruneItemList{}, styles);
  EXPECT_TRUE(style.Entries.empty());
  EXPECT_EQ(style.ItemIndex, -1);
  EXPECT_EQ(style.Selected(), nullptr);
}

TEST_F(SelectorsTest, TheColourSelectorListsTheColoursOfTheStyle) {
  TComboState style;
  FillBasicCombo(style, hair, styles);
  ChooseStyle(style, 0);
  EXPECT_EQ(Captions(colour), (Strings{"Red", "Blue", "Green"}));
  EXPECT_EQ(colour.Entries[2].Item, hair[2]);
  EXPECT_TRUE(colour.Enabled);
  EXPECT_EQ(colour.ItemIndex, 0);

  // The colour position is kept while the new style has it.
  colour.ItemIndex = 2;
  ChooseStyle(style, 3);
  EXPECT_EQ(Captions(colour), (Strings{"Red", "Blue"}));
  EXPECT_EQ(colour.ItemIndex, 0);
  colour.ItemIndex = 1;
  ChooseStyle(style, 0);
  EXPECT_EQ(colour.ItemIndex, 1);

  // A style without colours: one disabled entry carrying the item.
  ChooseStyle(style, 2);
  EXPECT_EQ(Captions(colour), (Strings{"---"}));
  EXPECT_EQ(colour.Entries[0].Item, hair[4]);
  EXPECT_FALSE(colour.Enabled);
  EXPECT_EQ(colour.ItemIndex, 0);

  // A family none of whose colours exists leaves the selector empty.
  TComboEntry lost{"Lost", nullptr, Basic(styles, 6, "Lost", 130100900)};
  LoadBasicList2(colour, lost, hair, colours);
  EXPECT_TRUE(colour.Entries.empty());
  EXPECT_TRUE(colour.Enabled);
  EXPECT_EQ(colour.ItemIndex, -1);
  EXPECT_EQ(SelectedComboID(colour), -1);
}

TEST_F(SelectorsTest, SelectionsAreRestoredByRecordID) {
  TComboState style;
  FillBasicCombo(style, hair, styles);
  EXPECT_EQ(IndexOfComboID(style, 3), 3);  // a record's own ID
  EXPECT_EQ(IndexOfComboID(style, 130100301), 2);
  EXPECT_EQ(IndexOfComboID(style, 130100101), -1);  // inside a family entry

  SelectComboID(style, 130100201);
  EXPECT_EQ(style.ItemIndex, 1);
  EXPECT_EQ(SelectedComboID(style), 130100201);
  SelectComboID(style, 42);
  EXPECT_EQ(style.ItemIndex, 1);

  // A style and its colour come back together; a style this list does not
  // hold (another gender's) changes neither selector.
  ASSERT_TRUE(RestoreStyle(style, colour, 1, 130100103, hair, colours));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(Captions(colour), (Strings{"Red", "Blue", "Green"}));
  EXPECT_EQ(SelectedComboID(colour), 130100103);
  EXPECT_FALSE(RestoreStyle(style, colour, 99, 130100101, hair, colours));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(SelectedComboID(colour), 130100103);
}

TEST_F(SelectorsTest, AFamilyBodyEntryPutsOnTheFamilysFirstBody) {
  TVaruneItemList bodies;
  Item(bodies, 150100201, 2, 1);
  Item(bodies, 150100102, 1, 2);
  Item(bodies, 150100101, 1, 1);
  TVaruneBasicList bodyStyles;
  Basic(bodyStyles, 21, "Slim", 150100100);
  Basic(bodyStyles, 22, "Broad", 150100201);

  TComboState body;
  EXPECT_EQ(SelectedBaseItem(body, bodies), nullptr);
  FillBasicCombo(body, bodies, bodyStyles);
  ASSERT_EQ(Captions(body), (Strings{"Broad", "Slim"}));
  EXPECT_EQ(SelectedBaseItem(body, bodies), bodies[0]);
  body.ItemIndex = 1;
  EXPECT_EQ(SelectedBaseItem(body, bodies), bodies[1]);
  EXPECT_EQ(SelectedBaseItem(body, TVaruneItemList{}), nullptr);
}

// A loaded character's parts select their entries: the item's own entry, or
// its family's with the item's colour.
TEST_F(SelectorsTest, ALoadedPartSelectsItsStyleAndColour) {
  TComboState style;
  FillBasicCombo(style, hair, styles);
  style.ItemIndex = 2;
  EXPECT_TRUE(SelectBasicEntry(style, colour, hair[2], colours, hair));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(Captions(colour), (Strings{"Red", "Blue", "Green"}));
  EXPECT_EQ(colour.ItemIndex, 2);

  EXPECT_TRUE(SelectBasicEntry(style, colour, hair[7], colours, hair));
  EXPECT_EQ(style.ItemIndex, 3);
  EXPECT_EQ(Captions(colour), (Strings{"Red", "Blue"}));
  EXPECT_EQ(colour.ItemIndex, 1);

  EXPECT_TRUE(SelectBasicEntry(style, colour, hair[3], colours, hair));
  EXPECT_EQ(style.ItemIndex, 1);
  EXPECT_EQ(Captions(colour), (Strings{"---"}));
  EXPECT_FALSE(colour.Enabled);

  // A colour the family's list lacks keeps the position the refill chose.
  const TVaruneItem* unlisted = Item(hair, 130100104, 1, 4);
  colour.ItemIndex = 0;
  EXPECT_TRUE(SelectBasicEntry(style, colour, unlisted, colours, hair));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(colour.ItemIndex, 0);
  colour.ItemIndex = 1;
  EXPECT_TRUE(SelectBasicEntry(style, colour, unlisted, colours, hair));
  EXPECT_EQ(colour.ItemIndex, 1);

  // No entry for the part (an item folded into another's entry): nothing changes.
  EXPECT_FALSE(SelectBasicEntry(style, colour, hair[5], colours, hair));
  EXPECT_FALSE(SelectBasicEntry(style, colour, nullptr, colours, hair));
  EXPECT_EQ(style.ItemIndex, 0);
  EXPECT_EQ(colour.ItemIndex, 1);
}

TEST_F(SelectorsTest, ALoadedBodySelectsItsOwnOrItsFamilysEntry) {
  TVaruneItemList bodies;
  const TVaruneItem* broad = Item(bodies, 150100201, 2, 1);
  const TVaruneItem* slim = Item(bodies, 150100102, 1, 2);
  const TVaruneItem* other = Item(bodies, 150100301, 3, 1);
  TVaruneBasicList bodyStyles;
  Basic(bodyStyles, 21, "Slim", 150100100);
  Basic(bodyStyles, 22, "Broad", 150100201);
  Basic(bodyStyles, 23, "Other", 150100399);
  TComboState body;
  FillBasicCombo(body, bodies, bodyStyles);
  ASSERT_EQ(Captions(body), (Strings{"Broad", "Slim", "[未実装]"}));

  EXPECT_TRUE(SelectBodyEntry(body, slim));
  EXPECT_EQ(body.ItemIndex, 1);
  EXPECT_TRUE(SelectBodyEntry(body, broad));
  EXPECT_EQ(body.ItemIndex, 0);
  EXPECT_TRUE(SelectBodyEntry(body, other));
  EXPECT_EQ(body.ItemIndex, 2);
  EXPECT_FALSE(SelectBodyEntry(body, hair[0]));
  EXPECT_FALSE(SelectBodyEntry(body, nullptr));
  EXPECT_EQ(body.ItemIndex, 2);
}

TEST_F(SelectorsTest, ATrackBarPositionOutsideItsListPutsOnNothing) {
  EXPECT_EQ(TrackBarItem(TVaruneItemList{}, 0), nullptr);
  EXPECT_EQ(TrackBarItem(hair, 0), hair[0]);
  EXPECT_EQ(TrackBarItem(hair, hair.Count() - 1), hair[hair.Count() - 1]);
  EXPECT_EQ(TrackBarItem(hair, hair.Count()), nullptr);
  EXPECT_EQ(TrackBarItem(hair, -1), nullptr);
}

}  // namespace
}  // namespace varune
