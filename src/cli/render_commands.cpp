// Commands that dress a character and render or describe it.

#include <filesystem>
#include <memory>
#include <ostream>

#include "archive/error.h"
#include "archive/text.h"
#include "character/chara.h"
#include "cli/cli.h"
#include "cli/picture_args.h"
#include "viewer/picture_writer.h"

namespace varune::cli {

namespace {

std::vector<std::string> RenderOptions() {
  return WithRequestOptions({"-o", "--frames", "--sheet"}, true);
}

std::vector<std::string> RenderFlags() {
  std::vector<std::string> flags = kPictureFlags;
  flags.push_back("--all-animations");
  return flags;
}

void Render(const TArgs& args, std::ostream& out, std::ostream& err) {
  args.ExpectPositional(1);
  if (args.Has("-o") + args.Has("--frames") + args.Has("--sheet") != 1)
    throw UsageError("give one of -o OUT, --frames DIR or --sheet OUT.png");
  TPictureRequest request;
  ReadRequest(args, request);
  std::string target = args.Value("-o");
  if (args.Has("--frames")) {
    request.Output = poFrames;
    target = args.Value("--frames");
  } else if (args.Has("--sheet")) {
    request.Output = poSheet;
    target = args.Value("--sheet");
    if (!SameTextAscii(std::filesystem::path(target).extension().string(), ".png"))
      throw UsageError("--sheet takes a file name ending in .png");
  } else {
    const std::string extension = std::filesystem::path(target).extension().string();
    TExportFormat format;
    if (!ExportFormatOf(extension, false, format))
      throw UsageError("OUT must end in .bmp, .jpg, .png, .gif, .apng or .webp");
    request.FormatName = extension.substr(1);
  }
  Check(request);
  const TCharaView view = MakeView(request);
  const TDressedCharacter dressed(args, request, err);
  if (request.Output == poFrames) std::filesystem::create_directories(target);
  for (const std::string& file : WritePicture(request, view, *dressed.Chara, target)) out << file << "\n";
}

void Code(const TArgs& args, std::ostream& out, std::ostream& err) {
  args.ExpectPositional(1);
  TPictureRequest request;
  ReadRequest(args, request);
  Check(request);
  const TDressedCharacter dressed(args, request, err);
  std::string code = dressed.Chara->Code();
  // One line for scripts: the code's own line breaks are optional on input.
  std::erase(code, '\r');
  std::erase(code, '\n');
  out << code << "\n";
}

}  // namespace

void AddRenderCommands(std::vector<TCommand>& commands) {
  const std::string outfit = kOutfitSynopsis;
  commands.push_back({{"render"},
                      "CLIENT_DIR (-o OUT | --frames DIR | --sheet OUT.png [--all-animations]) " + outfit + " " +
                          kPictureSynopsis,
                      "dresses a character and writes its picture; OUT's extension chooses .bmp, .jpg, .png, .gif, "
                      ".apng or .webp (the animated ones hold every frame; .webp with --frame N one still frame); "
                      "--frames writes every frame as PNG; --sheet writes every frame packed into one PNG (16 a "
                      "row) and OUT.json beside it (Aseprite's json-hash layout), with --all-animations one row "
                      "per animation; " +
                          std::string(kPictureHelp),
                      Render, RenderOptions(), RenderFlags(), {"--random"}});
  commands.push_back({{"code"}, "CLIENT_DIR " + outfit, "prints the outfit code of the dressed character", Code,
                      WithRequestOptions({}, false), {}, {"--random"}});
}

}  // namespace varune::cli
