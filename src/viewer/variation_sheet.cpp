#include "viewer/variation_sheet.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "archive/atomic_file.h"
#include "archive/error.h"
#include "imaging/canvas.h"
#include "imaging/png.h"
#include "viewer/selectors.h"
#include "viewer/sprite_sheet.h"

namespace varune {
namespace {

constexpr int32_t kCaptionFontSize = 9;

// A style selector and its colour selector as the desktop program shows them
// for what the character wears.
struct TStyleSelectors {
  const TVaruneItemList& Items;
  const TVaruneBasicList& ColorRecords;
  TComboState Style;
  TComboState Colors;

  TStyleSelectors(const TChara& chara, const TVaruneItemList& items, const TVaruneBasicList& styles,
                  const TVaruneBasicList& colorRecords, TBasePosition part)
      : Items(items), ColorRecords(colorRecords) {
    FillBasicCombo(Style, items, styles);
    if (!SelectBasicEntry(Style, Colors, chara.GetBaseObj(part), colorRecords, items) && Style.Selected())
      LoadBasicList2(Colors, *Style.Selected(), items, colorRecords);
  }

  // Choosing style `index` keeps the colour's position, as the selector does.
  std::vector<TVariationChoice> StyleChoices() const {
    std::vector<TVariationChoice> choices;
    for (const TComboEntry& entry : Style.Entries) {
      TComboState colors = Colors;
      LoadBasicList2(colors, entry, Items, ColorRecords);
      choices.push_back({entry.ID(), entry.Caption, SelectedBaseItem(colors, Items)});
    }
    return choices;
  }

