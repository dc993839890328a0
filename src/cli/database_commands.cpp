// Commands that load a client into the database.

#include <chrono>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include "archive/error.h"
#include "archive/stream.h"
#include "archive/text.h"
#include "cli/cli.h"
#include "cli/tsv.h"
#include "database/database.h"
#include "viewer/item_card.h"
#include "viewer/item_filter.h"

namespace varune::cli {
namespace {

using std::to_string;

// AARRGGBB, upper-case hex, after `prefix`.
std::string HexColor(TColor32 color, const char* prefix = "") {
  char text[16];
  std::snprintf(text, sizeof text, "%s%08X", prefix, color);
  return text;
}

void Info(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(1);
  TVaruneDatabase database;
  const auto start = std::chrono::steady_clock::now();
  database.LoadPath(args.Positional()[0]);
  const auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

  auto row = [&](const std::string& name, auto value) { WriteRow(out, {name, to_string(value)}); };
  auto perGender = [&](const std::string& name, auto count) {
    for (TGenderType gender : {gtMale, gtFemale}) row(name + (gender == gtMale ? ".male" : ".female"), count(gender));
  };
  row("items", database.ItemList().Count());
  for (TGenderType gender : {gtMale, gtFemale})
    for (int32_t slot = 1; slot <= kSlotCount; ++slot)
      row(std::string("equipment.") + (gender == gtMale ? "male." : "female.") + to_string(slot),
          database.GetSpec(gender, slot).Count());
  perGender("hairs", [&](TGenderType g) { return database.GetHairList(g).Count(); });
  perGender("faces", [&](TGenderType g) { return database.GetFaceList(g).Count(); });
  row("bodies", database.Bodies().Count());
  perGender("tops", [&](TGenderType g) { return database.GetTopsList(g).Count(); });
  perGender("bottoms", [&](TGenderType g) { return database.GetBottomsList(g).Count(); });
  perGender("basic.hairs", [&](TGenderType g) { return database.GetBasicHairList(g).Count(); });
  row("basic.haircolors", database.BasicHairColors().Count());
  perGender("basic.faces", [&](TGenderType g) { return database.GetBasicFaceList(g).Count(); });
  row("basic.eyecolors", database.BasicEyeColors().Count());
  row("basic.bodies", database.BasicBodies().Count());
  row("motions", database.MotionList().Count());
  row("globalstrings", database.GlobalStringList().Count());
  row("globalres", database.GlobalResList().Count());
  row("effects", database.EffectList().Count());
  row("skillmotions", database.SkillMotionList().Count());
  row("spritetables", database.TblList().size());
  char milliseconds[32];
  std::snprintf(milliseconds, sizeof milliseconds, "%.1f", elapsed);
  WriteRow(out, {"load_ms", milliseconds});
}

void Items(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(1);
  const TGenderType gender = ParseGender(args.Value("--gender", "male"));
  TItemFilter filter;
  filter.Slot = ParseInt(args.Value("--slot", "1"), "--slot", 1, kSlotCount);
  if (args.Has("--job")) filter.Job = ParseInt(args.Value("--job"), "--job", 1, kJobCount);
  const std::string category = args.Value("--filter", "all");
  const std::pair<const char*, TEquipFilter> categories[] = {
      {"all", efAll}, {"functional", efFunctional}, {"fashion", efFashion}, {"shop", efShop}};
  const auto chosen = std::find_if(std::begin(categories), std::end(categories),
                                   [&](const auto& c) { return category == c.first; });
  if (chosen == std::end(categories)) throw UsageError("--filter takes all, functional, fashion or shop");
  filter.Category = chosen->second;
  filter.WeaponKind = ParseInt(args.Value("--weapon", "0"), "--weapon", 0, kWeaponKindCount);
  filter.Search = args.Value("--search");

  TVaruneDatabase database;
  database.SetGenderFree(args.Has("--gender-free"));
  database.LoadPath(args.Positional()[0]);
  TVaruneItemList items;
  ApplyItemFilter(database.GetSpec(gender, filter.Slot), filter, items);

  WriteRow(out, {"id", "name", "category", "num", "color", "subtype", "kind", "cash", "pos1", "sub11", "sub12", "level",
                 "namecolor"});
  for (const TVaruneItem* item : items) {
    WriteRow(out, {to_string(item->FIndex), item->FName, to_string(item->FCategory), to_string(item->FNum),
                   to_string(item->FColorID), to_string(item->FSubType), to_string(item->FKind),
                   to_string(item->FCashCheck), to_string(item->FPosID1), to_string(item->FSubPosID11),
                   to_string(item->FSubPosID12), to_string(item->FItemLvValue), HexColor(item->FNameColor)});
  }
}

// The item card as the hint window shows it: its picture, or its texts.
void Card(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(2);
  const bool lines = args.Has("--lines");
  if (lines == args.Has("-o")) throw UsageError("give either -o OUT.png or --lines");
  const std::string target = args.Value("-o");
  if (!lines && !SameTextAscii(std::filesystem::path(target).extension().string(), ".png"))
    throw UsageError("OUT must end in .png");
  const int32_t id = ParseInt(args.Positional()[1], "ITEM_ID");

  TVaruneDatabase database;
  database.LoadPath(args.Positional()[0]);
  const TVaruneItem* item = database.ItemList().Find(id);
  if (!item) throw Error("no item " + to_string(id) + " in " + args.Positional()[0]);
  const TItemCard card = MeasureItemHint(*item, database);

  if (lines) {
    for (const TItemCardText& text : ItemCardTexts(card))
      WriteRow(out, {to_string(text.Y), HexColor(text.Color, "#"), text.Text});
    return;
  }
  WriteFileAtomically(target, ItemCardPng(card));
  out << target << "\n";
}

}  // namespace

void AddDatabaseCommands(std::vector<TCommand>& commands) {
  commands.push_back({{"info"}, "CLIENT_DIR", "loads the client and prints one 'name value' line per figure", Info});
  commands.push_back({{"items"},
                      "CLIENT_DIR [--gender male|female] [--slot N] [--job N] [--filter all|functional|fashion|shop] "
                      "[--weapon K] [--search TEXT] [--gender-free]",
                      "the items of a gender's slot list that pass the item browser's filters",
                      Items,
                      {"--gender", "--slot", "--job", "--filter", "--weapon", "--search"},
                      {"--gender-free"}});
  commands.push_back({{"card"},
                      "CLIENT_DIR ITEM_ID (-o OUT.png | --lines)",
                      "the item's card as its hint shows it: a PNG with transparent cut corners, or one "
                      "'y colour text' line per text (colour #AARRGGBB)",
                      Card,
                      {"-o"},
                      {"--lines"}});
}

}  // namespace varune::cli
