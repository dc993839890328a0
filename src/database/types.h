#pragma once
// The numbering the whole system shares: genders, equipment slots, jobs and
// the 96 animation kinds.

#include <array>
#include <cstdint>
#include <string_view>

namespace varune {

enum TGenderType : int32_t { gtMale = 0, gtFemale = 1 };
inline constexpr int32_t kGenderCount = 2;

// Equipment slots (PosID) are 1 to 16; the item browser offers 1 to 14.
inline constexpr int32_t kSlotCount = 16;
inline constexpr int32_t kBrowsableSlotCount = 14;
inline constexpr int32_t kWeaponSlot = 13;
inline constexpr int32_t kShieldSlot = 14;

inline constexpr int32_t kJobCount = 52;
inline constexpr int32_t kWeaponKindCount = 27;

// The job bit flag of job J (1 to 52): bit J - 1. Zero for jobs outside the
// range, so that no value from a file shifts by a negative amount.
constexpr int64_t JobBitFlag(int32_t job) {
  return job >= 1 && job <= kJobCount ? int64_t{1} << (job - 1) : 0;
}

enum TAnimationType : int32_t {
  atStand, atMove, atJumpUp, atJumpFall, atJumpLand, atRun, atRunStop, atRopeStop, atRopeMoveUp, atRopeMoveDown,
  atLadderStop, atLadderMoveUp, atLadderMoveDown, atCableStop, atCableMove, atNormalAttack01, atNormalAttack02,
  atNormalAttack03, atHeavyAttack01, atHeavyAttack02, atJumpNormalAttack, atJumpHeavyAttack, atGuard, atNormalDamage,
  atCriticalDamage, atDown, atDownStand, atStun, atDeath, atItemGain, atItemGainStandUp, atSitDown, atSitDownWait,
  atStandUp, atSitDownChair, atSitDownWaitChair, atStandUpChair, atGuardDamage, atDeathStand, atNormalAttack04,
  atNormalAttack05, atNormalAttack06, atNormalAttack07, atNormalAttack08, atNormalAttack09, atNormalAttack10,
  atHeavyAttack03, atHeavyAttack04, atHeavyAttack05, atHeavyAttack06, atHeavyAttack07, atHeavyAttack08,
  atHeavyAttack09, atHeavyAttack10, atEnchantProgress, atEnchantSuccess, atEnchantFailure, atStore01, atStore02,
  atStore03, atStore04, atStore05, atDoubleJumpUp, atDoubleJumpFall, atDoubleJumpLand, atNormalDamage02,
  atNormalDamage03, atNormalDamage04, atNormalDamage05, atSleep, atLightAttack01, atLightAttack02, atLightAttack03,
  atLightAttack04, atLightAttack05, atLightAttack06, atLightAttack07, atLightAttack08, atLightAttack09,
  atLightAttack10, atStrongAttack01, atStrongAttack02, atStrongAttack03, atStrongAttack04, atStrongAttack05,
  atStrongAttack06, atStrongAttack07, atStrongAttack08, atStrongAttack09, atStrongAttack10, atJumpLightAttack01,
  atJumpStrongAttack01, atFishingThrow, atFishinfWait, atFishingStand, atEmotIcon
};
inline constexpr int32_t kAnimationTypeCount = 96;

// The identifier of each kind, "atStand" ... "atEmotIcon".
extern const std::array<std::string_view, kAnimationTypeCount> AnimationTypeNames;

// The motion table's column of each kind; empty for atEmotIcon.
extern const std::array<std::string_view, kAnimationTypeCount> MotionColumnNames;

}  // namespace varune
