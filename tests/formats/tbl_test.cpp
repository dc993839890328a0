#include "formats/tbl.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "archive/error.h"
#include "formats/byte_builder.h"
#include "formats/tbl_writer.h"

namespace varune {
namespace {

using test::LoadBytes;
using test::TBytes;
using namespace std::string_view_literals;

TTblImage Cell(int32_t id, std::string fileName = "SHEET.PNG") {
  TTblImage image;
  image.ID = id;
  image.Offset = {id % 100, -(id % 100)};
  image.RevX = 0.5f * static_cast<float>(id % 100);
  image.RevY = -1.25f;
  image.Rect = {1, 2, 40 + id % 7, 60};
  image.FileName = std::move(fileName);
  return image;
}

std::vector<TTblImage> Cells(std::initializer_list<int32_t> ids) {
  std::vector<TTblImage> cells;
  for (int32_t id : ids) cells.push_back(Cell(id));
  return cells;
}

// An item whose searched count equals its stored count.
TTblItemData Item(std::string id, std::vector<TTblImage> cells) {
  const int32_t count = static_cast<int32_t>(cells.size());
  return {count, std::move(id), std::move(cells)};
}

const TTblItem& LoadSingle(TTbl& table, std::initializer_list<int32_t> ids) {
  LoadBytes(table, WriteTbl(0, {Item("05_0012_003_02", Cells(ids))}));
  return table.GetItem(0);
}

TEST(TblFormat, ReadsHandBuiltLayout) {
  TBytes bytes;
  bytes.I32(77).I32(1);                                // FUnknown, FCount
  bytes.I32(1).Field("05_0012_003_02", 128).I32(1);   // item: FCount, FID, FCount2
  bytes.I32(4).I32(-3).I32(9).F32(1.5f).F32(-2.0f);    // ID, Offset, RevX, RevY
  bytes.I32(10).I32(20).I32(50).I32(80).Field("img/BODY_01.PNG", 128);
  ASSERT_EQ(bytes.Size(), 8u + 136 + 164);

  TTbl table;
  EXPECT_EQ(LoadBytes(table, bytes.Data()), static_cast<int64_t>(bytes.Size()));
  EXPECT_EQ(table.Unknown(), 77);
  ASSERT_EQ(table.Count(), 1);
  const TTblItem& item = table.GetItem(0);
  EXPECT_EQ(item.ID(), "05_0012_003_02");
  EXPECT_EQ(item.Count(), 1);
  EXPECT_EQ(item.FCount2, 1);
  ASSERT_EQ(item.Images.size(), 1u);
  const TTblImage& cell = item.Images[0];
  EXPECT_EQ(cell.ID, 4);
  EXPECT_EQ(cell.Offset.X, -3);
  EXPECT_EQ(cell.Offset.Y, 9);
  EXPECT_EQ(cell.RevX, 1.5f);
  EXPECT_EQ(cell.RevY, -2.0f);
  EXPECT_EQ(cell.Rect.Left, 10);
  EXPECT_EQ(cell.Rect.Top, 20);
  EXPECT_EQ(cell.Rect.Right, 50);
  EXPECT_EQ(cell.Rect.Bottom, 80);
  EXPECT_EQ(cell.FileName, "img/BODY_01.PNG");

  TTblImage written = cell;
  EXPECT_EQ(WriteTbl(77, {{1, "05_0012_003_02", {written}}}), bytes.Data());
}

TEST(TblFormat, WriterRoundTripsItemsAndJapaneseNames) {
  const std::string fullId(128, 'I');  // fills the field, no NUL
  std::vector<TTblItemData> items = {
      Item("01_0001_001_01", {Cell(0, "キャラ/体_01.PNG"), Cell(1)}),
      {5, fullId, {Cell(2, std::string(128, 'f'))}},
      Item("02_0003_004_05", {}),
  };
  TTbl table;
  LoadBytes(table, WriteTbl(-9, items));
  EXPECT_EQ(table.Unknown(), -9);
  EXPECT_EQ(table.DeclaredCount(), 3);
  ASSERT_EQ(table.Count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    const TTblItem& item = table.GetItem(i);
    EXPECT_EQ(item.ID(), items[i].ID);
    EXPECT_EQ(item.Count(), items[i].Count);
    EXPECT_EQ(item.Images, items[i].Images);
    EXPECT_EQ(item.FParent, &table);
  }
  EXPECT_THROW(WriteTbl(0, {Item(std::string(129, 'x'), {})}), Error);
  EXPECT_THROW(WriteTbl(0, {Item("A", {Cell(0, std::string(129, 'x'))})}), Error);
}

TEST(TblFormat, IndexOfIgnoresCaseAndFindsTheFirst) {
  std::vector<TTblItemData> items = {Item("aa_first", Cells({1})), Item("AA_FIRST", Cells({2})),
                                     Item("other", Cells({3}))};
  TTbl table;
  LoadBytes(table, WriteTbl(0, items));
  EXPECT_EQ(table.IndexOf("Aa_First"), 0);
  EXPECT_EQ(table.IndexOf("OTHER"), 2);
  EXPECT_EQ(table.IndexOf("missing"), -1);
  EXPECT_EQ(table.IndexOf(""), -1);
  EXPECT_THROW(table.GetItem(3), Error);
  EXPECT_THROW(table.GetItem(-1), Error);

  table.SetPath("DATA/CHAR/BODY/");
  EXPECT_EQ(table.GetItem(0).Path(), "DATA/CHAR/BODY/");
  EXPECT_EQ(TTblItem{}.Path(), "");
}

TEST(TblLookups, ImageByIdFallsBackToTheFirstColour) {
  std::vector<TTblItemData> items = {
      Item("05_0012_003_02", {Cell(0, "own.png"), Cell(1, "own.png")}),
      Item("05_0012_001_01", {Cell(1, "base.png"), Cell(5, "base.png")}),
      Item("07_0001_003_02", Cells({0})),
      Item("short", Cells({0})),
      Item("short001_01", Cells({4})),
  };
  TTbl table;
  LoadBytes(table, WriteTbl(0, items));
  const TTblItem& item = table.GetItem(0);
  EXPECT_EQ(item.GetImageByID(1).FileName, "own.png");   // own cell first
  EXPECT_EQ(item.GetImageByID(5).FileName, "base.png");  // 05_0012_ + 001_01
  EXPECT_EQ(item.GetImageByID(5).Rect.Right, 45);
  EXPECT_EQ(item.GetImageByID(9).ID, -1);
  // The base item itself, lacking the cell, finds itself again: none.
  EXPECT_EQ(table.GetItem(1).GetImageByID(0).ID, -1);
  // No base item in the table.
  EXPECT_EQ(table.GetItem(2).GetImageByID(3).ID, -1);
  // An ID shorter than 8 characters is taken whole.
  EXPECT_EQ(table.GetItem(3).GetImageByID(4).ID, 4);
}

TEST(TblLookups, IndexOfId23FoldsAndTakesTheNextCloseCell) {
  TTbl table;
  EXPECT_EQ(LoadSingle(table, {0, 1, 7}).IndexOfID23(5), 1);   // 1..6 fold to 1
  EXPECT_EQ(LoadSingle(table, {0, 1, 7}).IndexOfID23(13), 0);  // 13 folds to 0
  EXPECT_EQ(LoadSingle(table, {0, 1, 7}).IndexOfID23(7), 2);
  EXPECT_EQ(LoadSingle(table, {20, 30}).IndexOfID23(25), -1);  // bracketing cells 10 apart
  EXPECT_EQ(LoadSingle(table, {20, 29}).IndexOfID23(25), 0);   // 9 apart: accepted
  EXPECT_EQ(LoadSingle(table, {8, 9, 12}).IndexOfID23(7), 0);  // t = 8 equals the first
  EXPECT_EQ(LoadSingle(table, {1, 5}).IndexOfID23(13), 0);     // folds to 0 (none), t = 1 is the first
  EXPECT_EQ(LoadSingle(table, {2, 5}).IndexOfID23(0), -1);     // t = 1 below every cell
  EXPECT_EQ(LoadSingle(table, {}).IndexOfID23(0), -1);
  EXPECT_EQ(LoadSingle(table, {INT_MIN, INT_MAX}).IndexOfID23(INT_MAX), 1);
}

TEST(TblLookups, IndexOfId24FoldsAndTakesANeighbourWithinThree) {
  TTbl table;
  EXPECT_EQ(LoadSingle(table, {0, 3, 6}).IndexOfID24(10), 1);     // 10 folds to 3
  EXPECT_EQ(LoadSingle(table, {0, 3, 6}).IndexOfID24(8), 2);      // 6..8 fold to 6
  EXPECT_EQ(LoadSingle(table, {0, 3, 6, 9}).IndexOfID24(12), -1);  // 13 - 9 = 4
  EXPECT_EQ(LoadSingle(table, {0, 3, 6, 9}).IndexOfID24(11), 3);   // 12 - 9 = 3: the last cell
  EXPECT_EQ(LoadSingle(table, {2, 5}).IndexOfID24(4), 0);          // folds to 3, t = 4 within 2..5
  EXPECT_EQ(LoadSingle(table, {0, 5}).IndexOfID24(4), -1);         // t - a = 4
  EXPECT_EQ(LoadSingle(table, {4, 20}).IndexOfID24(3), 0);         // a = t
  EXPECT_EQ(LoadSingle(table, {}).IndexOfID24(11), -1);
  EXPECT_EQ(LoadSingle(table, {INT_MAX}).IndexOfID24(INT_MAX), 0);
}

TEST(TblLookups, SearchStaysWithinTheDeclaredAndTheStoredCells) {
  TTbl table;
  LoadBytes(table, WriteTbl(0, {{10, "more_declared", Cells({0, 3})},
                                {1, "fewer_declared", Cells({0, 3, 11})},
                                {-4, "negative", Cells({0, 3})}}));
  const TTblItem& more = table.GetItem(0);
  EXPECT_EQ(more.IndexOfID(3), 1);
  EXPECT_EQ(more.IndexOfID(4), -1);
  EXPECT_EQ(more.IndexOfID24(5), 1);
  EXPECT_EQ(more.IndexOfID24(7), -1);
  EXPECT_EQ(more.IndexOfID23(40), -1);

  const TTblItem& fewer = table.GetItem(1);
  EXPECT_EQ(fewer.IndexOfID(3), -1);  // stored but not searched
  EXPECT_EQ(fewer.IndexOfID24(3), -1);
  EXPECT_EQ(fewer.GetImageByID(11).ID, -1);
  EXPECT_EQ(fewer.IndexOfID24(11), -1);  // the last searched cell is 0, not 11

  EXPECT_EQ(table.GetItem(2).IndexOfID(0), -1);
  EXPECT_EQ(table.GetItem(2).IndexOfID23(0), -1);
}

TEST(TblLookups, SortedTablesOrderCellsWithTheExchangeSort) {
  // Equal IDs end as the exchange sort leaves them (b d c a), not as a
  // stable sort would (b d a c).
  const std::vector<TTblImage> cells = {Cell(2, "a"), Cell(1, "b"), Cell(2, "c"), Cell(1, "d")};
  TTbl sorted(true);
  LoadBytes(sorted, WriteTbl(0, {Item("X", cells), {2, "Y", Cells({9, 4, 1})}}));
  std::string order;
  for (const TTblImage& image : sorted.GetItem(0).Images) order += image.FileName;
  EXPECT_EQ(order, "bdca");
  // Only the searched cells take part.
  const TTblItem& partial = sorted.GetItem(1);
  EXPECT_EQ(partial.Images[0].ID, 4);
  EXPECT_EQ(partial.Images[1].ID, 9);
  EXPECT_EQ(partial.Images[2].ID, 1);

  TTbl unsorted;
  LoadBytes(unsorted, WriteTbl(0, {Item("X", cells)}));
  EXPECT_EQ(unsorted.GetItem(0).Images, cells);
}

TEST(TblDamaged, BadItemsAreDroppedAndTruncationEndsTheTable) {
  TBytes bytes;
  bytes.I32(0).I32(4);
  bytes.I32(1).Field("GOOD_1", 128).I32(0);
  bytes.I32(1).Field("NEGATIVE", 128).I32(-1);  // dropped, reading goes on after its header
  bytes.I32(1).Field("GOOD_2", 128).I32(0);
  bytes.I32(1).Field("TRUNCATED", 128).I32(2).Zeros(164);  // one of its two cells
  TTbl table;
  LoadBytes(table, bytes.Data());
  EXPECT_EQ(table.DeclaredCount(), 4);
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.GetItem(0).ID(), "GOOD_1");
  EXPECT_EQ(table.GetItem(1).ID(), "GOOD_2");
  EXPECT_EQ(table.IndexOf("NEGATIVE"), -1);
  EXPECT_EQ(table.IndexOf("GOOD_2"), 1);
}

TEST(TblFormat, ReadingStopsAfterTheDeclaredItems) {
  std::vector<uint8_t> bytes = WriteTbl(0, {Item("A", Cells({0, 1}))});
  const auto end = static_cast<int64_t>(bytes.size());
  bytes.resize(bytes.size() + 300, 0xEE);  // whatever follows the table
  TTbl table;
  EXPECT_EQ(LoadBytes(table, bytes), end);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.GetItem(0).Images, Cells({0, 1}));
}

