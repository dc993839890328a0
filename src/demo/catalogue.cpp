#include "demo/catalogue.h"

#include <array>

#include "archive/error.h"
#include "demo/animation.h"
#include "demo/sheets.h"

namespace varune::demo {
namespace {

// ---- Names and numbers ----------------------------------------------------------

const std::array<const char*, kJobCount> JobTexts = {
    "見習い冒険者", "剣士", "騎士", "聖騎士", "狂戦士", "魔法使い", "大魔導士", "召喚士", "弓使い", "狩人",
    "狙撃手", "盗賊", "暗殺者", "忍者", "武闘家", "拳聖", "僧侶", "司祭", "吟遊詩人", "踊り子",
    "商人", "錬金術師", "鍛冶師", "槍使い", "竜騎士", "銃士", "機工士", "精霊使い", "魔剣士", "ローグ",
    "侍", "巫女", "占い師", "人形使い", "死神", "守護者", "双剣士", "旋風剣士", "指揮者", "超能力者",
    "魂術師", "鎖鎌使い", "海賊", "料理人&パティシエ", "釣り人", "学者", "星詠み", "鬼神", "天使", "魔王",
    "勇者", "伝説の旅人"};

const std::array<const char*, kWeaponKindCount + 1> KindTexts = {
    "", "ナックル", "短剣", "片手剣", "両手剣", "杖", "二刀", "鈍器", "槍", "弓", "石弓", "精霊石", "盾", "オーブ",
    "ギター", "二丁拳銃", "カバン", "MG", "スパイラルソード", "飛燕剣", "ガントレット", "サイキックハンド",
    "タクト", "ローグナイフ", "ガンブレイド", "ガーディアン", "バトルサイズ", "ソウルストーン"};

// Colour schemes of clothes, with the colour's name.
struct TScheme {
  const char* Name;
  TColors Colors;
};
const TScheme Schemes[] = {
    {"赤", {0xD04848, 0xF6EAD2, 0xF0C040}}, {"青", {0x4068D0, 0xE8EEF8, 0xF0C040}},
    {"緑", {0x3C9C5C, 0xF2EACA, 0xC87A3C}}, {"黒", {0x3E3850, 0x8C84A0, 0xD84A6A}},
    {"白", {0xF2EEE6, 0x8CAADA, 0xE8B040}}, {"紫", {0x8E56BE, 0xEADCF8, 0xF2D264}},
    {"桃", {0xF29AB8, 0xFFF2F6, 0x70B8E8}}, {"茶", {0x9C6C44, 0xEADABA, 0x4C8C5C}},
};
constexpr int32_t kSchemes = static_cast<int32_t>(std::size(Schemes));

const TScheme WeaponSchemes[] = {
    {"", {0x8C6C4C, 0x5C3C2C, 0x50A2E2}},
    {"", {0xD6A634, 0x3C2C4C, 0xE44654}},
    {"", {0x6C70B0, 0x2C2C3C, 0x7CE0C0}},
};

const TScheme Elements[] = {
    {"炎", {0xF05030, 0xFFA040, 0}}, {"水", {0x3C8CF0, 0x80D0FF, 0}}, {"風", {0x40C070, 0xA0F0B0, 0}},
    {"地", {0xD09030, 0xF0D080, 0}}, {"闇", {0x8040C0, 0xC090F0, 0}},
};

// Job flags as the tables store them: decimal text of the 64-bit set.
std::string JobFlags(std::initializer_list<int32_t> jobs) {
  int64_t flags = 0;
  for (int32_t job : jobs) flags |= JobBitFlag(job);
  return std::to_string(flags);
}

std::string WeaponJobs(int32_t kind) {
  switch (kind) {
    case 1: return JobFlags({15, 16, 48, 52});
    case 2: return JobFlags({12, 13, 14, 30, 52});
    case 3: return JobFlags({1, 2, 3, 4, 29, 31, 51, 52});
    case 4: return JobFlags({3, 4, 5, 51, 52});
    case 5: return JobFlags({6, 7, 8, 17, 18, 52});
    case 6: return JobFlags({14, 37, 52});
    case 7: return JobFlags({17, 18, 23, 52});
    case 8: return JobFlags({24, 25, 52});
    case 9: return JobFlags({9, 10, 11, 52});
    case 10: return JobFlags({11, 27, 52});
    case 11: return JobFlags({28, 52});
    case 12: return JobFlags({2, 3, 4, 36, 51, 52});
    case 13: return JobFlags({7, 8, 33, 52});
    case 14: return JobFlags({19, 20, 52});
    case 15: return JobFlags({26, 43, 52});
    case 16: return JobFlags({21, 22, 44, 52});
    case 17: return JobFlags({27, 52});
    case 18: return JobFlags({38, 52});
    case 19: return JobFlags({14, 31, 52});
    case 20: return JobFlags({16, 48, 52});
    case 21: return JobFlags({40, 52});
    case 22: return JobFlags({39, 52});
    case 23: return JobFlags({30, 52});
    case 24: return JobFlags({26, 29, 52});
    case 25: return JobFlags({36, 52});
    case 26: return JobFlags({35, 50, 52});
    default: return JobFlags({41, 47, 52});
  }
}

const std::array<std::array<const char*, 3>, kWeaponKindCount + 1> WeaponNames = {{
    {"", "", ""},
    {"アイアンナックル", "ドラゴンクロー", ""},
    {"ダガー", "月影の短刀", ""},
    {"ブロードソード", "ミスリルソード", ""},
    {"クレイモア", "ソルブレイカー", "大剣ギガント"},
    {"樫の杖", "星屑のロッド", ""},
    {"ツインエッジ", "双月刀", ""},
    {"メイス", "モーニングスター", ""},
    {"ショートスピア", "竜騎の槍", ""},
    {"ショートボウ", "風読みの弓", ""},
    {"クロスボウ", "連弩カラクリ", ""},
    {"精霊の欠片", "精霊王の涙", ""},
    {"ラウンドシールド", "白銀の盾", "聖なる大盾"},
    {"水晶オーブ", "星読みのオーブ", ""},
    {"旅のギター", "雷鳴のギター", ""},
    {"リボルバー", "ツインマグナム", ""},
    {"革のカバン", "商人の大鞄", ""},
    {"ガトリング", "ヘヴィカノン", ""},
    {"ドリルソード", "螺旋剣ヴォルテクス", ""},
    {"燕刀", "飛燕双牙", ""},
    {"鉄甲", "巨神の拳", ""},
    {"念動の手", "虚空の掌", ""},
    {"指揮棒", "星のタクト", ""},
    {"ククリ", "影縫いのナイフ", ""},
    {"ガンブレード", "フェンリルバレル", ""},
    {"守護の旗", "天空の御旗", ""},
    {"大鎌", "冥府の鎌", ""},
    {"魂の石", "輪廻の宝珠", ""},
}};

// ---- Building rows ----------------------------------------------------------------

struct TBuilder {
  TDemoCatalogue Catalogue;

