#include "formats/ldt.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <limits>
#include <string>

#include "archive/error.h"
#include "archive/spf.h"
#include "archive/spf_writer.h"
#include "formats/byte_builder.h"
#include "formats/ldt_writer.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

using test::LoadBytes;
using test::TBytes;
using TCell = TLdtWriter::TCell;

struct TColumnDef {
  std::string Name;
  int32_t Type;
};

// The header as the file stores it.
TBytes LdtHeader(int32_t unknown, const std::vector<TColumnDef>& columns, int32_t rowCount) {
  TBytes bytes;
  bytes.I32(unknown).I32(static_cast<int32_t>(columns.size())).I32(rowCount);
  for (const auto& column : columns) bytes.Field(column.Name, 64);
  bytes.Zeros(64 * (128 - columns.size()));
  for (const auto& column : columns) bytes.I32(column.Type);
  bytes.Zeros(4 * (128 - columns.size()));
  return bytes;
}

const std::vector<TColumnDef> kMixedColumns = {{"_ID", 3}, {"_Name", 1}, {"_Skip", 0}, {"_Price", 2}, {"_Rate", 4}};

// Two rows over kMixedColumns, written byte by byte.
TBytes MixedTableBytes() {
  TBytes bytes = LdtHeader(7, kMixedColumns, 2);
  bytes.I32(100).I32(-5).U16(3).Raw("Cap").U32(300).F32(1.5f);
  bytes.I32(200).I32(42).U16(0).U32(0xFFFFFFFF).F32(0.1f);
  return bytes;
}

TLdtWriter MixedTableWriter() {
  TLdtWriter writer;
  writer.SetUnknown(7);
  for (const auto& column : kMixedColumns) writer.AddColumn(column.Name, column.Type);
  writer.AddRow(100, {TCell{int32_t{-5}}, TCell{std::string("Cap")}, TCell{}, TCell{uint32_t{300}}, TCell{1.5f}});
  writer.AddRow(200, {TCell{int32_t{42}}, TCell{std::string()}, TCell{}, TCell{0xFFFFFFFFu}, TCell{0.1f}});
  return writer;
}

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(LdtFormat, ReadsHandBuiltLayoutAndStopsAtItsEnd) {
  TBytes bytes = MixedTableBytes();
  const size_t tableSize = bytes.Size();
  bytes.Raw("TAIL");
  TLdt table;
  EXPECT_EQ(LoadBytes(table, bytes.Data()), static_cast<int64_t>(tableSize));

  EXPECT_EQ(table.Header().Unknown, 7);
  EXPECT_EQ(table.ColCount(), 5);
  EXPECT_EQ(table.RowCount(), 2);
  EXPECT_EQ(table.ColumnName(4), "_Rate");
  EXPECT_EQ(table.ColumnType(3), 2);
  EXPECT_EQ(table.DataSize(), static_cast<int64_t>(tableSize - sizeof(TLdtHeader)));
  EXPECT_EQ(table.GetIndex(0), 100);
  EXPECT_EQ(table.GetIndex(1), 200);
  EXPECT_EQ(table.GetDataAsType3(0, 0), -5);
  EXPECT_EQ(table.GetDataAsType1(1, 0), "Cap");
  EXPECT_EQ(table.GetDataAsType2(3, 0), 300u);
  EXPECT_EQ(table.GetDataAsType4(4, 0), 1.5f);
  EXPECT_EQ(table.GetDataAsType3(0, 1), 42);
  EXPECT_EQ(table.GetDataAsType1(1, 1), "");
  EXPECT_EQ(table.GetDataAsType4(4, 1), 0.1f);
}

TEST(LdtFormat, WriterProducesTheSameBytes) {
  EXPECT_EQ(MixedTableWriter().SaveToBytes(), MixedTableBytes().Data());
}

