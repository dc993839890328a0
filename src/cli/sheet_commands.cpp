// varune-cli sheet: the dressed character once per choice of one appearance
// selector, or per colour of an item, in one picture for wiki pages.

#include <filesystem>
#include <ostream>

#include "archive/text.h"
#include "cli/cli.h"
#include "cli/picture_args.h"
#include "viewer/picture_writer.h"

namespace varune::cli {
namespace {

void Sheet(const TArgs& args, std::ostream& out, std::ostream& err) {
  args.ExpectPositional(1);
  if (!args.Has("-o")) throw UsageError("give the sheet's file: -o OUT.png");
  const std::string target = args.Value("-o");
  if (!SameTextAscii(std::filesystem::path(target).extension().string(), ".png"))
    throw UsageError("-o takes a file name ending in .png");
  const std::string data = args.Value("--data");
  if (args.Has("--data") && data.empty()) throw UsageError("--data takes a file name");
  TPictureRequest request;
  request.Output = poVariations;
  ReadRequest(args, request);
  Check(request);
  const TCharaView view = MakeView(request);
  const TDressedCharacter dressed(args, request, err);
  for (const std::string& file : WritePicture(request, view, *dressed.Chara, target, data)) out << file << "\n";
}

}  // namespace

void AddSheetCommands(std::vector<TCommand>& commands) {
  commands.push_back(
      {{"sheet"},
       "CLIENT_DIR --vary hair|hair-color|face|eye-color|body|tops|bottoms|item [--item ID] -o OUT.png "
       "[--data OUT.json] " +
           std::string(kOutfitSynopsis) + " " + kPictureSynopsis,
       "draws the dressed character once per choice the appearance selector offers (for item: per colour of the "
       "item --item ID), each with the choice's name under it, 16 a row; --data lists each cell's rectangle, ID "
       "and name as JSON; " +
           std::string(kPictureHelp),
       Sheet, WithRequestOptions({"-o", "--data", "--vary", "--item"}, true), kPictureFlags, {"--random"}});
}

}  // namespace varune::cli
