#pragma once
// The command line of a picture: "--scale 3" is the picture request's
// "scale", read into one TPictureRequest by the request's own rules. Every
// command that dresses or draws a character (render, code, sheet, batch
// lines) reads its options here.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "viewer/picture_request.h"

namespace varune::cli {

// --gender --job --anim --emoticon --base --equip --code, and --random [SEED]
extern const std::vector<std::string> kOutfitOptions;
extern const char* const kOutfitSynopsis;
// --frame --size --background --hide --scale --padding, and the flags --transparent --crop --flip
extern const std::vector<std::string> kPictureOptions;
extern const std::vector<std::string> kPictureFlags;
extern const char* const kPictureSynopsis;
// What --help says of the framing options.
extern const char* const kPictureHelp;

// `options` followed by the outfit options, and by the picture options when `picture`.
std::vector<std::string> WithRequestOptions(std::vector<std::string> options, bool picture);

// Reads every request option of `Args`, in order, into `Request`.
void ReadRequest(const TArgs& Args, TPictureRequest& Request);

// The request's error as the command line names its options: "--scale takes 1 to 8".
std::string OptionMessage(const TRequestError& Error);

// A --random without seed took one from the clock: "random seed N", to be
// told so that the picture can be made again; empty otherwise.
std::string RandomSeedNote(const TArgs& Args, const TPictureRequest& Request);

// The client of the command line's CLIENT_DIR, loaded, and a character
// dressed in it as the request says; what cannot be put on is told on `Err`
// and left out, and a seed taken from the clock is told there too.
struct TDressedCharacter {
  TDressedCharacter(const TArgs& Args, const TPictureRequest& Request, std::ostream& Err);
  TVaruneDatabase Database;
  std::unique_ptr<TChara> Chara;
};

}  // namespace varune::cli
