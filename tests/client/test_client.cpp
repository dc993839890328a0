#include "client/test_client.h"

#include "database/client_writer.h"
#include "formats/seq_writer.h"
#include "formats/tbl_writer.h"
#include "imaging/png.h"

namespace varune::test {
namespace {

struct TPart {
  int32_t ID, Type, Category, PosID1, Sub11 = 0, Kind = 0, Motion1 = 0, Motion2 = 0, Motion3 = 0, Gender = 0,
                                      JobFlags = 0;
  std::vector<int32_t> Layers;
};

const std::vector<TPart>& Parts() {
  static const std::vector<TPart> parts = {
      {kHairMale, 2, 1301, 3, 0, 0, 0, 0, 0, 0, 0, {kLayerHair}},
      {kHairMale2, 2, 1301, 3, 0, 0, 0, 0, 0, 0, 0, {kLayerHair}},
      {kFaceMale, 2, 1401, 4, 0, 0, 0, 0, 0, 0, 0, {kLayerFace}},
      {kBody, 2, 1501, 5, 0, 0, 0, 0, 0, 0, 0, {kLayerBody}},
      {kTopsMale, 2, 205, 1, 0, 0, 0, 0, 0, 0, 0, {kLayerTops}},
      {kBottomsMale, 2, 302, 2, 0, 0, 0, 0, 0, 0, 0, {kLayerBottoms}},
      {kHairFemale, 2, 1302, 3, 0, 0, 0, 0, 0, 0, 0, {kLayerHair}},
      {kFaceFemale, 2, 1402, 4, 0, 0, 0, 0, 0, 0, 0, {kLayerFace}},
      {kTopsFemale, 2, 209, 1, 0, 0, 0, 0, 0, 0, 0, {kLayerTops}},
      {kBottomsFemale, 2, 303, 2, 0, 0, 0, 0, 0, 0, 0, {kLayerBottoms}},
      {kHatPlain, 1, 900, 1, 0, 0, 0, 0, 0, 0, 0, {kLayerHat}},
      {kHatHidingHair, 1, 903, 1, 0, 0, 0, 0, 0, 0, 0, {kLayerHat}},
      {kHatSecondHairSet, 1, 901, 1, 0, 0, 0, 0, 0, 0, 0, {kLayerHat}},
      {kTop, 1, 400, 4, 0, 0, 0, 0, 0, 0, 0, {kLayerTops}},
      {kBottom, 1, 500, 5, 0, 0, 0, 0, 0, 0, 0, {kLayerHat + 5}},
      {kSword, 1, 700, 13, 0, 3, 5, 6, 7, 0, 0, {kLayerWeapon}},
      {kGreatSword, 1, 701, 13, 14, 4, 8, 0, 0, 0, 0, {kLayerWeapon}},
      {kShield, 1, 800, 14, 0, 12, 0, 0, 0, 0, 0, {}},
      {kRogueKnife, 1, 801, 14, 0, 23, 0, 0, 0, 0, 0, {}},
      {kFemaleGlasses, 1, 600, 2, 0, 0, 0, 0, 0, 2, 0, {kLayerGlasses}},
      {kJob2Ring, 1, 601, 12, 0, 0, 0, 0, 0, 0, 2, {}},
  };
  return parts;
}

// Cells of one layer: IDs 0 to 24 (two hair sets of 12, and one more).
constexpr int32_t kCellsPerLayer = 25;

}  // namespace

TColor32 TTestClient::CellColor(int32_t Layer, int32_t ItemID, int32_t Cell) {
  const uint32_t hash = static_cast<uint32_t>(ItemID) * 2654435761u ^ static_cast<uint32_t>(Layer * 977 + Cell * 131);
  return 0xFF000000u | (hash & 0x00FFFFFFu) | 0x00010101u;  // never black, always opaque
}

TTestClient::TTestClient() {
  TClientWriter client;
  std::vector<TItemRow> rows;
  std::vector<TTblItemData> entries;
  // One sheet: a row of 4 x 4 cells per (item, layer).
  TBitmap32 sheet(kCellsPerLayer * 4, 64);
  int32_t sheetRow = 0;
  for (const TPart& part : Parts()) {
    TItemRow row;
    row.ID = part.ID;
    row.Type = part.Type;
    row.Category = part.Category;
    row.Num = part.ID % 1000;
    row.ColorID = 1;
    row.PosID1 = part.PosID1;
    row.SubPosID11 = part.Sub11;
    row.Kind = part.Kind;
    row.MotionTypeID1 = part.Motion1;
    row.MotionTypeID2 = part.Motion2;
    row.MotionTypeID3 = part.Motion3;
    row.Name = "item " + std::to_string(part.ID);
    if (part.Gender != 0) row.Requires[0] = {1, 2, std::to_string(part.Gender), "0"};
    if (part.JobFlags != 0) row.Requires[0] = {1, 1, std::to_string(part.JobFlags), "0"};
    rows.push_back(row);
    for (int32_t layer : part.Layers) {
      TTblItemData entry{kCellsPerLayer, Sprintf("%.2d_%.4d_%.3d_%.2d", layer, row.Category, row.Num, row.ColorID), {}};
      for (int32_t cell = 0; cell < kCellsPerLayer; ++cell) {
        TTblImage image;
        image.ID = cell;
        image.Rect = {cell * 4, sheetRow * 4, cell * 4 + 4, sheetRow * 4 + 4};
        image.FileName = "SHEET.PNG";
        entry.Images.push_back(image);
        sheet.FillRect(cell * 4, sheetRow * 4, cell * 4 + 4, sheetRow * 4 + 4, CellColor(layer, part.ID, cell));
      }
      entries.push_back(std::move(entry));
      ++sheetRow;
    }
  }
  client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(rows));
  client.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", WriteMft(TMftHeader{}, {"TEST/PARTS.TBL"}), 1);
  client.Add("DATA/CHAR/CHARLAYER/TEST/PARTS.TBL", WriteTbl(0, entries), 2);
  client.Add("DATA/CHAR/CHARLAYER/TEST/SHEET.PNG", EncodePng(sheet, ppfRGBA), 3);

