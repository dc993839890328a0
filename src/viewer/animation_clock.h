#pragma once
// When the view's animation steps to its next frame. The clock is the
// wrapping 32-bit millisecond clock of the character; a due time is compared
// by the signed difference to it, so the wrap neither stalls the animation
// nor runs frames back to back. A step that comes late is not made up for:
// the next due time counts from the step.

#include <cstdint>
#include <functional>

#include "character/chara.h"

namespace varune {

class TAnimationClock {
 public:
  // A new sequence shows frame 0 for its own time first.
  void Restart(uint32_t Now, uint32_t FrameTime) { FNextDrawTime = Now + FrameTime; }
  void SetNextDrawTime(uint32_t Due) { FNextDrawTime = Due; }
  uint32_t NextDrawTime() const { return FNextDrawTime; }

  bool IsDue(uint32_t Now) const { return static_cast<int32_t>(Now - FNextDrawTime) >= 0; }
  // 0 when due.
  uint32_t MsUntilDue(uint32_t Now) const { return IsDue(Now) ? 0 : FNextDrawTime - Now; }

  // When due, runs `Step` (the character's NextFrame: it returns the next due
  // time) and keeps its result; a step that throws leaves the due time as it
  // was. Returns the milliseconds to wait, measured after the step.
  uint32_t Tick(const TClock& Clock, const std::function<uint32_t()>& Step);

 private:
  uint32_t FNextDrawTime = 0;
};

}  // namespace varune
