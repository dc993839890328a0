#pragma once
// The options that describe one character picture: how the character is
// dressed (render, code, batch) and how its picture is drawn (render,
// batch). One parser serves every command that takes them.

#include <functional>
#include <string>
#include <vector>

#include "character/chara.h"
#include "cli/cli.h"
#include "viewer/view.h"

namespace varune::cli {

// --gender --job --anim --emoticon --base --equip --code
extern const std::vector<std::string> kOutfitOptions;
extern const char* const kOutfitSynopsis;
// --frame --size --background --hide, and the flag --transparent
extern const std::vector<std::string> kPictureOptions;
extern const std::vector<std::string> kPictureFlags;
extern const char* const kPictureSynopsis;

// `options` followed by the outfit options.
std::vector<std::string> WithOutfitOptions(std::vector<std::string> options);

// Something the character could not put on, as "no item 999". The render
// command warns and goes on; a batch fails the picture.
using TRefusal = std::function<void(const std::string& What)>;

// Dresses the character as the outfit options say. A malformed value is a
// UsageError, a damaged outfit code a varune::Error.
void Dress(TChara& Chara, TVaruneDatabase& Database, const TArgs& Args, const TRefusal& Refuse);

// The view --size and --background ask for; the background picture is read
// here, a missing one is an Error.
TCharaView ParseView(const TArgs& Args);
// --anim: a name without "at" (any case) or an index.
TAnimationType ParseAnimation(const std::string& Text);
// --hide: hair,face,body,tops,bottoms.
THideOptions ParseHide(const std::string& Text);
// --frame, checked against the dressed character's sequence.
void ApplyFrame(TChara& Chara, const TArgs& Args);

}  // namespace varune::cli
