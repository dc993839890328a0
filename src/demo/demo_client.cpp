#include "demo/demo_client.h"

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "archive/error.h"
#include "database/client_writer.h"
#include "database/database.h"
#include "demo/animation.h"
#include "demo/catalogue.h"
#include "demo/interface_art.h"
#include "demo/sheets.h"
#include "formats/seq_writer.h"
#include "formats/tbl_writer.h"
#include "imaging/png.h"

namespace varune::demo {
namespace {

constexpr int32_t kAjjiya = 0, kBanx = 1, kBary = 2, kZenne = 3, kRowid = 4;
constexpr int32_t kIconsPerSheet = 256;  // 16 x 16 cells of 32 x 32
constexpr int32_t kLargeVariants = 180;

// Draws the art of a spec without its hue shift.
TArt DrawArt(const TArtSpec& spec) {
  switch (spec.Kind) {
    case arBody: return DrawBody(spec.A);
    case arFace: return DrawFace(static_cast<TGenderArt>(spec.A), spec.B, spec.C);
    case arHair: return DrawHair(static_cast<TGenderArt>(spec.A), spec.B, spec.C);
    case arWear: return DrawWear(spec.Wear, spec.A, spec.Colors);
    case arWeapon: return DrawWeapon(spec.A, spec.B, spec.Colors);
    case arNone: break;
  }
  return {};
}

// Base art shared by the colour variants of one design.
struct TArtKey {
  int32_t Kind, A, B, C, Wear;
  uint32_t Main, Second, Accent;
  auto operator<=>(const TArtKey&) const = default;
};

class TClientBuilder {
 public:
  explicit TClientBuilder(TDemoScale Scale) : FScale(Scale) {}

  TDemoSummary Build(const std::string& Dir);

 private:
  TSpriteTable& Table(const std::string& entry);
  void AddArtAndIcons(TDemoCatalogue& catalogue);
  void AddSequences();
  void AddInterface();
  void AddTables(const TDemoCatalogue& catalogue);

