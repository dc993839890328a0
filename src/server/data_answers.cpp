// The routes answered in JSON: the client, its items, the selectors, outfits.

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "archive/error.h"
#include "character/chara.h"
#include "database/language.h"
#include "server/answers.h"
#include "server/api_error.h"
#include "server/picture_query.h"
#include "viewer/item_card.h"
#include "viewer/item_filter.h"
#include "viewer/item_icon.h"
#include "viewer/selectors.h"
#include "viewer/startup.h"

namespace varune::server {

namespace {

using nlohmann::json;

std::string HexColor(TColor32 color) {
  char text[16];
  std::snprintf(text, sizeof text, "#%08X", color);
  return text;
}

int32_t ReadInt(const TRoute& route, std::string_view name, int32_t low, int32_t high, int32_t fallback) {
  const std::string* text = route.Find(name);
  if (!text) return fallback;
  int32_t value = 0;
  const auto [end, problem] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (text->empty() || problem != std::errc() || end != text->data() + text->size())
    throw BadRequest(std::string(name) + " is not a number: " + *text);
  if (value < low || value > high)
    throw BadRequest(std::string(name) + " takes " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

bool ReadFlag(const TRoute& route, std::string_view name) {
  const std::string* text = route.Find(name);
  if (!text || *text == "0" || *text == "false") return false;
  if (text->empty() || *text == "1" || *text == "true") return true;
  throw BadRequest(std::string(name) + " takes 1, 0, true or false");
}

TGenderType ReadGender(const TRoute& route) {
  const std::string* text = route.Find("gender");
  if (!text || *text == "male") return gtMale;
  if (*text == "female") return gtFemale;
  throw BadRequest("gender takes male or female");
}

const char* GenderName(TGenderType gender) { return gender == gtMale ? "male" : "female"; }

std::string ItemLink(int32_t id, const char* what) {
  return "/api/v1/items/" + std::to_string(id) + "/" + what;
}

// Null for an item without icon artwork, whose icon route answers 404.
json IconLink(const TVaruneDatabase& database, const TVaruneItem& item) {
  return ItemIconSheet(database, item) ? json(ItemLink(item.FIndex, "icon.png")) : json(nullptr);
}

json ItemSummary(const TVaruneDatabase& database, const TVaruneItem& item) {
  return {{"id", item.FIndex},
          {"name", item.FName},
          {"slot", item.FPosID1},
          {"category", item.FCategory},
          {"level", item.FItemLvValue},
          {"name_color", HexColor(item.FNameColor)},
          {"icon", IconLink(database, item)},
          {"card", ItemLink(item.FIndex, "card.png")}};
}

TAnswer Info(const TCatalogue& catalogue) {
  const TVaruneDatabase& database = catalogue.Database();
  json equipment;
  for (const TGenderType gender : {gtMale, gtFemale})
    for (int32_t slot = 1; slot <= kSlotCount; ++slot)
      equipment[GenderName(gender)][std::to_string(slot)] = database.GetSpec(gender, slot).Count();
  json archives = json::array();
  for (const TArchiveFile& file : catalogue.Archives()) archives.push_back({{"name", file.Name}, {"size", file.Size}});
  return JsonAnswer({{"version", AppVersionNumber()},
                     {"client", catalogue.Folder()},
                     {"items", database.ItemList().Count()},
                     {"equipment", equipment},
                     {"archives", archives}});
}

TWork Items(const TCatalogueRef& catalogue, const TRoute& route) {
  const TGenderType gender = ReadGender(route);
  TItemFilter filter;
  filter.Slot = ReadInt(route, "slot", 1, kSlotCount, 1);
  filter.Job = ReadInt(route, "job", 1, kJobCount, 0);
  if (const std::string* category = route.Find("filter")) {
    const TParamEntry& entry = *QueryParam("filter");
    const auto found = std::find(entry.Values.begin(), entry.Values.end(), *category);
    if (found == entry.Values.end()) throw BadRequest("filter takes all, functional, fashion or shop");
    filter.Category = static_cast<TEquipFilter>(found - entry.Values.begin());
  }
  filter.WeaponKind = ReadInt(route, "weapon", 0, kWeaponKindCount, 0);
  if (const std::string* search = route.Find("q")) filter.Search = *search;
  const bool genderFree = ReadFlag(route, "gender_free");
  const int32_t offset = ReadInt(route, "offset", 0, INT32_MAX, 0);
  const int32_t limit = ReadInt(route, "limit", 1, 500, 100);
  return [=] {
    const TVaruneDatabase& database = genderFree ? catalogue->GenderFree() : catalogue->Database();
    TVaruneItemList items;
    ApplyItemFilter(database.GetSpec(gender, filter.Slot), filter, items);
    json list = json::array();
    const int32_t total = static_cast<int32_t>(items.Count());
    for (int32_t i = offset; i < total && i - offset < limit; ++i) list.push_back(ItemSummary(database, *items[i]));
    return JsonAnswer({{"total", total}, {"offset", offset}, {"limit", limit}, {"items", list}});
  };
}

TAnswer Item(const TCatalogue& catalogue, const TVaruneItem& item) {
  std::shared_lock names(TCatalogue::NameTablesLock());
  const TItemCard card = MeasureItemHint(item, catalogue.Database());
  json lines = json::array();
  for (const TItemCardText& text : ItemCardTexts(card))
    lines.push_back({{"y", text.Y}, {"color", HexColor(text.Color)}, {"text", text.Text}});
  return JsonAnswer({{"id", item.FIndex},
                     {"name", item.FName},
                     {"description", item.FDescription},
                     {"category", item.FCategory},
                     {"num", item.FNum},
                     {"color", item.FColorID},
                     {"subtype", item.FSubType},
                     {"kind", item.FKind},
                     {"cash", item.FCashCheck},
                     {"pos1", item.FPosID1},
                     {"sub11", item.FSubPosID11},
                     {"sub12", item.FSubPosID12},
                     {"level", item.FItemLvValue},
                     {"name_color", HexColor(item.FNameColor)},
                     {"icon", IconLink(catalogue.Database(), item)},
                     {"card", {{"url", ItemLink(item.FIndex, "card.png")},
                               {"width", card.FWidth},
                               {"height", card.FHeight},
                               {"lines", lines}}}});
}

json Entries(const TComboState& combo) {
  json entries = json::array();
  for (const TComboEntry& entry : combo.Entries) entries.push_back({{"id", entry.ID()}, {"caption", entry.Caption}});
  return entries;
}

// A style selector with, for each style, what its colour selector lists.
json Styles(const TVaruneItemList& items, const TVaruneBasicList& styles, const TVaruneBasicList& colours) {
  TComboState style, colour;
  FillBasicCombo(style, items, styles);
  json entries = json::array();
  for (const TComboEntry& entry : style.Entries) {
    LoadBasicList2(colour, entry, items, colours);
    entries.push_back({{"id", entry.ID()}, {"caption", entry.Caption}, {"colors", Entries(colour)},
                       {"colors_enabled", colour.Enabled}});
  }
  return entries;
}

json TrackBar(const TVaruneItemList& items) {
  json entries = json::array();
  for (const TVaruneItem* item : items) entries.push_back({{"id", item->FIndex}, {"name", item->FName}});
  return entries;
}

// What the item browser's slot cells and filter menus are called.
json BrowserNames(bool japanese) {
  json slots = json::array(), filters = json::array(), weapons = json::array();
  for (int32_t slot = 1; slot <= kBrowsableSlotCount; ++slot)
    slots.push_back({{"slot", slot}, {"name", SlotNamesOf(japanese)[static_cast<size_t>(slot - 1)]}});
  const std::vector<std::string_view>& keys = QueryParam("filter")->Values;
  for (size_t i = 0; i < keys.size(); ++i) filters.push_back({{"filter", keys[i]}, {"name", EquipFilterNamesOf(japanese)[i]}});
  for (int32_t kind = 0; kind <= kWeaponKindCount; ++kind)
    if (WeaponKindBrowsable(kind)) weapons.push_back({{"kind", kind}, {"name", WeaponKindNames[static_cast<size_t>(kind)]}});
  return {{"slots", slots}, {"filters", filters}, {"weapon_kinds", weapons}};
}

TAnswer Selectors(const TCatalogue& catalogue, TGenderType gender, int32_t job, bool japanese) {
  const TVaruneDatabase& database = catalogue.Database();
  TComboState body;
  FillBasicCombo(body, database.Bodies(), database.BasicBodies());
  json bodies = json::array();
  for (size_t i = 0; i < body.Entries.size(); ++i) {
    body.ItemIndex = static_cast<int32_t>(i);
    const TVaruneItem* item = SelectedBaseItem(body, database.Bodies());
    bodies.push_back({{"id", body.Entries[i].ID()}, {"caption", body.Entries[i].Caption},
                      {"item", item ? json(item->FIndex) : json(nullptr)}});
  }
  json jobs = json::array(), animations = json::array();
  {
    std::shared_lock names(TCatalogue::NameTablesLock());
    for (int32_t j = 1; j <= kJobCount; ++j) jobs.push_back({{"job", j}, {"name", JobNames[static_cast<size_t>(j - 1)]}});
  }
  for (const std::string_view name : AnimationTypeNames) animations.push_back(name.substr(2));
  json answer = {
      {"gender", GenderName(gender)},
      {"hair", Styles(database.GetHairList(gender), database.GetBasicHairList(gender), database.BasicHairColors())},
      {"face", Styles(database.GetFaceList(gender), database.GetBasicFaceList(gender), database.BasicEyeColors())},
      {"body", bodies},
      {"tops", TrackBar(database.GetTopsList(gender))},
      {"bottoms", TrackBar(database.GetBottomsList(gender))},
      {"jobs", jobs},
      {"animations", animations}};
  answer.update(BrowserNames(japanese));
  if (job) answer["job"] = job;
  return JsonAnswer(answer);
}

// `item` is the record of `id`, or null when the client has none.
json ItemRef(int32_t id, const TVaruneItem* item) {
  json ref = {{"id", id}, {"name", item ? json(item->FName) : json(nullptr)}};
  if (item) ref["slot"] = item->FPosID1;
  return ref;
}

// An item worn, with what a slot panel shows of it: every slot it takes, and its icon.
json EquipmentRef(const TVaruneDatabase& database, int32_t id) {
  const TVaruneItem* item = database.ItemList().Find(id);
  json ref = ItemRef(id, item);
  if (!item) return ref;
  json slots = json::array();
  for (const int32_t slot : item->Slots())
    if (slot >= 1 && slot <= kSlotCount) slots.push_back(slot);
  ref["slots"] = slots;
  ref["icon"] = IconLink(database, *item);
  return ref;
}

// The outfit a code restores and what the dressed character could not put on.
json Outfit(const TVaruneDatabase& database, const std::string& code, const std::vector<std::string>& refused) {
  static constexpr const char* kParts[] = {"hair", "face", "body", "tops", "bottoms"};
  const TOutfitRecord record = DecodeOutfitCode(code);
  json base, equipment = json::array();
  for (size_t i = 0; i < record.BaseIDs.size(); ++i) {
    const int32_t id = record.BaseIDs[i];
    base[kParts[i]] = id == -1 ? json(nullptr) : ItemRef(id, database.ItemList().Find(id));
  }
  for (const int32_t id : record.EquipIDs) equipment.push_back(EquipmentRef(database, id));
  return {{"code", code},
          {"code_url", UrlSafeOutfitCode(code)},
          {"gender", GenderName(record.Gender)},
          {"base", base},
          {"equipment", equipment},
          {"refused", refused}};
}

TWork Dressed(const TCatalogueRef& catalogue, const TRoute& route) {
  TPictureRequest request = ReadPictureRequest(route);
  if (request.Code) {
    try {
      DecodeOutfitCode(*request.Code);
    } catch (const Error& error) {
      throw BadRequest(std::string("code is damaged: ") + error.what());
    }
  }
  return [catalogue, request] {
    TChara chara(catalogue->MutableDatabase());
    std::vector<std::string> refused;
    Dress(chara, request, [&](const std::string& what) { refused.push_back(what); });
    std::string code = chara.Code();
    std::erase(code, '\r');
    std::erase(code, '\n');
    json answer = Outfit(catalogue->Database(), code, refused);
    if (request.Job) answer["job"] = *request.Job;
    return JsonAnswer(answer);
  };
}

}  // namespace

const TVaruneItem& FindItem(const TCatalogue& Catalogue, int32_t Id) {
  const TVaruneItem* item = Catalogue.Database().ItemList().Find(Id);
  if (!item) throw NotFound("no item " + std::to_string(Id));
  return *item;
}

TAnswer JsonAnswer(const json& Json) {
  TAnswer answer;
  answer.ContentType = "application/json";
  answer.Body = Json.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
  return answer;
}

TWork PrepareDataAnswer(const TCatalogueRef& Catalogue, const TRoute& Route) {
  switch (Route.Entry->Id) {
    case riInfo: return [Catalogue] { return Info(*Catalogue); };
    case riItems: return Items(Catalogue, Route);
    case riItem: {
      const TVaruneItem& item = FindItem(*Catalogue, Route.Id);
      return [Catalogue, &item] { return Item(*Catalogue, item); };
    }
    case riSelectors: {
      const TGenderType gender = ReadGender(Route);
      const int32_t job = ReadInt(Route, "job", 1, kJobCount, 0);
      const std::string* lang = Route.Find("lang");
      if (lang && *lang != "en" && *lang != "ja") throw BadRequest("lang takes en or ja");
      const bool japanese = lang && *lang == "ja";
      return [=] { return Selectors(*Catalogue, gender, job, japanese); };
    }
    case riOutfit:
    case riOutfitCode: return Dressed(Catalogue, Route);
    default: return nullptr;
  }
}

}  // namespace varune::server
