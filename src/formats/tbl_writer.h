#pragma once
// Writes sprite tables (.TBL) and manifests (.MFT).

#include <cstdint>
#include <string>
#include <vector>

#include "formats/tbl.h"

namespace varune {

// One item to write: Count is the item's FCount (the cells lookups search),
// FCount2 is Images.size().
struct TTblItemData {
  int32_t Count = 0;
  std::string ID;  // UTF-8, at most 128 bytes of code page 932
  std::vector<TTblImage> Images;
};

// A table with `unknown` as its first word and FCount = items.size(). Texts
// too long for their 128-byte fields raise varune::Error.
std::vector<uint8_t> WriteTbl(int32_t unknown, const std::vector<TTblItemData>& items);

// A manifest; header.Count is replaced by entries.size(). Each entry is
// stored in code page 932 with a closing NUL counted in its length.
std::vector<uint8_t> WriteMft(const TMftHeader& header, const std::vector<std::string>& entries);

}  // namespace varune
