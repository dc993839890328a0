#pragma once
// The hidden key sequence of the item list: Left, Right, Left, Right, Up, Up,
// Down, Down, A, B typed in a row shows the check boxes that hide base parts.

#include <cstdint>

namespace varune {

// The keys the sequence is made of; every other key is hkOther.
enum THiddenKey : uint8_t { hkOther, hkLeft, hkRight, hkUp, hkDown, hkA, hkB };

// The two lines of the message shown when the sequence is complete.
inline constexpr char kHiddenModeLine1[] = "どう見ても変態です";
inline constexpr char kHiddenModeLine2[] = "本当にありがとうございました";

class THiddenKeys {
 public:
  // Counts a key pressed in the item list. True for the key that completes
  // the sequence, once per run; afterwards every key is ignored. A wrong key
  // starts the count again without counting as a first key itself.
  bool KeyDown(THiddenKey Key);
  bool Complete() const;

 private:
  uint8_t FCount = 0;
};

}  // namespace varune
