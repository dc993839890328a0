// Clothes and accessories of the demo figure.

#include <cmath>
#include <numbers>

#include "demo/art.h"

namespace varune::demo {
namespace {

constexpr double kHx = kHeadCenterX, kHy = kHeadCenterY;

TShade Shade(uint32_t rgb) { return MakeShade(rgb); }

// ---- Tops -------------------------------------------------------------------

struct TTopsShape {
  double Hem;        // below the waist
  double Flare;      // how much wider the hem is
  int32_t Sleeve;    // 0 short, 1 long, 2 wide, 3 puffed
  bool Belt, Collar, Pads, Vest, Buttons, Hood, Wrap, Frills, Sailor;
};

const TTopsShape TopsShapes[] = {
    {0, 0, 0, false, true, false, false, false, false, false, false, false},  // t-shirt
    {4, 1, 1, true, false, false, false, false, false, false, false, false},  // tunic
    {1, 0, 1, false, false, false, true, false, false, false, false, false},  // vest over a shirt
    {0, 0, 3, false, true, false, false, false, false, false, true, false},   // blouse with ribbon
    {0, 0, 1, false, false, false, false, false, false, false, false, true},  // sailor top
    {1, 0, 1, false, true, false, false, false, false, false, false, false},  // sweater
    {1, 0, 1, true, false, true, false, false, false, false, false, false},   // breastplate
    {15, 6, 2, true, false, false, false, false, false, false, false, false}, // robe
    {10, 3, 1, true, true, false, false, true, false, false, false, false},   // coat
    {11, 7, 3, false, true, false, false, false, false, false, true, false},  // dress
    {5, 2, 2, true, false, false, false, false, false, true, false, false},   // kimono
    {1, 0, 1, false, false, false, false, false, true, false, false, false},  // hoodie
};

TArt DrawTops(int32_t Design, const TColors& colors) {
  const TTopsShape& s = TopsShapes[Design];
  const TShade main = Shade(colors.Main), second = Shade(colors.Second), accent = Shade(colors.Accent);
  TArt art;
  {
    TArtCanvas c(16, 22, 16, 24);
    if (s.Hood) c.Paint(c.Ellipse(4, -18, 7, 4), main);
    const double hem = 2.5 + s.Hem;
    TMask body = c.Poly({{-4.5, -18.5}, {4.5, -18.5}, {8.5, -15.5}, {7.5, -1}, {8 + s.Flare, hem}, {-8 - s.Flare, hem},
                         {-7.5, -1}, {-8.5, -15.5}});
    c.Paint(body, s.Pads ? main : main);
    if (s.Vest) {
      c.Paint(c.Poly({{-4.5, -18}, {-1, -18}, {-2, 3}, {-7, 3}, {-7.5, -15}}) , second);
      c.Paint(c.Poly({{-1, -18}, {1.5, -18}, {0.5, 3}, {-2, 3}}), Shade(0xF4F0E8));
    }
    if (s.Pads) {  // plates with rivets
      c.Paint(c.Poly({{-7, -15}, {7, -15}, {6, -4}, {0, -2}, {-6, -4}}), main, true);
      c.Dot(-4, -12, main.Light), c.Dot(3, -12, main.Light);
    }
    if (s.Wrap) {
      c.Line(-4, -18, 2, -8, main.Line);
      c.Line(-3, -18, 3, -8, accent.Base);
    }
    if (s.Belt) {
      c.Paint(c.Rect(-7.5, -3, 7.5, 0.5), s.Wrap ? accent : second, true);
      if (!s.Wrap) c.Paint(c.Rect(-3, -3.5, 0, 1), Shade(0xE8C050), true);
    }
    if (s.Buttons)
      for (int32_t y = -14; y <= 6; y += 4) c.Dot(-2, y, accent.Base);
    if (s.Collar) c.Paint(c.Poly({{-5, -19}, {5, -19}, {3, -16}, {0, -14}, {-3, -16}}), s.Frills ? second : main, true);
    if (s.Frills) {
      c.Paint(c.Ellipse(-2, -14, 2.5, 2), accent);  // ribbon
      c.Paint(c.Poly({{-2, -14}, {-5, -10}, {-3, -10}}), accent);
      c.Paint(c.Poly({{-2, -14}, {0, -10}, {1, -11}}), accent);
      if (s.Hem > 4)
        for (int32_t x = -14; x <= 13; x += 3) c.Dot(x, static_cast<int32_t>(hem) - 1, second.Light);
    }
    if (s.Sailor) {
      c.Paint(c.Poly({{-4, -19}, {6, -19}, {9, -11}, {3, -13}}), second, true);
      c.Paint(c.Poly({{-3, -15}, {0, -15}, {-1, -8}, {-3, -9}}), accent, true);
    }
    if (s.Hood) c.Paint(c.Ellipse(3, -9, 2.5, 2), main, true);
    TCell cell = c.Finish();
    art.Single(lyTops, std::move(cell));
    art.MainIndex = 0;
  }
  for (int32_t layer : {lySleeveNear, lySleeveFar}) {
    TArtCanvas c(8, 3, 8, 16);
    const TShade& sleeve = s.Vest ? second : main;
    switch (s.Sleeve) {
      case 0: c.Paint(c.Capsule(0, 1, 0, 4.5, 7), sleeve); break;
      case 1: c.Paint(c.Capsule(0, 1, 0, 9.2, 6.2), sleeve); break;
      case 2: c.Paint(c.Poly({{-3.5, -0.5}, {3.5, -0.5}, {5.5, 12}, {-4.5, 12}}), sleeve); break;
      default: c.Paint(c.Ellipse(0, 3, 4.6, 4), sleeve); break;
    }
    if (s.Pads) c.Paint(c.Ellipse(0, 1.5, 5, 4), Shade(colors.Main), true);
    if (s.Sleeve == 1 && (s.Belt || s.Collar)) c.Paint(c.Rect(-3.2, 8, 3.2, 10), accent);
    if (s.Sleeve == 2) c.Paint(c.Rect(-4.5, 10, 5.5, 12), accent);
    art.Single(layer, c.Finish());
  }
  return art;
}

// ---- Bottoms ----------------------------------------------------------------

struct TBottomsShape {
  double LegLength;  // 0: no leg pieces
  double LegWidth;
  double Skirt;      // skirt length below the waist, 0: none
  bool Plates, Frills, Pleats;
};

const TBottomsShape BottomsShapes[] = {
    {8, 7.6, 0, false, false, false},   // shorts
    {16, 7.4, 0, false, false, false},  // long trousers
    {12, 7.6, 0, false, false, false},  // knee trousers
    {0, 0, 10, false, false, true},     // pleated skirt
    {0, 0, 19, false, false, false},    // long skirt
    {16, 7.6, 0, true, false, false},   // armoured trousers
    {14, 9.6, 0, false, false, false},  // baggy trousers
    {0, 0, 8, false, true, false},      // frilly skirt
    {15, 10, 9, false, false, true},    // hakama
};

TArt DrawBottoms(int32_t Design, const TColors& colors) {
  const TBottomsShape& s = BottomsShapes[Design];
  const TShade main = Shade(colors.Main), accent = Shade(colors.Accent);
  TArt art;
  {
    TArtCanvas c(16, 4, 16, 24);
    if (s.Skirt > 0) {
      const double flare = 3 + s.Skirt * 0.25;
      c.Paint(c.Poly({{-7.2, -2}, {7.2, -2}, {7.2 + flare, s.Skirt}, {-7.2 - flare, s.Skirt}}), main);
      if (s.Pleats)
        for (int32_t x = -6; x <= 6; x += 4) c.Line(x, 1, x + (x > 0 ? 2 : -2), static_cast<int32_t>(s.Skirt) - 1, main.Dark);
      if (s.Frills) {
        c.Paint(c.Poly({{-7.2 - flare, s.Skirt - 2}, {7.2 + flare, s.Skirt - 2}, {8 + flare, s.Skirt + 1.5},
                        {-8 - flare, s.Skirt + 1.5}}), Shade(0xFFF8F0), true);
      }
    } else {
      c.Paint(c.Rect(-7.4, -2, 7.4, 4), main);
    }
    c.Paint(c.Rect(-7.4, -2.5, 7.4, -0.5), accent, true);  // waistband
    art.Single(lyBottoms, c.Finish());
    art.MainIndex = 0;
  }
  if (s.LegLength > 0) {
    for (int32_t layer : {lyBottomsNear, lyBottomsFar}) {
      TArtCanvas c(8, 3, 8, 22);
      const TShade leg = layer == lyBottomsNear ? main : Shade(MixRgb(colors.Main, 0x403050, 0.15));
      c.Paint(c.Poly({{-s.LegWidth / 2, -1}, {s.LegWidth / 2, -1}, {s.LegWidth / 2 - 0.3, s.LegLength},
                      {-s.LegWidth / 2 + 0.3, s.LegLength}}), leg);
      if (s.Plates) c.Paint(c.Ellipse(-0.5, 10, 3.6, 3), Shade(0xB8C0CC), true);
      if (s.LegLength >= 14) c.Paint(c.Rect(-s.LegWidth / 2 + 0.3, s.LegLength - 1.5, s.LegWidth / 2 - 0.3, s.LegLength), accent);
      art.Single(layer, c.Finish());
    }
  }
  return art;
}

// ---- Hats -------------------------------------------------------------------

TArt DrawHat(int32_t Design, const TColors& colors) {
  const TShade main = Shade(colors.Main), second = Shade(colors.Second), accent = Shade(colors.Accent);
  TArtCanvas c(30, 52, 30, 8);
  switch (Design) {
    case hdCap: {
      TMask dome = c.Ellipse(kHx + 1, kHy - 8, 18, 13);
      dome &= c.HalfPlane(kHy - 6, false);
      c.Paint(dome, main);
      c.Paint(c.Poly({{kHx - 8, kHy - 9}, {kHx - 25, kHy - 7}, {kHx - 23, kHy - 4}, {kHx - 6, kHy - 5.5}}), second, true);
      c.Paint(c.Ellipse(kHx - 3, kHy - 14, 3, 3), accent, true);
      break;
    }
    case hdRibbon:
      c.Paint(c.Poly({{kHx + 10, kHy - 17}, {kHx + 2, kHy - 25}, {kHx + 1, kHy - 15}}), main);
      c.Paint(c.Poly({{kHx + 10, kHy - 17}, {kHx + 19, kHy - 24}, {kHx + 19, kHy - 12}}), main);
      c.Paint(c.Ellipse(kHx + 10, kHy - 17, 2.5, 2.5), accent, true);
      c.Paint(c.Poly({{kHx + 9, kHy - 16}, {kHx + 7, kHy - 9}, {kHx + 10, kHy - 10}}), main);
      break;
    case hdHood: {
      TMask hood = c.Ellipse(kHx + 2, kHy - 2, 20, 18.5);
      hood |= c.Poly({{kHx + 8, kHy}, {kHx + 22, kHy + 4}, {kHx + 14, kHy + 17}, {kHx - 4, kHy + 16}});
      hood -= c.Ellipse(kHx - 6, kHy + 4, 12.5, 11.5);
      c.Paint(hood, main, true);
      c.Paint(c.Ellipse(kHx + 15, kHy - 15, 3, 3), accent);  // a pompom
      break;
    }
    case hdWitch:
      c.Paint(c.Poly({{kHx - 11, kHy - 13}, {kHx + 12, kHy - 13}, {kHx + 12, kHy - 30}, {kHx + 24, kHy - 40},
                      {kHx + 4, kHy - 32}}), main);
      c.Paint(c.Rect(kHx - 11, kHy - 17, kHx + 12.5, kHy - 13), accent, true);
      c.Paint(c.Ellipse(kHx, kHy - 12, 25, 4), main, true);
      c.Paint(c.Ellipse(kHx + 7, kHy - 15, 2, 2), Shade(0xFFE070));
      break;
    case hdCatEars: {
      TMask band = c.Ellipse(kHx + 1, kHy - 3, 18.5, 16.5);
      band -= c.Ellipse(kHx + 1, kHy - 3, 16.5, 14.5);
      band &= c.HalfPlane(kHy - 9, false);
      c.Paint(band, second);
      for (double x : {-8.0, 8.0}) {
        const double tip = x > 0 ? 3 : -3;
        c.Paint(c.Poly({{kHx + x - 6, kHy - 16}, {kHx + x + 5, kHy - 17}, {kHx + x + tip, kHy - 29}}), main);
        c.Paint(c.Poly({{kHx + x - 3, kHy - 17.5}, {kHx + x + 2, kHy - 18}, {kHx + x + tip * 0.7, kHy - 25}}),
                Shade(0xF6A8B8));
      }
      break;
    }
    case hdHelmet: {
      TMask helm = c.Ellipse(kHx + 1, kHy - 2, 19, 18);
      helm |= c.Rect(kHx - 10, kHy, kHx + 18, kHy + 14);
      helm -= c.Ellipse(kHx - 7, kHy + 3, 11, 10);
      c.Paint(helm, main, true);
      c.Paint(c.Rect(kHx - 2, kHy - 20, kHx + 2, kHy - 4), second, true);  // ridge
      c.Paint(c.Poly({{kHx, kHy - 19}, {kHx + 6, kHy - 30}, {kHx + 20, kHy - 28}, {kHx + 12, kHy - 18}}), accent);
      break;
    }
    case hdFlowers:
      for (int32_t i = 0; i < 7; ++i) {
        const double a = std::numbers::pi * (0.95 + 0.95 * i / 6.0);
        const double x = kHx + std::cos(a) * 17, y = kHy - 9 + std::sin(a) * 8;
        c.Paint(c.Ellipse(x, y, 3.2, 3), i % 2 ? main : second);
        c.Dot(static_cast<int32_t>(std::floor(x)), static_cast<int32_t>(std::floor(y)), accent.Base);
      }
      break;
    default: {  // beret
      TMask beret = c.Ellipse(kHx + 4, kHy - 15, 17, 7);
      c.Paint(beret, main);
      c.Paint(c.Rect(kHx + 3, kHy - 24, kHx + 5, kHy - 21), main);
      c.Paint(c.Rect(kHx - 12, kHy - 11, kHx + 18, kHy - 9), second);
      break;
    }
  }
  TArt art;
  art.Single(lyHat, c.Finish());
  art.MainIndex = 0;
  return art;
}

// ---- Small pieces -----------------------------------------------------------

TArt Single(int32_t layer, TCell cell) {
  TArt art;
  art.Single(layer, std::move(cell));
  art.MainIndex = 0;
  return art;
}

TArt DrawGlasses(int32_t Design, const TColors& colors) {
  const TShade frame = Shade(colors.Main);
  TArtCanvas c(22, 24, 6, 2);
  const double eyes[2][2] = {{-12.5, -11.5}, {-3.5, -11.5}};
  switch (Design) {
    case 0:
    case 3:
      for (const auto& e : eyes) {
        TMask lens = c.Ellipse(e[0], e[1], Design == 3 ? 4.5 : 4, Design == 3 ? 4.5 : 4);
        if (Design == 3) c.Paint(lens, Shade(colors.Second));
        else lens -= c.Ellipse(e[0], e[1], 3, 3);
        c.Paint(lens, frame, Design == 3);
      }
      c.Line(-9, -12, -7, -12, frame.Line);
      if (Design == 3) c.Paint(c.Capsule(0, -12, 6, -13, 2), Shade(0x5A4038));
      c.Dot(-14, -14, 0xFFFFFFFF);
      break;
    case 1:
      for (const auto& e : eyes) c.Paint(c.Rect(e[0] - 4, e[1] - 2.5, e[0] + 3.5, e[1] + 2.5), Shade(0x303848), true);
      c.Line(-9, -13, -7, -13, frame.Line);
      c.Dot(-15, -13, 0xFF8090B0), c.Dot(-6, -13, 0xFF8090B0);
      break;
    default: {  // monocle with a chain
      TMask ring = c.Ellipse(-3.5, -11.5, 4.2, 4.2);
      ring -= c.Ellipse(-3.5, -11.5, 3.2, 3.2);
      c.Paint(ring, Shade(0xE8C050));
      c.Line(0, -9, 4, -2, 0xFFE8C050);
      break;
    }
  }
  return Single(lyGlasses, c.Finish(Design == 1 || Design == 3));
}

TArt DrawEarrings(int32_t Design, const TColors& colors) {
  const TShade metal = Shade(0xF0C850), gem = Shade(colors.Main);
  TArtCanvas c(4, 20, 18, 2);
  const double x = 11, y = -10;
  switch (Design) {
    case 0: {
      TMask hoop = c.Ellipse(x, y + 2, 2.6, 3);
      hoop -= c.Ellipse(x, y + 2, 1.5, 2);
      c.Paint(hoop, metal);
      break;
    }
    case 1:
      c.Dot(static_cast<int32_t>(x), static_cast<int32_t>(y), metal.Base);
      c.Paint(c.Poly({{x - 2, y + 2}, {x + 2.5, y + 2}, {x + 0.5, y + 7}}), gem);
      break;
    case 2:
      c.Paint(c.Poly({{x, y}, {x + 1.2, y + 2.6}, {x + 3.5, y + 3}, {x + 1.6, y + 4.4}, {x + 2.2, y + 7},
                      {x, y + 5.4}, {x - 2.2, y + 7}, {x - 1.6, y + 4.4}, {x - 3.5, y + 3}, {x - 1.2, y + 2.6}}),
              gem);
      break;
    default:
      c.Paint(c.Poly({{x, y}, {x + 2.5, y + 3}, {x + 1.5, y + 10}, {x - 0.5, y + 4}}), gem);
      c.Line(static_cast<int32_t>(x), static_cast<int32_t>(y) + 1, static_cast<int32_t>(x) + 1,
             static_cast<int32_t>(y) + 9, gem.Dark);
      break;
  }
  return Single(lyEarring, c.Finish());
}

TArt DrawCloak(int32_t Design, const TColors& colors) {
  const TShade main = Shade(colors.Main), lining = Shade(colors.Second), accent = Shade(colors.Accent);
  TArt art;
  {
    TArtCanvas c(30, 12, 34, 34);
    switch (Design) {
      case 0:
      case 4: {
        std::vector<TPt> pts = {{-5, -2}, {8, -3}, {21, 27}};
        if (Design == 4)
          for (int32_t i = 0; i < 5; ++i) pts.push_back({17.0 - i * 4.5, i % 2 ? 25.0 : 29.0});
        pts.push_back({-3, 28});
        c.Paint(c.Poly(pts), main);
        c.Paint(c.Poly({{-3, 26}, {20, 25}, {21, 27.5}, {-3, 28.5}}), Design == 4 ? main : accent);
        c.Paint(c.Poly({{4, 0}, {8, -2}, {14, 22}, {10, 22}}), lining);
        break;
      }
      case 1:
        c.Paint(c.Poly({{-6, -2}, {8, -3}, {14, 12}, {-4, 13}}), main);
        c.Paint(c.Rect(-4, 11, 14, 13), accent);
        break;
      case 2:  // a scarf trailing behind
        c.Paint(c.Poly({{-2, -3}, {6, -3}, {26, 2}, {30, 8}, {24, 6}, {20, 9}, {4, 3}}), main);
        for (int32_t x = 10; x <= 22; x += 4) c.Line(x, 0, x - 1, 5, accent.Base);
        break;
      default:  // wings: the far one higher and in shadow
        for (int32_t i = 0; i < 2; ++i) {
          const double dx = i ? 0 : 4, dy = i ? 0 : -5;
          const TShade& shade = i ? main : lining;
          TMask wing = c.Ellipse(8 + dx, 2 + dy, 6, 5);
          const TPt tips[] = {{29, -13}, {32, -5}, {30, 3}, {25, 9}, {18, 12}};
          for (const TPt& tip : tips) wing |= c.Capsule(6 + dx, 2 + dy, tip.X + dx, tip.Y + dy, 6.5);
          c.Paint(wing, shade);
          for (size_t t = 1; t < std::size(tips); ++t)
            c.Line(static_cast<int32_t>(13 + dx), static_cast<int32_t>(1 + dy),
                   static_cast<int32_t>(tips[t].X * 0.8 + dx), static_cast<int32_t>(tips[t].Y * 0.8 + dy), shade.Dark);
        }
        break;
    }
    art.Single(lyCloakBack, c.Finish());
    art.MainIndex = 0;
  }
  if (Design != 3) {
    TArtCanvas c(12, 22, 12, 2);
    if (Design == 2) {
      c.Paint(c.Capsule(-5, -17, 5, -17, 4.5), main);
      c.Paint(c.Poly({{-4, -16}, {-1, -16}, {-3, -7}, {-6, -8}}), main, true);
    } else {
      c.Paint(c.Poly({{-5, -19}, {5, -19}, {9.5, -14}, {-9.5, -14}}), main);
      c.Paint(c.Ellipse(-3, -15.5, 2, 2), accent);
    }
    art.Single(lyCloakFront, c.Finish());
  }
  return art;
}

TArt DrawHands(TWearKind kind, int32_t Design, const TColors& colors) {
  TArt art;
  const std::vector<int32_t> layers =
      kind == wkGloves ? std::vector<int32_t>{lyGloveNear, lyGloveFar} : std::vector<int32_t>{lyRing};
  for (int32_t layer : layers) {
    TArtCanvas c(7, 1, 7, 18);
    if (kind == wkGloves) {
      const TShade main = Shade(layer == lyGloveNear ? colors.Main : MixRgb(colors.Main, 0x403050, 0.15));
      c.Paint(c.Ellipse(0, 12, 3.7, 3.7), main);
      const double cuff = Design == 2 ? 7.8 : 6.4;
      c.Paint(c.Capsule(0, Design == 2 ? 6.5 : 8.5, 0, 10, cuff), Design == 3 ? Shade(colors.Accent) : main, true);
      if (Design == 2) c.Dot(-1, 8, main.Light);
    } else {
      TMask band = c.Rect(-3.2, 12.5, 3.2, 13.8);
      c.Paint(band, Shade(0xF2C850));
      if (Design == 0) c.Paint(c.Ellipse(-2.5, 13, 1.6, 1.6), Shade(colors.Main));
      c.Dot(-3, 12, 0xFFFFFFFF);
    }
    TCell cell = c.Finish(kind == wkGloves);
    art.Single(layer, std::move(cell));
  }
  art.MainIndex = 0;
  return art;
}

TArt DrawFeet(TWearKind kind, int32_t Design, const TColors& colors) {
  TArt art;
  for (int32_t layer : kind == wkBoots ? std::vector<int32_t>{lyBootNear, lyBootFar}
                                        : std::vector<int32_t>{lyStockingNear, lyStockingFar}) {
    TArtCanvas c(8, 2, 7, 23);
    const bool near = layer == lyBootNear || layer == lyStockingNear;
    const uint32_t base = near ? colors.Main : MixRgb(colors.Main, 0x403050, 0.15);
    const TShade main = Shade(base), accent = Shade(colors.Accent);
    if (kind == wkBoots) {
      const double top = Design == 1 ? 6 : Design == 2 ? 15.5 : 11;
      c.Paint(c.Capsule(0, top, 0, 16, 7), main);
      c.Paint(c.Ellipse(-1.8, 18, 4.8, 3), main);
      c.Paint(c.Rect(-6.6, 19.6, 3.2, 21.2), Shade(0x4A3A36));
      if (Design == 3) c.Paint(c.Ellipse(-0.5, top + 1, 3.8, 3), Shade(0xC8D0DC), true);
      if (Design == 1) c.Paint(c.Rect(-3.5, top - 1, 3.5, top + 1.5), accent, true);
    } else {
      const double top = Design == 0 ? 9 : Design == 1 ? 2 : Design == 2 ? 0 : 14;
      c.Paint(c.Capsule(0, top, 0, 16.5, 6.4), main);
      c.Paint(c.Ellipse(-1.5, 18, 4.2, 2.7), main);
      if (Design == 1)
        for (int32_t y = static_cast<int32_t>(top) + 1; y < 16; y += 3) c.Line(-3, y, 2, y, accent.Base);
      if (Design == 0 || Design == 3) c.Paint(c.Rect(-3.2, top, 3.2, top + 1.5), accent);
    }
    art.Single(layer, c.Finish());
  }
  art.MainIndex = 0;
  return art;
}

TArt DrawMakeup(int32_t Design, const TColors& colors) {
  TArtCanvas c(22, 24, 6, 2);
  const TColor32 color = 0xFF000000u | colors.Main;
  switch (Design) {
    case 0:
      c.Fill(c.Ellipse(-15.5, -5.5, 2, 1.2), 0xA0000000u | colors.Main, 0);
      c.Fill(c.Ellipse(-3.5, -5.5, 2.5, 1.2), 0xA0000000u | colors.Main, 0);
      break;
    case 1:
      c.Line(-7, -6, -3, -6, color);
      c.Line(-7, -4, -3, -4, color);
      break;
    case 2:
      c.Fill(c.Poly({{-4, -8}, {-3, -6}, {-1, -6}, {-2.5, -4.5}, {-2, -2}, {-4, -3.5}, {-6, -2}, {-5.5, -4.5},
                     {-7, -6}, {-5, -6}}),
             color, 0);
      break;
    default:
      c.Fill(c.Ellipse(-3, -4.5, 1.2, 1.8), color, 0);
      c.Dot(-3, -7, color);
      break;
  }
  return Single(lyMakeup, c.Finish(false));
}

TArt DrawStone(int32_t Design, const TColors& colors) {
  TArtCanvas c(12, 14, 12, 14);
  const TShade gem = Shade(colors.Main);
  // A soft glow around the gem, half transparent.
  c.Fill(c.Ellipse(0, 0, 10, 11), 0x40000000u | colors.Second, 0);
  c.Fill(c.Ellipse(0, 0, 7.5, 8.5), 0x70000000u | colors.Second, 0);
  switch (Design) {
    case 0:
      c.Paint(c.Poly({{0, -8}, {4.5, -1}, {0, 8}, {-4.5, -1}}), gem);
      c.Line(0, -7, 0, 6, gem.Light);
      break;
    case 1: c.PaintSphere(0, 0, 4.5, 4.5, gem); break;
    default:
      c.Paint(c.Poly({{-3, -7}, {0, -1}, {-2, 5}, {-5, -1}}), gem);
      c.Paint(c.Poly({{3, -5}, {5.5, 0}, {3, 7}, {1, 1}}), gem);
      break;
  }
  return Single(lyStone, c.Finish(false));
}

TArt DrawBackPiece(TWearKind kind, int32_t Design, const TColors& colors) {
  const TShade main = Shade(colors.Main), accent = Shade(colors.Accent);
  TArtCanvas c(20, 20, 20, 30);
  if (kind == wkBackWeapon) {
    if (Design == 0) {
      c.Paint(c.Capsule(-7, 20, 10, -6, 4), main);                 // scabbard
      c.Paint(c.Capsule(11, -8, 14, -13, 2.5), Shade(0x6A4A38));  // grip
      c.Paint(c.Capsule(7, -9, 13, -5, 2.5), accent);              // guard
    } else {
      TMask bow = c.Ellipse(4, 6, 5, 19);
      bow -= c.Ellipse(6, 6, 4.5, 17);
      c.Paint(bow, main);
      c.Line(4, -12, 4, 24, 0xFFF0E8D0);
    }
  } else {
    if (Design == 0) {
      c.Paint(c.Ellipse(4, 6, 9, 9), main, true);
      c.Paint(c.Ellipse(4, 6, 3, 3), accent);
    } else {
      c.Paint(c.Poly({{-4, -4}, {12, -4}, {11, 10}, {4, 18}, {-3, 10}}), main, true);
      c.Paint(c.Rect(3, -3, 5, 15), accent);
    }
  }
  return Single(kind == wkBackWeapon ? lyBackWeapon : lyBackShield, c.Finish());
}

}  // namespace

int32_t WearDesignCount(TWearKind Kind) {
  switch (Kind) {
    case wkHat: return hdCount;
    case wkTops: return static_cast<int32_t>(std::size(TopsShapes));
    case wkBottoms: return static_cast<int32_t>(std::size(BottomsShapes));
    case wkCloak: return 5;
    case wkStone: case wkGlasses: return Kind == wkStone ? 3 : 4;
    case wkRing: case wkBackWeapon: case wkBackShield: return 2;
    default: return 4;
  }
}

TArt DrawWear(TWearKind Kind, int32_t Design, const TColors& Colors) {
  switch (Kind) {
    case wkHat: return DrawHat(Design, Colors);
    case wkGlasses: return DrawGlasses(Design, Colors);
    case wkEarrings: return DrawEarrings(Design, Colors);
    case wkTops: return DrawTops(Design, Colors);
    case wkBottoms: return DrawBottoms(Design, Colors);
    case wkCloak: return DrawCloak(Design, Colors);
    case wkGloves: case wkRing: return DrawHands(Kind, Design, Colors);
    case wkBoots: case wkStockings: return DrawFeet(Kind, Design, Colors);
    case wkMakeup: return DrawMakeup(Design, Colors);
    case wkStone: return DrawStone(Design, Colors);
    case wkBackWeapon: case wkBackShield: return DrawBackPiece(Kind, Design, Colors);
  }
  return {};
}

}  // namespace varune::demo
