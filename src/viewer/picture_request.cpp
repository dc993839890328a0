#include "viewer/picture_request.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "archive/error.h"
#include "archive/text.h"
#include "viewer/random_outfit.h"

namespace varune {

const std::vector<std::string_view> kRequestValueOptions = {
    "gender", "job",  "anim",       "emoticon", "base",  "equip",   "code", "random", "frame",
    "size",   "hide", "background", "scale",    "padding", "vary", "item"};
const std::vector<std::string_view> kRequestFlags = {"transparent", "crop", "flip", "all-animations"};

namespace {

template <class TNumber>
TNumber ReadNumber(std::string_view option, std::string_view text, TNumber low, TNumber high) {
  TNumber value{};
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || problem != std::errc() || end != text.data() + text.size())
    throw TRequestError(std::string(option), "is not a number: " + std::string(text));
  if (value < low || value > high)
    throw TRequestError(std::string(option), "takes " + std::to_string(low) + " to " + std::to_string(high));
  return value;
}

int32_t ReadInt(std::string_view option, std::string_view text, int32_t low = INT32_MIN, int32_t high = INT32_MAX) {
  return ReadNumber<int32_t>(option, text, low, high);
}

bool ReadFlag(std::string_view option, std::string_view text) {
  if (text.empty() || text == "1" || text == "true") return true;
  if (text == "0" || text == "false") return false;
  throw TRequestError(std::string(option), "takes 1, 0, true or false");
}

// Comma-separated words, empty ones left out.
template <class TRead>
void ForEachItem(std::string_view text, TRead read) {
  while (!text.empty()) {
    const size_t comma = std::min(text.find(','), text.size());
    if (comma > 0) read(text.substr(0, comma));
    text.remove_prefix(std::min(comma + 1, text.size()));
  }
}

std::vector<int32_t> ReadIdList(std::string_view option, std::string_view text) {
  std::vector<int32_t> ids;
  ForEachItem(text, [&](std::string_view item) { ids.push_back(ReadInt(option, item)); });
  return ids;
}

THideOptions ReadHide(std::string_view text) {
  static constexpr std::pair<std::string_view, THideOption> kParts[] = {
      {"hair", hoHair}, {"face", hoFace}, {"body", hoBody}, {"tops", hoTops}, {"bottoms", hoBottoms}};
  THideOptions hide = 0;
  ForEachItem(text, [&](std::string_view item) {
    const auto* part = std::find_if(std::begin(kParts), std::end(kParts), [&](auto& p) { return p.first == item; });
    if (part == std::end(kParts)) throw TRequestError("hide", "takes hair, face, body, tops, bottoms");
    hide |= part->second;
  });
  return hide;
}

void ReadBackground(TPictureRequest& request, std::string_view text) {
  if (!text.empty() && text[0] == '#') {
    if (text.size() != 7 || text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string_view::npos)
      throw TRequestError("background", "takes #RRGGBB or a .bmp file");
    uint32_t rgb = 0;
    std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
    request.BackgroundColor = 0xFF000000u | rgb;
    request.BackgroundPicture.clear();
  } else {
    if (text.empty()) throw TRequestError("background", "takes #RRGGBB or a .bmp file");
    request.BackgroundPicture = std::string(text);
  }
}

TVariation ReadVariation(std::string_view text) {
  for (size_t i = 0; i < std::size(kVariationNames); ++i)
    if (kVariationNames[i] == text) return static_cast<TVariation>(i);
  throw TRequestError("vary", "takes hair, hair-color, face, eye-color, body, tops, bottoms or item");
}

bool IsBasePart(const TVaruneItem* item) { return item && item->FType == kItemTypeBasePart; }

std::string CannotWear(const TVaruneItem& item) {
  return "the character cannot wear item " + std::to_string(item.FIndex) + " (" + item.FName + ")";
}

// Restores an outfit code; the character skips silently what it cannot
// restore, so the record is compared with what it now wears.
void DressFromCode(TChara& chara, const std::string& code, const TRefusal& refuse) {
  const TOutfitRecord record = DecodeOutfitCode(code);
  chara.Restore(record);
  const TVaruneItemList& items = chara.DataBase().ItemList();
  for (const int32_t id : record.BaseIDs)
    if (id != -1 && !IsBasePart(items.Find(id))) refuse("no base part " + std::to_string(id));
  const std::vector<int32_t> worn = chara.GetCurrentEquipIDList();
  for (const int32_t id : record.EquipIDs) {
    const TVaruneItem* item = items.Find(id);
    if (!item)
      refuse("no item " + std::to_string(id));
    else if (std::find(worn.begin(), worn.end(), id) == worn.end())
      refuse(CannotWear(*item));
  }
}

void DressFromLists(TChara& chara, const TPictureRequest& request, const TRefusal& refuse) {
  const TVaruneItemList& items = chara.DataBase().ItemList();
  for (const int32_t id : request.BaseIDs) {
    const TVaruneItem* item = items.Find(id);
    if (!IsBasePart(item)) {
      refuse("no base part " + std::to_string(id));
      continue;
    }
    chara.Base(item);
  }
  for (const int32_t id : request.EquipIDs) {
    const TVaruneItem* item = items.Find(id);
    if (!item) {
      refuse("no item " + std::to_string(id));
      continue;
    }
    chara.Equip(item);
    if (chara.GetEquipObj(item->FPosID1) != item) refuse(CannotWear(*item));
  }
}

}  // namespace

bool IsRequestOption(std::string_view Name) {
  return std::find(kRequestValueOptions.begin(), kRequestValueOptions.end(), Name) != kRequestValueOptions.end() ||
         std::find(kRequestFlags.begin(), kRequestFlags.end(), Name) != kRequestFlags.end();
}