  TDemoItem& Add(int32_t table, TItemRow row, TArtSpec art, std::string sprite) {
    TDemoItem item;
    item.Row = std::move(row);
    item.Table = table;
    item.Art = art;
    item.SpriteTable = std::move(sprite);
    Catalogue.Items.push_back(std::move(item));
    return Catalogue.Items.back();
  }
};

TItemRow BaseRow(int32_t category, int32_t num, int32_t color, int32_t code, std::string name, std::string description) {
  TItemRow row;
  row.ID = category * 100000 + num * 100 + color;
  row.Category = category, row.Num = num, row.ColorID = color;
  row.Type = 2, row.SubType = 0, row.PosID1 = code;
  row.Name = std::move(name);
  row.Description = std::move(description);
  row.NameColor = 0;
  return row;
}

TItemRow EquipRow(int32_t slot, int32_t category, int32_t num, int32_t color, std::string name, int32_t subtype) {
  TItemRow row;
  row.ID = category * 10000 + num * 100 + color;
  row.Category = category, row.Num = num, row.ColorID = color;
  row.Type = 1, row.SubType = subtype, row.PosID1 = slot;
  row.Name = std::move(name);
  row.NameColor = 0;
  row.ItemLvValue = subtype == 1 ? 1 : 0;
  return row;
}

void Rare(TItemRow& row, uint32_t rgb) {
  row.NameColor = 1;
  row.Red = static_cast<int32_t>(rgb >> 16), row.Green = static_cast<int32_t>((rgb >> 8) & 0xFF);
  row.Blue = static_cast<int32_t>(rgb & 0xFF);
}

void Gender(TItemRow& row, int32_t gender, int32_t slot = 0) { row.Requires[static_cast<size_t>(slot)] = {1, 2, std::to_string(gender), "0"}; }

// Clothes and accessories: one design in several colour schemes.
struct TWear {
  int32_t Slot;
  TWearKind Kind;
  int32_t Design, Category;
  const char* Name;
  int32_t Subtype;  // 1 battle, 2 fashion
  int32_t Gender;   // 0 both, 1 male, 2 female
  std::vector<int32_t> Colors;
  const char* Table;
};

const std::vector<TWear>& Wears() {
  static const std::vector<TWear> wears = {
      {1, wkHat, hdCap, 901, "キャスケット", 2, 0, {7, 1, 3}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdRibbon, 902, "おおきなリボン", 2, 2, {0, 6, 4}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdHood, 903, "旅人のフード", 2, 0, {2, 7, 3}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdWitch, 904, "魔女の帽子", 1, 0, {3, 5, 0}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdCatEars, 905, "ねこみみカチューシャ", 2, 0, {3, 4, 7}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdHelmet, 906, "騎士の兜", 1, 0, {4, 3}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdFlowers, 907, "花かんむり", 2, 2, {6, 4}, "COSTUME/HEAD.TBL"},
      {1, wkHat, hdBeret, 908, "ベレー帽", 2, 0, {0, 1, 3}, "COSTUME/HEAD.TBL"},
      {2, wkGlasses, 0, 1010, "丸めがね", 2, 0, {7, 3}, "COSTUME/HEAD.TBL"},
      {2, wkGlasses, 1, 1010, "サングラス", 2, 0, {3}, "COSTUME/HEAD.TBL"},
      {2, wkGlasses, 2, 1010, "片眼鏡", 2, 1, {7}, "COSTUME/HEAD.TBL"},
      {2, wkGlasses, 3, 1010, "飛行士のゴーグル", 1, 0, {7, 2}, "COSTUME/HEAD.TBL"},
      {3, wkEarrings, 0, 1020, "フープピアス", 2, 0, {0}, "COSTUME/HEAD.TBL"},
      {3, wkEarrings, 1, 1020, "しずくのイヤリング", 2, 2, {1, 0}, "COSTUME/HEAD.TBL"},
      {3, wkEarrings, 2, 1020, "星のイヤリング", 1, 0, {4, 5}, "COSTUME/HEAD.TBL"},
      {3, wkEarrings, 3, 1020, "羽根のイヤリング", 2, 0, {2, 6}, "COSTUME/HEAD.TBL"},
      {4, wkTops, 6, 1030, "ブレストプレート", 1, 0, {4, 3, 0}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 7, 1030, "魔導士のローブ", 1, 0, {5, 1, 3}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 8, 1030, "旅人のコート", 1, 0, {7, 3, 2}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 9, 1030, "フリルドレス", 2, 2, {6, 1, 4}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 10, 1030, "着物", 2, 0, {0, 1, 5}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 11, 1030, "パーカー", 2, 0, {2, 3, 6}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 1, 1030, "冒険者のチュニック", 1, 0, {2, 7}, "COSTUME/TOPS.TBL"},
      {4, wkTops, 5, 1030, "ニットセーター", 2, 0, {4, 0}, "COSTUME/TOPS.TBL"},
      {5, wkBottoms, 5, 1040, "鋼のすね当てパンツ", 1, 0, {4, 3}, "COSTUME/BOTTOMS.TBL"},
      {5, wkBottoms, 6, 1040, "サルエルパンツ", 2, 1, {7, 3, 2}, "COSTUME/BOTTOMS.TBL"},
      {5, wkBottoms, 7, 1040, "フリルスカート", 2, 2, {6, 3, 4}, "COSTUME/BOTTOMS.TBL"},
      {5, wkBottoms, 4, 1040, "ロングスカート", 2, 2, {1, 5, 7}, "COSTUME/BOTTOMS.TBL"},
      {5, wkBottoms, 8, 1040, "袴", 1, 0, {3, 0, 1}, "COSTUME/BOTTOMS.TBL"},
      {5, wkBottoms, 1, 1040, "冒険者のズボン", 1, 0, {7, 2}, "COSTUME/BOTTOMS.TBL"},
      {6, wkCloak, 0, 1050, "騎士のマント", 1, 0, {0, 1, 3}, "COSTUME/LIMBS.TBL"},
      {6, wkCloak, 1, 1050, "ケープ", 2, 0, {4, 6, 2}, "COSTUME/LIMBS.TBL"},
      {6, wkCloak, 2, 1050, "長いマフラー", 2, 0, {0, 1, 4}, "COSTUME/LIMBS.TBL"},
      {6, wkCloak, 3, 1050, "天使の翼", 2, 0, {4, 3}, "COSTUME/LIMBS.TBL"},
      {6, wkCloak, 4, 1050, "ぼろぼろの外套", 1, 0, {7, 3}, "COSTUME/LIMBS.TBL"},
      {7, wkGloves, 0, 1060, "革の手袋", 1, 0, {7, 3}, "COSTUME/LIMBS.TBL"},
      {7, wkGloves, 1, 1060, "白い手袋", 2, 0, {4}, "COSTUME/LIMBS.TBL"},
      {7, wkGloves, 2, 1060, "鉄の篭手", 1, 0, {4, 3}, "COSTUME/LIMBS.TBL"},
      {7, wkGloves, 3, 1060, "指ぬきグローブ", 2, 0, {3, 0}, "COSTUME/LIMBS.TBL"},
      {8, wkBoots, 0, 1070, "ショートブーツ", 1, 0, {7, 3, 0}, "COSTUME/LIMBS.TBL"},
      {8, wkBoots, 1, 1070, "ロングブーツ", 2, 0, {3, 7, 4}, "COSTUME/LIMBS.TBL"},
      {8, wkBoots, 2, 1070, "ローファー", 2, 0, {7, 3}, "COSTUME/LIMBS.TBL"},
      {8, wkBoots, 3, 1070, "鋼のグリーヴ", 1, 0, {4, 3}, "COSTUME/LIMBS.TBL"},
      {9, wkStockings, 0, 1080, "ハイソックス", 2, 0, {4, 3, 1}, "COSTUME/LIMBS.TBL"},
      {9, wkStockings, 1, 1080, "しましまニーソ", 2, 2, {4, 3, 6}, "COSTUME/LIMBS.TBL"},
      {9, wkStockings, 2, 1080, "タイツ", 2, 2, {3, 7}, "COSTUME/LIMBS.TBL"},
      {9, wkStockings, 3, 1080, "くるぶしソックス", 2, 0, {4, 1}, "COSTUME/LIMBS.TBL"},
      {10, wkMakeup, 0, 1090, "ほっぺの紅", 2, 0, {6}, "COSTUME/HEAD.TBL"},
      {10, wkMakeup, 1, 1090, "戦化粧", 1, 0, {0}, "COSTUME/HEAD.TBL"},
      {10, wkMakeup, 2, 1090, "星のシール", 2, 0, {4}, "COSTUME/HEAD.TBL"},
      {10, wkMakeup, 3, 1090, "涙ぼくろ", 2, 0, {1}, "COSTUME/HEAD.TBL"},
      {12, wkRing, 0, 1110, "宝石の指輪", 1, 0, {0, 1, 2}, "WEAPON/MAGIC/MAGIC.TBL"},
      {12, wkRing, 1, 1110, "金の指輪", 2, 0, {4}, "WEAPON/MAGIC/MAGIC.TBL"},
      {15, wkBackWeapon, 0, 1230, "背負った剣", 2, 0, {7, 3}, "WEAPON/WEAPON.TBL"},
      {15, wkBackWeapon, 1, 1230, "背負った弓", 2, 0, {7}, "WEAPON/WEAPON.TBL"},
      {16, wkBackShield, 0, 1240, "背負った丸盾", 2, 0, {0, 1}, "WEAPON/WEAPON.TBL"},
      {16, wkBackShield, 1, 1240, "背負った凧盾", 2, 0, {4}, "WEAPON/WEAPON.TBL"},
  };
  return wears;
}

const char* WearDescription(TWearKind kind) {
  switch (kind) {
    case wkHat: return "頭にかぶる装備。髪型に合わせて選ぼう。";
    case wkGlasses: return "知的な印象を与えるアイテム。";
    case wkEarrings: return "耳元で小さく揺れるアクセサリー。";
    case wkTops: return "上半身の装備。";
    case wkBottoms: return "下半身の装備。";
    case wkCloak: return "背中で風になびく装備。";
    case wkGloves: return "手を守る装備。";
    case wkBoots: return "旅に欠かせない足の装備。";
    case wkStockings: return "足元のおしゃれ。";
    case wkMakeup: return "顔を彩るメイク。";
    case wkStone: return "精霊の力が宿る石。持ち主の周りを漂う。";
    case wkRing: return "指にはめる小さな指輪。";
    default: return "背中に背負う飾り。";
  }
}

void AddWear(TBuilder& b) {
  int32_t num = 0, lastCategory = 0;
  for (const TWear& wear : Wears()) {
    num = wear.Category == lastCategory ? num + 1 : 1;
    lastCategory = wear.Category;
    for (size_t i = 0; i < wear.Colors.size(); ++i) {
      const TScheme& scheme = Schemes[wear.Colors[i]];
      const int32_t color = static_cast<int32_t>(i) + 1;
      const bool hat = wear.Kind == wkHat;
      TItemRow row = EquipRow(wear.Slot, wear.Category, hat ? 1 : num, color,
                              std::string(wear.Name) + "(" + scheme.Name + ")", wear.Subtype);
      row.Description = WearDescription(wear.Kind);
      if (wear.Gender) Gender(row, wear.Gender);
      if (wear.Subtype == 1) {
        row.ItemLvValue = 5 + (wear.Category % 100) + color * 7;
        row.Statuses[0] = {2, 3 + color * 2};
        if (wear.Slot == 4 || wear.Slot == 6) row.Statuses[1] = {3, 20 * color};
        if (wear.Kind == wkGlasses) row.Statuses[0] = {5, 2 + color};
        if (wear.Kind == wkEarrings) row.Statuses[0] = {7, color};
        if (color == 3) Rare(row, 0x3060E0);
      }
      if (wear.Kind == wkCloak && wear.Design == 3) row.CashCheck = 1, row.Effects[0] = 7;
      if (wear.Kind == wkHat && wear.Design == hdCatEars) row.CashCheck = 1;
      if (wear.Kind == wkHat && wear.Design == hdWitch) row.Requires[0] = {1, 1, JobFlags({6, 7, 8, 28, 33, 47, 52}), "0"};
      TArtSpec art{arWear, wear.Design, 0, 0, wear.Kind, scheme.Colors};
      b.Add(wear.Subtype == 2 && wear.Slot != 4 ? 2 : 1, row, art, wear.Table);
    }
  }
  // Elemental stones: one design per element pair.
  for (int32_t design = 0; design < 3; ++design)
    for (int32_t e = 0; e < 5; ++e) {
      TItemRow row = EquipRow(11, 1100, design + 1, e + 1, std::string(Elements[e].Name) + "の精霊石" +
                                                           (design == 0 ? "" : design == 1 ? "・珠" : "・双晶"),
                              1);
      row.Description = WearDescription(wkStone);
      row.ItemLvValue = 10 + design * 15;
      row.Statuses[0] = {9, 5 + design * 5};
      row.Effects[0] = 1 + e % 3;
      if (e == 4) row.Effects[1] = 4;
      if (design == 2) Rare(row, 0xA040C0);
      b.Add(1, row, {arWear, design, 0, 0, wkStone, Elements[e].Colors}, "WEAPON/MAGIC/MAGIC.TBL");
    }
}

void AddWeapons(TBuilder& b) {
  for (int32_t kind = 1; kind <= kWeaponKindCount; ++kind) {
    const int32_t variants = kind == 4 || kind == 12 ? 3 : 2;
    for (int32_t v = 0; v < variants; ++v) {
      const bool offhand = kind == 12 || kind == 23;
      const int32_t slot = offhand ? kShieldSlot : kWeaponSlot;
      TItemRow row = EquipRow(slot, 1200 + kind, v + 1, 1, WeaponNames[static_cast<size_t>(kind)][static_cast<size_t>(v)], 1);
      row.Kind = kind;
      row.Description = std::string(KindTexts[static_cast<size_t>(kind)]) + "。" +
                        (v == 0 ? "扱いやすい基本の一品。" : "名工の手による逸品。");
      const TWeaponMotions motions = WeaponMotionTypes(kind);
      if (!offhand) row.MotionTypeID1 = motions.Alone, row.MotionTypeID2 = motions.WithShield, row.MotionTypeID3 = motions.WithRogueKnife;
      row.ItemLvValue = v == 0 ? 1 : 30 + kind;
      row.Statuses[0] = {offhand && kind == 12 ? 2 : 1, 10 + v * 25 + kind};
      if (v > 0) {
        row.Requires[0] = {1, 1, WeaponJobs(kind), "0"};
        row.Statuses[1] = {kind % 2 ? 7 : 6, 5 * v};
        row.Effects[0] = 1 + kind % 8;
        Rare(row, v == 1 ? 0xA040C0 : 0xE07010);
      }
      if (kind == 4 && v == 2) {
        row.SubPosID11 = kShieldSlot;  // both hands: the shield slot too
        row.Statuses[2] = {8, -2};
      }
      if (kind == 5 && v == 1) Gender(row, 2, 1), row.Requires[0].Type = 0;  // the gender test skips the unused first
      const TScheme& scheme = WeaponSchemes[v];
      const bool magic = kind == 11 || kind == 13 || kind == 21 || kind == 27;
      b.Add(1, row, {arWeapon, kind, v, 0, wkHat, scheme.Colors}, magic ? "WEAPON/MAGIC/MAGIC.TBL" : "WEAPON/WEAPON.TBL");
    }
  }
}

TArtSpec Spec(TArtKind kind, int32_t a, int32_t b = 0, int32_t c = 0) {
  TArtSpec spec;
  spec.Kind = kind, spec.A = a, spec.B = b, spec.C = c;
  return spec;
}

void AddBase(TBuilder& b) {
  const std::string body = "BODY.TBL";
  for (int32_t tone = 0; tone < kSkinTones; ++tone) {
    static const char* names[] = {"色白", "標準", "小麦色", "褐色"};
    b.Add(2, BaseRow(1501, 1, tone + 1, 5, names[tone], std::string("肌の色: ") + names[tone]),
          Spec(arBody, tone), body);
  }
  static const char* faceNames[2][kFaceDesigns] = {{"まっすぐな目", "鋭い目", "おだやかな目"},
                                                   {"ぱっちり目", "つり目", "たれ目"}};
  for (int32_t g = 0; g < 2; ++g)
    for (int32_t d = 0; d < kFaceDesigns; ++d)
      for (int32_t e = 0; e < kEyeColors; ++e)
        b.Add(2, BaseRow(1401 + g, d + 1, e + 1, 4, faceNames[g][d], std::string("顔: ") + faceNames[g][d]),
              Spec(arFace, g, d, e), body);
  // A face no beauty-shop record offers.
  b.Add(2, BaseRow(1401, 4, 1, 4, "試作の顔", "開発中の顔"), Spec(arFace, 0, 1, 2), body);

  static const char* hairNames[2][kHairStyles] = {
      {"ツンツンショート", "ミディアム", "流し前髪", "ちょんまげ風", "ロングストレート", "オールバック", "モヒカン"},
      {"ロングストレート", "ツインテール", "ボブ", "ポニーテール", "ウェーブロング", "おだんご", "スーパーロング"}};
  for (int32_t g = 0; g < 2; ++g)
    for (int32_t s = 0; s < kHairStyles; ++s)
      for (int32_t c = 0; c < kHairColors; ++c) {
        if (g == 0 && s == kHairStyles - 1 && c > 0) break;  // the unoffered style has one colour
        b.Add(2, BaseRow(1301 + g, s + 1, c + 1, 3, hairNames[g][s], std::string("髪型: ") + hairNames[g][s]),
              Spec(arHair, g, s, c), "HAIR/HAIR.TBL");
      }

  // Base clothes: three designs per gender, the first colour the default.
  struct TBaseWear {
    int32_t Category, Code;
    TWearKind Kind;
    int32_t Design;
    const char* Name;
    std::vector<int32_t> Colors;
  };
  const TBaseWear base[] = {
      {205, 1, wkTops, 0, "Tシャツ", {1, 0, 2}},      {205, 1, wkTops, 1, "チュニック", {7, 2}},
      {205, 1, wkTops, 2, "ベスト", {3, 1}},          {209, 1, wkTops, 3, "ブラウス", {4, 6, 1}},
      {209, 1, wkTops, 4, "セーラー服", {4, 3}},      {209, 1, wkTops, 5, "セーター", {6, 2}},
      {302, 2, wkBottoms, 0, "短パン", {7, 1}},       {302, 2, wkBottoms, 1, "ズボン", {3, 7}},
      {302, 2, wkBottoms, 2, "七分丈パンツ", {2, 1}}, {303, 2, wkBottoms, 3, "プリーツスカート", {1, 0, 3}},
      {303, 2, wkBottoms, 0, "ショートパンツ", {7}},  {303, 2, wkBottoms, 7, "フリルスカート", {6, 4}},
  };
  int32_t num = 0, lastCategory = 0;
  for (const TBaseWear& wear : base) {
    num = wear.Category == lastCategory ? num + 1 : 1;
    lastCategory = wear.Category;
    for (size_t i = 0; i < wear.Colors.size(); ++i) {
      const TScheme& scheme = Schemes[wear.Colors[i]];
      b.Add(2, BaseRow(wear.Category, num, static_cast<int32_t>(i) + 1, wear.Code, std::string(wear.Name) + "(" + scheme.Name + ")", wear.Name),
            {arWear, wear.Design, 0, 0, wear.Kind, scheme.Colors}, wear.Kind == wkTops ? "COSTUME/TOPS.TBL" : "COSTUME/BOTTOMS.TBL");
    }
  }
}

// Rows that repeat appearances, and rows the loader leaves out.
void AddRepeatsAndRejects(TBuilder& b) {
  std::vector<TDemoItem> extra;
  for (const TDemoItem& item : b.Catalogue.Items) {
    if (item.Row.Type != 1 || item.Row.ColorID != 1) continue;
    if (item.Row.SubType == 1 && (item.Row.PosID1 == 4 || item.Row.PosID1 == 13) && item.Row.Num == 1) {
      // The same battle appearance again in the second table: left out.
      TDemoItem copy = item;
      copy.Row.ID += 50;
      copy.Row.Name += "・改";
      copy.Table = 2;
      copy.Skipped = true;
      extra.push_back(copy);
      if (item.Row.PosID1 == 4) {
        // A fashion piece of that look is loaded all the same.
        TDemoItem fashion = item;
        fashion.Row.ID += 60;
        fashion.Row.SubType = 2;
        fashion.Row.Name = "見た目・" + item.Row.Name;
        fashion.Row.Statuses = {};
        fashion.Row.ItemLvValue = 0;
        fashion.Table = 2;
        extra.push_back(fashion);
      }
    }
  }
  // A battle appearance twice in one table: the second row is left out.
  TDemoItem twin = b.Catalogue.Items.front();
  for (const TDemoItem& item : b.Catalogue.Items)
    if (item.Row.Type == 1 && item.Row.SubType == 1 && item.Table == 1) {
      twin = item;
      break;
    }
  twin.Row.ID += 70;
  twin.Skipped = true;
  extra.push_back(twin);

  TDemoItem reject = twin;
  reject.WithIcon = false;
  reject.Row.ID = 9990001, reject.Row.Category = 1999, reject.Row.Num = 1, reject.Row.ColorID = 1;
  reject.Row.Name = "古びた依頼書", reject.Row.PosID1 = 0;  // no slot
  extra.push_back(reject);
  reject.Row.ID = 9990002, reject.Row.Name = "回復ポーション", reject.Row.PosID1 = 1, reject.Row.Type = 3;
  extra.push_back(reject);
  reject.Row.ID = 9990003, reject.Row.Name = "ペットのたまご", reject.Row.Type = 1, reject.Row.SubType = 3;
  extra.push_back(reject);
  for (TDemoItem& item : extra) b.Catalogue.Items.push_back(std::move(item));
}

// Colour variants of every piece of equipment, for a client of the game's size.
void AddVariants(TBuilder& b, int32_t variants) {
  const size_t designs = b.Catalogue.Items.size();
  int32_t id = 40000000;
  for (int32_t v = 0; v < variants; ++v)
    for (size_t i = 0; i < designs; ++i) {
      const TDemoItem& item = b.Catalogue.Items[i];
      if (item.Row.Type != 1 || item.Skipped || item.Row.ColorID != 1 || item.Row.ID % 100 >= 50) continue;
      TDemoItem copy = item;
      copy.Row.ID = ++id;
      copy.Row.ColorID = 100 + v;
      copy.Row.Name += Sprintf(" #%d", v + 2);
      copy.Art.HueShift = 360 * (v + 1) / (variants + 1);
      copy.Table = 1 + v % 2;
      copy.SpriteTable = Sprintf("EXTRA/EXTRA_%.2d.TBL", v % 24);
      b.Catalogue.Items.push_back(std::move(copy));
    }
}

void AddBeautyShop(TBuilder& b) {
  auto& rows = b.Catalogue.Basics;
  int32_t id = 0;
  auto add = [&](int32_t gender, int32_t category, std::string name, int32_t itemID) {
    TBasicRow row;
    row.ID = ++id;
    row.Gender = gender, row.ServiceType = 1, row.CategoryIndex = category, row.Name = std::move(name);
    row.PositionIndex = static_cast<int32_t>(rows.size()) + 1, row.ItemID = itemID;
    rows.push_back(row);
  };
  static const char* hairNames[2][kHairStyles] = {
      {"ツンツンショート", "ミディアム", "流し前髪", "ちょんまげ風", "ロングストレート", "オールバック", ""},
      {"ロングストレート", "ツインテール", "ボブ", "ポニーテール", "ウェーブロング", "おだんご", "スーパーロング"}};
  static const char* colorNames[kHairColors] = {"こげ茶", "栗色", "金色", "銀青", "桃色"};
  for (int32_t g = 0; g < 2; ++g)
    for (int32_t s = 0; s < kHairStyles; ++s) {
      const int32_t base = (1301 + g) * 100000 + (s + 1) * 100;
      if (g == 0 && s == 5) {  // offered colour by colour
        for (int32_t c = 0; c < kHairColors; ++c)
          add(g + 1, 1, std::string(hairNames[g][s]) + "(" + colorNames[c] + ")", base + c + 1);
      } else if (g == 1 || s < 5) {
        add(g + 1, 1, hairNames[g][s], base);
      }
    }
  for (int32_t c = 0; c < kHairColors; ++c) add(0, 2, colorNames[c], c + 1);
  static const char* faceNames[2][kFaceDesigns] = {{"まっすぐな目", "鋭い目", "おだやかな目"},
                                                   {"ぱっちり目", "つり目", "たれ目"}};
  for (int32_t g = 0; g < 2; ++g)
    for (int32_t d = 0; d < kFaceDesigns; ++d) add(g + 1, 3, faceNames[g][d], (1401 + g) * 100000 + (d + 1) * 100);
  static const char* eyeNames[kEyeColors] = {"茶色の瞳", "青い瞳", "緑の瞳", "赤い瞳", "紫&金の瞳"};
  for (int32_t e = 0; e < kEyeColors; ++e) add(0, 4, eyeNames[e], e + 1);
  static const char* bodyNames[kSkinTones] = {"色白", "標準", "小麦色", "褐色"};
  for (int32_t t = 0; t < kSkinTones; ++t) add(0, 5, bodyNames[t], 1501 * 100000 + 100 + t + 1);
}

void AddMotions(TBuilder& b) {
  for (int32_t job = 1; job <= kJobCount; ++job)
    for (int32_t motion : MotionTypes) {
      TMotionRow row{job * 1000 + motion, {}};
      for (int32_t kind = 0; kind < atEmotIcon; ++kind) row.Animations[kind] = AnimationName(motion, kind);
      b.Catalogue.Motions.push_back(std::move(row));
    }
}

void AddStrings(TBuilder& b) {
  auto& s = b.Catalogue.Strings;
  s.emplace_back(1000011, "戦闘装備");
  s.emplace_back(1000012, "ファッション");
  static const char* statuses[] = {"",           "攻撃力 %+d",   "防御力 %+d",       "最大HP %+d",
                                   "最大MP %+d", "命中 +%d",     "回避率 %d%%",      "クリティカル率 %d%%",
                                   "移動速度 %+d", "魔法攻撃力 %+d", "ジャンプ力 %d%%"};
  for (int32_t t = 1; t < static_cast<int32_t>(std::size(statuses)); ++t) s.emplace_back(1020000 + t, statuses[t]);
  s.emplace_back(1200001, "男性");
  s.emplace_back(1200002, "女性");
  for (int32_t k = 1; k <= kWeaponKindCount; ++k) s.emplace_back(1206000 + k, KindTexts[static_cast<size_t>(k)]);
  for (int32_t j = 1; j <= kJobCount; ++j) s.emplace_back(20000 + j, JobTexts[static_cast<size_t>(j - 1)]);
  for (int32_t j = 1; j <= kJobCount; ++j) s.emplace_back(6000018 + j, JobTexts[static_cast<size_t>(j - 1)]);
  static const char* effects[] = {"", "炎属性の攻撃", "氷属性の攻撃", "雷属性の攻撃", "毒を防ぐ",
                                  "ノックバックしない", "経験値が10%増える", "光のオーラをまとう", "HPが少しずつ回復する"};
  for (int32_t e = 1; e < static_cast<int32_t>(std::size(effects)); ++e) b.Catalogue.Effects.emplace_back(e, effects[e]);
  b.Catalogue.SkillMotions = {{1, "SKILL_SLASH"}, {2, "SKILL_CAST"}, {3, "SKILL_SHOOT"}};
}

}  // namespace

const std::vector<TTableSpec> SpriteTables = {
    {"BODY.TBL", smRGBA, 0},
    {"HAIR/HAIR.TBL", smRGBA, 0},
    {"COSTUME/TOPS.TBL", smRGBKey, 1},
    {"COSTUME/BOTTOMS.TBL", smRGBKey, 1},
    {"COSTUME/HEAD.TBL", smRGBA, 1},
    {"COSTUME/LIMBS.TBL", smPaletteKey, 3},
    {"WEAPON/WEAPON.TBL", smPaletteKey, 2},
    {"WEAPON/MAGIC/MAGIC.TBL", smPaletteAlpha, 2},
};

std::string IconSheetName(int32_t Sheet) { return Sprintf("DATA/INTERFACE/ICON/ITEMICON_%.3d.PNG", Sheet); }

std::string AnimationName(int32_t MotionType, int32_t Kind) {
  std::string column(MotionColumnNames[static_cast<size_t>(Kind)]);
  if (!column.empty() && column[0] == '_') column.erase(0, 1);
  return Sprintf("%.3d_%s", MotionType, column.c_str());
}

std::string EmoticonName(int32_t Number) {
  return Number < 100 ? Sprintf("100_04_%.2d_EMOTICON%.2d", Number, Number)
                      : Sprintf("100_05_%.2d_EMOTICON%.2d", Number - 99, Number - 99);
}

TDemoCatalogue BuildCatalogue(int32_t Variants) {
  TBuilder b;
  AddBase(b);
  AddWear(b);
  AddWeapons(b);
  // A few pieces without an icon.
  for (TDemoItem& item : b.Catalogue.Items)
    if (item.Row.Type == 1 && item.Row.Category == 1020 && item.Row.Num == 4) item.WithIcon = false;
  AddRepeatsAndRejects(b);
  AddVariants(b, Variants);
  AddBeautyShop(b);
  AddMotions(b);
  AddStrings(b);
  return std::move(b.Catalogue);
}

}  // namespace varune::demo
