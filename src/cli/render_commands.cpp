// Commands that dress a character and render or describe it.

#include <filesystem>
#include <ostream>
#include <sstream>

#include "archive/error.h"
#include "archive/text.h"
#include "character/chara.h"
#include "cli/cli.h"
#include "viewer/export.h"

namespace varune::cli {
namespace {

const std::vector<std::string> kOutfitOptions = {"--gender", "--job", "--anim", "--emoticon", "--base", "--equip",
                                                 "--code"};

std::vector<int32_t> ParseIdList(const std::string& text, const std::string& option) {
  std::vector<int32_t> ids;
  std::stringstream items(text);
  for (std::string item; std::getline(items, item, ',');)
    if (!item.empty()) ids.push_back(ParseInt(item, option));
  return ids;
}

TAnimationType ParseAnimation(const std::string& text) {
  for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind)
    if (SameTextAscii(AnimationTypeNames[kind].substr(2), text)) return static_cast<TAnimationType>(kind);
  return static_cast<TAnimationType>(ParseInt(text, "--anim", 0, kAnimationTypeCount - 1));
}

// Dresses the character as the outfit options say. Refusals go to `err`.
void Dress(TChara& chara, TVaruneDatabase& database, const TArgs& args, std::ostream& err) {
  if (args.Has("--gender")) chara.SetGender(ParseGender(args.Value("--gender")));
  if (args.Has("--job")) chara.SetJob(ParseInt(args.Value("--job"), "--job", 1, kJobCount));
  if (args.Has("--emoticon")) chara.SetEmotIconNum(ParseInt(args.Value("--emoticon"), "--emoticon"));
  if (args.Has("--anim")) chara.SetAnimationType(ParseAnimation(args.Value("--anim")));
  if (args.Has("--code")) {
    chara.SetCode(args.Value("--code"));
    return;
  }
  for (int32_t id : ParseIdList(args.Value("--base"), "--base")) {
    const TVaruneItem* item = database.ItemList().Find(id);
    if (!item || item->FType != kItemTypeBasePart) {
      err << "varune-cli: no base part " << id << ", skipped\n";
      continue;
    }
    chara.Base(item);
  }
  for (int32_t id : ParseIdList(args.Value("--equip"), "--equip")) {
    const TVaruneItem* item = database.ItemList().Find(id);
    if (!item) {
      err << "varune-cli: no item " << id << ", skipped\n";
      continue;
    }
    chara.Equip(item);
    if (chara.GetEquipObj(item->FPosID1) != item)
      err << "varune-cli: the character cannot wear item " << id << " (" << item->FName << "), skipped\n";
  }
}

std::vector<std::string> WithOutfitOptions(std::vector<std::string> options) {
  options.insert(options.end(), kOutfitOptions.begin(), kOutfitOptions.end());
  return options;
}

THideOptions ParseHide(const std::string& text) {
  THideOptions hide = 0;
  std::stringstream items(text);
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

TColor32 ParseColor(const std::string& text) {
  if (text.size() != 7 || text[0] != '#' ||
      text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    throw UsageError("--background takes #RRGGBB or a .bmp file");
  return 0xFF000000u | static_cast<TColor32>(std::stoul(text.substr(1), nullptr, 16));
}

void Render(const TArgs& args, std::ostream& out, std::ostream& err) {
  args.ExpectPositional(1);
  const bool toFrames = args.Has("--frames");
  if (toFrames == args.Has("-o")) throw UsageError("give either -o OUT or --frames DIR");
  const bool transparent = args.Has("--transparent");
  TExportFormat format = xfPng;
  const std::string target = toFrames ? args.Value("--frames") : args.Value("-o");
  if (!toFrames && !ExportFormatOf(std::filesystem::path(target).extension().string(), transparent, format))
    throw UsageError("OUT must end in .bmp, .jpg, .png, .gif or .apng");

  TCharaView view;
  const std::string size = args.Value("--size", "large");
  if (size != "large" && size != "small") throw UsageError("--size takes large or small");
  view.Geometry = size == "large" ? kStartView : kSmallView;
  if (args.Has("--background")) {
    const std::string background = args.Value("--background");
    if (!background.empty() && background[0] == '#') {
      view.BackgroundColor = ParseColor(background);
    } else {
      if (!std::filesystem::is_regular_file(background)) throw Error("no background picture " + background);
      view.SetBackgroundPicture(background);
    }
  }

  TVaruneDatabase database;
  database.LoadPath(args.Positional()[0]);
  TChara chara(database);
  chara.HideOptions = ParseHide(args.Value("--hide"));
  Dress(chara, database, args, err);
  if (args.Has("--frame")) {
    chara.SetFrameNumber(ParseInt(args.Value("--frame"), "--frame", 0, std::max(1, chara.FrameCount()) - 1));
  }

  if (toFrames) {
    std::filesystem::create_directories(target);
    for (const std::string& file : ExportFrames(view, chara, transparent, target, "frame")) out << file << "\n";
    return;
  }
  ExportToFile(view, chara, format, target);
  out << target << "\n";
}

void Code(const TArgs& args, std::ostream& out, std::ostream& err) {
  args.ExpectPositional(1);
  TVaruneDatabase database;
  database.LoadPath(args.Positional()[0]);
  TChara chara(database);
  Dress(chara, database, args, err);
  std::string code = chara.Code();
  // One line for scripts: the code's own line breaks are optional on input.
  std::erase(code, '\r');
  std::erase(code, '\n');
  out << code << "\n";
}

}  // namespace

void AddRenderCommands(std::vector<TCommand>& commands) {
  const std::string outfit =
      "[--gender male|female] [--job N] [--anim NAME|INDEX] [--emoticon N] [--base ID,...] [--equip ID,...] "
      "[--code CODE]";
  commands.push_back({{"render"},
                      "CLIENT_DIR (-o OUT | --frames DIR) " + outfit +
                          " [--frame N] [--size large|small] [--background #RRGGBB|FILE.bmp] [--transparent] "
                          "[--hide hair,face,body,tops,bottoms]",
                      "dresses a character and writes its picture; OUT's extension chooses .bmp, .jpg, .png, .gif "
                      "(all frames) or .apng (all frames); --frames writes every frame as PNG",
                      Render,
                      WithOutfitOptions({"-o", "--frames", "--frame", "--size", "--background", "--hide"}),
                      {"--transparent"}});
  commands.push_back({{"code"}, "CLIENT_DIR " + outfit, "prints the outfit code of the dressed character", Code,
                      kOutfitOptions});
}

}  // namespace varune::cli
