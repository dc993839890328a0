#include "archive/spf_writer.h"

#include <cstring>
#include <limits>

#include "archive/error.h"
#include "archive/spf.h"
#include "archive/text.h"

namespace varune {

void TSpfWriter::Add(std::string name, std::vector<uint8_t> data, int32_t unknown) {
  std::string ansi = Utf8ToAnsi(name);
  if (ansi.size() > static_cast<size_t>(kSpfNameSize))
    throw Error(Sprintf("アーカイブのファイル名が長すぎます (%s)", name.c_str()));
  FEntries.push_back({std::move(ansi), std::move(data), unknown});
}

void TSpfWriter::SaveToStream(TStream& stream) const {
  std::vector<uint8_t> directory(FEntries.size() * kSpfRecordSize, 0);
  int64_t offset = stream.Position();
  for (size_t i = 0; i < FEntries.size(); ++i) {
    const TEntry& entry = FEntries[i];
    if (offset + static_cast<int64_t>(entry.Data.size()) > std::numeric_limits<int32_t>::max())
      throw Error("アーカイブが 2 GiB を超えます");
    uint8_t* record = directory.data() + i * kSpfRecordSize;
    std::memcpy(record, entry.Name.data(), entry.Name.size());
    const auto entryOffset = static_cast<int32_t>(offset);
    const auto entrySize = static_cast<int32_t>(entry.Data.size());
    std::memcpy(record + 128, &entryOffset, 4);
    std::memcpy(record + 132, &entrySize, 4);
    std::memcpy(record + 136, &entry.Unknown, 4);
    stream.WriteBuffer(entry.Data.data(), entrySize);
    offset += entrySize;
  }
  stream.WriteBuffer(directory.data(), static_cast<int64_t>(directory.size()));
  uint8_t trailer[kSpfTrailerSize] = {};
  const auto directorySize = static_cast<int32_t>(directory.size());
  std::memcpy(trailer, &directorySize, 4);
  std::memcpy(trailer + kSpfTrailerSize - 4, &FVersion, 4);
  stream.WriteBuffer(trailer, kSpfTrailerSize);
}

void TSpfWriter::SaveToFile(const std::string& path) const {
  TFileStream file(path, TFileStream::fmCreate);
  SaveToStream(file);
}

std::vector<uint8_t> TSpfWriter::SaveToBytes() const {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.TakeBytes();
}

}  // namespace varune
