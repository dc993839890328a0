#include "demo/figure.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace varune::demo {
namespace {

struct TVec {
  double X = 0, Y = 0;
  TVec operator+(TVec o) const { return {X + o.X, Y + o.Y}; }
  TVec operator-(TVec o) const { return {X - o.X, Y - o.Y}; }
};

// Clockwise on screen for positive degrees, as the renderer turns cells.
TVec Rot(TVec p, double degrees) {
  const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  return {p.X * c - p.Y * s, p.X * s + p.Y * c};
}

}  // namespace

const std::array<TLayer, 34> FrameOrder = {
    lyWeapon, lyRing, lyGloveNear, lySleeveNear, lyArmNear, lyHat, lyHairFront, lyGlasses, lyMakeup, lyFace,
    lyEarring, lyHead, lyShield, lyCloakFront, lyTops, lyBottoms, lyBottomsNear, lyBootNear, lyStockingNear,
    lyLegNear, lyTorso, lyHairBack, lyBottomsFar, lyBootFar, lyStockingFar, lyLegFar, lyOffhand, lyGloveFar,
    lySleeveFar, lyArmFar, lyBackWeapon, lyBackShield, lyCloakBack, lyStone};

TPose Lerp(const TPose& A, const TPose& B, double T) {
  auto mix = [T](double a, double b) { return a + (b - a) * T; };
  TPose p = T < 0.5 ? A : B;  // cells and flags switch half way
  p.X = mix(A.X, B.X), p.Y = mix(A.Y, B.Y), p.Body = mix(A.Body, B.Body), p.Torso = mix(A.Torso, B.Torso);
  p.Head = mix(A.Head, B.Head), p.ArmNear = mix(A.ArmNear, B.ArmNear), p.ArmFar = mix(A.ArmFar, B.ArmFar);
  p.LegNear = mix(A.LegNear, B.LegNear), p.LegFar = mix(A.LegFar, B.LegFar);
  p.Weapon = mix(A.Weapon, B.Weapon), p.Offhand = mix(A.Offhand, B.Offhand), p.Cloak = mix(A.Cloak, B.Cloak);
  p.StoneY = mix(A.StoneY, B.StoneY);
  return p;
}

std::vector<TSeqLayer> PoseLayers(const TPose& Pose) {
  const TVec root{Pose.X, Pose.Y}, waist{0, kWaistY};
  // A point of the figure standing upright, then turned about the waist.
  auto place = [&](TVec local) { return root + waist + Rot(local - waist, Pose.Body); };
  auto inTorso = [&](TVec q) { return place(waist + Rot(q, Pose.Torso)); };
  const double upper = Pose.Body + Pose.Torso;

  const TVec neck = inTorso({0, kNeckY});
  const TVec shoulderNear = inTorso({-kShoulderX, kShoulderY}), shoulderFar = inTorso({kShoulderX - 1, kShoulderY});
  const double armNear = upper + Pose.ArmNear, armFar = upper + Pose.ArmFar;
  const TVec handNear = shoulderNear + Rot({0, kArmLength}, armNear);
  const TVec handFar = shoulderFar + Rot({0, kArmLength}, armFar);
  const TVec hipNear = place({-kHipX, kWaistY}), hipFar = place({kHipX, kWaistY});
  const TVec torso = place(waist);
  const TVec back = inTorso({6, kShoulderY - 1});
  const TVec stone = place({17, kWaistY - 26 + Pose.StoneY});

  struct TJoint {
    TVec At;
    double Angle;
  };
  auto joint = [&](TLayer layer) -> TJoint {
    switch (layer) {
      case lyWeapon: return {handNear, upper + Pose.Weapon};
      case lyRing: case lyGloveNear: case lySleeveNear: case lyArmNear: return {shoulderNear, armNear};
      case lyHat: case lyHairFront: case lyGlasses: case lyMakeup: case lyFace: case lyEarring: case lyHead:
      case lyHairBack:
        return {neck, upper + Pose.Head};
      case lyShield: case lyOffhand: return {handFar, upper + Pose.Offhand};
      case lyCloakFront: case lyTops: case lyBottoms: case lyTorso: return {torso, upper};
      case lyBottomsNear: case lyBootNear: case lyStockingNear: case lyLegNear:
        return {hipNear, Pose.Body + Pose.LegNear};
      case lyBottomsFar: case lyBootFar: case lyStockingFar: case lyLegFar: return {hipFar, Pose.Body + Pose.LegFar};
      case lyGloveFar: case lySleeveFar: case lyArmFar: return {shoulderFar, armFar};
      case lyBackWeapon: case lyBackShield: return {back, upper};
      case lyCloakBack: return {neck, upper + Pose.Cloak};
      case lyStone: return {stone, 0};
    }
    return {root, 0};
  };

  std::vector<TLayer> order(FrameOrder.begin(), FrameOrder.end());
  if (Pose.ArmBehind) {
    // The arm's five layers go right behind the head.
    const auto arm = order.begin(), armEnd = order.begin() + 5, head = std::find(order.begin(), order.end(), lyHead);
    std::rotate(arm, armEnd, head + 1);
  }
  std::vector<TSeqLayer> layers;
  layers.reserve(order.size());
  for (TLayer layer : order) {
    TJoint j = joint(layer);
    int32_t cell = 0;
    if (layer == lyFace) cell = Pose.Face;
    if (layer == lyHairBack) cell = Pose.Hair;
    uint32_t visible = 1;
    if (Pose.HideWeapons && (layer == lyWeapon || layer == lyOffhand || layer == lyShield)) visible = 0;
    if (Pose.Mirror) {
      j.At.X = -j.At.X;
      j.Angle = -j.Angle;
      if (visible) visible = 0x100;
    }
    layers.push_back({layer, cell + 1, static_cast<int32_t>(std::lround(j.Angle)),
                      static_cast<int32_t>(std::lround(j.At.X)), static_cast<int32_t>(std::lround(j.At.Y)), visible});
  }
  return layers;
}

}  // namespace varune::demo