  // Motions: job 1 and job 30 with the types the weapons impose; job 2 only stands.
  std::vector<TMotionRow> motions;
  for (int32_t job : {1, 2, 30})
    for (int32_t type : {1, 3, 5, 6, 7, 8}) motions.push_back({job * 1000 + type, {{atStand, "STAND" + std::to_string(type)}, {atMove, "MOVE"}, {atRun, "TURNS"}}});
  client.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable(motions));

  // Every stand sequence has the same two frames; MOVE has three and no layers.
  auto layer = [](int32_t number, int32_t image, int32_t x, int32_t y, uint32_t visible = 1) {
    return TSeqLayer{number, image, 0, x, y, visible};
  };
  TSeqFrame first{0, 0.08f, 0, {layer(kLayerHat, 1, 0, -20), layer(kLayerGlasses, 1, 4, -16),
                                layer(kLayerHair, 4, 0, -16), layer(kLayerFace, 1, 0, -12),
                                layer(kLayerTops, 1, 0, -8), layer(kLayerHat + 5, 1, 4, -4),
                                layer(kLayerBottoms, 1, 0, -4), layer(kLayerWeapon, 1, 8, -8),
                                layer(kLayerBody, 1, 0, -8)}};
  TSeqFrame second = first;
  second.Time = 0.1f;
  for (TSeqLayer& l : second.Items) l.ImageIndex = 2;
  for (int32_t type : {1, 3, 5, 6, 7, 8})
    client.Add("DATA/ANITABLE/STAND" + std::to_string(type) + "_R.SEQ", WriteSeq(TSeqHeader{}, {first, second}));
  client.Add("DATA/ANITABLE/MOVE.SDT", WriteSeq(TSeqHeader{}, {TSeqFrame{0, 0.05f, 0, {}}, TSeqFrame{1, 0, 0, {}},
                                                               TSeqFrame{2, 0.0999f, 0, {}}}));
  // TURNS: the body mirrored at x + 10, the tops turned a quarter clockwise at x + 20.
  client.Add("DATA/ANITABLE/TURNS_R.SEQ",
             WriteSeq(TSeqHeader{}, {TSeqFrame{0, 0.1f, 0, {TSeqLayer{kLayerTops, 1, 90, 20, 0, 1},
                                                            TSeqLayer{kLayerBody, 1, 0, 10, 0, 0x101}}}}));
  TBitmap32 shadow(64, 32);
  shadow.Clear(kShadowColor);
  client.Add("DATA/INTERFACE/CONCEPT/SHADOW.PNG", EncodePng(shadow, ppfRGBA), 0);
  client.Add("DATA/ANITABLE/100_04_07_EMOTICON07_R.SEQ", WriteSeq(TSeqHeader{}, {}));
  client.AddMinimalTables();
  client.Write(FDir.Path());
}

std::unique_ptr<TVaruneDatabase> TTestClient::Load() const {
  auto database = std::make_unique<TVaruneDatabase>();
  database->LoadPath(FDir.Path());
  return database;
}

}  // namespace varune::test
