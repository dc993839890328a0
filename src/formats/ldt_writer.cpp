#include "formats/ldt_writer.h"

#include <cstring>

#include "archive/error.h"
#include "archive/text.h"
#include "formats/ldt.h"

namespace varune {
namespace {

template <class T>
void Append(std::vector<uint8_t>& out, const T& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

// The variant alternative each column type takes.
size_t ExpectedAlternative(int32_t type) {
  switch (type) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 4: return 4;
    default: return 0;
  }
}

}  // namespace

int32_t TLdtWriter::AddColumn(std::string name, int32_t type) {
  if (FRowCount > 0) throw Error("行の追加後に列は追加できません");
  if (FColumns.size() >= static_cast<size_t>(kLdtMaxColumns))
    throw Error(Sprintf("列数が不正です [%d]", kLdtMaxColumns + 1));
  std::string ansi = Utf8ToAnsi(name);
  if (ansi.size() > static_cast<size_t>(kLdtColumnNameSize))
    throw Error(Sprintf("列名が長すぎます [%s]", name.c_str()));
  FColumns.push_back({std::move(ansi), type});
  return static_cast<int32_t>(FColumns.size()) - 1;
}

void TLdtWriter::AddRow(int32_t key, std::vector<TCell> cells) {
  if (cells.size() != FColumns.size())
    throw Error(Sprintf("セルの数が列数と一致しません [%zu]", cells.size()));
  // Build the row apart so that a bad cell leaves the table unchanged.
  std::vector<uint8_t> row;
  Append(row, key);
  for (size_t c = 0; c < cells.size(); ++c) {
    const int32_t type = FColumns[c].Type;
    if (cells[c].index() != ExpectedAlternative(type))
      throw Error(Sprintf("セルの型が列の型 [%d] と一致しません (列 %zu)", type, c));
    switch (type) {
      case 1: {
        const std::string ansi = Utf8ToAnsi(std::get<std::string>(cells[c]));
        if (ansi.size() > 0xFFFF) throw Error(Sprintf("テキストが長すぎます (列 %zu)", c));
        Append(row, static_cast<uint16_t>(ansi.size()));
        row.insert(row.end(), ansi.begin(), ansi.end());
        break;
      }
      case 2: Append(row, std::get<uint32_t>(cells[c])); break;
      case 3: Append(row, std::get<int32_t>(cells[c])); break;
      case 4: Append(row, std::get<float>(cells[c])); break;
      default: break;
    }
  }
  FData.insert(FData.end(), row.begin(), row.end());
  ++FRowCount;
}

void TLdtWriter::SaveToStream(TStream& stream) const {
  TLdtHeader header;
  std::memset(&header, 0, sizeof header);
  header.Unknown = FUnknown;
  header.ColCount = static_cast<int32_t>(FColumns.size());
  header.RowCount = FRowCount;
  for (size_t c = 0; c < FColumns.size(); ++c) {
    std::memcpy(header.ColNameList[c], FColumns[c].Name.data(), FColumns[c].Name.size());
    header.ColTypeList[c] = FColumns[c].Type;
  }
  stream.WriteValue(header);
  stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

std::vector<uint8_t> TLdtWriter::SaveToBytes() const {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.TakeBytes();
}

}  // namespace varune
