// Data tables from untrusted bytes.

#include "archive/error.h"
#include "formats/ldt.h"
#include "formats/ldt_writer.h"
#include "fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  varune::TBinaryStream stream(const_cast<uint8_t*>(data), static_cast<int32_t>(size));
  varune::TLdt table;
  try {
    table.LoadFromStream(stream);
  } catch (const varune::Error&) {
    return 0;
  }
  // Every getter on every cell, whatever the column's type.
  for (int32_t row = 0; row < table.RowCount() && row < 64; ++row) {
    (void)table.GetIndex(row);
    for (int32_t col = 0; col < table.ColCount(); ++col) {
      try {
        (void)table.GetData(col, row);
        (void)table.GetDataAsType1(col, row);
        (void)table.GetDataAsType2(col, row);
        (void)table.GetDataAsType3(col, row);
        (void)table.GetDataAsType4(col, row);
      } catch (const varune::Error&) {
      }
    }
  }
  for (int32_t col = 0; col < table.ColCount(); ++col) (void)table.IndexOfColumn(table.ColumnName(col));
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  std::vector<std::vector<uint8_t>> seeds;
  TLdtWriter empty;
  empty.AddColumn("_Name", 1);
  seeds.push_back(empty.SaveToBytes());

  TLdtWriter items;
  items.AddColumn("_Name", 1);
  items.AddColumn("_Category", 2);
  items.AddColumn("_Level", 3);
  items.AddColumn("_Rate", 4);
  items.AddColumn("_Nothing", 0);
  items.AddColumn("_Text", 1);
  for (int32_t row = 0; row < 4; ++row) {
    items.AddRow(1000 + row, {std::string(row == 2 ? "" : "名前"), uint32_t(row) * 7, -row, 0.5f * row,
                              std::monostate{}, std::string("x\ty")});
  }
  seeds.push_back(items.SaveToBytes());
  return seeds;
}

}  // namespace varune::fuzz
