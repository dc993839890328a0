// Commands that dress a character and render or describe it.

#include <filesystem>
#include <ostream>

#include "archive/error.h"
#include "character/chara.h"
#include "cli/cli.h"
#include "cli/outfit_options.h"
#include "viewer/export.h"

namespace varune::cli {
namespace {

// Render and code put on what they can and say what they skipped.
TRefusal WarnAndSkip(std::ostream& err) {
  return [&err](const std::string& what) { err << "varune-cli: " << what << ", skipped\n"; };
}

std::vector<std::string> RenderOptions() {
  std::vector<std::string> options = {"-o", "--frames"};
  options.insert(options.end(), kPictureOptions.begin(), kPictureOptions.end());
  return WithOutfitOptions(options);
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
  const TCharaView view = ParseView(args);

  TVaruneDatabase database;
  database.LoadPath(args.Positional()[0]);
  TChara chara(database);
  chara.HideOptions = ParseHide(args.Value("--hide"));
  Dress(chara, database, args, WarnAndSkip(err));
  ApplyFrame(chara, args);

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
  Dress(chara, database, args, WarnAndSkip(err));
  std::string code = chara.Code();
  // One line for scripts: the code's own line breaks are optional on input.
  std::erase(code, '\r');
  std::erase(code, '\n');
  out << code << "\n";
}

}  // namespace

void AddRenderCommands(std::vector<TCommand>& commands) {
  const std::string outfit = kOutfitSynopsis;
  commands.push_back({{"render"},
                      "CLIENT_DIR (-o OUT | --frames DIR) " + outfit + " " + kPictureSynopsis,
                      "dresses a character and writes its picture; OUT's extension chooses .bmp, .jpg, .png, .gif "
                      "(all frames) or .apng (all frames); --frames writes every frame as PNG",
                      Render, RenderOptions(), kPictureFlags});
  commands.push_back({{"code"}, "CLIENT_DIR " + outfit, "prints the outfit code of the dressed character", Code,
                      kOutfitOptions});
}

}  // namespace varune::cli
