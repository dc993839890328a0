#pragma once
// The demo figure: its sprite layers, its skeleton, and how a pose becomes
// the layers of one sequence frame.
//
// The figure faces left. Every part is drawn once, in the coordinates of the
// joint it turns about (its pivot); sequences move and turn the parts, so
// art and animation meet only in the joint positions defined here.

#include <array>
#include <cstdint>
#include <vector>

#include "formats/seq.h"

namespace varune::demo {

// Sequence layer numbers of the figure's parts.
enum TLayer : int32_t {
  lyWeapon = 1, lyRing = 2, lyGloveNear = 3, lySleeveNear = 4, lyArmNear = 5, lyHat = 6, lyHairFront = 7,
  lyGlasses = 8, lyMakeup = 9, lyEarring = 10, lyHead = 11, lyShield = 12, lyOffhand = 13, lyCloakFront = 14,
  lyStone = 15, lyTops = 16, lyBottoms = 17, lyBottomsNear = 18, lyBootNear = 19, lyStockingNear = 20, lyLegNear = 21,
  lyTorso = 22,
  lyHairBack = 23,  // two sets of 12 cells; the second one under brimmed hats
  lyFace = 24,      // expressions at cells 0, 3, 6, 9 and 11
  lyBottomsFar = 25, lyBootFar = 26, lyStockingFar = 27, lyLegFar = 28, lyGloveFar = 29, lySleeveFar = 30,
  lyArmFar = 31, lyBackWeapon = 32, lyBackShield = 33, lyCloakBack = 34,
};

// Every layer, front first: the order of the layers in each frame.
extern const std::array<TLayer, 34> FrameOrder;

// Face cells (layer 24).
enum TFaceCell : int32_t { fcNeutral = 0, fcBlink = 3, fcHurt = 6, fcSleep = 9, fcSmile = 11 };
// Back hair cells (layer 23, first set; the second set adds 12).
enum THairCell : int32_t { hcRest = 0, hcSwayBack = 7, hcSwayMore = 8, hcSwayForward = 9, hcLifted = 10, hcHang = 11 };
inline constexpr int32_t kHairSetSize = 12;

// The skeleton standing, relative to the feet; y grows downwards.
inline constexpr double kWaistY = -20;        // the body turns about the waist
inline constexpr double kNeckY = -17;         // above the waist, in the torso's frame
inline constexpr double kShoulderX = 5, kShoulderY = -14;
inline constexpr double kHipX = 3;
inline constexpr double kArmLength = 12;      // shoulder to the centre of the hand
inline constexpr double kLegLength = 20;      // hip to sole
inline constexpr double kHeadCenterX = -1, kHeadCenterY = -15;  // from the neck

// One pose of the figure. Angles in degrees, positive clockwise on screen:
// a positive arm or leg angle swings it forwards.
struct TPose {
  double X = 0, Y = 0;   // offset of the whole figure
  double Body = 0;       // the whole figure about the waist (lying down, spins)
  double Torso = 0;      // the upper body, its lean
  double Head = 0;
  double ArmNear = 8, ArmFar = -6;
  double LegNear = 0, LegFar = 0;
  double Weapon = -30, Offhand = -30;  // held items, in the upper body's frame
  double Cloak = 0;
  double StoneY = 0;
  int32_t Face = fcNeutral;
  int32_t Hair = hcRest;
  bool Mirror = false;       // faces right
  bool HideWeapons = false;  // put away (ladders, sitting)
  bool ArmBehind = false;    // the near arm and its weapon pass behind the head (wind-ups)
};

TPose Lerp(const TPose& A, const TPose& B, double T);

// The frame's layers for a pose, in FrameOrder.
std::vector<TSeqLayer> PoseLayers(const TPose& Pose);

}  // namespace varune::demo
