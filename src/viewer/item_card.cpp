#include "viewer/item_card.h"

#include <algorithm>
#include <limits>

#include "database/language.h"
#include "imaging/png.h"
#include "imaging/text.h"

namespace varune {
namespace {

// Global string IDs of the card's texts.
constexpr int64_t kBattleSubTypeString = 1000011;
constexpr int64_t kFashionSubTypeString = 1000012;
constexpr int64_t kStatusStringBase = 1020000;
constexpr int64_t kKindStringBase = 1206000;

constexpr int32_t kMinCardWidth = 205;
constexpr int32_t kBaseCardHeight = 50;  // name and kind line
constexpr int32_t kTextMargin = 16;  // added to a text's width
constexpr int32_t kNameY = 10;
constexpr int32_t kKindY = 27;
constexpr int32_t kFirstLineY = 42;
constexpr int32_t kLinePitch = 15;
constexpr int32_t kLineX = 8;

// The surface's default font face, at the card's two sizes.
TFont CardFont(bool Bold) {
  TFont font;
  font.Height = Bold ? -13 : -12;
  font.Bold = Bold;
  return font;
}

// The text of global string `ID`, or null. IDs are computed from untrusted
// numbers, so they are summed in 64 bits and may fall outside any record.
const std::string* GlobalText(const TVaruneDatabase& DataBase, int64_t ID) {
  if (ID < std::numeric_limits<int32_t>::min() || ID > std::numeric_limits<int32_t>::max()) return nullptr;
  const TVaruneGlobalString* record = DataBase.GlobalStringList().Find(static_cast<int32_t>(ID));
  return record ? &record->FText : nullptr;
}

std::string KindLine(const TVaruneItem& Item, const TVaruneDatabase& DataBase) {
  const std::string* subType = nullptr;
  if (Item.FSubType == kSubTypeBattle) subType = GlobalText(DataBase, kBattleSubTypeString);
  if (Item.FSubType == kSubTypeFashion) subType = GlobalText(DataBase, kFashionSubTypeString);
  const std::string subTypeText = subType ? *subType : std::string();
  if (Item.FKind == 0) return "[" + subTypeText + "]";
  const std::string* kind = GlobalText(DataBase, kKindStringBase + Item.FKind);
  return "[" + subTypeText + " - " + (kind ? *kind : std::string("N/A")) + "]";
}

std::string JobLine(int64_t JobBits) {
  std::string line = "職業: ";
  for (int32_t job = 1; job <= kJobCount; ++job)
    if (JobBits & JobBitFlag(job)) line += JobRequireNames[static_cast<size_t>(job - 1)] + ". ";
  return line;
}

std::string GenderLine(int64_t Gender) {
  std::string line = "性別制限: ";
  if (Gender == 1) line += GenderNames[gtMale];
  if (Gender == 2) line += GenderNames[gtFemale];
  return line;
}

void AddRequirementLines(const TVaruneItem& Item, std::vector<TItemCardLine>& Lines) {
  if (Item.FItemLvValue > 1)
    Lines.push_back({"制限レベル: " + std::to_string(Item.FItemLvValue) + " ▲", kCardRequireColor});
  for (const TVaruneRequire& require : Item.FRequires) {
    if (require.Use == 0) continue;
    if (require.ID == kRequireJob) Lines.push_back({JobLine(require.Value1), kCardRequireColor});
    if (require.ID == kRequireGender) Lines.push_back({GenderLine(require.Value1), kCardRequireColor});
  }
}

void ReplaceAll(std::string& Text, const std::string& From, const std::string& To) {
  for (size_t at = Text.find(From); at != std::string::npos; at = Text.find(From, at + To.size()))
    Text.replace(at, From.size(), To);
}

// The status text with its value put in. Plain replacement, never a format
// function: the text comes from the client and may hold any directive. Every
// form of the placeholder, "%+d", "+%d" and a bare "%d" alike, shows a plus
// before a positive value ("%d%%" of 5 reads "+5%"), as the game's cards do.
std::string StatusText(std::string Text, int32_t Value) {
  const std::string value = Value > 0 ? "+" + std::to_string(Value) : std::to_string(Value);
  for (const char* placeholder : {"%+d", "+%d", "%d"}) ReplaceAll(Text, placeholder, value);
  ReplaceAll(Text, "%%", "%");
  return Text;
}

void AddStatusLines(const TVaruneItem& Item, const TVaruneDatabase& DataBase, std::vector<TItemCardLine>& Lines) {
  const bool afterRequirements = !Lines.empty();
  bool first = true;
  for (const TVaruneStatus& status : Item.FStatuses) {
    const std::string* text = GlobalText(DataBase, kStatusStringBase + status.SType);
    if (!text) continue;
    if (first && afterRequirements) Lines.push_back({});
    first = false;
    Lines.push_back({StatusText(*text, status.Value), kCardTextColor});
  }
}

void AddEffectLines(const TVaruneItem& Item, const TVaruneDatabase& DataBase, std::vector<TItemCardLine>& Lines) {
  for (int32_t id : Item.FEffects) {
    if (id == 0) continue;
    if (const TVaruneEffect* effect = DataBase.EffectList().Find(id)) Lines.push_back({effect->FName, kCardTextColor});
  }
}

// x of a text centred on the card, truncated toward zero as the window's
// integer division does.
int32_t CentredX(const TItemCard& Card, const std::string& Text, bool Bold) {
  return (Card.FWidth - TextWidth(CardFont(Bold), Text)) / 2;
}

// Rounds the corner at (X0, Y0): the corner and its two neighbours on the
// outer edge become the key colour, the pixel two steps inside it the border
// colour. StepX and StepY point into the card.
void CutCorner(TBitmap32& Buffer, int32_t X0, int32_t Y0, int32_t StepX, int32_t StepY) {
  Buffer.Pixel(X0, Y0) = kCardKeyColor;
  Buffer.Pixel(X0 + StepX, Y0) = kCardKeyColor;
  Buffer.Pixel(X0, Y0 + StepY) = kCardKeyColor;
  Buffer.Pixel(X0 + 2 * StepX, Y0 + 2 * StepY) = kCardBorderColor;
}

}  // namespace

TItemCard MeasureItemHint(const TVaruneItem& Item, const TVaruneDatabase& DataBase) {
  TItemCard card;
  card.FName = Item.FName;
  card.FNameColor = Item.FNameColor;
  card.FKindLine = KindLine(Item, DataBase);
  AddRequirementLines(Item, card.FStrings);
  AddStatusLines(Item, DataBase, card.FStrings);
  AddEffectLines(Item, DataBase, card.FStrings);
  if (!card.FStrings.empty()) card.FStrings.insert(card.FStrings.begin(), TItemCardLine{});

  card.FWidth = std::max(kMinCardWidth, TextWidth(CardFont(true), Item.FName) + kTextMargin);
  const TFont body = CardFont(false);
  for (const TItemCardLine& line : card.FStrings)
    card.FWidth = std::max(card.FWidth, TextWidth(body, line.Text) + kTextMargin);
  card.FHeight = kBaseCardHeight + kLinePitch * static_cast<int32_t>(card.FStrings.size());
  return card;
}

std::vector<TItemCardText> ItemCardTexts(const TItemCard& Card) {
  std::vector<TItemCardText> texts = {
      {CentredX(Card, Card.FName, true), kNameY, Card.FNameColor, true, Card.FName},
      {CentredX(Card, Card.FKindLine, false), kKindY, kCardTextColor, false, Card.FKindLine}};
  for (size_t i = 0; i < Card.FStrings.size(); ++i) {
    const TItemCardLine& line = Card.FStrings[i];
    if (line.Text.empty()) continue;
    texts.push_back({kLineX, kFirstLineY + kLinePitch * static_cast<int32_t>(i), line.Color, false, line.Text});
  }
  return texts;
}

void PaintItemCard(const TItemCard& Card, TBitmap32& Buffer) {
  const int32_t w = Card.FWidth, h = Card.FHeight;
  Buffer.SetSize(w, h);
  if (w < 4 || h < 4) return;  // the measuring pass never makes one this small
  Buffer.Clear(kCardBackColor);
  Buffer.FrameRectS(0, 0, w, h, kCardBorderColor);
  Buffer.FrameRectS(1, 1, w - 1, h - 1, kCardBorderColor);
  CutCorner(Buffer, 0, 0, 1, 1);
  CutCorner(Buffer, w - 1, 0, -1, 1);
  CutCorner(Buffer, 0, h - 1, 1, -1);
  CutCorner(Buffer, w - 1, h - 1, -1, -1);
  for (const TItemCardText& text : ItemCardTexts(Card))
    RenderText(Buffer, CardFont(text.Bold), text.X, text.Y, text.Text, 0, text.Color);
}

void ApplyCardColorKey(TBitmap32& Picture) {
  TColor32* pixel = Picture.Bits();
  for (size_t i = 0, n = static_cast<size_t>(Picture.Width()) * static_cast<size_t>(Picture.Height()); i < n; ++i)
    pixel[i] = (pixel[i] & 0x00FFFFFF) == (kCardKeyColor & 0x00FFFFFF) ? 0 : pixel[i] | 0xFF000000;
}

TRect PlaceItemCard(TRect Card, TRect Screen) {
  const int32_t w = Card.Width(), h = Card.Height();
  auto moveTo = [&](int32_t Left, int32_t Top) { Card = {Left, Top, Left + w, Top + h}; };
  if (Card.Bottom > Screen.Bottom) moveTo(Card.Left, Screen.Bottom - h);
  if (Card.Right > Screen.Right) moveTo(Screen.Right - w, Card.Top);
  if (Card.Left < Screen.Left) moveTo(Screen.Left, Card.Top);
  if (Card.Top < Screen.Top) moveTo(Card.Left, Screen.Top);
  return Card;
}

std::vector<uint8_t> ItemCardPng(const TItemCard& Card) {
  TBitmap32 picture;
  PaintItemCard(Card, picture);
  ApplyCardColorKey(picture);
  return EncodePng(picture, ppfRGBA);
}

}  // namespace varune
