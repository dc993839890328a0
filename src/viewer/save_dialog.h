#pragma once
// The save slot dialog without its widgets: the rows it lists in each mode,
// their texts, deleting a slot, the preview pictures it shows, and what
// loading and saving a slot do to the character. The dialog mirrors these;
// "save.dat" itself is save_data.h.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "imaging/bitmap32.h"
#include "viewer/save_data.h"

namespace varune {

enum TLoadSaveState : uint8_t { lsLoad, lsSave };

// The save dialog's last row, which stands for a new slot.
inline constexpr const char* kNewSlotRowText = "------- NEW -------";

// ---- Rows ------------------------------------------------------------------

// One row per slot, and in lsSave the new slot's row after them.
int32_t SaveRowCount(TLoadSaveState Mode, int32_t SlotCount);
bool IsNewSlotRow(TLoadSaveState Mode, int32_t SlotCount, int32_t Row);

// "yyyy/mm/dd hh:nn:ss" with the locale's separators in place of "/" and
// ":"; a date that is not finite or outside the years 1 to 9999 reads
// "----/--/-- --:--:--" (with the same separators).
std::string FormatSaveDateTime(double DateTime, std::string_view DateSeparator = "/",
                               std::string_view TimeSeparator = ":");
// The text of a row: "%d: " and the slot's date, or kNewSlotRowText; empty
// for a row the mode does not have.
std::string SaveRowText(const TSaveData& Data, TLoadSaveState Mode, int32_t Row, std::string_view DateSeparator = "/",
                        std::string_view TimeSeparator = ":");

// Delete pressed on `Row`: only in lsSave and only on a slot's row (not the
// new one) the slot is deleted from the list, not from the file. True when a
// slot was deleted: the dialog then selects no row.
bool DeleteSlotRow(TSaveData& Data, TLoadSaveState Mode, int32_t Row);

// ---- Pictures (kSavePreviewSize square) ------------------------------------

inline constexpr int32_t kSavePreviewSize = 200;
inline constexpr TColor32 kPreviewFillColor = Color32(0x84, 0xBD, 0x80);
inline constexpr TColor32 kPreviewFrameColor = Color32(0x46, 0x8C, 0x7C);

// No row selected: the fill with a one-pixel frame.
TBitmap32 EmptyPreview();
// The new slot's row: the fill, "- NEW -" centred in "MS UI Gothic" 18 points
// bold, and the frame.
TBitmap32 NewPreview();
// A slot's preview centred on white: a larger one is cropped evenly, a slot
// without preview (or with one that cannot be decoded) is white.
TBitmap32 SlotPreview(const TSaveItem& Item);
// The picture for a selected row (-1 for none), by the rules above.
TBitmap32 RowPreview(const TSaveData& Data, TLoadSaveState Mode, int32_t Row);

// ---- The character ---------------------------------------------------------

// Fills a slot from the character: date, gender, job (low 8 bits), base IDs,
// the equipment IDs of slots 1 to 16 each once, and `CharaBuffer` (the
// character picture as shown) as an RGB PNG; no preview when it is empty.
void FillSaveItem(TSaveItem& Item, const TChara& Chara, const TBitmap32& CharaBuffer, double DateTime);
// The slot a save into `Row` fills, filled: the new slot's row appends one,
// any other overwrites its slot in place. Raises varune::Error for a row
// outside 0 to Count. The file is written by TSaveData::SaveData.
TSaveItem& StoreSlot(TSaveData& Data, int32_t Row, const TChara& Chara, const TBitmap32& CharaBuffer,
                     double DateTime = NowDateTime());

// Loading a slot, in two halves around the selectors' synchronisation
// (SelectBasicEntry, SelectBodyEntry), all inside one BeginUpdate/EndUpdate:
// first everything off, the gender (a change runs OnGenderChange), the job
// and the base parts (-1 and unknown IDs keep the current part); then each
// equipment ID the item list holds, in order.
void ApplySlotBase(TChara& Chara, const TSaveItem& Item);
void ApplySlotEquipment(TChara& Chara, const TSaveItem& Item, const TVaruneItemList& ItemList);
// Both halves in one update that ends even when a step raises, with
// `BetweenHalves` (may be empty) run between them.
void ApplySlot(TChara& Chara, const TSaveItem& Item, const TVaruneItemList& ItemList,
               const std::function<void()>& BetweenHalves);

}  // namespace varune
