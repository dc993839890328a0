#include "cli/picture_args.h"

namespace varune::cli {

const std::vector<std::string> kOutfitOptions = {"--gender", "--job",   "--anim", "--emoticon",
                                                 "--base",   "--equip", "--code"};
const char* const kOutfitSynopsis =
    "[--gender male|female] [--job N] [--anim NAME|INDEX] [--emoticon N] [--base ID,...] [--equip ID,...] "
    "[--code CODE | --random [SEED]]";
const std::vector<std::string> kPictureOptions = {"--frame", "--size", "--background", "--hide", "--scale",
                                                  "--padding"};
const std::vector<std::string> kPictureFlags = {"--transparent", "--crop", "--flip"};
const char* const kPictureSynopsis =
    "[--frame N] [--size large|small] [--background #RRGGBB|FILE.bmp] [--transparent] "
    "[--hide hair,face,body,tops,bottoms] [--scale 1-8] [--crop [--padding 0-64]] [--flip]";
const char* const kPictureHelp =
    "--scale N enlarges every pixel to N x N; --crop frames the figure tightly (one box over every frame, "
    "--padding N pixels of background around it) and leaves out the rights notices the whole view shows; --flip "
    "mirrors the picture; --random [SEED] dresses at random (the seed used is told when none is given)";

std::vector<std::string> WithRequestOptions(std::vector<std::string> options, bool picture) {
  options.insert(options.end(), kOutfitOptions.begin(), kOutfitOptions.end());
  if (picture) options.insert(options.end(), kPictureOptions.begin(), kPictureOptions.end());
  return options;
}

void ReadRequest(const TArgs& Args, TPictureRequest& Request) {
  for (const auto& [option, value] : Args.Options()) {
    if (!option.starts_with("--") || !IsRequestOption(option.substr(2))) continue;
    try {
      SetRequestOption(Request, option.substr(2), value);
    } catch (const TRequestError& error) {
      throw UsageError(OptionMessage(error));
    }
  }
}

TDressedCharacter::TDressedCharacter(const TArgs& Args, const TPictureRequest& Request, std::ostream& Err) {
  Database.LoadPath(Args.Positional()[0]);
  Chara = std::make_unique<TChara>(Database);
  // What cannot be put on is told and left out.
  Dress(*Chara, Request, [&Err](const std::string& what) { Err << "varune-cli: " << what << ", skipped\n"; });
  if (const std::string note = RandomSeedNote(Args, Request); !note.empty()) Err << "varune-cli: " << note << "\n";
}

std::string OptionMessage(const TRequestError& Error) { return std::string("--") + Error.what(); }

std::string RandomSeedNote(const TArgs& Args, const TPictureRequest& Request) {
  if (!Args.Has("--random") || !Args.Value("--random").empty() || !Request.RandomSeed) return "";
  return "random seed " + std::to_string(*Request.RandomSeed);
}

}  // namespace varune::cli
