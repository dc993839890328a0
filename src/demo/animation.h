#pragma once
// The demo client's animations: a sequence for every animation kind of every
// motion type, and the emoticons.

#include <cstdint>
#include <vector>

#include "database/types.h"
#include "formats/seq.h"

namespace varune::demo {

// Motion types: 1 plain, 2 relaxed, 3 the rogue's crouch (job 30 unarmed),
// and those weapons impose (see WeaponMotionTypes).
extern const std::vector<int32_t> MotionTypes;

struct TWeaponMotions {
  int32_t Alone = 1, WithShield = 0, WithRogueKnife = 0;  // MotionTypeID1 .. 3
};
// The motion types a weapon of this kind imposes.
TWeaponMotions WeaponMotionTypes(int32_t Kind);

// The frames of one animation; frame times lie between 60 and 200 ms.
std::vector<TSeqFrame> AnimationFrames(int32_t MotionType, TAnimationType Kind);
// Emoticon `Number`, 1 to 122.
std::vector<TSeqFrame> EmoticonFrames(int32_t Number);

// A sequence file of these frames.
std::vector<uint8_t> SequenceFile(const std::vector<TSeqFrame>& Frames);

}  // namespace varune::demo
