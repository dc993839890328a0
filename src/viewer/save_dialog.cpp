#include "viewer/save_dialog.h"

#include <cstdio>

#include "imaging/canvas.h"
#include "imaging/png.h"

namespace varune {
namespace {

std::string TwoDigits(int32_t Value) {
  char text[12];
  std::snprintf(text, sizeof text, "%.2d", Value);
  return text;
}

// Year, month, day, hour, minute, second joined by the separators.
std::string JoinDateTime(const std::string (&Parts)[6], std::string_view DateSeparator,
                         std::string_view TimeSeparator) {
  const std::string ds(DateSeparator), ts(TimeSeparator);
  return Parts[0] + ds + Parts[1] + ds + Parts[2] + " " + Parts[3] + ts + Parts[4] + ts + Parts[5];
}

TBitmap32 FilledPreview() {
  TBitmap32 picture(kSavePreviewSize, kSavePreviewSize);
  picture.Clear(kPreviewFillColor);
  return picture;
}

void Frame(TBitmap32& Picture) { Picture.FrameRectS(0, 0, Picture.Width(), Picture.Height(), kPreviewFrameColor); }

}  // namespace

// ---- Rows ------------------------------------------------------------------

int32_t SaveRowCount(TLoadSaveState Mode, int32_t SlotCount) { return Mode == lsSave ? SlotCount + 1 : SlotCount; }

bool IsNewSlotRow(TLoadSaveState Mode, int32_t SlotCount, int32_t Row) { return Mode == lsSave && Row == SlotCount; }

std::string FormatSaveDateTime(double DateTime, std::string_view DateSeparator, std::string_view TimeSeparator) {
  const std::optional<TDateTimeFields> f = DecodeDateTime(DateTime);
  if (!f) return JoinDateTime({"----", "--", "--", "--", "--", "--"}, DateSeparator, TimeSeparator);
  char year[8];
  std::snprintf(year, sizeof year, "%.4d", f->Year);
  return JoinDateTime({year, TwoDigits(f->Month), TwoDigits(f->Day), TwoDigits(f->Hour), TwoDigits(f->Minute),
                       TwoDigits(f->Second)},
                      DateSeparator, TimeSeparator);
}

std::string SaveRowText(const TSaveData& Data, TLoadSaveState Mode, int32_t Row, std::string_view DateSeparator,
                        std::string_view TimeSeparator) {
  if (IsNewSlotRow(Mode, Data.Count(), Row)) return kNewSlotRowText;
  if (Row < 0 || Row >= Data.Count()) return {};
  return std::to_string(Row) + ": " + FormatSaveDateTime(Data.Items(Row).DateTime, DateSeparator, TimeSeparator);
}

bool DeleteSlotRow(TSaveData& Data, TLoadSaveState Mode, int32_t Row) {
  if (Mode != lsSave || Row < 0 || Row >= Data.Count()) return false;
  Data.Delete(Row);
  return true;
}

// ---- Pictures --------------------------------------------------------------

TBitmap32 EmptyPreview() {
  TBitmap32 picture = FilledPreview();
  Frame(picture);
  return picture;
}

TBitmap32 NewPreview() {
  TBitmap32 picture = FilledPreview();
  TCanvas canvas(picture);
  canvas.Font.Name = "MS UI Gothic";
  canvas.Font.SetSize(18);
  canvas.Font.Bold = true;
  canvas.Font.Color = kPreviewFrameColor;
  constexpr const char* kText = "- NEW -";
  canvas.TextOut((picture.Width() - canvas.TextWidth(kText)) / 2, (picture.Height() - canvas.TextHeight(kText)) / 2,
                 kText);
  Frame(picture);
  return picture;
}

TBitmap32 SlotPreview(const TSaveItem& Item) {
  TBitmap32 picture(kSavePreviewSize, kSavePreviewSize);
  picture.Clear(Color32(255, 255, 255));
  if (Item.Image.empty()) return picture;
  try {
    const TPngImage image = DecodePng(Item.Image.data(), Item.Image.size(), kMaxPreviewPixels);
    TCanvas(picture).Draw((kSavePreviewSize - image.Width) / 2, (kSavePreviewSize - image.Height) / 2, image);
  } catch (const Error&) {
    // Slots read from the file were checked; one filled otherwise may not be.
  }
  return picture;
}

TBitmap32 RowPreview(const TSaveData& Data, TLoadSaveState Mode, int32_t Row) {
  if (IsNewSlotRow(Mode, Data.Count(), Row)) return NewPreview();
  if (Row < 0 || Row >= Data.Count()) return EmptyPreview();
  return SlotPreview(Data.Items(Row));
}

// ---- The character ---------------------------------------------------------

void FillSaveItem(TSaveItem& Item, const TChara& Chara, const TBitmap32& CharaBuffer, double DateTime) {
  Item.DateTime = DateTime;
  Item.Gender = Chara.Gender();
  Item.Job = static_cast<uint8_t>(Chara.Job());
  for (int32_t position = 0; position < kBasePositionCount; ++position)
    Item.BaseIDs[position] = Chara.GetBaseID(static_cast<TBasePosition>(position));
  Item.EquipIDs.clear();
  for (int32_t posID = 1; posID <= kSlotCount; ++posID) Item.AddEquipID(Chara.GetEquipID(posID));
  Item.Image = CharaBuffer.Empty() ? std::vector<uint8_t>{} : EncodePng(CharaBuffer, ppfRGB);
}

TSaveItem& StoreSlot(TSaveData& Data, int32_t Row, const TChara& Chara, const TBitmap32& CharaBuffer,
                     double DateTime) {
  // Filled aside first: a failure must not leave a half-filled slot behind.
  TSaveItem filled;
  FillSaveItem(filled, Chara, CharaBuffer, DateTime);
  TSaveItem& item = Row == Data.Count() ? Data.Add() : Data.Items(Row);
  return item = std::move(filled);
}

void ApplySlotBase(TChara& Chara, const TSaveItem& Item) {
  Chara.Update([&] {
    Chara.Clear();
    Chara.SetGender(Item.Gender);
    Chara.SetJob(Item.Job);
    for (int32_t position = 0; position < kBasePositionCount; ++position)
      Chara.SetBaseID(static_cast<TBasePosition>(position), Item.BaseIDs[position]);
  });
}

void ApplySlotEquipment(TChara& Chara, const TSaveItem& Item, const TVaruneItemList& ItemList) {
  Chara.Update([&] {
    for (const int32_t id : Item.EquipIDs) Chara.Equip(ItemList.Find(id));
  });
}

void ApplySlot(TChara& Chara, const TSaveItem& Item, const TVaruneItemList& ItemList,
               const std::function<void()>& BetweenHalves) {
  Chara.Update([&] {
    ApplySlotBase(Chara, Item);
    if (BetweenHalves) BetweenHalves();
    ApplySlotEquipment(Chara, Item, ItemList);
  });
}

}  // namespace varune