TAnimationType AnimationOfName(std::string_view Text) {
  for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind)
    if (SameTextAscii(AnimationTypeNames[kind].substr(2), Text)) return static_cast<TAnimationType>(kind);
  if (!Text.empty() && Text.find_first_not_of("0123456789") == std::string_view::npos)
    return static_cast<TAnimationType>(ReadInt("anim", Text, 0, kAnimationTypeCount - 1));
  throw TRequestError("anim", "takes an animation's name (Stand, Move...) or its index 0 to 95");
}

void SetRequestOption(TPictureRequest& Request, std::string_view Name, std::string_view Value) {
  TPictureRequest& r = Request;
  if (Name == "gender") {
    if (Value != "male" && Value != "female") throw TRequestError("gender", "takes male or female");
    r.Gender = Value == "male" ? gtMale : gtFemale;
  } else if (Name == "job") r.Job = ReadInt(Name, Value, 1, kJobCount);
  else if (Name == "emoticon") r.Emoticon = ReadInt(Name, Value);
  else if (Name == "anim") r.Animation = AnimationOfName(Value);
  else if (Name == "code") r.Code = std::string(Value);
  else if (Name == "base") r.BaseIDs = ReadIdList(Name, Value);
  else if (Name == "equip") r.EquipIDs = ReadIdList(Name, Value);
  else if (Name == "random") r.RandomSeed = Value.empty() ? TimeSeed() : ReadNumber<uint64_t>(Name, Value, 0, UINT64_MAX);
  else if (Name == "frame") r.Frame = ReadInt(Name, Value, 0, INT32_MAX);
  else if (Name == "size") {
    if (Value != "large" && Value != "small") throw TRequestError("size", "takes large or small");
    r.SmallView = Value == "small";
  } else if (Name == "background") ReadBackground(r, Value);
  else if (Name == "hide") r.Hide = ReadHide(Value);
  else if (Name == "scale") r.Options.Scale = ReadInt(Name, Value, 1, kMaxScale);
  else if (Name == "padding") r.Options.Padding = ReadInt(Name, Value, 0, kMaxPadding);
  else if (Name == "vary") r.Vary = ReadVariation(Value);
  else if (Name == "item") r.VaryItem = ReadInt(Name, Value);
  else if (Name == "transparent") r.Transparent = ReadFlag(Name, Value);
  else if (Name == "crop") r.Options.Framing = ReadFlag(Name, Value) ? fmCrop : fmView;
  else if (Name == "flip") r.Options.Flip = ReadFlag(Name, Value);
  else if (Name == "all-animations") r.AllAnimations = ReadFlag(Name, Value);
  else throw TRequestError(std::string(Name), "is not an option");
}

void Check(TPictureRequest& Request) {
  TPictureRequest& r = Request;
  if (r.RandomSeed && (r.Code || !r.BaseIDs.empty() || !r.EquipIDs.empty()))
    throw TRequestError("random", "does not go with code, base or equip");
  if (r.Frame && (r.Output == poSheet || r.Output == poFrames))
    throw TRequestError("frame", r.Output == poSheet ? "does not go with a sprite sheet: it holds every frame"
                                                     : "does not go with every frame's file");
  if (r.AllAnimations && r.Output != poSheet) throw TRequestError("all-animations", "goes with a sprite sheet");
  if (r.Output == poVariations) {
    if (!r.Vary) throw TRequestError("vary", "is needed: hair, hair-color, face, eye-color, body, tops, bottoms or item");
    if ((r.Vary == vaItem) != r.VaryItem.has_value())
      throw TRequestError("item", r.VaryItem ? "goes with --vary item" : "names the item of --vary item");
  } else if (r.Vary || r.VaryItem) {
    throw TRequestError(r.Vary ? "vary" : "item", "goes with the sheet of variations");
  }
  if (r.Output == poFile && !ExportFormatOf("." + r.FormatName, r.Transparent, r.Format))
    throw TRequestError("format", "takes bmp, jpg, jpeg, png, gif, apng or webp");
  // A frame asked of an animated WebP makes a still one; GIF and APNG keep every frame as they always did.
  r.Options.StillFrame = r.Frame && (r.Format == xfWebp || r.Format == xfTransparentWebp);
}

TCharaView MakeView(const TPictureRequest& Request) {
  TCharaView view;
  view.Geometry = Request.SmallView ? kSmallView : kStartView;
  view.BackgroundColor = Request.BackgroundColor;
  if (!Request.BackgroundPicture.empty()) {
    if (!std::filesystem::is_regular_file(Request.BackgroundPicture))
      throw Error("no background picture " + Request.BackgroundPicture);
    view.SetBackgroundPicture(Request.BackgroundPicture);
  }
  return view;
}

void Dress(TChara& Chara, const TPictureRequest& Request, const TRefusal& Refuse) {
  Chara.Update([&] {
    if (Request.Gender) Chara.SetGender(*Request.Gender);
    if (Request.Job) Chara.SetJob(*Request.Job);
    if (Request.Emoticon) Chara.SetEmotIconNum(*Request.Emoticon);
    if (Request.Animation) Chara.SetAnimationType(*Request.Animation);
    if (Request.Code)
      DressFromCode(Chara, *Request.Code, Refuse);
    else if (Request.RandomSeed)
      PutOnRandomOutfit(Chara, Chara.DataBase(), *Request.RandomSeed);
    else
      DressFromLists(Chara, Request, Refuse);
    Chara.HideOptions = Request.Hide;
  });
  if (Request.Frame) {
    const int32_t last = std::max(1, Chara.FrameCount()) - 1;
    if (*Request.Frame > last) throw TRequestError("frame", "takes 0 to " + std::to_string(last));
    Chara.SetFrameNumber(*Request.Frame);
  }
}

}  // namespace varune
