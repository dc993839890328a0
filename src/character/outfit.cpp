#include "character/outfit.h"

#include <cctype>
#include <cstring>

#include "archive/base64.h"
#include "archive/error.h"

namespace varune {

std::vector<uint8_t> EncodeOutfitRecord(const TOutfitRecord& Record) {
  const size_t count = std::min(Record.EquipIDs.size(), kOutfitMaxEquipment);
  std::vector<uint8_t> bytes(23 + 4 * count);
  bytes[0] = kOutfitVersion;
  bytes[1] = static_cast<uint8_t>(Record.Gender);
  std::memcpy(&bytes[2], Record.BaseIDs.data(), 20);
  bytes[22] = static_cast<uint8_t>(count);
  if (count > 0) std::memcpy(&bytes[23], Record.EquipIDs.data(), 4 * count);
  return bytes;
}

TOutfitRecord DecodeOutfitRecord(const uint8_t* Data, size_t Size) {
  if (Size < 23) throw Error("衣装データが短すぎます");
  if (Data[0] != kOutfitVersion) throw Error(Sprintf("衣装データのバージョンが不正です [%d]", Data[0]));
  if (Data[1] > gtFemale) throw Error(Sprintf("衣装データの性別が不正です [%d]", Data[1]));
  const size_t count = Data[22];
  if (count > kOutfitMaxEquipment) throw Error(Sprintf("衣装データの装備数が不正です [%zu]", count));
  if (Size < 23 + 4 * count) throw Error("衣装データが短すぎます");
  TOutfitRecord record;
  record.Gender = static_cast<TGenderType>(Data[1]);
  std::memcpy(record.BaseIDs.data(), Data + 2, 20);
  record.EquipIDs.resize(count);
  if (count > 0) std::memcpy(record.EquipIDs.data(), Data + 23, 4 * count);
  return record;
}

std::string EncodeOutfitCode(const TOutfitRecord& Record) {
  TMemoryStream input(EncodeOutfitRecord(Record)), output;
  EncodeBase64Stream(input, output);
  return std::string(output.Bytes().begin(), output.Bytes().end());
}

TOutfitRecord DecodeOutfitCode(std::string_view Code) { return DecodeOutfitRecord(DecodeBase64(Code)); }

std::string UrlSafeOutfitCode(std::string_view Code) {
  std::string code;
  for (const char c : Code) {
    if (c == '+') code += '-';
    else if (c == '/') code += '_';
    else if (c != '=' && !std::isspace(static_cast<unsigned char>(c))) code += c;
  }
  return code;
}

std::optional<std::string> StandardOutfitCode(std::string_view Code) {
  std::string code;
  for (const char c : Code) {
    if (c == '=' || std::isspace(static_cast<unsigned char>(c))) continue;
    if (c == '-') code += '+';
    else if (c == '_') code += '/';
    else if (std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/') code += c;
    else return std::nullopt;
  }
  if (code.size() % 4 == 1) return std::nullopt;
  code.append((4 - code.size() % 4) % 4, '=');
  return code;
}

}  // namespace varune