  TDemoScale FScale;
  TClientWriter FClient;
  TDemoSummary FSummary;
  std::vector<std::unique_ptr<TSpriteTable>> FTables;
  std::vector<int32_t> FTableArchives;
  std::vector<TBitmap32> FIcons;
};

TSpriteTable& TClientBuilder::Table(const std::string& entry) {
  for (const auto& table : FTables)
    if (table->Entry() == entry) return *table;
  for (const TTableSpec& spec : SpriteTables)
    if (entry == spec.Entry) {
      FTables.push_back(std::make_unique<TSpriteTable>(entry, static_cast<TSheetMode>(spec.Mode)));
      FTableArchives.push_back(spec.Archive);
      return *FTables.back();
    }
  // Tables of the variants: small sheets, spread over two archives.
  FTables.push_back(std::make_unique<TSpriteTable>(entry, smRGBA, 256));
  FTableArchives.push_back(FTables.size() % 2 ? kZenne : kBanx);
  return *FTables.back();
}

void TClientBuilder::AddArtAndIcons(TDemoCatalogue& catalogue) {
  for (const TTableSpec& spec : SpriteTables) Table(spec.Entry);  // manifest order
  std::map<TArtKey, TArt> bases;
  std::map<std::string, int32_t> iconOfAppearance;  // appearance key -> icon number, -1 none
  for (TDemoItem& item : catalogue.Items) {
    TItemRow& row = item.Row;
    const std::string key = AppearanceKey(row.Category, row.Num, row.ColorID);
    auto known = iconOfAppearance.find(key);
    if (known == iconOfAppearance.end() && !item.Skipped && item.Art.Kind != arNone) {
      const TArtSpec& spec = item.Art;
      const TArtKey artKey{spec.Kind, spec.A, spec.B, spec.C, spec.Wear, spec.Colors.Main, spec.Colors.Second,
                           spec.Colors.Accent};
      auto base = bases.find(artKey);
      if (base == bases.end()) base = bases.emplace(artKey, DrawArt(spec)).first;
      TArt art = base->second;
      if (spec.HueShift)
        for (TCell& cell : art.Drawn) ShiftHues(cell.Bitmap, spec.HueShift);
      Table(item.SpriteTable).AddItem(art, row.Category, row.Num, row.ColorID);
      int32_t icon = -1;
      if (row.Type == 1 && art.MainIndex >= 0) {
        const TIconTint tint = row.CashCheck ? itShop : row.SubType == 1 ? itBattle : itFashion;
        FIcons.push_back(DrawIcon(art.Drawn[static_cast<size_t>(art.MainIndex)].Bitmap, tint));
        icon = static_cast<int32_t>(FIcons.size()) - 1;
      }
      known = iconOfAppearance.emplace(key, icon).first;
    }
    const int32_t icon = known == iconOfAppearance.end() ? -1 : known->second;
    if (item.WithIcon && icon >= 0) {
      row.Icon = kIconResBase + icon / kIconsPerSheet;
      row.IconIndex = icon % kIconsPerSheet + 1;
    }
  }

  std::vector<std::string> manifest;
  for (size_t i = 0; i < FTables.size(); ++i) {
    if (FTables[i]->ItemCount() == 0) continue;
    manifest.push_back(FTables[i]->Entry());
    FSummary.SpriteItems += FTables[i]->ItemCount();
    std::vector<TArchiveFile> files = FTables[i]->Finish();
    FSummary.Sheets += static_cast<int32_t>(files.size()) - 1;
    for (TArchiveFile& file : files) FClient.Add(file.Name, std::move(file.Bytes), FTableArchives[i]);
  }
  FSummary.SpriteTables = static_cast<int32_t>(manifest.size());
  TMftHeader header{};
  const char signature[] = "VARUNE WARDROBE DEMO CHARACTER LAYERS";
  std::memcpy(header.Signature, signature, sizeof signature);
  header.Unknown1 = 1;
  header.Unknown3 = 1.0f;
  FClient.Add(std::string(kCharLayerFolder) + "CHARACTER.MFT", WriteMft(header, manifest), kAjjiya);

  for (size_t first = 0; first < FIcons.size(); first += kIconsPerSheet) {
    TBitmap32 sheet(512, 512);
    for (size_t i = first; i < std::min(FIcons.size(), first + kIconsPerSheet); ++i) {
      const int32_t n = static_cast<int32_t>(i - first);
      sheet.Draw((n % 16) * 32, (n / 16) * 32, FIcons[i]);
    }
    FClient.Add(IconSheetName(static_cast<int32_t>(first / kIconsPerSheet)), EncodePng(sheet, ppfRGBA), kBary);
    ++FSummary.IconSheets;
  }
}

void TClientBuilder::AddSequences() {
  for (int32_t motion : MotionTypes)
    for (int32_t kind = 0; kind < atEmotIcon; ++kind) {
      const std::string name = AnimationName(motion, kind);
      const bool legacy = motion <= 2 && kind >= atFishingThrow;  // kept in the older container name
      FClient.Add("DATA/ANITABLE/" + name + (legacy ? ".SDT" : "_R.SEQ"),
                  SequenceFile(AnimationFrames(motion, static_cast<TAnimationType>(kind))),
                  legacy ? kRowid : motion <= 3 ? kBanx : kZenne);
      ++FSummary.Sequences;
    }
  for (int32_t n = 1; n <= kEmoticonCount; ++n) {
    FClient.Add("DATA/ANITABLE/" + EmoticonName(n) + "_R.SEQ", SequenceFile(EmoticonFrames(n)), kBanx);
    ++FSummary.Sequences;
  }
  // A stale copy in a later archive, which the first archive's copy hides.
  FClient.Add("DATA/ANITABLE/" + AnimationName(1, atStand) + "_R.SEQ", WriteSeq(TSeqHeader{}, {}), kZenne);
}

void TClientBuilder::AddInterface() {
  FClient.Add("DATA/INTERFACE/CONCEPT/UI102.PNG", EncodePng(DrawSlotAndWindowPicture(), ppfRGBA), kBary);
  FClient.Add("DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG", EncodePng(DrawMiniWeaponIcons(), ppfRGBA), kBary);
  FClient.Add("DATA/LOBBY/RB001.PNG", EncodePng(DrawGenderButtons(), ppfRGBA), kBary);
  FClient.Add("DATA/INTERFACE/CONCEPT/SHADOW.PNG", EncodePng(DrawShadow(), ppfRGBA), kAjjiya);
  TBitmap32 stale(64, 32);
  stale.Clear(0xFFFF0000);
  FClient.Add("DATA/INTERFACE/CONCEPT/SHADOW.PNG", EncodePng(stale, ppfRGBA), kZenne);
}

void TClientBuilder::AddTables(const TDemoCatalogue& catalogue) {
  std::vector<TItemRow> tables[2];
  for (const TDemoItem& item : catalogue.Items) {
    tables[item.Table - 1].push_back(item.Row);
    FSummary.SkippedRows += item.Skipped;
  }
  FSummary.ItemRows = static_cast<int32_t>(catalogue.Items.size());
  FClient.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(tables[0]), kRowid);
  FClient.Add("DATA/LDT/ITEM_2.LDT", WriteItemTable(tables[1]), kRowid);
  FClient.Add("DATA/LDT/BEAUTY_SHOP.LDT", WriteBeautyShopTable(catalogue.Basics), kRowid);
  FClient.Add("DATA/LDT/MOTIONTYPE.LDT", WriteMotionTable(catalogue.Motions), kRowid);
  FClient.Add("DATA/LDT/SKILL_MOTION.LDT", WriteTextTable("_Motion", catalogue.SkillMotions), kRowid);
  std::vector<std::pair<int32_t, std::string>> resources = {
      {1, "DATA/INTERFACE/CONCEPT/UI102.PNG"}, {2, "DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG"},
      {3, "DATA/LOBBY/RB001.PNG"}, {4, "DATA/INTERFACE/CONCEPT/SHADOW.PNG"}};
  for (int32_t sheet = 0; sheet < FSummary.IconSheets; ++sheet)
    resources.emplace_back(kIconResBase + sheet, IconSheetName(sheet));
  FClient.Add("DATA/LDT/GLOBAL_RES.LDT", WriteTextTable("_FILENAME", resources), kRowid);
  FClient.Add("DATA/LDT/GLOBAL_STRING.LDT", WriteTextTable("_STRING", catalogue.Strings), kRowid);
  FClient.Add("DATA/LDT/EFFECT.LDT", WriteTextTable("_Name", catalogue.Effects), kRowid);
  FSummary.MotionRows = static_cast<int32_t>(catalogue.Motions.size());
  FSummary.BeautyShopRows = static_cast<int32_t>(catalogue.Basics.size());
}

TDemoSummary TClientBuilder::Build(const std::string& Dir) {
  TDemoCatalogue catalogue = BuildCatalogue(FScale == dsLarge ? kLargeVariants : 0);
  AddArtAndIcons(catalogue);
  AddSequences();
  AddInterface();
  AddTables(catalogue);
  for (int32_t archive = 0; archive < 5; ++archive) FClient.SetVersion(archive, 20260101 + archive);
  std::filesystem::create_directories(Dir);
  FClient.Write(Dir);
  return FSummary;
}

}  // namespace

TDemoSummary WriteDemoClient(const std::string& Dir, TDemoScale Scale) { return TClientBuilder(Scale).Build(Dir); }

}  // namespace varune::demo
