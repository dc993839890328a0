#include "database/types.h"

namespace varune {

const std::array<std::string_view, kAnimationTypeCount> AnimationTypeNames = {
    "atStand", "atMove", "atJumpUp", "atJumpFall", "atJumpLand", "atRun", "atRunStop", "atRopeStop", "atRopeMoveUp",
    "atRopeMoveDown", "atLadderStop", "atLadderMoveUp", "atLadderMoveDown", "atCableStop", "atCableMove",
    "atNormalAttack01", "atNormalAttack02", "atNormalAttack03", "atHeavyAttack01", "atHeavyAttack02",
    "atJumpNormalAttack", "atJumpHeavyAttack", "atGuard", "atNormalDamage", "atCriticalDamage", "atDown",
    "atDownStand", "atStun", "atDeath", "atItemGain", "atItemGainStandUp", "atSitDown", "atSitDownWait", "atStandUp",
    "atSitDownChair", "atSitDownWaitChair", "atStandUpChair", "atGuardDamage", "atDeathStand", "atNormalAttack04",
    "atNormalAttack05", "atNormalAttack06", "atNormalAttack07", "atNormalAttack08", "atNormalAttack09",
    "atNormalAttack10", "atHeavyAttack03", "atHeavyAttack04", "atHeavyAttack05", "atHeavyAttack06",
    "atHeavyAttack07", "atHeavyAttack08", "atHeavyAttack09", "atHeavyAttack10", "atEnchantProgress",
    "atEnchantSuccess", "atEnchantFailure", "atStore01", "atStore02", "atStore03", "atStore04", "atStore05",
    "atDoubleJumpUp", "atDoubleJumpFall", "atDoubleJumpLand", "atNormalDamage02", "atNormalDamage03",
    "atNormalDamage04", "atNormalDamage05", "atSleep", "atLightAttack01", "atLightAttack02", "atLightAttack03",
    "atLightAttack04", "atLightAttack05", "atLightAttack06", "atLightAttack07", "atLightAttack08", "atLightAttack09",
    "atLightAttack10", "atStrongAttack01", "atStrongAttack02", "atStrongAttack03", "atStrongAttack04",
    "atStrongAttack05", "atStrongAttack06", "atStrongAttack07", "atStrongAttack08", "atStrongAttack09",
    "atStrongAttack10", "atJumpLightAttack01", "atJumpStrongAttack01", "atFishingThrow", "atFishinfWait",
    "atFishingStand", "atEmotIcon"};

const std::array<std::string_view, kAnimationTypeCount> MotionColumnNames = {
    "_STAND", "_MOVE", "_JUMP_UP", "_JUMP_FALL", "_JUMP_LAND", "_RUN", "_RUN_STOP", "_ROPE_STOP", "_ROPE_MOVE_UP",
    "_ROPE_MOVE_DOWN", "_LADDER_STOP", "_LADDER_MOVE_UP", "_LADDER_MOVE_DOWN", "_CABLE_STOP", "_CABLE_MOVE",
    "_NORMAL_ATTACK01", "_NORMAL_ATTACK02", "_NORMAL_ATTACK03", "_HEAVY_ATTACK01", "_HEAVY_ATTACK02",
    "_JUMP_NORMAL_ATTACK", "_JUMP_HEAVY_ATTACK", "_GUARD", "_NORMAL_DAMAGE", "_CRITICAL_DAMAGE", "_DOWN",
    "_DOWN_STAND", "_STUN", "_DEATH", "_ITEM_GAIN", "_ITEM_GAIN_STAND_UP", "_SIT_DOWN", "_SIT_DOWN_WAIT",
    "_STAND_UP", "_SIT_DOWN_CHAIR", "_SIT_DOWN_WAIT_CHAIR", "_STAND_UP_CHAIR", "_GUARD_DAMAGE", "_DEATH_STAND",
    "_NORMAL_ATTACK04", "_NORMAL_ATTACK05", "_NORMAL_ATTACK06", "_NORMAL_ATTACK07", "_NORMAL_ATTACK08",
    "_NORMAL_ATTACK09", "_NORMAL_ATTACK10", "_HEAVY_ATTACK03", "_HEAVY_ATTACK04", "_HEAVY_ATTACK05",
    "_HEAVY_ATTACK06", "_HEAVY_ATTACK07", "_HEAVY_ATTACK08", "_HEAVY_ATTACK09", "_HEAVY_ATTACK10",
    "_ENCHANT_PROGRESS", "_ENCHANT_SUCCESS", "_ENCHANT_FAILURE", "_STORE01", "_STORE02", "_STORE03", "_STORE04",
    "_STORE05", "_DOUBLE_JUMP_UP", "_DOUBLE_JUMP_FALL", "_DOUBLE_JUMP_LAND", "_NORMAL_DAMAGE02", "_NORMAL_DAMAGE03",
    "_NORMAL_DAMAGE04", "_NORMAL_DAMAGE05", "_SLEEP", "LIGHT_ATTACK01", "LIGHT_ATTACK02", "LIGHT_ATTACK03",
    "LIGHT_ATTACK04", "LIGHT_ATTACK05", "LIGHT_ATTACK06", "LIGHT_ATTACK07", "LIGHT_ATTACK08", "LIGHT_ATTACK09",
    "LIGHT_ATTACK10", "STRONG_ATTACK01", "STRONG_ATTACK02", "STRONG_ATTACK03", "STRONG_ATTACK04", "STRONG_ATTACK05",
    "STRONG_ATTACK06", "STRONG_ATTACK07", "STRONG_ATTACK08", "STRONG_ATTACK09", "STRONG_ATTACK10",
    "JUMP_LIGHT_ATTACK01", "JUMP_STRONG_ATTACK01", "FISHING_THROW", "FISHING_WAIT", "FISHING_STAND", ""};

}  // namespace varune
