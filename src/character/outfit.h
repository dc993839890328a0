#pragma once
// The outfit record: gender, the five base part IDs and the equipment IDs,
// as the outfit code carries them in Base64.
//
//   0  1      version, always 1
//   1  1      gender: 0 male, 1 female
//   2  20     base part IDs (hair, face, body, tops, bottoms), -1 for none
//   22 1      n, the number of equipment IDs (at most 16)
//   23 4 x n  equipment IDs

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/types.h"

namespace varune {

struct TOutfitRecord {
  TGenderType Gender = gtMale;
  std::array<int32_t, 5> BaseIDs{-1, -1, -1, -1, -1};
  std::vector<int32_t> EquipIDs;

  friend bool operator==(const TOutfitRecord&, const TOutfitRecord&) = default;
};

inline constexpr uint8_t kOutfitVersion = 1;
inline constexpr size_t kOutfitMaxEquipment = 16;

std::vector<uint8_t> EncodeOutfitRecord(const TOutfitRecord& Record);
// Raises varune::Error for a wrong version, gender or count, or a record cut
// short. Bytes after the record are ignored.
TOutfitRecord DecodeOutfitRecord(const uint8_t* Data, size_t Size);
inline TOutfitRecord DecodeOutfitRecord(const std::vector<uint8_t>& Bytes) {
  return DecodeOutfitRecord(Bytes.data(), Bytes.size());
}

// The record as Base64 text with CR LF after every 76 characters.
std::string EncodeOutfitCode(const TOutfitRecord& Record);
// Line breaks and other white space in the text are ignored.
TOutfitRecord DecodeOutfitCode(std::string_view Code);

// A code as links carry it: URL-safe Base64 ('-' and '_') without padding
// or line breaks.
std::string UrlSafeOutfitCode(std::string_view Code);
// A code in standard or URL-safe Base64, padded or not, white space anywhere,
// as standard padded Base64 without line breaks; nullopt for other
// characters or a length no Base64 has. The record is not decoded.
std::optional<std::string> StandardOutfitCode(std::string_view Code);

}  // namespace varune
