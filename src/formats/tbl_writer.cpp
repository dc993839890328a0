#include "formats/tbl_writer.h"

#include <cstring>

#include "archive/error.h"
#include "archive/stream.h"
#include "archive/text.h"

namespace varune {
namespace {

void WriteText(TStream& stream, const std::string& utf8) {
  char field[kTblTextSize] = {};
  const std::string ansi = Utf8ToAnsi(utf8);
  if (ansi.size() > sizeof field) throw Error(Sprintf("テキストが長すぎます [%s]", utf8.c_str()));
  std::memcpy(field, ansi.data(), ansi.size());
  stream.WriteBuffer(field, sizeof field);
}

}  // namespace

std::vector<uint8_t> WriteTbl(int32_t unknown, const std::vector<TTblItemData>& items) {
  TMemoryStream stream;
  stream.WriteValue(unknown);
  stream.WriteValue(static_cast<int32_t>(items.size()));
  for (const TTblItemData& item : items) {
    stream.WriteValue(item.Count);
    WriteText(stream, item.ID);
    stream.WriteValue(static_cast<int32_t>(item.Images.size()));
    for (const TTblImage& image : item.Images) {
      stream.WriteValue(image.ID);
      stream.WriteValue(image.Offset.X);
      stream.WriteValue(image.Offset.Y);
      stream.WriteValue(image.RevX);
      stream.WriteValue(image.RevY);
      stream.WriteValue(image.Rect.Left);
      stream.WriteValue(image.Rect.Top);
      stream.WriteValue(image.Rect.Right);
      stream.WriteValue(image.Rect.Bottom);
      WriteText(stream, image.FileName);
    }
  }
  return stream.TakeBytes();
}

std::vector<uint8_t> WriteMft(const TMftHeader& header, const std::vector<std::string>& entries) {
  TMemoryStream stream;
  TMftHeader written = header;
  written.Count = static_cast<uint32_t>(entries.size());
  stream.WriteValue(written);
  for (const std::string& entry : entries) {
    const std::string ansi = Utf8ToAnsi(entry);
    stream.WriteValue(static_cast<int32_t>(ansi.size() + 1));
    stream.WriteBuffer(ansi.c_str(), static_cast<int64_t>(ansi.size() + 1));
  }
  return stream.TakeBytes();
}

}  // namespace varune
