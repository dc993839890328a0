// Body, faces and hair of the demo figure.

#include <algorithm>
#include <cmath>

#include "demo/art.h"

namespace varune::demo {

const uint32_t SkinTones[kSkinTones] = {0xFFE6D2, 0xF7CFA6, 0xD9A06E, 0x9C6642};
const uint32_t HairColors[kHairColors] = {0x6E4A36, 0xA0602E, 0xF2CC62, 0xA9BCE0, 0xF28DB4};
const uint32_t EyeColors[kEyeColors] = {0xB0703A, 0x3A7CDC, 0x36A25E, 0xD23E48, 0x8E52D0};

namespace {

// The head's centre and radii, in the head frame (pivot at the neck).
constexpr double kHx = kHeadCenterX, kHy = kHeadCenterY, kHrx = 16.5, kHry = 15;
constexpr TColor32 kInk = 0xFF2A1A2E;

TMask HeadMask(const TArtCanvas& c) {
  TMask head = c.Ellipse(kHx, kHy, kHrx, kHry);
  head |= c.Ellipse(kHx - 3, kHy + 6, 12, 9.5);  // round cheeks, towards the front
  return head;
}

}  // namespace

TArt DrawBody(int32_t Tone) {
  const TShade skin = MakeShade(SkinTones[Tone]);
  TArt art;
  {
    TArtCanvas c(22, 34, 22, 4);
    c.Paint(HeadMask(c), skin);
    c.Paint(c.Ellipse(kHx + 12, kHy + 1, 3, 4), skin, true);  // ear
    c.Dot(11, -14, skin.Dark);
    art.Single(lyHead, c.Finish());
  }
  {
    TArtCanvas c(10, 20, 10, 4);
    c.Paint(c.Poly({{-4, -18}, {4, -18}, {7, -15}, {6, 0}, {6.5, 2.5}, {-6.5, 2.5}, {-6, 0}, {-7, -15}}), skin);
    art.Single(lyTorso, c.Finish());
  }
  for (int32_t layer : {lyArmNear, lyArmFar}) {
    TArtCanvas c(5, 2, 5, 17);
    c.Paint(c.Capsule(0, 1.5, 0, 10, 4.6), layer == lyArmNear ? skin : MakeShade(MixRgb(SkinTones[Tone], 0x806070, 0.12)));
    c.Paint(c.Ellipse(0, 12, 3.2, 3.2), skin);
    art.Single(layer, c.Finish());
  }
  for (int32_t layer : {lyLegNear, lyLegFar}) {
    TArtCanvas c(7, 2, 6, 22);
    const TShade s = layer == lyLegNear ? skin : MakeShade(MixRgb(SkinTones[Tone], 0x806070, 0.12));
    c.Paint(c.Capsule(0, 1, 0, 16, 6), s);
    // Plain shoes: boots and stockings cover them.
    c.Paint(c.Ellipse(-1.5, 18, 4.3, 2.7), MakeShade(layer == lyLegNear ? 0x6A4A3C : 0x5A3E34));
    art.Single(layer, c.Finish());
  }
  art.MainIndex = 0;
  return art;
}

TArt DrawFace(TGenderArt Gender, int32_t Design, int32_t EyeColor) {
  const TShade iris = MakeShade(EyeColors[EyeColor]);
  const bool female = Gender == gaFemale;
  // Eye boxes: the far eye by the edge of the face is narrower.
  struct TEye {
    int32_t X, W;
  };
  const TEye eyes[2] = {{-14, 3}, {-6, 5}};
  const int32_t top = -15 + (Design == 1 ? 2 : 0), bottom = -8;
  const int32_t mouthX = -10, mouthY = -3;

  auto openEyes = [&](TArtCanvas& c) {
    for (const TEye& e : eyes) {
      for (int32_t x = e.X; x < e.X + e.W; ++x)
        for (int32_t y = top + 1; y <= bottom; ++y) {
          TColor32 color = y < top + 3 ? iris.Dark : y >= bottom - 1 ? iris.Light : iris.Base;
          if (x == e.X + e.W - 1 && y > top + 1) color = 0xFFFFFFFF;  // white towards the nose side
          c.Dot(x, y, color);
        }
      c.Dot(e.X + e.W / 2, top + 3, iris.Line);  // pupil
      c.Dot(e.X + e.W / 2, top + 4, iris.Line);
      c.Dot(e.X, top + 2, 0xFFFFFFFF);  // glint
      if (e.W > 3) c.Dot(e.X + 1, top + 2, 0xFFFFFFFF);
      c.Line(e.X - 1, top, e.X + e.W, top, kInk);  // upper lash line
      if (Design == 2) c.Line(e.X, bottom + 1, e.X + e.W - 1, bottom + 1, iris.Dark);  // soft lower lid
      if (female) c.Line(e.X - 2, top - 1, e.X - 1, top, kInk);  // lash flick
      c.Line(e.X, top - 3, e.X + e.W - 1, top - 3 - (Design == 1 ? 1 : 0), 0xFF5A3A30);  // brow
    }
  };
  auto closedEyes = [&](TArtCanvas& c, bool smile) {
    for (const TEye& e : eyes) {
      const int32_t y = bottom - 2;
      for (int32_t x = e.X - 1; x <= e.X + e.W; ++x) {
        const bool edge = x == e.X - 1 || x == e.X + e.W;
        c.Dot(x, smile ? y - 1 + (edge ? 1 : 0) : y + (edge ? -1 : 0), kInk);
      }
    }
  };
  auto blush = [&](TArtCanvas& c) {
    c.Dot(-15, -6, 0xFFF4A0A8);
    c.Dot(-4, -6, 0xFFF4A0A8);
    c.Dot(-3, -6, 0xFFF4A0A8);
  };
  auto mouth = [&](TArtCanvas& c, int32_t kind) {
    const TColor32 m = 0xFF8A3A3E;
    switch (kind) {
      case 0: c.Line(mouthX, mouthY, mouthX + 1, mouthY, m); break;                  // calm
      case 1:                                                                           // open smile
        c.Line(mouthX - 1, mouthY - 1, mouthX + 2, mouthY - 1, m);
        c.Line(mouthX, mouthY, mouthX + 1, mouthY, 0xFFE0606A);
        break;
      case 2: c.Dot(mouthX, mouthY, m), c.Dot(mouthX + 1, mouthY - 1, m), c.Dot(mouthX + 2, mouthY, m); break;  // ouch
      default: c.Dot(mouthX + 1, mouthY, m); break;                                     // asleep
    }
  };

  TArt art;
  auto cell = [&](auto&& draw) {
    TArtCanvas c(20, 24, 6, 2);
    draw(c);
    return art.Add(c.Finish(false));
  };
  const int32_t neutral = cell([&](TArtCanvas& c) {
    openEyes(c);
    blush(c);
    mouth(c, 0);
  });
  const int32_t blink = cell([&](TArtCanvas& c) {
    closedEyes(c, false);
    blush(c);
    mouth(c, 0);
  });
  const int32_t hurt = cell([&](TArtCanvas& c) {
    for (const TEye& e : eyes) {  // squeezed shut: > <
      const int32_t cx = e.X + e.W / 2, cy = (top + bottom) / 2 + 1;
      c.Line(cx - 2, cy - 2, cx, cy, kInk);
      c.Line(cx, cy, cx - 2, cy + 2, kInk);
    }
    mouth(c, 2);
  });
  const int32_t sleep = cell([&](TArtCanvas& c) {
    closedEyes(c, false);
    blush(c);
    mouth(c, 3);
  });
  const int32_t smile = cell([&](TArtCanvas& c) {
    closedEyes(c, true);
    blush(c);
    mouth(c, 1);
  });
  art.Layers.push_back({lyFace, {{fcNeutral, neutral}, {fcBlink, blink}, {fcHurt, hurt}, {fcSleep, sleep},
                                 {fcSmile, smile}}});
  art.MainIndex = neutral;
  return art;
}

namespace {

// One hair style: the cap and bangs in front of the face, and the shape
// behind the head, which sways by (Sx, Sy) at its lowest point.
struct THairStyle {
  int32_t Spikes;      // spikes on the crown
  double BangsLength;  // how far the bangs fall over the forehead
  bool SweptBangs;     // one long lock over the front eye
  bool OpenForehead;
  enum TBack { bkNape, bkMedium, bkLong, bkPonytail, bkTwinTails, bkBob, bkBun, bkWavy, bkCrest } Back;
  double Length;       // of the long parts below the neck
};

const THairStyle MaleStyles[kHairStyles] = {
    {4, 3, false, false, THairStyle::bkNape, 0},       {0, 4, false, false, THairStyle::bkMedium, 4},
    {0, 5, true, false, THairStyle::bkNape, 0},        {1, 3, false, false, THairStyle::bkPonytail, 10},
    {0, 4, false, false, THairStyle::bkLong, 14},      {0, 0, false, true, THairStyle::bkMedium, 0},
    {0, 2, false, true, THairStyle::bkCrest, 0},
};
const THairStyle FemaleStyles[kHairStyles] = {
    {0, 5, false, false, THairStyle::bkLong, 26},      {0, 4, false, false, THairStyle::bkTwinTails, 22},
    {0, 5, false, false, THairStyle::bkBob, 2},        {0, 4, true, false, THairStyle::bkPonytail, 20},
    {0, 4, false, false, THairStyle::bkWavy, 22},      {0, 3, false, false, THairStyle::bkBun, 0},
    {0, 6, false, false, THairStyle::bkLong, 34},
};

TCell DrawHairFront(const THairStyle& style, const TShade& shade) {
  TArtCanvas c(24, 40, 24, 4);
  TMask cap = c.Ellipse(kHx + 0.5, kHy - 2, kHrx + 1.5, kHry + 1.5);
  // The hairline: high over the face, down to the ear at the back.
  TMask keep = c.HalfPlane(kHy - (style.OpenForehead ? 8 : 5), false);
  keep |= c.Poly({{kHx + 5, kHy - 8}, {kHx + 20, kHy - 8}, {kHx + 20, kHy + 4}, {kHx + 8, kHy + 2}});
  cap &= keep;
  for (int32_t i = 0; i < style.Spikes; ++i) {
    const double x = kHx - 10 + i * 7;
    cap |= c.Poly({{x - 4, kHy - 13}, {x + 4, kHy - 13}, {x + 5, kHy - 23 - (i % 2) * 2}});
  }
  if (style.BangsLength > 0) {
    // Locks over the forehead, pointing down, longer towards the front.
    for (int32_t i = 0; i < 5; ++i) {
      const double x = kHx - 15 + i * 4.5, len = style.BangsLength + (i % 2 ? 0 : 2) - i * 0.4 - 1.5;
      cap |= c.Poly({{x - 3, kHy - 6}, {x + 3.5, kHy - 6}, {x + 0.5, kHy - 5 + len}});
    }
    if (style.SweptBangs) cap |= c.Poly({{kHx - 17, kHy - 8}, {kHx - 4, kHy - 9}, {kHx - 16, kHy + 4}});
  }
  c.Paint(cap, shade);
  // The shine band across the crown.
  for (int32_t x = -12; x <= 4; ++x) {
    const int32_t y = static_cast<int32_t>(std::lround(kHy - 11 - 0.02 * (x + 4) * (x + 4)));
    if (c.Has(cap, x, y)) c.Dot(x, y, shade.Light);
    if (x % 3 == 0 && c.Has(cap, x, y + 1)) c.Dot(x, y + 1, shade.Light);
  }
  // Strands.
  for (int32_t i = 0; i < 4; ++i) {
    const int32_t x = -12 + i * 5;
    c.Line(x + 2, static_cast<int32_t>(kHy) - 10, x, static_cast<int32_t>(kHy) - 6, shade.Dark);
  }
  return c.Finish();
}

TCell DrawHairBack(const THairStyle& style, const TShade& shade, double sx, double sy, bool tucked) {
  TArtCanvas c(34, 44, 38, 46);
  const double len = tucked ? style.Length * 0.45 : style.Length;
  // Lower points of the long parts move with the sway, in proportion to depth.
  auto sway = [&](double x, double y) {
    const double depth = std::clamp((y - kHy) / (len + 16), 0.0, 1.0);
    return TPt{x + sx * depth, y + sy * depth};
  };
  TMask back = c.Ellipse(kHx + 2, kHy - 1, kHrx + 1, kHry + 1.5);
  switch (style.Back) {
    case THairStyle::bkNape:
      back |= c.Poly({sway(kHx + 4, kHy), sway(kHx + 18, kHy - 4), sway(kHx + 16, kHy + 10), sway(kHx + 8, kHy + 14)});
      break;
    case THairStyle::bkMedium:
      back |= c.Poly({sway(kHx - 8, kHy), sway(kHx + 18, kHy - 6), sway(kHx + 19, kHy + 12 + len),
                      sway(kHx + 12, kHy + 9 + len), sway(kHx + 6, kHy + 13 + len), sway(kHx - 4, kHy + 10)});
      break;
    case THairStyle::bkLong:
    case THairStyle::bkWavy: {
      std::vector<TPt> pts = {sway(kHx - 10, kHy - 4), sway(kHx + 17, kHy - 6), sway(kHx + 20, kHy + 10)};
      const double bottom = kHy + 14 + len;
      const int32_t waves = style.Back == THairStyle::bkWavy ? 4 : 0;
      for (int32_t i = 0; i <= waves; ++i) {
        const double t = waves ? double(i) / waves : 0;
        pts.push_back(sway(kHx + 19 - t * 2 + (i % 2 ? 3 : 0), kHy + 10 + (bottom - kHy - 10) * t));
      }
      pts.push_back(sway(kHx + 16, bottom));
      pts.push_back(sway(kHx + 8, bottom - 3));
      pts.push_back(sway(kHx + 1, bottom));
      pts.push_back(sway(kHx - 3, kHy + 12 + len * 0.6));
      pts.push_back(sway(kHx - 9, kHy + 10));
      back |= c.Poly(pts);
      break;
    }
    case THairStyle::bkPonytail: {
      back |= c.Ellipse(kHx + 14, kHy - 8, 4, 4);
      const double tip = kHy - 4 + len;
      back |= c.Poly({sway(kHx + 14, kHy - 11), sway(kHx + 22, kHy - 6), sway(kHx + 24, tip - 4),
                      sway(kHx + 20, tip), sway(kHx + 16, tip - 6), sway(kHx + 12, kHy - 5)});
      break;
    }
    case THairStyle::bkTwinTails:
      for (double side : {-1.0, 1.0}) {
        const double x = kHx + side * 15, tip = kHy - 4 + len;
        back |= c.Poly({sway(x - 4, kHy - 12), sway(x + 4, kHy - 12), sway(x + 6 + side, tip - 6), sway(x + side * 2, tip),
                        sway(x - 5 + side, tip - 8)});
      }
      break;
    case THairStyle::bkBob:
      back |= c.Poly({sway(kHx - 16, kHy - 2), sway(kHx + 18, kHy - 4), sway(kHx + 19, kHy + 12 + len),
                      sway(kHx - 6, kHy + 12 + len), sway(kHx - 16, kHy + 6)});
      break;
    case THairStyle::bkBun:
      back |= c.Ellipse(kHx + 8, kHy - 16, 7, 6.5);
      back |= c.Poly({sway(kHx + 4, kHy), sway(kHx + 18, kHy - 4), sway(kHx + 15, kHy + 10), sway(kHx + 6, kHy + 12)});
      break;
    case THairStyle::bkCrest:
      back |= c.Poly({{kHx - 6, kHy - 14}, {kHx + 2, kHy - 24}, {kHx + 12, kHy - 22}, {kHx + 20, kHy - 12},
                      {kHx + 14, kHy - 8}});
      break;
  }
  c.Paint(back, shade);
  if (style.Back == THairStyle::bkTwinTails || style.Back == THairStyle::bkPonytail) {
    // Hair ties.
    const TShade tie = MakeShade(0xE84060);
    if (style.Back == THairStyle::bkPonytail) c.Paint(c.Ellipse(kHx + 15, kHy - 8, 2.2, 2.2), tie);
    else
      for (double side : {-1.0, 1.0}) c.Paint(c.Ellipse(kHx + side * 15, kHy - 11, 2.4, 2.2), tie);
  }
  // Strands down the long parts.
  for (int32_t i = 0; i < 3 && len > 6; ++i) {
    const TPt a = sway(kHx + 8 + i * 4, kHy + 6), b = sway(kHx + 9 + i * 4, kHy + 6 + len);
    c.Line(static_cast<int32_t>(a.X), static_cast<int32_t>(a.Y), static_cast<int32_t>(b.X),
           static_cast<int32_t>(b.Y) - 2, shade.Dark);
  }
  return c.Finish();
}

}  // namespace

TArt DrawHair(TGenderArt Gender, int32_t Style, int32_t Color) {
  const THairStyle& style = (Gender == gaMale ? MaleStyles : FemaleStyles)[Style];
  const TShade shade = MakeShade(HairColors[Color]);
  TArt art;
  art.Single(lyHairFront, DrawHairFront(style, shade));
  art.MainIndex = 0;
  // Sways of the back hair, by cell: rest, back, further back, forwards, lifted, hanging.
  struct TSway {
    int32_t Cell;
    double Sx, Sy;
  };
  const TSway sways[] = {{hcRest, 0, 0},         {hcSwayBack, 4, -1}, {hcSwayMore, 9, -4},
                         {hcSwayForward, -4, 0}, {hcLifted, 2, -9},   {hcHang, 0, 3}};
  TArt::TLayerCells back{lyHairBack, {}};
  for (int32_t set = 0; set < 2; ++set) {
    int32_t rest = -1;
    for (const TSway& s : sways) {
      const int32_t index = art.Add(DrawHairBack(style, shade, s.Sx, s.Sy, set == 1));
      if (s.Cell == hcRest) {
        rest = index;
        // Cells 1 to 6 fold onto 1 when looked up: they show the rest pose.
        for (int32_t cell = 0; cell <= 6; ++cell) back.Cells.push_back({set * kHairSetSize + cell, rest});
      } else {
        back.Cells.push_back({set * kHairSetSize + s.Cell, index});
      }
    }
  }
  std::sort(back.Cells.begin(), back.Cells.end());
  art.Layers.push_back(std::move(back));
  return art;
}

}  // namespace varune::demo
