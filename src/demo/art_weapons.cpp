// Weapons: one shape per weapon kind, drawn pointing up from the grip.

#include <cmath>
#include <numbers>

#include "demo/art.h"

namespace varune::demo {
namespace {

const TShade& Steel() {
  static const TShade s = MakeShade(0xC8D2DE);
  return s;
}
const TShade& Wood() {
  static const TShade s = MakeShade(0x8A5A3A);
  return s;
}
const TShade& Gold() {
  static const TShade s = MakeShade(0xF0C040);
  return s;
}

void Grip(TArtCanvas& c, double y1, double y2, const TShade& shade) { c.Paint(c.Capsule(0, y1, 0, y2, 3), shade); }

void Blade(TArtCanvas& c, double length, double width, const TShade& blade) {
  c.Paint(c.Poly({{-width / 2, -3}, {width / 2, -3}, {width / 2, -length + width}, {0, -length},
                  {-width / 2, -length + width}}),
          blade);
  c.Line(0, -4, 0, static_cast<int32_t>(-length + width), blade.Light);
}

void Guard(TArtCanvas& c, double half, const TShade& shade) { c.Paint(c.Capsule(-half, -3, half, -3, 2.6), shade); }

}  // namespace

TArt DrawWeapon(int32_t Kind, int32_t Variant, const TColors& Colors) {
  const TShade main = MakeShade(Colors.Main), second = MakeShade(Colors.Second), accent = MakeShade(Colors.Accent);
  const double grow = Variant * 3;
  TArtCanvas c(34, 70, 34, 30);
  int32_t layer = Kind == 12 ? lyShield : Kind == 23 ? lyOffhand : lyWeapon;
  bool offhandCopy = Kind == 6 || Kind == 15;  // held in both hands
  switch (Kind) {
    case 1:  // knuckles
      c.Paint(c.Rect(-4, -3, 4, 3), main, true);
      for (int32_t i = 0; i < 3; ++i) c.Paint(c.Poly({{-4.0 + i * 3, -3}, {-1.0 + i * 3, -3}, {-2.5 + i * 3, -7}}), Steel());
      break;
    case 2:  // dagger
      Grip(c, -2, 4, second);
      Guard(c, 4, main);
      Blade(c, 16 + grow, 4, Steel());
      break;
    case 3:  // sword
      Grip(c, -2, 5, second);
      c.Paint(c.Ellipse(0, 6, 2, 2), accent);
      Guard(c, 6, main);
      Blade(c, 28 + grow, 5, Steel());
      break;
    case 4:  // two-handed sword
      Grip(c, -2, 10, second);
      c.Paint(c.Poly({{-9, -1}, {9, -1}, {7, -5}, {-7, -5}}), main, true);
      Blade(c, 44 + grow, 8, Steel());
      c.Paint(c.Rect(-1.5, -14, 1.5, -6), accent);
      break;
    case 5:  // staff
      c.Paint(c.Capsule(0, -26, 0, 20, 3.2), Wood());
      c.Paint(c.Poly({{-5, -26}, {0, -31}, {5, -26}, {3, -24}, {-3, -24}}), main, true);
      c.PaintSphere(0, -34 - grow / 2, 5, 5, accent);
      break;
    case 6:  // twin swords, one for each hand
      Grip(c, -2, 4, second);
      Guard(c, 4.5, main);
      Blade(c, 21 + grow, 4, Steel());
      break;
    case 7:  // mace
      c.Paint(c.Capsule(0, -16, 0, 6, 3), Wood());
      for (int32_t i = 0; i < 6; ++i) {
        const double a = i * std::numbers::pi / 3;
        c.Paint(c.Poly({{std::cos(a) * 4, -21 + std::sin(a) * 4}, {std::cos(a + 0.5) * 4, -21 + std::sin(a + 0.5) * 4},
                        {std::cos(a + 0.25) * 9, -21 + std::sin(a + 0.25) * 9}}),
                Steel());
      }
      c.PaintSphere(0, -21, 5.5, 5.5, main);
      break;
    case 8:  // spear
      c.Paint(c.Capsule(0, -40 - grow, 0, 18, 3), Wood());
      c.Paint(c.Poly({{-3.5, -40 - grow}, {3.5, -40 - grow}, {0, -52 - grow}}), Steel());
      c.Paint(c.Poly({{-4, -38 - grow}, {4, -38 - grow}, {2, -35 - grow}, {-2, -35 - grow}}), accent);
      break;
    case 9: {  // bow: the arc towards the front, the string behind
      TMask arc = c.Ellipse(2, 0, 7, 20 + grow / 2);
      arc -= c.Ellipse(4.5, 0, 6.5, 18.5 + grow / 2);
      c.Paint(arc, main);
      c.Line(5, -19 - static_cast<int32_t>(grow / 2), 5, 19 + static_cast<int32_t>(grow / 2), 0xFFF4ECD8);
      c.Paint(c.Rect(-5.5, -3, -2, 3), second);
      break;
    }
    case 10:  // crossbow, pointing up
      c.Paint(c.Rect(-2, -20, 2, 6), Wood());
      c.Paint(c.Poly({{-12, -12}, {0, -17}, {12, -12}, {12, -10}, {0, -15}, {-12, -10}}), main);
      c.Line(-12, -10, 12, -10, 0xFFF4ECD8);
      c.Paint(c.Poly({{-1, -24}, {1, -24}, {0, -28}}), Steel());
      break;
    case 11:  // elemental stone, floating over the palm
      c.Fill(c.Ellipse(0, -12, 8, 8), 0x50000000u | Colors.Second, 0);
      c.Paint(c.Poly({{0, -20}, {5, -12}, {0, -4}, {-5, -12}}), main);
      c.Line(0, -19, 0, -6, main.Light);
      break;
    case 12: {  // shield
      TMask shield = c.Poly({{-9, -12}, {9, -12}, {8, 4}, {0, 12 + grow / 2}, {-8, 4}});
      c.Paint(shield, main, true);
      c.Paint(c.Poly({{-1.5, -10}, {1.5, -10}, {1.5, 9}, {-1.5, 9}}), accent);
      c.Paint(c.Rect(-7, -3, 7, 0), accent);
      c.Paint(c.Ellipse(0, -1.5, 2.5, 2.5), Gold());
      break;
    }
    case 13:  // orb with a ring
      c.Fill(c.Ellipse(0, -13, 9, 9), 0x48000000u | Colors.Second, 0);
      c.PaintSphere(0, -13, 6, 6, main);
      c.Paint(c.Ellipse(0, -13, 10, 2), accent);
      c.PaintSphere(0, -13, 5, 5, main);
      break;
    case 14:  // guitar
      c.Paint(c.Ellipse(0, 6, 7, 6), main);
      c.Paint(c.Ellipse(0, -2, 5.5, 5), main);
      c.Paint(c.Ellipse(0, 3, 2, 2), MakeShade(0x302020));
      c.Paint(c.Rect(-1.5, -26, 1.5, -5), Wood());
      c.Paint(c.Rect(-2.5, -31, 2.5, -26), second, true);
      break;
    case 15:  // pistol, barrel up
      c.Paint(c.Rect(-2.5, -14, 2, -1), Steel());
      c.Paint(c.Poly({{-2.5, -3}, {2, -3}, {5, 4}, {1, 5}}), second);
      c.Paint(c.Rect(-2, -13, 1.5, -10), accent);
      break;
    case 16:  // bag hanging from the hand
      c.Paint(c.Capsule(-4, 0, 4, 0, 1.6), second);
      c.Paint(c.Poly({{-7, 2}, {7, 2}, {8, 13}, {-8, 13}}), main, true);
      c.Paint(c.Poly({{-7, 2}, {7, 2}, {6, 7}, {-6, 7}}), second, true);
      c.Paint(c.Ellipse(0, 7, 1.8, 1.8), Gold());
      break;
    case 17:  // machine gun
      c.Paint(c.Rect(-3, -30 - grow, 1, -4), Steel());
      c.Paint(c.Rect(-4.5, -8, 4.5, 6), main, true);
      c.Paint(c.Ellipse(6, 0, 5, 5), second, true);
      c.Paint(c.Rect(-4, -34 - grow, 2, -30 - grow), accent);
      break;
    case 18: {  // spiral sword
      Grip(c, -2, 5, second);
      Guard(c, 6, main);
      c.Paint(c.Poly({{-5, -3}, {5, -3}, {0, -34 - grow}}), Steel());
      for (int32_t y = -6; y > -30; y -= 5) c.Line(-4 + (-y) / 8, y, 4 - (-y) / 8, y - 3, accent.Base);
      break;
    }
    case 19:  // swallow sword: forked tips at both ends
      c.Paint(c.Capsule(0, -6, 0, 6, 3), second);
      for (double dir : {-1.0, 1.0}) {
        c.Paint(c.Poly({{-2.5, dir * 5}, {2.5, dir * 5}, {2, dir * 24}, {5, dir * 30}, {0, dir * 26}, {-5, dir * 30},
                        {-2, dir * 24}}),
                Steel());
      }
      c.Paint(c.Ellipse(0, 0, 3, 3), accent);
      break;
    case 20:  // gauntlet
      c.Paint(c.Rect(-5, -4, 5, 8), main, true);
      c.Paint(c.Ellipse(0, -5, 6.5, 5), main);
      for (int32_t i = 0; i < 3; ++i) c.Line(-4 + i * 3, -9, -4 + i * 3, -5, main.Line);
      c.Paint(c.Rect(-5.5, 5, 5.5, 8), accent, true);
      break;
    case 21:  // psychic hand: a ghostly hand above the real one
      c.Paint(c.Ellipse(0, -14, 6, 5.5), accent);
      for (int32_t i = 0; i < 4; ++i) c.Paint(c.Capsule(-4.5 + i * 3, -18, -5.5 + i * 3.5, -25 + (i == 0 ? 3 : 0), 2.4), accent);
      c.Paint(c.Capsule(5, -14, 8, -19, 2.4), accent);
      c.SetOpacity(170);
      break;
    case 22:  // baton with a star
      c.Paint(c.Capsule(0, -16, 0, 4, 2), MakeShade(0xF4F0F0));
      c.Paint(c.Poly({{0, -25}, {1.5, -21}, {5.5, -21}, {2.5, -18.5}, {3.5, -14.5}, {0, -17}, {-3.5, -14.5},
                      {-2.5, -18.5}, {-5.5, -21}, {-1.5, -21}}),
              Gold());
      break;
    case 23:  // rogue knife: curved
      Grip(c, -2, 4, second);
      c.Paint(c.Poly({{-2, -3}, {2.5, -3}, {5, -12}, {2, -20 - grow}, {-1, -13}}), Steel());
      break;
    case 24:  // gun blade
      Grip(c, -2, 5, second);
      c.Paint(c.Rect(-4, -6, 4, -1), main, true);
      c.Paint(c.Poly({{4, -3}, {7, -3}, {7, 2}}), main);
      Blade(c, 30 + grow, 6, Steel());
      c.Paint(c.Rect(-4.5, -18, -2.5, -6), accent);
      break;
    case 25:  // guardian: a tall standard with a crest
      c.Paint(c.Capsule(0, -34, 0, 16, 3), Gold());
      c.Paint(c.Poly({{0, -44 - grow}, {9, -36}, {6, -24}, {0, -20}, {-6, -24}, {-9, -36}}), main, true);
      c.Paint(c.Ellipse(0, -32, 2.8, 2.8), accent);
      break;
    case 26:  // battle scythe
      c.Paint(c.Capsule(0, -34, 0, 18, 3), Wood());
      c.Paint(c.Poly({{1, -34}, {2, -38}, {-10, -41}, {-24, -34}, {-12, -37}}), Steel());
      c.Paint(c.Rect(-2, -36, 2, -32), accent);
      break;
    default:  // 27 soul stone on a chain
      c.Line(0, 0, 0, 8, 0xFFD8D8E0);
      c.Fill(c.Ellipse(0, 12, 7, 7), 0x50000000u | Colors.Second, 0);
      c.Paint(c.Poly({{0, 8}, {4, 12}, {0, 17}, {-4, 12}}), main);
      break;
  }
  TArt art;
  const int32_t index = art.Add(c.Finish());
  art.Layers.push_back({layer, {{0, index}}});
  if (offhandCopy) art.Layers.push_back({lyOffhand, {{0, index}}});
  art.MainIndex = index;
  return art;
}

}  // namespace varune::demo