TEST(LdtFormat, GetDataFollowsTheColumnType) {
  TLdt table;
  LoadBytes(table, MixedTableBytes().Data());
  EXPECT_EQ(table.GetData(0, 0), "-5");
  EXPECT_EQ(table.GetData(1, 0), "Cap");
  EXPECT_EQ(table.GetData(2, 0), "");  // type 0 has no value
  EXPECT_EQ(table.GetData(3, 0), "300");
  EXPECT_EQ(table.GetData(4, 0), "1.5");
  // All bits set: unsigned as type 2, minus one as type 3.
  EXPECT_EQ(table.GetData(3, 1), "4294967295");
  EXPECT_EQ(table.GetDataAsType3(3, 1), -1);
  EXPECT_EQ(table.GetData(4, 1), "0.1");
}

TEST(LdtFormat, NoValueColumnsTakeNoBytes) {
  // Types 0 and 5 between and after fixed cells, and a zero-length text.
  TLdtWriter writer;
  writer.AddColumn("A", 0);
  writer.AddColumn("B", 3);
  writer.AddColumn("C", 5);
  writer.AddColumn("D", 1);
  writer.AddColumn("E", 1);
  writer.AddColumn("F", 0);
  writer.AddRow(1, {TCell{}, TCell{int32_t{11}}, TCell{}, TCell{std::string()}, TCell{std::string("xy")}, TCell{}});
  writer.AddRow(2, {TCell{}, TCell{int32_t{22}}, TCell{}, TCell{std::string("z")}, TCell{std::string()}, TCell{}});
  const std::vector<uint8_t> bytes = writer.SaveToBytes();
  // Row 1: key, int, len 0, len 2 "xy"; row 2: key, int, len 1 "z", len 0.
  EXPECT_EQ(bytes.size(), sizeof(TLdtHeader) + (4 + 4 + 2 + 4) + (4 + 4 + 3 + 2));

  TLdt table;
  LoadBytes(table, bytes);
  EXPECT_EQ(table.GetData(0, 0), "");
  EXPECT_EQ(table.GetData(2, 1), "");
  EXPECT_EQ(table.GetDataAsType3(1, 0), 11);
  EXPECT_EQ(table.GetDataAsType1(3, 0), "");
  EXPECT_EQ(table.GetDataAsType1(4, 0), "xy");
  EXPECT_EQ(table.GetDataAsType1(3, 1), "z");
  EXPECT_EQ(table.GetDataAsType1(4, 1), "");
  EXPECT_EQ(table.GetDataAsType3(1, 1), 22);
  // A no-value cell sits where the next cell starts.
  EXPECT_EQ(table.GetDataAsType3(0, 0), 11);
  EXPECT_EQ(table.GetDataAsType1(2, 1), "z");
}

TEST(LdtFormat, WrongTypeReadsStayInsideTheTable) {
  // The last column has type 0, so its cell in the last row lies at the very
  // end of the data: fixed-size reads there see zeros, texts end there.
  TLdtWriter writer;
  writer.AddColumn("Text", 1);
  writer.AddColumn("Nothing", 0);
  writer.AddRow(9, {TCell{std::string("abc")}, TCell{}});
  TLdt table;
  LoadBytes(table, writer.SaveToBytes());
  EXPECT_EQ(table.GetDataAsType2(1, 0), 0u);
  EXPECT_EQ(table.GetDataAsType3(1, 0), 0);
  EXPECT_EQ(table.GetDataAsType4(1, 0), 0.0f);
  EXPECT_EQ(table.GetDataAsType1(1, 0), "");
  // A text read of a fixed cell takes its length from the cell's first bytes
  // and is cut at the end of the data.
  TLdtWriter big;
  big.AddColumn("N", 2);
  big.AddRow(1, {TCell{0x0000FFFFu}});
  LoadBytes(table, big.SaveToBytes());
  EXPECT_EQ(table.GetDataAsType1(0, 0), std::string(2, '\0'));
}

