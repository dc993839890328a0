#include "demo/animation.h"

#include <cmath>
#include <numbers>

#include "demo/figure.h"
#include "formats/seq_writer.h"

namespace varune::demo {
namespace {

constexpr double kPi = std::numbers::pi;

enum TAttack { akPunch, akSlash, akHeavy, akThrust, akBow, akCast, akTwin, akSwing, akGun, akRogue };

// How a motion type holds its weapon and attacks with it.
struct TStyle {
  double Arm, Weapon, ArmFar, Offhand;
  TAttack Attack;
  double Lean = 0;
  bool Shield = false;
};

TStyle StyleOf(int32_t motion) {
  switch (motion) {
    case 2: return {4, -30, -3, -30, akPunch, -2};
    case 3: return {28, -40, 18, -40, akRogue, 8};
    case 11: return {14, -55, -6, -30, akSlash};
    case 12: return {32, -25, 26, -25, akHeavy, 4};
    case 13: return {36, -80, 30, -80, akThrust, 4};
    case 14: return {34, -8, -6, 0, akBow};
    case 15: return {42, -14, -6, 0, akCast};
    case 16: return {40, 0, 34, 0, akPunch, 6};
    case 17: return {16, -40, 12, -40, akTwin, 4};
    case 18: return {30, -60, -6, 0, akSwing};
    case 19: return {60, -100, -6, -100, akGun};
    case 20: return {10, 0, -6, 0, akSwing};
    case 21: return {14, -55, 46, 0, akSlash, 0, true};
    case 31: return {22, -40, 24, -150, akRogue, 8};
    default: return {8, -30, -6, -30, akPunch};
  }
}

TPose Rest(const TStyle& s) {
  TPose p;
  p.ArmNear = s.Arm, p.Weapon = s.Weapon, p.ArmFar = s.ArmFar, p.Offhand = s.Offhand, p.Torso = s.Lean;
  return p;
}

struct TFrameSpec {
  TPose Pose;
  double Time;
};

std::vector<TSeqFrame> Build(const std::vector<TFrameSpec>& specs) {
  std::vector<TSeqFrame> frames;
  for (const TFrameSpec& spec : specs) {
    TSeqFrame frame;
    frame.Number = static_cast<int32_t>(frames.size());
    // Half a millisecond over, so that the player's truncation gives the
    // intended whole milliseconds.
    frame.Time = static_cast<float>((std::round(spec.Time * 1000) + 0.5) / 1000);
    frame.Items = PoseLayers(spec.Pose);
    frame.Count = static_cast<int32_t>(frame.Items.size());
    frames.push_back(std::move(frame));
  }
  return frames;
}

// Key poses with `steps` frames from each to the next (the last one alone).
std::vector<TFrameSpec> Keys(const std::vector<TPose>& keys, int32_t steps, double time) {
  std::vector<TFrameSpec> specs;
  for (size_t i = 0; i + 1 < keys.size(); ++i)
    for (int32_t s = 0; s < steps; ++s) specs.push_back({Lerp(keys[i], keys[i + 1], double(s) / steps), time});
  specs.push_back({keys.back(), time});
  return specs;
}

// Feet stay on the ground when the legs swing: the body sinks by the height
// the longer leg loses.
double Sink(double legA, double legB) {
  const double a = std::max(std::fabs(legA), std::fabs(legB)) * kPi / 180;
  return kLegLength * (1 - std::cos(a));
}

std::vector<TFrameSpec> Stand(const TStyle& s, int32_t motion) {
  std::vector<TFrameSpec> specs;
  for (int32_t i = 0; i < 4; ++i) {
    TPose p = Rest(s);
    const double breath = i == 1 || i == 2 ? 1 : 0;
    p.Y = breath * 0.6;
    p.ArmNear += breath * 2, p.ArmFar -= breath * 2;
    p.Head = motion == 2 ? 5 : breath * 1.5;
    p.StoneY = i < 2 ? -i * 1.5 : -(3 - i) * 1.5;
    p.Hair = i == 2 ? hcSwayBack : hcRest;
    p.Cloak = -breath * 2;
    if (i == 3) p.Face = fcBlink;
    if (motion == 3 || motion == 31) p.Y += 1, p.LegNear = 14, p.LegFar = -12;
    specs.push_back({p, i == 3 ? 0.12 : 0.2});
  }
  return specs;
}

std::vector<TFrameSpec> Walk(const TStyle& s, int32_t frames, double stride, double arms, double lean, double time,
                             int32_t hair, double cloak) {
  std::vector<TFrameSpec> specs;
  for (int32_t i = 0; i < frames; ++i) {
    const double phase = std::sin(2 * kPi * i / frames);
    TPose p = Rest(s);
    p.LegNear = stride * phase, p.LegFar = -stride * phase;
    // A weapon held with both hands keeps the arms still.
    const bool braced = s.Attack == akHeavy || s.Attack == akThrust || s.Attack == akGun;
    if (!braced) p.ArmNear -= arms * phase, p.ArmFar += arms * phase;
    p.Weapon -= braced ? 0 : arms * phase * 0.5;
    p.Torso += lean;
    p.Y = Sink(p.LegNear, p.LegFar) - 1.2 * std::fabs(std::cos(2 * kPi * i / frames));
    p.Head = -lean * 0.3 + std::fabs(phase) * 2;
    p.Hair = hair;
    p.Cloak = cloak - std::fabs(phase) * 5;
    p.StoneY = std::fabs(phase) * -2;
    specs.push_back({p, time});
  }
  return specs;
}

TPose Air(const TStyle& s, double y, double legNear, double legFar, double armNear, double armFar, int32_t hair) {
  TPose p = Rest(s);
  p.Y = y, p.LegNear = legNear, p.LegFar = legFar, p.ArmNear = armNear, p.ArmFar = armFar, p.Hair = hair;
  p.Cloak = hair == hcLifted ? 20 : -15;
  return p;
}

std::vector<TFrameSpec> Climb(const TStyle& s, bool moving, bool cable) {
  std::vector<TFrameSpec> specs;
  const int32_t count = moving ? 4 : 2;
  for (int32_t i = 0; i < count; ++i) {
    const double swing = moving ? std::sin(2 * kPi * i / count) : (i ? 0.3 : -0.3);
    TPose p = Rest(s);
    p.HideWeapons = true;
    p.ArmNear = cable ? 175 + 6 * swing : 160 + 18 * swing;
    p.ArmFar = cable ? 180 - 6 * swing : 170 - 18 * swing;
    p.LegNear = cable ? 10 * swing : 22 * std::max(0.0, swing);
    p.LegFar = cable ? -10 * swing : 22 * std::max(0.0, -swing);
    p.Y = cable ? -4 : -2 - 2 * std::fabs(swing);
    p.Head = -6;
    p.Hair = hcHang;
    specs.push_back({p, moving ? 0.14 : 0.2});
  }
  return specs;
}

// ---- Attacks ----------------------------------------------------------------

// One attack of a style. `variant` picks the pattern, `power` 0 light, 1
// normal, 2 heavy, 3 strong (with a spin); `air` swings in the air.
std::vector<TFrameSpec> Attack(const TStyle& s, int32_t variant, int32_t power, bool air) {
  const double time = power == 0 ? 0.06 : power == 1 ? 0.08 : 0.1;
  const double big = 1 + 0.15 * power;
  TPose rest = Rest(s);
  if (air) rest.Y = -14, rest.LegNear = 30, rest.LegFar = -20, rest.Hair = hcLifted;
  std::vector<TPose> keys{rest};
  auto add = [&](auto&& change) {
    TPose p = keys.back();
    change(p);
    keys.push_back(p);
  };
  const int32_t pattern = variant % 3;
  switch (s.Attack) {
    case akSlash:
    case akHeavy:
    case akRogue:
    case akSwing:
      if (pattern == 0) {  // over the head
        add([&](TPose& p) {
          p.ArmNear = -150, p.Weapon = 140, p.Torso = -10 * big, p.Hair = hcSwayForward, p.ArmBehind = true;
        });
        add([&](TPose& p) { p.ArmNear = -230, p.Weapon = 0, p.Torso = 0, p.ArmBehind = false; });
        add([&](TPose& p) {
          p.ArmNear = -290, p.Weapon = -110 * big, p.Torso = 14 * big, p.X = -3 * big, p.Y += 1, p.Hair = hcSwayBack;
          p.Face = fcSmile;
        });
        add([&](TPose& p) { p.ArmNear = -300, p.Weapon = -135, p.Cloak = -12; });
      } else if (pattern == 1) {  // a low sweep forward
        add([&](TPose& p) { p.ArmNear = -60, p.Weapon = 80, p.Torso = -6, p.LegNear = 12, p.LegFar = -14; });
        add([&](TPose& p) { p.ArmNear = 60, p.Weapon = -60, p.Torso = 6 * big, p.X = -2 * big; });
        add([&](TPose& p) { p.ArmNear = 105, p.Weapon = -100 * big, p.Torso = 10 * big, p.X = -4 * big; });
        add([&](TPose& p) { p.ArmNear = 115, p.Weapon = -125, p.Hair = hcSwayBack; });
      } else {  // rising cut
        add([&](TPose& p) { p.ArmNear = 30, p.Weapon = 160, p.Torso = 12, p.Y += 1; });
        add([&](TPose& p) { p.ArmNear = 110, p.Weapon = 30, p.Torso = 0, p.Y -= 2 * big; });
        add([&](TPose& p) { p.ArmNear = 170, p.Weapon = -30, p.Torso = -10, p.Y -= 3 * big, p.Hair = hcLifted; });
        add([&](TPose& p) { p.ArmNear = 160, p.Weapon = -10, p.Face = fcSmile; });
      }
      if (s.Attack == akHeavy)
        for (size_t i = 1; i < keys.size(); ++i) keys[i].ArmFar = keys[i].ArmNear - 10;
      if (s.Attack == akRogue)
        for (size_t i = 1; i < keys.size(); ++i) keys[i].ArmFar = -keys[i].ArmNear * 0.4, keys[i].Offhand -= 30;
      break;
    case akTwin:
      add([&](TPose& p) {
        p.ArmNear = -150, p.Weapon = 140, p.ArmFar = -60, p.Offhand = 80, p.Torso = -8, p.ArmBehind = true;
      });
      add([&](TPose& p) { p.ArmNear = -280, p.Weapon = -100, p.ArmFar = -40, p.Torso = 10, p.X = -3, p.ArmBehind = false; });
      add([&](TPose& p) { p.ArmNear = -300, p.Weapon = -130, p.ArmFar = 100, p.Offhand = -100, p.X = -5; });
      add([&](TPose& p) { p.ArmFar = 115, p.Offhand = -120, p.Face = fcSmile, p.Hair = hcSwayBack; });
      break;
    case akThrust:
      add([&](TPose& p) { p.ArmNear = 40, p.ArmFar = 20, p.Weapon = -90, p.X = 3, p.Torso = -4; });
      add([&](TPose& p) { p.ArmNear = 95, p.ArmFar = 80, p.Weapon = -90, p.X = -6 * big, p.Torso = 14, p.LegNear = 25; });
      add([&](TPose& p) { p.ArmNear = 100, p.ArmFar = 85, p.Weapon = -95 + 10 * pattern, p.X = -8 * big; });
      add([&](TPose& p) { p.ArmNear = 60, p.ArmFar = 45, p.Weapon = -80, p.X = -4; });
      break;
    case akBow:
      add([&](TPose& p) { p.ArmNear = 90, p.Weapon = 0, p.ArmFar = 60; });
      add([&](TPose& p) { p.ArmFar = 100, p.Torso = -4, p.Head = -4; });
      add([&](TPose& p) { p.ArmFar = 80 - 20 * pattern, p.X = 2, p.Face = fcBlink; });
      add([&](TPose& p) { p.ArmFar = -30, p.X = 3, p.Face = fcNeutral; });
      break;
    case akGun:
      add([&](TPose& p) { p.ArmNear = 88, p.Weapon = -92; });
      add([&](TPose& p) { p.ArmNear = 100, p.Weapon = -80, p.X = 2, p.Torso = -5; });
      add([&](TPose& p) { p.ArmNear = 88, p.Weapon = -92, p.X = 1, p.Torso = 0, p.ArmFar = 90, p.Offhand = -92; });
      add([&](TPose& p) { p.ArmFar = 102, p.Offhand = -80, p.X = 3, p.Torso = -5, p.Face = fcBlink; });
      break;
    case akCast:
      add([&](TPose& p) { p.ArmNear = 150, p.Weapon = -10, p.ArmFar = 60, p.Head = -8, p.Face = fcBlink; });
      add([&](TPose& p) { p.ArmNear = 170, p.Weapon = 10, p.Y -= 2, p.Hair = hcLifted; });
      add([&](TPose& p) { p.ArmNear = 95, p.Weapon = -70, p.Torso = 8, p.X = -2, p.Y += 2, p.Face = fcSmile; });
      add([&](TPose& p) { p.ArmNear = 85 + 10 * pattern, p.Weapon = -60, p.Cloak = -20, p.Hair = hcSwayBack; });
      break;
    case akPunch:
      add([&](TPose& p) { p.ArmNear = 30, p.ArmFar = 60, p.Torso = -4, p.X = 1; });
      if (pattern == 1) {
        add([&](TPose& p) { p.ArmFar = 100, p.ArmNear = 10, p.Torso = 10, p.X = -4 * big, p.LegNear = 20, p.LegFar = -15; });
      } else {
        add([&](TPose& p) { p.ArmNear = 100, p.ArmFar = 20, p.Torso = 10, p.X = -4 * big, p.LegNear = 20, p.LegFar = -15; });
      }
      if (pattern == 2) add([&](TPose& p) { p.ArmNear = 170, p.Y -= 4, p.Torso = -6, p.Hair = hcLifted; });
      add([&](TPose& p) { p.Face = fcSmile, p.Hair = hcSwayBack; });
      break;
  }
  if (power == 3 || variant % 5 == 4) {
    // A spin through the swing.
    for (size_t i = 1; i < keys.size(); ++i) keys[i].Body = -360.0 * double(i) / double(keys.size() - 1);
  }
  keys.push_back(rest);
  std::vector<TFrameSpec> specs = Keys(keys, power >= 2 ? 2 : 1, time);
  specs.back().Time = 0.12;
  return specs;
}

// ---- The rest ---------------------------------------------------------------

TPose Lying(const TStyle& s, int32_t face) {
  TPose p = Rest(s);
  p.Body = 90, p.Y = 13, p.ArmNear = 30, p.ArmFar = -20, p.LegNear = 8, p.LegFar = -6, p.Face = face;
  p.Hair = hcHang, p.HideWeapons = true, p.Cloak = 60;
  return p;
}

TPose Seated(const TStyle& s, bool chair) {
  TPose p = Rest(s);
  p.HideWeapons = true;
  p.LegNear = chair ? 75 : 88, p.LegFar = chair ? 68 : 80;
  p.Y = chair ? 6 : 16;
  p.ArmNear = 45, p.ArmFar = 35, p.Torso = -4;
  return p;
}

std::vector<TFrameSpec> Hurt(const TStyle& s, double power) {
  TPose rest = Rest(s);
  TPose hit = rest;
  hit.Torso = -12 * power, hit.Head = -10 * power, hit.X = 3 * power, hit.Face = fcHurt, hit.Hair = hcSwayForward;
  hit.ArmNear = rest.ArmNear - 40 * power, hit.ArmFar = rest.ArmFar - 30;
  if (power > 1.3) hit.Body = -12, hit.Y = -3 * power;
  return Keys({rest, hit, hit, rest}, 1, 0.1);
}

std::vector<TFrameSpec> Loop(const TPose& a, const TPose& b, int32_t frames, double time) {
  std::vector<TFrameSpec> specs;
  for (int32_t i = 0; i < frames; ++i) specs.push_back({Lerp(a, b, 0.5 - 0.5 * std::cos(2 * kPi * i / frames)), time});
  return specs;
}

std::vector<TFrameSpec> Specs(int32_t motion, TAnimationType kind) {
  const TStyle s = StyleOf(motion);
  const TPose rest = Rest(s);
  auto with = [&](auto&& change) {
    TPose p = rest;
    change(p);
    return p;
  };
  if (kind >= atNormalAttack01 && kind <= atNormalAttack03) return Attack(s, kind - atNormalAttack01, 1, false);
  if (kind >= atNormalAttack04 && kind <= atNormalAttack10) return Attack(s, kind - atNormalAttack04 + 3, 1, false);
  if (kind == atHeavyAttack01 || kind == atHeavyAttack02) return Attack(s, kind - atHeavyAttack01, 2, false);
  if (kind >= atHeavyAttack03 && kind <= atHeavyAttack10) return Attack(s, kind - atHeavyAttack03 + 2, 2, false);
  if (kind >= atLightAttack01 && kind <= atLightAttack10) return Attack(s, kind - atLightAttack01, 0, false);
  if (kind >= atStrongAttack01 && kind <= atStrongAttack10) return Attack(s, kind - atStrongAttack01, 3, false);
  if (kind == atJumpNormalAttack || kind == atJumpLightAttack01) return Attack(s, 1, kind == atJumpNormalAttack ? 1 : 0, true);
  if (kind == atJumpHeavyAttack || kind == atJumpStrongAttack01) return Attack(s, 0, kind == atJumpHeavyAttack ? 2 : 3, true);
  if (kind >= atNormalDamage02 && kind <= atNormalDamage05) return Hurt(s, 0.8 + 0.15 * (kind - atNormalDamage02));
  if (kind >= atStore01 && kind <= atStore05) {
    switch (kind - atStore01) {
      case 0: return Loop(with([](TPose& p) { p.ArmNear = 110, p.Face = fcSmile, p.HideWeapons = true; }),
                          with([](TPose& p) { p.ArmNear = 135, p.Face = fcSmile, p.HideWeapons = true; }), 4, 0.14);
      case 1: return Loop(Seated(s, false), with([&](TPose& p) { p = Seated(s, false), p.ArmNear = 160, p.Face = fcSmile; }), 4, 0.16);
      case 2: {  // looking both ways
        TPose right = rest;
        right.Mirror = true;
        return {{rest, 0.2}, {rest, 0.2}, {right, 0.2}, {right, 0.2}};
      }
      case 3: return Loop(with([](TPose& p) { p.ArmNear = 60, p.ArmFar = 80, p.HideWeapons = true; }),
                          with([](TPose& p) { p.ArmNear = 75, p.ArmFar = 62, p.HideWeapons = true, p.Face = fcSmile; }), 4, 0.08);
      default: return Keys({rest, with([](TPose& p) { p.Torso = 35, p.Head = 10, p.Face = fcBlink; }), rest}, 2, 0.12);
    }
  }
  switch (kind) {
    case atMove: return Walk(s, 8, 26, 24, 4, 0.1, hcSwayBack, -8);
    case atRun: return Walk(s, 6, 42, 40, 12, 0.08, hcSwayMore, -25);
    case atRunStop: {
      TPose skid = with([](TPose& p) { p.Torso = -10, p.LegNear = 24, p.LegFar = -10, p.Hair = hcSwayForward, p.Cloak = 10; });
      skid.Y = Sink(24, -10);
      return Keys({skid, rest}, 2, 0.1);
    }
    case atJumpUp: return {{Air(s, -10, 40, -20, 150, -40, hcHang), 0.12}, {Air(s, -16, 30, -10, 160, -50, hcHang), 0.12}};
    case atJumpFall: return {{Air(s, -14, 20, -25, 120, -60, hcLifted), 0.12}, {Air(s, -8, 15, -20, 100, -40, hcLifted), 0.12}};
    case atJumpLand:
    case atDoubleJumpLand: {
      TPose crouch = with([](TPose& p) { p.LegNear = 24, p.LegFar = -24, p.Torso = 10, p.Head = 6, p.Hair = hcSwayForward; });
      crouch.Y = Sink(24, 24) + 2;
      return Keys({crouch, rest}, 2, 0.08);
    }
    case atDoubleJumpUp: {
      std::vector<TFrameSpec> specs;
      for (int32_t i = 0; i < 4; ++i) {
        TPose p = Air(s, -16, 50, 40, 60, 50, hcHang);
        p.Body = -90.0 * i;
        specs.push_back({p, 0.06});
      }
      return specs;
    }
    case atDoubleJumpFall: return {{Air(s, -12, 25, -30, 140, -70, hcLifted), 0.1}, {Air(s, -6, 18, -24, 120, -50, hcLifted), 0.1}};
    case atRopeStop:
    case atLadderStop: return Climb(s, false, false);
    case atRopeMoveUp:
    case atRopeMoveDown:
    case atLadderMoveUp:
    case atLadderMoveDown: return Climb(s, true, false);
    case atCableStop: return Climb(s, false, true);
    case atCableMove: return Climb(s, true, true);
    case atGuard:
    case atGuardDamage: {
      TPose guard = with([&](TPose& p) {
        p.ArmNear = 70, p.Weapon = s.Attack == akGun ? -90 : -10, p.Torso = -4, p.LegNear = 12, p.LegFar = -14;
        p.ArmFar = s.Shield ? 75 : 40;
      });
      guard.Y = Sink(12, 14);
      if (kind == atGuard) return Loop(guard, with([&](TPose& p) { p = guard, p.Y += 1; }), 2, 0.2);
      TPose pushed = guard;
      pushed.X = 5, pushed.Face = fcHurt, pushed.Torso = -10, pushed.Hair = hcSwayForward;
      return Keys({guard, pushed, guard}, 1, 0.1);
    }
    case atNormalDamage: return Hurt(s, 1);
    case atCriticalDamage: return Hurt(s, 1.6);
    case atDown: return Keys({with([](TPose& p) { p.Face = fcHurt, p.Torso = -10; }), Lying(s, fcHurt), Lying(s, fcBlink)}, 2, 0.1);
    case atDownStand: return Keys({Lying(s, fcBlink), with([](TPose& p) { p.Torso = 20, p.Y = 4; }), rest}, 2, 0.1);
    case atStun: return Loop(with([](TPose& p) { p.Head = -10, p.Torso = -4, p.Face = fcHurt, p.Hair = hcSwayBack; }),
                             with([](TPose& p) { p.Head = 10, p.Torso = 4, p.Face = fcHurt, p.Hair = hcSwayForward; }), 4, 0.15);
    case atDeath: return Keys({with([](TPose& p) { p.Face = fcHurt, p.Torso = -14; }), Lying(s, fcSleep), Lying(s, fcSleep)}, 2, 0.14);
    case atDeathStand: return Keys({Lying(s, fcSleep), with([](TPose& p) { p.Torso = 24, p.Y = 4; }), with([](TPose& p) { p.Face = fcSmile; })}, 2, 0.12);
    case atItemGain: return Keys({rest, with([](TPose& p) { p.Torso = 40, p.ArmNear = 70, p.Head = 10, p.Y = 3, p.HideWeapons = true; })}, 2, 0.1);
    case atItemGainStandUp: return Keys({with([](TPose& p) { p.Torso = 40, p.ArmNear = 70, p.Y = 3, p.HideWeapons = true; }),
                                         with([](TPose& p) { p.ArmNear = 165, p.Face = fcSmile, p.HideWeapons = true; })}, 2, 0.12);
    case atSitDown: return Keys({rest, Seated(s, false)}, 3, 0.1);
    case atSitDownWait: return Loop(Seated(s, false), with([&](TPose& p) { p = Seated(s, false), p.Y += 1, p.Face = fcBlink; }), 2, 0.2);
    case atStandUp: return Keys({Seated(s, false), rest}, 3, 0.1);
    case atSitDownChair: return Keys({rest, Seated(s, true)}, 2, 0.1);
    case atSitDownWaitChair: return Loop(Seated(s, true), with([&](TPose& p) { p = Seated(s, true), p.Head = 6; }), 2, 0.2);
    case atStandUpChair: return Keys({Seated(s, true), rest}, 2, 0.1);
    case atEnchantProgress: return Loop(with([](TPose& p) { p.ArmNear = 70, p.ArmFar = 75, p.HideWeapons = true; }),
                                        with([](TPose& p) { p.ArmNear = 80, p.ArmFar = 85, p.Y = -2, p.HideWeapons = true, p.Face = fcBlink; }), 4, 0.12);
    case atEnchantSuccess: return Keys({rest, with([](TPose& p) { p.ArmNear = 170, p.ArmFar = 175, p.Y = -8, p.Face = fcSmile, p.Hair = hcHang; }), rest}, 2, 0.1);
    case atEnchantFailure: return Keys({rest, with([](TPose& p) { p.Torso = 20, p.Head = 20, p.ArmNear = -5, p.ArmFar = -10, p.Face = fcHurt; })}, 3, 0.14);
    case atSleep: return Loop(Lying(s, fcSleep), with([&](TPose& p) { p = Lying(s, fcSleep), p.Y += 1; }), 2, 0.2);
    case atFishingThrow: return Attack(s, 0, 1, false);
    case atFishinfWait: return Loop(with([](TPose& p) { p.ArmNear = 60, p.Weapon = -50; }), with([](TPose& p) { p.ArmNear = 64, p.Weapon = -46, p.Face = fcBlink; }), 2, 0.2);
    case atFishingStand: return Loop(with([](TPose& p) { p.ArmNear = 40, p.ArmFar = 30, p.HideWeapons = true; }),
                                     with([](TPose& p) { p.ArmNear = 42, p.ArmFar = 32, p.Y = 0.6, p.HideWeapons = true; }), 2, 0.2);
    default: return Stand(s, motion);
  }
}

}  // namespace

const std::vector<int32_t> MotionTypes = {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 31};

TWeaponMotions WeaponMotionTypes(int32_t Kind) {
  switch (Kind) {
    case 1: case 20: return {16};
    case 2: case 3: case 7: return {11, 21, 31};
    case 18: case 24: return {11, 21};
    case 19: return {11};
    case 4: case 25: case 26: return {12};
    case 5: case 11: case 13: case 21: case 22: case 27: return {15};
    case 6: return {17};
    case 8: return {13};
    case 9: return {14};
    case 10: case 15: case 17: return {19};
    case 14: return {18};
    case 16: return {20};
    default: return {1};
  }
}

std::vector<TSeqFrame> AnimationFrames(int32_t MotionType, TAnimationType Kind) { return Build(Specs(MotionType, Kind)); }

std::vector<TSeqFrame> EmoticonFrames(int32_t Number) {
  const TStyle s = StyleOf(1);
  TPose a = Rest(s), b = Rest(s);
  a.HideWeapons = b.HideWeapons = true;
  const double amount = 1 + 0.2 * ((Number / 8) % 3);
  const double time = 0.08 + 0.02 * ((Number / 8) % 5);
  switch ((Number - 1) % 8) {
    case 0: a.ArmNear = 110, b.ArmNear = 110 + 25 * amount, a.Face = b.Face = fcSmile; break;          // wave
    case 1: a.Head = -4, b.Head = 12 * amount; break;                                                  // nod
    case 2: a.Head = -8 * amount, b.Head = 8 * amount, b.Face = fcBlink; break;                        // no no
    case 3: b.Y = -9 * amount, b.ArmNear = b.ArmFar = 170, b.Face = fcSmile, b.Hair = hcHang; break;   // joy
    case 4: b.Torso = 30 * amount, b.Head = 10, b.Face = fcBlink; break;                               // bow
    case 5: b.Mirror = true; break;                                                                    // look round
    case 6: a.ArmNear = 62, a.ArmFar = 80, b.ArmNear = 78, b.ArmFar = 64, b.Face = fcSmile; break;     // clap
    default: b.Head = 16 * amount, b.Torso = 6, a.Face = fcBlink, b.Face = fcSleep; break;             // sleepy
  }
  return Build(Loop(a, b, 4 + (Number % 3) * 2, time));
}

std::vector<uint8_t> SequenceFile(const std::vector<TSeqFrame>& Frames) {
  TSeqHeader header;
  for (const TSeqFrame& frame : Frames) header.TotalTime += frame.Time;
  return WriteSeq(header, Frames);
}

}  // namespace varune::demo