TEST(TblDamaged, SingleItemReadsFailAsShortReads) {
  TBytes negative;
  negative.I32(1).Field("NEGATIVE", 128).I32(-1).I32(99);
  TMemoryStream stream(negative.Data());
  TTblItem item;
  EXPECT_THROW(item.LoadFromStream(stream), Error);
  EXPECT_EQ(stream.Position(), 136);  // after the header

  TBytes truncated;
  truncated.I32(2).Field("TRUNCATED", 128).I32(2).Zeros(164);
  TMemoryStream rest(truncated.Data());
  EXPECT_THROW(item.LoadFromStream(rest), Error);
  EXPECT_EQ(rest.Position(), rest.Size());  // the rest is consumed

  TBytes good;
  good.I32(1).Field("GOOD", 128).I32(1).I32(7).Zeros(160);
  TMemoryStream whole(good.Data());
  item.LoadFromStream(whole);
  EXPECT_EQ(item.ID(), "GOOD");
  ASSERT_EQ(item.Images.size(), 1u);
  EXPECT_EQ(item.Images[0].ID, 7);
}

TEST(TblDamaged, HugeOrNegativeCountsNeitherSpinNorFail) {
  TBytes huge;
  huge.I32(0).I32(INT_MAX);
  huge.I32(1).Field("ONLY", 128).I32(1).Zeros(164);
  huge.I32(1).Field("CELLS_TOO_MANY", 128).I32(INT_MAX);
  TTbl table;
  LoadBytes(table, huge.Data());
  EXPECT_EQ(table.DeclaredCount(), INT_MAX);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.GetItem(0).ID(), "ONLY");

  TBytes negative;
  negative.I32(5).I32(-3).I32(1).Field("IGNORED", 128).I32(0);
  LoadBytes(table, negative.Data());
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.DeclaredCount(), -3);
  EXPECT_EQ(table.Unknown(), 5);
}

