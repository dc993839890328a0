#pragma once
// The interface language and the name tables it selects.
//
// The fixed tables (slots, weapon kinds, equipment filters) are copied from
// the Japanese or English constant set once at start-up; job and gender names
// come from the game's global strings while the database loads.

#include <array>
#include <string>
#include <string_view>

#include "database/types.h"

namespace varune {

// True when the process locale's language is Japanese (LC_ALL, LC_MESSAGES,
// then LANG, as POSIX orders them). Decided once, by InitLanguage.
bool IsJapaneseUI();

// Decides the language from the process locale and fills the fixed tables.
void InitLanguage();
// Chooses the language explicitly (tests, tools) and fills the fixed tables.
void SetJapaneseUI(bool AJapanese);

// The Japanese text when the interface is Japanese, else the English one.
std::string LangText(std::string_view AEnglish, std::string_view AJapanese);

extern std::array<std::string, kSlotCount> EquipSlotNames;             // entry PosID - 1
extern std::array<std::string, kWeaponKindCount + 1> WeaponKindNames;  // entry 0: all weapons
extern std::array<std::string, 4> EquipFilterNames;
extern std::array<std::string, kGenderCount> GenderNames;
extern std::array<std::string, kJobCount> JobRequireNames;  // entry J - 1
extern std::array<std::string, kJobCount> JobNames;         // entry J - 1

// The equipment filter of the item browser, entry by entry.
enum TEquipFilter : int32_t { efAll = 0, efFunctional = 1, efFashion = 2, efShop = 3 };

// The fixed tables of one language, whichever the interface uses: for
// callers that answer in several languages at once (the render service).
const std::array<std::string_view, kSlotCount>& SlotNamesOf(bool Japanese);
const std::array<std::string_view, 4>& EquipFilterNamesOf(bool Japanese);

// Whether the weapon kind menu offers kind `Kind`: elemental stones and
// shields have slots of their own, so their kinds are never browsed there.
bool WeaponKindBrowsable(int32_t Kind);

}  // namespace varune
