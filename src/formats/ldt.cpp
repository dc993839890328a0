#include "formats/ldt.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "archive/error.h"
#include "archive/text.h"

namespace varune {
namespace {

constexpr int64_t kPadding = 4;
constexpr int32_t kTypeText = 1;

bool IsFixedType(int32_t type) { return type >= 2 && type <= 4; }

}  // namespace

TLdt::TLdt() { std::memset(&FHeader, 0, sizeof FHeader); }

void TLdt::Clear() {
  std::memset(&FHeader, 0, sizeof FHeader);
  FColumnIndex.clear();
  FColumnNames.clear();
  FIndexes.clear();
  FSegmentCount = 0;
  FDataPtr.clear();
  FColumnSegment.clear();
  FColumnDelta.clear();
  FMemory.reset();
  FDataSize = 0;
}

void TLdt::LoadFromStream(TStream& Stream) {
  Clear();
  try {
    Stream.ReadBuffer(&FHeader, sizeof FHeader);
    const int32_t colCount = FHeader.ColCount;
    const int32_t rowCount = FHeader.RowCount;
    if (colCount < 0 || colCount > kLdtMaxColumns) throw Error(Sprintf("列数が不正です [%d]", colCount));
    if (rowCount < 0) throw Error(Sprintf("行数が不正です [%d]", rowCount));

    FColumnNames.reserve(colCount);
    for (int32_t c = 0; c < colCount; ++c)
      FColumnNames.push_back(AnsiField(FHeader.ColNameList[c], kLdtColumnNameSize));
    // Filled once the names no longer move; emplace keeps the lowest index.
    FColumnIndex.reserve(colCount);
    for (int32_t c = 0; c < colCount; ++c) FColumnIndex.emplace(FColumnNames[c], c);

    // Column layout: segment and distance of every column, and the fixed
    // bytes of each segment before its closing text cell (or the row's end).
    FColumnSegment.resize(colCount);
    FColumnDelta.resize(colCount);
    std::vector<int32_t> segmentFixed(1, 0);
    for (int32_t c = 0; c < colCount; ++c) {
      const int32_t type = FHeader.ColTypeList[c];
      FColumnSegment[c] = static_cast<int32_t>(segmentFixed.size()) - 1;
      FColumnDelta[c] = segmentFixed.back();
      if (type == kTypeText)
        segmentFixed.push_back(0);
      else if (IsFixedType(type))
        segmentFixed.back() += 4;
    }
    FSegmentCount = static_cast<int32_t>(segmentFixed.size());
    const int32_t textCount = FSegmentCount - 1;
    int64_t minRowSize = 4 + 2 * int64_t{textCount};
    for (int32_t fixed : segmentFixed) minRowSize += fixed;
    const int64_t maxRowSize = minRowSize + int64_t{textCount} * 0xFFFF;

    if (rowCount == 0) return;

    const int64_t start = Stream.Position();
    const int64_t remaining = Stream.Remaining();
    if (rowCount * minRowSize > remaining) throw Error(Sprintf("行数が不正です [%d]", rowCount));

    // One read of everything the rows could occupy, then a scan in memory
    // that touches only the row keys and the text lengths.
    const int64_t toRead =
        std::min({remaining, rowCount * maxRowSize, int64_t{std::numeric_limits<int32_t>::max()} - kPadding});
    auto block = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(toRead + kPadding));
    Stream.ReadBuffer(block.get(), toRead);

    FIndexes.resize(rowCount);
    FDataPtr.resize(static_cast<size_t>(rowCount) * FSegmentCount);
    const uint8_t* mem = block.get();
    const int32_t* fixed = segmentFixed.data();
    int32_t* ptr = FDataPtr.data();
    int64_t pos = 0;
    for (int32_t r = 0; r < rowCount; ++r) {
      if (toRead - pos < 4) throw Error(kMsgReadError);
      FIndexes[r] = LoadAt<int32_t>(mem + pos);
      pos += 4;
      for (int32_t s = 0; s < textCount; ++s) {
        *ptr++ = static_cast<int32_t>(pos);
        pos += fixed[s];
        if (toRead - pos < 2) throw Error(kMsgReadError);
        pos += 2 + int64_t{LoadAt<uint16_t>(mem + pos)};
      }
      *ptr++ = static_cast<int32_t>(pos);
      pos += fixed[textCount];
      if (pos > toRead) throw Error(kMsgReadError);
    }
    FDataSize = pos;

    // Keep the data area only; a block much larger than it is given back.
    if (toRead - FDataSize > std::max<int64_t>(64 * 1024, FDataSize / 4)) {
      auto area = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(FDataSize + kPadding));
      std::memcpy(area.get(), block.get(), static_cast<size_t>(FDataSize));
      block = std::move(area);
    }
    std::memset(block.get() + FDataSize, 0, kPadding);
    FMemory = std::move(block);
    Stream.SetPosition(start + FDataSize);
  } catch (...) {
    Clear();
    throw;
  }
}

void TLdt::ThrowInvalidIndex(int32_t Index) { throw Error(Sprintf(kMsgInvalidIndex, Index)); }

const std::string& TLdt::ColumnName(int32_t Col) const {
  CheckColumn(Col);
  return FColumnNames[Col];
}

int32_t TLdt::ColumnType(int32_t Col) const {
  CheckColumn(Col);
  return FHeader.ColTypeList[Col];
}

int32_t TLdt::IndexOfColumn(std::string_view S) const {
  const auto found = FColumnIndex.find(S);
  return found == FColumnIndex.end() ? -1 : found->second;
}

int32_t TLdt::GetIndex(int32_t Row) const {
  CheckRow(Row);
  return FIndexes[Row];
}

std::string_view TLdt::GetDataAsType1Raw(int32_t Col, int32_t Row) const {
  const int64_t offset = CellOffset(Col, Row);
  const int64_t text = offset + 2;
  const int64_t length =
      std::min<int64_t>(LoadAt<uint16_t>(FMemory.get() + offset), std::max<int64_t>(0, FDataSize - text));
  if (length <= 0) return {};
  return std::string_view(reinterpret_cast<const char*>(FMemory.get() + text), static_cast<size_t>(length));
}

std::string TLdt::GetDataAsType1(int32_t Col, int32_t Row) const { return AnsiToUtf8(GetDataAsType1Raw(Col, Row)); }

std::string TLdt::GetData(int32_t Col, int32_t Row) const {
  char buffer[32];
  std::to_chars_result result{buffer, {}};
  switch (ColumnType(Col)) {
    case 1: return GetDataAsType1(Col, Row);
    case 2: result = std::to_chars(buffer, buffer + sizeof buffer, GetDataAsType2(Col, Row)); break;
    case 3: result = std::to_chars(buffer, buffer + sizeof buffer, GetDataAsType3(Col, Row)); break;
    case 4:
      result = std::to_chars(buffer, buffer + sizeof buffer, GetDataAsType4(Col, Row), std::chars_format::general, 7);
      break;
    default: CheckRow(Row); return {};
  }
  return std::string(buffer, result.ptr);
}

}  // namespace varune