TEST(TblDamaged, EveryTruncationKeepsTheItemsBeforeIt) {
  const std::vector<uint8_t> bytes =
      WriteTbl(0, {Item("A", Cells({0, 1})), Item("B", Cells({2})), Item("C", {})});
  const size_t ends[] = {8 + 136 + 2 * 164, 8 + 2 * 136 + 3 * 164, 8 + 3 * 136 + 3 * 164};
  for (size_t size = 0; size < bytes.size(); ++size) {
    TTbl table;
    if (size < 8) {
      EXPECT_THROW(LoadBytes(table, test::Prefix(bytes, size)), Error);
      continue;
    }
    LoadBytes(table, test::Prefix(bytes, size));
    int32_t complete = 0;
    for (size_t end : ends) complete += size >= end;
    EXPECT_EQ(table.Count(), complete) << size;
  }
}

TEST(MftFormat, ReadsHandBuiltLayout) {
  TBytes bytes;
  bytes.Field("VARUNE MANIFEST", 255).Put(uint8_t{9}).U32(0xDEADBEEF).F32(2.5f).U32(42).U32(5);
  bytes.I32(0);                                  // empty
  bytes.I32(9).Raw("BODY.TBL\0"sv);                // with NUL
  bytes.I32(4).Raw("HAIR");                      // without NUL
  bytes.I32(8).Raw("A.TBL\0zz"sv);                 // text ends at the NUL
  bytes.I32(6).Raw("\x95\x90\x8A\xED\\x");       // "武器\x" in code page 932
  TMft manifest;
  EXPECT_EQ(LoadBytes(manifest, bytes.Data()), static_cast<int64_t>(bytes.Size()));
  EXPECT_EQ(std::string(manifest.Header().Signature), "VARUNE MANIFEST");
  EXPECT_EQ(manifest.Header().Unknown1, 9);
  EXPECT_EQ(manifest.Header().Unknown2, 0xDEADBEEFu);
  EXPECT_EQ(manifest.Header().Unknown3, 2.5f);
  EXPECT_EQ(manifest.Header().Unknown4, 42u);
  ASSERT_EQ(manifest.Count(), 5);
  EXPECT_EQ(manifest.GetItem(0), "");
  EXPECT_EQ(manifest.GetItem(1), "BODY.TBL");
  EXPECT_EQ(manifest.GetItem(2), "HAIR");
  EXPECT_EQ(manifest.GetItem(3), "A.TBL");
  EXPECT_EQ(manifest.GetItem(4), "武器\\x");
  EXPECT_THROW(manifest.GetItem(5), Error);
}

