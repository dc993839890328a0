#include "viewer/hidden_keys.h"

#include <array>

namespace varune {
namespace {

constexpr std::array kSequence = {hkLeft, hkRight, hkLeft, hkRight, hkUp, hkUp, hkDown, hkDown, hkA, hkB};

}  // namespace

bool THiddenKeys::KeyDown(THiddenKey Key) {
  if (Complete()) return false;
  if (Key != kSequence[FCount]) {
    FCount = 0;
    return false;
  }
  ++FCount;
  return Complete();
}

bool THiddenKeys::Complete() const { return FCount >= kSequence.size(); }

}  // namespace varune
