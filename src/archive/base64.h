#pragma once
// Base64 text of a stream, as the outfit code carries it.

#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/stream.h"

namespace varune {

// Reads `Input` from its position to its end in chunks of 510 bytes and
// writes standard Base64 ("=" padded) to `Output`, with CR LF after every 76
// characters, one write per chunk.
void EncodeBase64Stream(TStream& Input, TStream& Output);

// Decodes standard Base64, skipping white space (the line breaks of the
// encoder). Other characters, or padding in the wrong place, raise
// varune::Error.
std::vector<uint8_t> DecodeBase64(std::string_view Text);

}  // namespace varune