TEST(MftFormat, WriterRoundTrips) {
  TMftHeader header{};
  std::memcpy(header.Signature, "SIG", 3);
  header.Unknown1 = 1;
  header.Unknown2 = 2;
  header.Unknown3 = 3.0f;
  header.Unknown4 = 4;
  header.Count = 999;  // replaced by the entries' count
  const std::vector<std::string> entries = {"BODY/BODY.TBL", "", "装備/頭.TBL"};
  const std::vector<uint8_t> bytes = WriteMft(header, entries);
  TMft manifest;
  LoadBytes(manifest, bytes);
  EXPECT_EQ(manifest.Header().Count, 3u);
  EXPECT_EQ(std::memcmp(manifest.Header().Signature, header.Signature, sizeof header.Signature), 0);
  EXPECT_EQ(manifest.Header().Unknown3, 3.0f);
  ASSERT_EQ(manifest.Count(), 3);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(manifest.GetItem(i), entries[i]);
}

TEST(MftDamaged, ImpossibleCountsAndLengthsAreErrors) {
  TMft manifest;
  TBytes huge;
  huge.Zeros(268).U32(0xFFFFFFFF).I32(0);
  EXPECT_THROW(LoadBytes(manifest, huge.Data()), Error);
  TBytes negative;
  negative.Zeros(268).U32(1).I32(-1);
  EXPECT_THROW(LoadBytes(manifest, negative.Data()), Error);
  TBytes longer;
  longer.Zeros(268).U32(1).I32(INT_MAX).Raw("abc");
  EXPECT_THROW(LoadBytes(manifest, longer.Data()), Error);
  EXPECT_EQ(manifest.Count(), 0);

  const std::vector<uint8_t> bytes = WriteMft(TMftHeader{}, {"ONE.TBL", "TWO.TBL"});
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_THROW(LoadBytes(manifest, test::Prefix(bytes, size)), Error) << size;
    EXPECT_EQ(manifest.Count(), 0);
  }
}

}  // namespace
}  // namespace varune