TEST(LdtFormat, FloatTextIsGeneralWithSevenDigitsAndDot) {
  const std::vector<std::pair<float, std::string>> cases = {
      {0.1f, "0.1"},          {1.5f, "1.5"},           {100.0f, "100"},       {-0.25f, "-0.25"},
      {1234567.0f, "1234567"}, {12345678.0f, "1.234568e+07"}, {0.0001f, "0.0001"}, {0.00001f, "1e-05"},
      {3.14159265f, "3.141593"}, {0.0f, "0"}};
  TLdtWriter writer;
  writer.AddColumn("F", 4);
  for (const auto& [value, text] : cases) writer.AddRow(0, {TCell{value}});
  // A locale with a decimal comma must not change the text.
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  TLdt table;
  LoadBytes(table, writer.SaveToBytes());
  for (int32_t row = 0; row < static_cast<int32_t>(cases.size()); ++row)
    EXPECT_EQ(table.GetData(0, row), cases[row].second) << cases[row].first;
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(LdtColumns, NamesMatchAsciiLettersWithoutCase) {
  const std::string name64(64, 'N');
  // "_名前" in code page 932.
  TBytes bytes = LdtHeader(0, {{"_Name", 1}, {"_Name", 3}, {name64, 3}, {"_\x96\xBC\x91\x4F", 1}, {"_Nam", 2}}, 0);
  TLdt table;
  LoadBytes(table, bytes.Data());
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_EQ(table.IndexOfColumn("_name"), 0);  // the lower of two equal names
  EXPECT_EQ(table.IndexOfColumn("_NAME"), 0);
  EXPECT_EQ(table.IndexOfColumn(name64), 2);  // 64 bytes without NUL, matched in full
  EXPECT_EQ(table.IndexOfColumn(std::string(63, 'n')), -1);
  EXPECT_EQ(table.IndexOfColumn("_名前"), 3);
  EXPECT_EQ(table.ColumnName(3), "_名前");
  EXPECT_EQ(table.IndexOfColumn("_Nam"), 4);
  EXPECT_EQ(table.IndexOfColumn("_Na"), -1);
  EXPECT_EQ(table.IndexOfColumn(""), -1);
}

TEST(LdtColumns, OutOfRangeIndexesRaiseTheIndexMessage) {
  TLdt table;
  LoadBytes(table, MixedTableBytes().Data());
  EXPECT_EQ(ErrorText([&] { table.GetData(5, 0); }), "無効なインデックス [5]");
  EXPECT_EQ(ErrorText([&] { table.GetDataAsType3(-1, 0); }), "無効なインデックス [-1]");
  EXPECT_EQ(ErrorText([&] { table.GetDataAsType1(1, 2); }), "無効なインデックス [2]");
  EXPECT_EQ(ErrorText([&] { table.GetData(2, 2); }), "無効なインデックス [2]");
  EXPECT_EQ(ErrorText([&] { table.GetIndex(-1); }), "無効なインデックス [-1]");
  EXPECT_EQ(ErrorText([&] { table.ColumnName(5); }), "無効なインデックス [5]");
  EXPECT_EQ(table.IndexOfColumn("_Rate"), 4);
}

TEST(LdtColumns, JapaneseTextsRoundTripThroughCodePage932) {
  TLdtWriter writer;
  writer.AddColumn("_説明", 1);
  writer.AddColumn("_Name", 1);
  writer.AddRow(1, {TCell{std::string("炎の剣（改）～")}, TCell{std::string("ソード")}});
  const std::vector<uint8_t> bytes = writer.SaveToBytes();
  // "ソード" is 6 bytes in code page 932.
  EXPECT_EQ(bytes.size(), sizeof(TLdtHeader) + 4 + 2 + 14 + 2 + 6);
  TLdt table;
  LoadBytes(table, bytes);
  EXPECT_EQ(table.ColumnName(0), "_説明");
  EXPECT_EQ(table.GetData(0, 0), "炎の剣（改）～");
  EXPECT_EQ(table.GetData(1, 0), "ソード");
}

// Many rows with text columns at varied places: every cell must read back.
TEST(LdtColumns, EveryCellOfAWideTableReadsBack) {
  const std::vector<int32_t> types = {1, 2, 2, 0, 1, 1, 3, 4, 7, 1, 3, 0};
  TLdtWriter writer;
  for (size_t c = 0; c < types.size(); ++c) writer.AddColumn("_C" + std::to_string(c), types[c]);
  auto expected = [&](int32_t row, size_t col) -> TCell {
    const int32_t v = row * 31 + static_cast<int32_t>(col) * 7;
    switch (types[col]) {
      case 1: return std::string(static_cast<size_t>(v % 13), static_cast<char>('a' + v % 26));
      case 2: return static_cast<uint32_t>(v) * 2654435761u;
      case 3: return -v;
      case 4: return static_cast<float>(v) / 8.0f;
      default: return std::monostate{};
    }
  };
  const int32_t rows = 300;
  for (int32_t r = 0; r < rows; ++r) {
    std::vector<TCell> cells;
    for (size_t c = 0; c < types.size(); ++c) cells.push_back(expected(r, c));
    writer.AddRow(r * 10 - 7, std::move(cells));
  }
  TLdt table;
  LoadBytes(table, writer.SaveToBytes());
  ASSERT_EQ(table.RowCount(), rows);
  for (int32_t r = 0; r < rows; ++r) {
    ASSERT_EQ(table.GetIndex(r), r * 10 - 7);
    for (size_t c = 0; c < types.size(); ++c) {
      const int32_t col = static_cast<int32_t>(c);
      const TCell cell = expected(r, c);
      switch (types[c]) {
        case 1: ASSERT_EQ(table.GetDataAsType1(col, r), std::get<std::string>(cell)) << r << "," << c; break;
        case 2: ASSERT_EQ(table.GetDataAsType2(col, r), std::get<uint32_t>(cell)) << r << "," << c; break;
        case 3: ASSERT_EQ(table.GetDataAsType3(col, r), std::get<int32_t>(cell)) << r << "," << c; break;
        case 4: ASSERT_EQ(table.GetDataAsType4(col, r), std::get<float>(cell)) << r << "," << c; break;
        default: ASSERT_EQ(table.GetData(col, r), ""); break;
      }
    }
  }
}

TEST(LdtLoading, ReloadReplacesAndClearEmpties) {
  TLdt table;
  LoadBytes(table, MixedTableBytes().Data());
  TLdtWriter writer;
  writer.AddColumn("Only", 3);
  writer.AddRow(5, {TCell{int32_t{6}}});
  LoadBytes(table, writer.SaveToBytes());
  EXPECT_EQ(table.ColCount(), 1);
  EXPECT_EQ(table.IndexOfColumn("_Name"), -1);
  EXPECT_EQ(table.GetData(0, 0), "6");
  table.Clear();
  EXPECT_EQ(table.ColCount(), 0);
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_EQ(table.Header().Unknown, 0);
  EXPECT_EQ(table.IndexOfColumn("Only"), -1);
  EXPECT_THROW(table.GetIndex(0), Error);
}

TEST(LdtLoading, LoadsThroughAnArchive) {
  test::TempDir dir;
  TSpfWriter archive;
  archive.Add("DATA/LDT/OTHER.LDT", {1, 2, 3});
  archive.Add("DATA/LDT/ITEM_1.LDT", MixedTableWriter().SaveToBytes());
  archive.SaveToFile(dir.File("AJJIYA.SPF"));

  TSpfManager manager;
  manager.AddSpf(dir.File("AJJIYA.SPF"));
  TLdt table;
  table.LoadFromSpfInfo(manager.GetItem("data/ldt/item_1.ldt"));
  EXPECT_EQ(table.GetData(1, 0), "Cap");
  EXPECT_EQ(table.GetData(3, 1), "4294967295");
  EXPECT_THROW(table.LoadFromSpf(manager.Spf(0), "DATA/LDT/OTHER.LDT"), Error);  // 3 bytes: no header
  EXPECT_EQ(table.ColCount(), 0);
}

TEST(LdtDamaged, ImpossibleCountsAreRejected) {
  EXPECT_EQ(ErrorText([] {
              TBytes bytes = LdtHeader(0, {}, 0);
              std::vector<uint8_t> data = bytes.Data();
              data[4] = 129;  // ColCount
              TLdt table;
              LoadBytes(table, data);
            }),
            "列数が不正です [129]");
  EXPECT_EQ(ErrorText([] {
              TLdt table;
              LoadBytes(table, LdtHeader(0, {{"A", 3}}, -1).Data());
            }),
            "行数が不正です [-1]");
  // A billion rows over a few bytes: refused before anything is sized.
  EXPECT_EQ(ErrorText([] {
              TBytes bytes = LdtHeader(0, {{"A", 3}}, 1000000000);
              bytes.I32(1).I32(2);
              TLdt table;
              LoadBytes(table, bytes.Data());
            }),
            "行数が不正です [1000000000]");
  std::vector<uint8_t> negative = LdtHeader(0, {}, 0).Data();
  negative[4] = negative[5] = negative[6] = negative[7] = 0xFF;
  TLdt table;
  EXPECT_EQ(ErrorText([&] { LoadBytes(table, negative); }), "列数が不正です [-1]");
}

TEST(LdtDamaged, TextRunningPastTheEndIsAReadError) {
  TBytes bytes = LdtHeader(0, {{"T", 1}, {"N", 3}}, 1);
  bytes.I32(1).U16(50).Raw("short").I32(0);
  TLdt table;
  EXPECT_EQ(ErrorText([&] { LoadBytes(table, bytes.Data()); }), kMsgReadError);
  EXPECT_EQ(table.ColCount(), 0);  // emptied after the failure
}

TEST(LdtDamaged, EveryTruncationFailsCleanly) {
  const std::vector<uint8_t> bytes = MixedTableBytes().Data();
  for (size_t size = 0; size < bytes.size(); ++size) {
    TLdt table;
    EXPECT_THROW(LoadBytes(table, test::Prefix(bytes, size)), Error) << size;
    EXPECT_EQ(table.RowCount(), 0);
  }
}

TEST(LdtWriter, RejectsWhatTheFormatCannotHold) {
  TLdtWriter writer;
  EXPECT_THROW(writer.AddColumn(std::string(65, 'x'), 1), Error);
  EXPECT_EQ(writer.AddColumn(std::string(64, 'x'), 1), 0);
  EXPECT_EQ(writer.AddColumn("N", 3), 1);
  EXPECT_THROW(writer.AddRow(1, {TCell{std::string()}}), Error);                               // too few cells
  EXPECT_THROW(writer.AddRow(1, {TCell{std::string()}, TCell{uint32_t{1}}}), Error);           // uint32 in type 3
  EXPECT_THROW(writer.AddRow(1, {TCell{std::string(65536, 'a')}, TCell{int32_t{1}}}), Error);  // text too long
  writer.AddRow(1, {TCell{std::string(65535, 'a')}, TCell{int32_t{1}}});
  EXPECT_THROW(writer.AddColumn("Late", 3), Error);

  TLdt table;
  LoadBytes(table, writer.SaveToBytes());
  EXPECT_EQ(table.RowCount(), 1);  // the rejected rows left nothing behind
  EXPECT_EQ(table.GetDataAsType1(0, 0).size(), 65535u);
  EXPECT_EQ(table.GetDataAsType3(1, 0), 1);

  TLdtWriter full;
  for (int i = 0; i < 128; ++i) full.AddColumn("C", 0);
  EXPECT_THROW(full.AddColumn("C", 0), Error);
}

}  // namespace
}  // namespace varune
