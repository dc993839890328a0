#pragma once
// JPEG export through libjpeg.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap32.h"

namespace varune {

// Baseline JPEG of the colour channels (alpha ignored), libjpeg's default
// sampling. An empty surface raises varune::Error.
std::vector<uint8_t> EncodeJpeg(const TBitmap32& Bitmap, int Quality = 100);
void SaveJpegToFile(const std::string& FileName, const TBitmap32& Bitmap, int Quality = 100);

}  // namespace varune
