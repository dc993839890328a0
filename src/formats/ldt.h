#pragma once
// Data tables (.LDT): named, typed columns and rows keyed by a 32-bit ID.
//
// The file is an 8716-byte header followed by the rows; each row is its key
// and then one cell per column: type 1 a uint16 length and that many bytes of
// code page 932 text, types 2, 3 and 4 four bytes (uint32, int32, float), any
// other type no bytes at all.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/varune_base.h"

namespace varune {

inline constexpr int32_t kLdtMaxColumns = 128;
inline constexpr int32_t kLdtColumnNameSize = 64;

#pragma pack(push, 1)
struct TLdtHeader {
  int32_t Unknown;
  int32_t ColCount;
  int32_t RowCount;
  char ColNameList[kLdtMaxColumns][kLdtColumnNameSize];  // code page 932, NUL-ended unless full
  int32_t ColTypeList[kLdtMaxColumns];
};
#pragma pack(pop)
static_assert(sizeof(TLdtHeader) == 8716);

class TLdt : public TVaruneBase {
 public:
  TLdt();

  // Releases the data and zeroes the whole header.
  void Clear() override;

  // Reads a table from the stream's position and leaves the stream just after
  // the table. Counts the bytes cannot hold, and cells running past the end,
  // raise varune::Error; the table is then empty.
  void LoadFromStream(TStream& Stream) override;

  const TLdtHeader& Header() const { return FHeader; }
  int32_t ColCount() const { return FHeader.ColCount; }
  int32_t RowCount() const { return FHeader.RowCount; }

  // Column name in UTF-8, and the declared type.
  const std::string& ColumnName(int32_t Col) const;
  int32_t ColumnType(int32_t Col) const;

  // Lowest column whose name equals `S` (ASCII letters without case), or -1.
  int32_t IndexOfColumn(std::string_view S) const;

  // The row key of `Row`.
  int32_t GetIndex(int32_t Row) const;

  // Typed reads of one cell. They do not consult the column's type: they read
  // what lies at the cell's place, as the format defines. Used on a column of
  // another type they still never leave the table's bytes: bytes past the end
  // of the data read as zero and a text stops at the end of the data.
  // `Col` or `Row` out of range raises "無効なインデックス [%d]".
  std::string GetDataAsType1(int32_t Col, int32_t Row) const;
  // The cell's code page 932 bytes as stored, valid while the table holds them.
  std::string_view GetDataAsType1Raw(int32_t Col, int32_t Row) const;
  // Inline: the loader reads a million cells of a large table.
  uint32_t GetDataAsType2(int32_t Col, int32_t Row) const { return Cell<uint32_t>(Col, Row); }
  int32_t GetDataAsType3(int32_t Col, int32_t Row) const { return Cell<int32_t>(Col, Row); }
  float GetDataAsType4(int32_t Col, int32_t Row) const { return Cell<float>(Col, Row); }

  // The cell as text by its column's type: decimal for 2 and 3, at most 7
  // significant digits with "." for 4 (any locale), "" for types without value.
  std::string GetData(int32_t Col, int32_t Row) const;

  // Bytes of the data area (row keys included).
  int64_t DataSize() const { return FDataSize; }

 private:
  // Byte offset of a cell from the start of the data area; checks the range.
  int64_t CellOffset(int32_t Col, int32_t Row) const {
    CheckColumn(Col);
    CheckRow(Row);
    return int64_t{FDataPtr[static_cast<size_t>(Row) * FSegmentCount + FColumnSegment[Col]]} + FColumnDelta[Col];
  }
  // Four bytes at the cell; the block's padding keeps this inside it.
  template <class T>
  T Cell(int32_t Col, int32_t Row) const {
    return LoadAt<T>(FMemory.get() + CellOffset(Col, Row));
  }
  void CheckColumn(int32_t Col) const {
    if (Col < 0 || Col >= FHeader.ColCount) ThrowInvalidIndex(Col);
  }
  void CheckRow(int32_t Row) const {
    if (Row < 0 || Row >= FHeader.RowCount) ThrowInvalidIndex(Row);
  }
  [[noreturn]] static void ThrowInvalidIndex(int32_t Index);

  TLdtHeader FHeader;
  std::vector<std::string> FColumnNames;  // UTF-8, ColCount long
  // Name (without case) -> lowest column: loaders look up every column by name.
  std::unordered_map<std::string_view, int32_t, CaseInsensitiveHash, CaseInsensitiveEqual> FColumnIndex;
  std::vector<int32_t> FIndexes;          // row keys

  // Cells between two text columns lie at fixed distances, so a row is split
  // into segments: segment 0 starts at the row's first cell and each text
  // cell's end starts the next one. FDataPtr holds, row by row, the start of
  // each segment; a column knows its segment and its distance from its start.
  int32_t FSegmentCount = 0;
  std::vector<int32_t> FDataPtr;        // RowCount x FSegmentCount
  std::vector<int32_t> FColumnSegment;  // ColCount
  std::vector<int32_t> FColumnDelta;    // ColCount

  // The data area followed by kPadding zero bytes, so that a 4-byte read at
  // any cell offset stays inside the block. None while the table has no rows.
  std::unique_ptr<uint8_t[]> FMemory;
  int64_t FDataSize = 0;
};

}  // namespace varune
