#include "viewer/favorites.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <string_view>

#include "archive/stream.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

// The whole line as a decimal integer, or nothing.
bool ParseID(std::string_view Line, int32_t& ID) {
  if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
  const char* end = Line.data() + Line.size();
  const auto [stop, error] = std::from_chars(Line.data(), end, ID);
  return !Line.empty() && error == std::errc() && stop == end;
}

// Whether (X, Y) lies inside the five-pointed star of outer radius `Radius`
// centred at (CX, CY), point up: even-odd over its ten corners.
bool InStar(double X, double Y, double CX, double CY, double Radius) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kInner = 0.45;  // inner corners, as a share of the outer radius
  std::array<std::pair<double, double>, 10> corners;
  for (int i = 0; i < 10; ++i) {
    const double r = (i % 2 == 0 ? 1.0 : kInner) * Radius;
    const double angle = -kPi / 2 + i * kPi / 5;
    corners[i] = {CX + r * std::cos(angle), CY + r * std::sin(angle)};
  }
  bool inside = false;
  for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
    const auto [xi, yi] = corners[i];
    const auto [xj, yj] = corners[j];
    if ((yi > Y) != (yj > Y) && X < (xj - xi) * (Y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

}  // namespace

void ReadFavorites(const std::string& FileName, const TVaruneItemList& Items, TVaruneItemList& Favorites) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(FileName, error)) return;
  const std::vector<uint8_t> bytes = ReadWholeFile(FileName);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    int32_t id = 0;
    if (ParseID(text.substr(start, end - start), id))
      if (const TVaruneItem* item = Items.Find(id)) Favorites.Add(item);
    start = end + 1;
  }
}

std::string FavoritesText(const TVaruneItemList& Favorites) {
  std::string text;
  for (const TVaruneItem* item : Favorites) text += std::to_string(item->FIndex) + "\r\n";
  return text;
}

void WriteFavorites(const std::string& FileName, const TVaruneItemList& Favorites) {
  const std::string text = FavoritesText(Favorites);
  WriteFileAtomically(FileName, text.data(), text.size());
}

bool IsFavorite(const TVaruneItemList& Favorites, int32_t ID) { return Favorites.IndexOf(ID) >= 0; }

void ToggleFavorite(TVaruneItemList& Favorites, const TVaruneItem& Item) {
  const int32_t index = Favorites.IndexOf(Item.FIndex);
  if (index < 0)
    Favorites.Add(&Item);
  else
    Favorites.Delete(index);
}

void NoteWorn(TVaruneItemList& Recent, const TVaruneItem& Item) {
  if (const int32_t older = Recent.IndexOf(Item.FIndex); older >= 0) Recent.Delete(older);
  Recent.Insert(0, &Item);
  while (Recent.Count() > kRecentCount) Recent.Delete(Recent.Count() - 1);
}

void ReadRecent(const std::string& FileName, const TVaruneItemList& Items, TVaruneItemList& Recent) {
  TVaruneItemList read;
  ReadFavorites(FileName, Items, read);
  for (int32_t i = read.Count(); i-- > 0;) NoteWorn(Recent, *read[i]);  // oldest first: the newest end up in front
}

TPaletteSettings ReadPaletteSettings(const TIniFile& Ini, const TPaletteSettings& Current) {
  return {ReadPlacement(Ini, "Palette", Current.Placement), Ini.ReadBool("Palette", "Visible", Current.Visible)};
}

void WritePaletteSettings(TIniFile& Ini, const TPaletteSettings& Palette, bool PositionKnown) {
  WritePlacement(Ini, "Palette", Palette.Placement, PositionKnown);
  Ini.WriteBool("Palette", "Visible", Palette.Visible);
}

TBitmap32 StarPicture(bool Favorite) {
  const TColor32 edge = Favorite ? Color32(0xC8, 0x8C, 0x00) : Color32(0x80, 0x80, 0x80);
  const TColor32 fill = Favorite ? Color32(0xFF, 0xDC, 0x28) : Color32(0xC8, 0xC8, 0xC8);
  constexpr int kSamples = 4;  // per pixel and axis: smooth edges
  constexpr double kCentre = kStarSize / 2.0, kOuter = kStarSize / 2.0, kInnerStar = kOuter - 1.6;
  TBitmap32 star(kStarSize, kStarSize);
  star.DrawMode = dmBlend;
  for (int32_t y = 0; y < kStarSize; ++y)
    for (int32_t x = 0; x < kStarSize; ++x) {
      int covered = 0, filled = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = x + (sx + 0.5) / kSamples, py = y + (sy + 0.5) / kSamples + 0.6;
          covered += InStar(px, py, kCentre, kCentre, kOuter);
          filled += InStar(px, py, kCentre, kCentre, kInnerStar);
        }
      if (covered == 0) continue;
      // The fill's share of the covered samples mixes fill and edge; coverage is the alpha.
      const auto mix = [&](int shift) {
        const int f = (fill >> shift) & 0xFF, e = (edge >> shift) & 0xFF;
        return static_cast<uint8_t>((f * filled + e * (covered - filled)) / covered);
      };
      star.Pixel(x, y) = Color32(mix(16), mix(8), mix(0), static_cast<uint8_t>(covered * 255 / (kSamples * kSamples)));
    }
  return star;
}

}  // namespace varune
