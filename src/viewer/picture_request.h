#pragma once
// One picture request: everything a picture needs, how the character is
// dressed, how it is drawn and what is written. Callers (the command line,
// batch lines, the desktop program's export, the render service) fill it
// from their own words, option by option, through SetRequestOption; Check
// then refuses what does not go together, and only then is anything dressed
// or drawn, from the request alone.

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "character/chara.h"
#include "viewer/export.h"
#include "viewer/picture_options.h"
#include "viewer/view.h"

namespace varune {

// A value a request does not take, or options that do not go together.
// What() reads "scale takes 1 to 8": the option's name without dashes, so
// that the command line and the service can each show it their own way.
class TRequestError : public std::runtime_error {
 public:
  TRequestError(const std::string& Option, const std::string& Problem)
      : std::runtime_error(Option + " " + Problem), FOption(Option) {}
  const std::string& Option() const { return FOption; }

 private:
  std::string FOption;
};

// What is written.
enum TPictureOutput : uint8_t {
  poFile,        // one file in Format
  poFrames,      // every frame as a PNG file
  poSheet,       // a sprite sheet and its data
  poVariations,  // a sheet of every choice of one appearance selector
};

// What a sheet of variations varies.
enum TVariation : uint8_t { vaHair, vaHairColor, vaFace, vaEyeColor, vaBody, vaTops, vaBottoms, vaItem };
inline constexpr std::string_view kVariationNames[] = {"hair", "hair-color", "face",    "eye-color",
                                                       "body", "tops",       "bottoms", "item"};

struct TPictureRequest {
  // ---- How the character is dressed ----
  std::optional<TGenderType> Gender;
  std::optional<int32_t> Job;
  std::optional<int32_t> Emoticon;
  std::optional<TAnimationType> Animation;
  std::optional<std::string> Code;
  std::vector<int32_t> BaseIDs;
  std::vector<int32_t> EquipIDs;
  std::optional<uint64_t> RandomSeed;
  std::optional<int32_t> Frame;

  // ---- How it is drawn ----
  bool SmallView = false;
  TColor32 BackgroundColor = 0xFFFFFFFF;
  std::string BackgroundPicture;  // a BMP file, or empty
  bool Transparent = false;
  THideOptions Hide = 0;
  TPictureOptions Options;

  // ---- What is written ----
  TPictureOutput Output = poFile;
  std::string FormatName = "png";     // bmp, jpg, jpeg, png, gif, apng, webp
  std::string FrameBaseName = "frame";  // every frame's file: frame_000.png...
  bool AllAnimations = false;      // sheets: every animation, one row each
  std::optional<TVariation> Vary;
  std::optional<int32_t> VaryItem;

  // The format FormatName and Transparent give; valid after Check.
  TExportFormat Format = xfPng;
};

// The options SetRequestOption takes, by name: those with a value, the flags
// (whose value is "1", "0", "true", "false" or empty for true), and "random",
// whose value (the seed) may be empty.
extern const std::vector<std::string_view> kRequestValueOptions;
extern const std::vector<std::string_view> kRequestFlags;
bool IsRequestOption(std::string_view Name);

// Sets the field of option `Name` from `Value` as the command line writes
// it: "anim" takes "Move" or its index, "background" "#RRGGBB" or a BMP
// file, "hide" "hair,face". Raises TRequestError for an unknown option or a
// malformed value. A "random" without seed takes one from the clock.
void SetRequestOption(TPictureRequest& Request, std::string_view Name, std::string_view Value);

// The animation a name without "at" (any case) or an index stands for.
TAnimationType AnimationOfName(std::string_view Text);

// Refuses what does not go together and settles Format and the still frame
// of an animated format. Raises TRequestError.
void Check(TPictureRequest& Request);

// The view the request draws in; a background picture that is not there is
// a varune::Error.
TCharaView MakeView(const TPictureRequest& Request);

// Something the character could not put on, as "no item 999".
using TRefusal = std::function<void(const std::string& What)>;

// Dresses a new character as the request says, in one update: gender, job,
// emoticon and animation, then the outfit code, the random outfit or the
// base parts and items, then the hidden parts and the frame. A frame the
// dressed character does not have is a TRequestError, a damaged outfit code
// a varune::Error.
void Dress(TChara& Chara, const TPictureRequest& Request, const TRefusal& Refuse);

}  // namespace varune
