#include "imaging/bitmap32.h"

#include <algorithm>

namespace varune {

void TBitmap32::SetSize(int32_t NewWidth, int32_t NewHeight) {
  FWidth = std::max(0, NewWidth);
  FHeight = std::max(0, NewHeight);
  FBits.assign(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0);
}

}  // namespace varune
