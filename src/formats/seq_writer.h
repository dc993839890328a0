#pragma once
// Writes animation sequences (.SEQ).

#include <cstdint>
#include <vector>

#include "formats/seq.h"

namespace varune {

// header.Count and each frame's Count are replaced by the real sizes.
std::vector<uint8_t> WriteSeq(const TSeqHeader& header, const std::vector<TSeqFrame>& frames);

}  // namespace varune
