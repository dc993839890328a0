#include "demo/contact_sheet.h"

namespace varune::demo {
namespace {

const TVaruneItem* FindLook(const TVaruneDatabase& database, const TOutfit::TLook& look) {
  const TVaruneItemList& items = database.ItemList();
  for (int32_t i = 0; i < items.Count(); ++i) {
    const TVaruneItem* item = items.GetItem(i);
    if (item->FCategory == look.Category && item->FNum == look.Num && item->FColorID == look.ColorID) return item;
  }
  return nullptr;
}

constexpr int32_t kCellWidth = 92, kCellHeight = 104, kZoom = 2;
constexpr TColor32 kBackground = 0xFFF5F1E8, kGround = 0xFFE6DFD0;

}  // namespace

const std::vector<TOutfit>& ShowcaseOutfits() {
  static const std::vector<TOutfit> outfits = {
      // A knight with sword and shield.
      {gtMale, 2, {{1301, 1, 3}, {1401, 1, 2}, {1501, 1, 2}},
       {{1030, 1, 1}, {1040, 1, 1}, {1050, 1, 1}, {1070, 4, 1}, {1060, 3, 1}, {1203, 1, 1}, {1212, 1, 1}}},
      // A mage with a witch hat and a staff.
      {gtFemale, 6, {{1302, 1, 5}, {1402, 1, 5}, {1501, 1, 1}},
       {{904, 1, 1}, {1030, 2, 1}, {1080, 2, 2}, {1070, 2, 1}, {1205, 1, 1}, {1100, 1, 2}}},
      // An archer in a cap and hoodie.
      {gtMale, 9, {{1301, 5, 4}, {1401, 2, 3}, {1501, 1, 3}},
       {{901, 1, 2}, {1030, 6, 1}, {1040, 2, 1}, {1050, 3, 1}, {1070, 1, 1}, {1209, 1, 1}}},
      // A bard with cat ears, wings and a guitar.
      {gtFemale, 19, {{1302, 2, 3}, {1402, 3, 2}, {1501, 1, 1}},
       {{905, 1, 1}, {1030, 4, 1}, {1080, 1, 1}, {1070, 3, 1}, {1050, 4, 1}, {1214, 1, 1}, {1090, 1, 1}}},
      // A swordswoman in a kimono with two swords.
      {gtFemale, 37, {{1302, 4, 2}, {1402, 2, 4}, {1501, 1, 2}},
       {{907, 1, 1}, {1030, 5, 1}, {1040, 5, 1}, {1070, 3, 2}, {1206, 1, 1}, {1020, 2, 1}}},
      // A hooded wanderer with a scythe.
      {gtMale, 35, {{1301, 2, 1}, {1401, 3, 5}, {1501, 1, 4}},
       {{903, 1, 1}, {1030, 3, 2}, {1040, 6, 1}, {1050, 5, 2}, {1070, 1, 2}, {1226, 1, 1}, {1010, 2, 1}}},
  };
  return outfits;
}

void Dress(TChara& Chara, const TVaruneDatabase& Database, const TOutfit& Outfit) {
  Chara.SetGender(Outfit.Gender);
  Chara.SetJob(Outfit.Job);
  Chara.Clear();
  for (const TOutfit::TLook& look : Outfit.Base)
    if (const TVaruneItem* item = FindLook(Database, look)) Chara.Base(item);
  for (const TOutfit::TLook& look : Outfit.Equipment)
    if (const TVaruneItem* item = FindLook(Database, look)) Chara.Equip(item);
}

TBitmap32 RenderContactSheet(TVaruneDatabase& Database) {
  struct TColumn {
    TAnimationType Animation;
    int32_t Frame;
  };
  const TColumn columns[] = {{atStand, 0}, {atMove, 0}, {atMove, 2}, {atMove, 4}, {atMove, 6},
                             {atNormalAttack01, 1}, {atNormalAttack01, 2}, {atNormalAttack01, 3},
                             {atNormalAttack01, 4}};
  const int32_t count = static_cast<int32_t>(std::size(columns));
  const std::vector<TOutfit>& outfits = ShowcaseOutfits();
  TBitmap32 sheet(count * kCellWidth * kZoom, static_cast<int32_t>(outfits.size()) * kCellHeight * kZoom);
  sheet.Clear(kBackground);

  TChara chara(Database);
  TBitmap32 view;
  for (size_t row = 0; row < outfits.size(); ++row) {
    Dress(chara, Database, outfits[row]);
    for (int32_t col = 0; col < count; ++col) {
      chara.SetAnimationType(columns[col].Animation);
      view.SetSize(250, 250);
      view.Clear(kBackground);
      view.FillRect(0, 200, 250, 250, kGround);
      if (chara.FrameCount() > 0) chara.Draw(view, 128, 200, columns[col].Frame % chara.FrameCount());
      // The cell shows the view around the feet.
      const int32_t left = 128 - kCellWidth / 2, top = 200 - kCellHeight + 10;
      for (int32_t y = 0; y < kCellHeight; ++y)
        for (int32_t x = 0; x < kCellWidth; ++x) {
          const TColor32 c = view.Pixel(left + x, top + y) | 0xFF000000u;
          const int32_t sx = (col * kCellWidth + x) * kZoom, sy = (static_cast<int32_t>(row) * kCellHeight + y) * kZoom;
          sheet.FillRect(sx, sy, sx + kZoom, sy + kZoom, c);
        }
    }
  }
  return sheet;
}

}  // namespace varune::demo
