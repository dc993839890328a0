#include "database/language.h"

#include <cstdlib>

namespace varune {
namespace {

bool FJapaneseUI = false;

constexpr std::array<std::string_view, kSlotCount> kSlotNamesJapanese = {
    "頭", "メガネ", "耳飾", "上半身", "下半身", "マント", "腕", "足",
    "ソックス", "メイク", "精霊石", "指輪", "武器", "盾", "武器2", "盾2"};
constexpr std::array<std::string_view, kSlotCount> kSlotNamesEnglish = {
    "Head", "Glasses", "Earings", "Top", "Bottom", "Cloak", "Gloves", "Boots", "Stockings",
    "Face", "Elemental stone", "Ring", "Weapon", "Shields", "Weapon2", "Shields2"};

// The weapon kinds have Japanese names in both languages.
constexpr std::array<std::string_view, kWeaponKindCount + 1> kWeaponKindNames = {
    "すべての武器", "ナックル", "短剣", "片手剣", "両手剣", "杖", "二刀", "鈍器", "槍", "弓",
    "石弓", "精霊石", "盾", "オーブ", "ギター", "二丁拳銃", "カバン", "MG", "スパイラルソード",
    "飛燕剣", "ガントレット", "サイキックハンド", "タクト", "ローグナイフ", "ガンブレイド",
    "ガーディアン", "バトルサイズ", "ソウルストーン"};

constexpr std::array<std::string_view, 4> kFilterNamesJapanese = {"すべての装備", "戦闘装備", "ファッション装備",
                                                                  "有料装備"};
constexpr std::array<std::string_view, 4> kFilterNamesEnglish = {"All items", "Only functional", "Only fashion",
                                                                 "Only shop"};

template <size_t N>
void Fill(std::array<std::string, N>& table, const std::array<std::string_view, N>& source) {
  for (size_t i = 0; i < N; ++i) table[i] = source[i];
}

template <size_t N>
std::array<std::string, N> Make(const std::array<std::string_view, N>& source) {
  std::array<std::string, N> table;
  Fill(table, source);
  return table;
}

bool LocaleIsJapanese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::string_view(value).substr(0, 2) == "ja";
  }
  return false;
}

}  // namespace

std::array<std::string, kSlotCount> EquipSlotNames = Make(kSlotNamesEnglish);
std::array<std::string, kWeaponKindCount + 1> WeaponKindNames = Make(kWeaponKindNames);
std::array<std::string, 4> EquipFilterNames = Make(kFilterNamesEnglish);
std::array<std::string, kGenderCount> GenderNames = {"男", "女"};
std::array<std::string, kJobCount> JobRequireNames;
std::array<std::string, kJobCount> JobNames;

bool IsJapaneseUI() { return FJapaneseUI; }

const std::array<std::string_view, kSlotCount>& SlotNamesOf(bool Japanese) {
  return Japanese ? kSlotNamesJapanese : kSlotNamesEnglish;
}

const std::array<std::string_view, 4>& EquipFilterNamesOf(bool Japanese) {
  return Japanese ? kFilterNamesJapanese : kFilterNamesEnglish;
}

bool WeaponKindBrowsable(int32_t Kind) { return Kind >= 0 && Kind <= kWeaponKindCount && Kind != 11 && Kind != 12; }

void SetJapaneseUI(bool AJapanese) {
  FJapaneseUI = AJapanese;
  Fill(EquipSlotNames, SlotNamesOf(AJapanese));
  Fill(WeaponKindNames, kWeaponKindNames);
  Fill(EquipFilterNames, EquipFilterNamesOf(AJapanese));
}

void InitLanguage() { SetJapaneseUI(LocaleIsJapanese()); }

std::string LangText(std::string_view AEnglish, std::string_view AJapanese) {
  return std::string(FJapaneseUI ? AJapanese : AEnglish);
}

}  // namespace varune