  std::vector<TVariationChoice> ColorChoices() const {
    std::vector<TVariationChoice> choices;
    for (const TComboEntry& entry : Colors.Entries) choices.push_back({entry.ID(), entry.Caption, entry.Item});
    return choices;
  }
};

std::vector<TVariationChoice> ListChoices(const TVaruneItemList& list) {
  std::vector<TVariationChoice> choices;
  for (const TVaruneItem* item : list) choices.push_back({item->FIndex, item->FName, item});
  return choices;
}

std::vector<TVariationChoice> BodyChoices(const TVaruneDatabase& database) {
  TComboState body;
  FillBasicCombo(body, database.Bodies(), database.BasicBodies());
  std::vector<TVariationChoice> choices;
  for (size_t i = 0; i < body.Entries.size(); ++i) {
    body.ItemIndex = static_cast<int32_t>(i);
    choices.push_back({body.Entries[i].ID(), body.Entries[i].Caption, SelectedBaseItem(body, database.Bodies())});
  }
  return choices;
}

std::vector<TVariationChoice> ItemColorChoices(const TVaruneDatabase& database, TGenderType gender, int32_t id) {
  const TVaruneItem* item = database.ItemList().Find(id);
  if (!item) throw Error("no item " + std::to_string(id));
  std::vector<TVariationChoice> choices;
  for (const TVaruneItem* sibling : database.GetSpec(gender, item->FPosID1))
    if (sibling->FCategory == item->FCategory && sibling->FNum == item->FNum)
      choices.push_back({sibling->FIndex, sibling->FName, sibling, true});
  if (choices.empty()) throw Error("item " + std::to_string(id) + " is not worn by this gender");
  return choices;
}

void PutOn(TChara& twin, const TChara& model, const TVariationChoice& choice) {
  DressLike(twin, model);
  if (!choice.Item) return;
  if (choice.Equip)
    twin.Equip(choice.Item);
  else
    twin.Base(choice.Item);
}

TColor32 CaptionColor(const TCharaView& view, bool transparent) {
  if (transparent) return 0xFF000000u;
  const TColor32 c = view.BackgroundColor;
  const int32_t light = RedComponent(c) * 299 + GreenComponent(c) * 587 + BlueComponent(c) * 114;
  return light >= 128 * 1000 ? 0xFF000000u : 0xFFFFFFFFu;
}

}  // namespace

std::vector<TVariationChoice> VariationChoices(const TChara& Chara, TVariation Kind, int32_t ItemID) {
  const TVaruneDatabase& database = Chara.DataBase();
  const TGenderType gender = Chara.Gender();
  switch (Kind) {
    case vaHair: case vaHairColor: {
      const TStyleSelectors hair(Chara, database.GetHairList(gender), database.GetBasicHairList(gender),
                                 database.BasicHairColors(), bpHair);
      return Kind == vaHair ? hair.StyleChoices() : hair.ColorChoices();
    }
    case vaFace: case vaEyeColor: {
      const TStyleSelectors face(Chara, database.GetFaceList(gender), database.GetBasicFaceList(gender),
                                 database.BasicEyeColors(), bpFace);
      return Kind == vaFace ? face.StyleChoices() : face.ColorChoices();
    }
    case vaBody: return BodyChoices(database);
    case vaTops: return ListChoices(database.GetTopsList(gender));
    case vaBottoms: return ListChoices(database.GetBottomsList(gender));
    case vaItem: return ItemColorChoices(database, gender, ItemID);
  }
  return {};
}

TVariationSheet MakeVariationSheet(const TCharaView& View, const TChara& Chara, bool Transparent,
                                   const TPictureOptions& Options, TVariation Kind, int32_t ItemID,
                                   const TExportProgress& Progress) {
  const std::vector<TVariationChoice> choices = VariationChoices(Chara, Kind, ItemID);
  if (choices.empty())
    throw Error("the character has no choices of " + std::string(kVariationNames[Kind]) + " to show");
  TChara twin(Chara.DataBase());
  TFramer framer(View, Transparent, Options);
  if (framer.NeedsMeasuring()) {
    for (const TVariationChoice& choice : choices) {
      PutOn(twin, Chara, choice);
      framer.Measure(twin, twin.FrameNumber());
    }
  }

  TVariationSheet sheet;
  sheet.Transparent = Transparent;
  sheet.Kind = Kind;
  TBitmap32 measure(1, 1);
  TCanvas measuring(measure);
  measuring.Font.SetSize(kCaptionFontSize);
  int32_t captionWidth = 0;
  for (const TVariationChoice& choice : choices)
    captionWidth = std::max(captionWidth, measuring.TextWidth(choice.Name));
  const int32_t captionHeight = measuring.TextHeight("Mg") + 2;
  const int32_t cellWidth = std::max(framer.Width(), captionWidth + 4);
  const int32_t cellHeight = framer.Height() + captionHeight;
  const auto count = static_cast<int32_t>(choices.size());
  const int32_t columns = std::min(kSheetColumns, count);
  const int32_t rows = (count + kSheetColumns - 1) / kSheetColumns;
  CheckPictureSize(int64_t{columns} * cellWidth, int64_t{rows} * cellHeight);

  sheet.Picture.SetSize(columns * cellWidth, rows * cellHeight);
  if (!Transparent) sheet.Picture.Clear(View.BackgroundColor | 0xFF000000u);
  TCanvas canvas(sheet.Picture);
  canvas.Font.SetSize(kCaptionFontSize);
  canvas.Font.Color = CaptionColor(View, Transparent);
  TBitmap32 picture;
  for (int32_t i = 0; i < count; ++i) {
    if (Progress && !Progress(i, count)) throw TExportCancelled();
    const TVariationChoice& choice = choices[static_cast<size_t>(i)];
    PutOn(twin, Chara, choice);
    framer.Draw(twin, twin.FrameNumber(), picture);
    const int32_t x = i % kSheetColumns * cellWidth;
    const int32_t y = i / kSheetColumns * cellHeight;
    const int32_t left = x + (cellWidth - picture.Width()) / 2;
    canvas.CopyRect({left, y, left + picture.Width(), y + picture.Height()}, picture, picture.BoundsRect());
    canvas.TextOut(x + (cellWidth - canvas.TextWidth(choice.Name)) / 2, y + picture.Height() + 1, choice.Name);
    sheet.Cells.push_back({{x, y, x + cellWidth, y + cellHeight}, choice.ID, choice.Name});
  }
  if (Progress && !Progress(count, count)) throw TExportCancelled();
  return sheet;
}

std::string VariationSheetData(const TVariationSheet& Sheet, const std::string& ImageName) {
  nlohmann::ordered_json cells = nlohmann::ordered_json::array();
  for (const TVariationCell& cell : Sheet.Cells)
    cells.push_back({{"x", cell.Rect.Left},
                     {"y", cell.Rect.Top},
                     {"w", cell.Rect.Width()},
                     {"h", cell.Rect.Height()},
                     {"id", cell.ID},
                     {"name", cell.Name}});
  const nlohmann::ordered_json data = {
      {"image", ImageName},
      {"vary", kVariationNames[Sheet.Kind]},
      {"size", {{"w", Sheet.Picture.Width()}, {"h", Sheet.Picture.Height()}}},
      {"cells", cells}};
  return data.dump(1, ' ') + "\n";
}

void WriteVariationSheet(const TVariationSheet& Sheet, const std::string& PictureFile, const std::string& DataFile) {
  const std::vector<uint8_t> png = EncodePng(Sheet.Picture, Sheet.Transparent ? ppfRGBA : ppfRGB);
  const std::string data =
      DataFile.empty() ? "" : VariationSheetData(Sheet, std::filesystem::path(PictureFile).filename().string());
  std::vector<TFileContents> files = {{PictureFile, BytesOf(png)}};
  if (!DataFile.empty()) files.push_back({DataFile, data});
  WriteFilesTogether(files);
}

}  // namespace varune
