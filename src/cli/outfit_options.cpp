#include "cli/outfit_options.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "archive/error.h"
#include "archive/text.h"

namespace varune::cli {

const std::vector<std::string> kOutfitOptions = {"--gender", "--job",   "--anim", "--emoticon",
                                                 "--base",   "--equip", "--code"};
const char* const kOutfitSynopsis =
    "[--gender male|female] [--job N] [--anim NAME|INDEX] [--emoticon N] [--base ID,...] [--equip ID,...] "
    "[--code CODE]";
const std::vector<std::string> kPictureOptions = {"--frame", "--size", "--background", "--hide"};
const std::vector<std::string> kPictureFlags = {"--transparent"};
const char* const kPictureSynopsis =
    "[--frame N] [--size large|small] [--background #RRGGBB|FILE.bmp] [--transparent] "
    "[--hide hair,face,body,tops,bottoms]";

namespace {

std::vector<int32_t> ParseIdList(const std::string& text, const std::string& option) {
  std::vector<int32_t> ids;
  std::stringstream items(text);
  for (std::string item; std::getline(items, item, ',');)
    if (!item.empty()) ids.push_back(ParseInt(item, option));
  return ids;
}

TColor32 ParseColor(const std::string& text) {
  if (text.size() != 7 || text[0] != '#' ||
      text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    throw UsageError("--background takes #RRGGBB or a .bmp file");
  return 0xFF000000u | static_cast<TColor32>(std::stoul(text.substr(1), nullptr, 16));
}

bool IsBasePart(const TVaruneItem* item) { return item && item->FType == kItemTypeBasePart; }

std::string CannotWear(const TVaruneItem& item) {
  return "the character cannot wear item " + std::to_string(item.FIndex) + " (" + item.FName + ")";
}

// Restores an outfit code; the character skips silently what it cannot
// restore, so the record is compared with what it now wears.
void DressFromCode(TChara& chara, TVaruneDatabase& database, const std::string& code, const TRefusal& refuse) {
  const TOutfitRecord record = DecodeOutfitCode(code);
  chara.Restore(record);
  for (const int32_t id : record.BaseIDs)
    if (id != -1 && !IsBasePart(database.ItemList().Find(id))) refuse("no base part " + std::to_string(id));
  const std::vector<int32_t> worn = chara.GetCurrentEquipIDList();
  for (const int32_t id : record.EquipIDs) {
    const TVaruneItem* item = database.ItemList().Find(id);
    if (!item)
      refuse("no item " + std::to_string(id));
    else if (std::find(worn.begin(), worn.end(), id) == worn.end())
      refuse(CannotWear(*item));
  }
}

}  // namespace

TAnimationType ParseAnimation(const std::string& Text) {
  for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind)
    if (SameTextAscii(AnimationTypeNames[kind].substr(2), Text)) return static_cast<TAnimationType>(kind);
  return static_cast<TAnimationType>(ParseInt(Text, "--anim", 0, kAnimationTypeCount - 1));
}

std::vector<std::string> WithOutfitOptions(std::vector<std::string> options) {
  options.insert(options.end(), kOutfitOptions.begin(), kOutfitOptions.end());
  return options;
}

void Dress(TChara& Chara, TVaruneDatabase& Database, const TArgs& Args, const TRefusal& Refuse) {
  if (Args.Has("--gender")) Chara.SetGender(ParseGender(Args.Value("--gender")));
  if (Args.Has("--job")) Chara.SetJob(ParseInt(Args.Value("--job"), "--job", 1, kJobCount));
  if (Args.Has("--emoticon")) Chara.SetEmotIconNum(ParseInt(Args.Value("--emoticon"), "--emoticon"));
  if (Args.Has("--anim")) Chara.SetAnimationType(ParseAnimation(Args.Value("--anim")));
  if (Args.Has("--code")) {
    DressFromCode(Chara, Database, Args.Value("--code"), Refuse);
    return;
  }
  for (const int32_t id : ParseIdList(Args.Value("--base"), "--base")) {
    const TVaruneItem* item = Database.ItemList().Find(id);
    if (!IsBasePart(item)) {
      Refuse("no base part " + std::to_string(id));
      continue;
    }
    Chara.Base(item);
  }
  for (const int32_t id : ParseIdList(Args.Value("--equip"), "--equip")) {
    const TVaruneItem* item = Database.ItemList().Find(id);
    if (!item) {
      Refuse("no item " + std::to_string(id));
      continue;
    }
    Chara.Equip(item);
    if (Chara.GetEquipObj(item->FPosID1) != item) Refuse(CannotWear(*item));
  }
}

TCharaView ParseView(const TArgs& Args) {
  TCharaView view;
  const std::string size = Args.Value("--size", "large");
  if (size != "large" && size != "small") throw UsageError("--size takes large or small");
  view.Geometry = size == "large" ? kStartView : kSmallView;
  if (Args.Has("--background")) {
    const std::string background = Args.Value("--background");
    if (!background.empty() && background[0] == '#') {
      view.BackgroundColor = ParseColor(background);
    } else {
      if (!std::filesystem::is_regular_file(background)) throw Error("no background picture " + background);
      view.SetBackgroundPicture(background);
    }
  }
  return view;
}

THideOptions ParseHide(const std::string& Text) {
  THideOptions hide = 0;
  std::stringstream items(Text);
  for (std::string item; std::getline(items, item, ',');) {
    if (item == "hair") hide |= hoHair;
    else if (item == "face") hide |= hoFace;
    else if (item == "body") hide |= hoBody;
    else if (item == "tops") hide |= hoTops;
    else if (item == "bottoms") hide |= hoBottoms;
    else if (!item.empty()) throw UsageError("--hide takes hair, face, body, tops, bottoms");
  }
  return hide;
}

void ApplyFrame(TChara& Chara, const TArgs& Args) {
  if (Args.Has("--frame"))
    Chara.SetFrameNumber(ParseInt(Args.Value("--frame"), "--frame", 0, std::max(1, Chara.FrameCount()) - 1));
}

}  // namespace varune::cli
