#include "viewer/animation_clock.h"

namespace varune {

uint32_t TAnimationClock::Tick(const TClock& Clock, const std::function<uint32_t()>& Step) {
  if (IsDue(Clock())) FNextDrawTime = Step();
  // Read again: drawing the frame took time of its own.
  return MsUntilDue(Clock());
}

}  // namespace varune
