#include "demo/sheets.h"

#include <algorithm>

#include "archive/error.h"
#include "imaging/png.h"

namespace varune::demo {
namespace {

// The transparent colour of keyed sheets: the renderer's bilinear sampling
// mixes it into the edges of turned cells, so it is as dark as an outline.
constexpr TColor32 kKey = 0xFF201828;
constexpr int32_t kPadding = 1;

}  // namespace

TSheetPacker::TSheetPacker(std::string Folder, std::string Prefix, TSheetMode Mode, int32_t Size)
    : FFolder(std::move(Folder)), FPrefix(std::move(Prefix)), FMode(Mode), FSize(Size) {}

TColor32 TSheetPacker::Stored(TColor32 Pixel) const {
  const uint8_t alpha = AlphaComponent(Pixel);
  switch (FMode) {
    case smRGBA: return alpha ? Pixel : 0;
    case smPaletteAlpha:
      // Few alpha levels keep the palette small.
      if (alpha == 0) return 0;
      return alpha >= 240 ? Pixel | 0xFF000000u : (Pixel & 0xFFFFFF) | (TColor32((alpha + 8) & 0xF0) << 24);
    default:
      if (alpha < 128) return kKey;
      // The key colour itself may not be painted.
      return (Pixel | 0xFF000000u) == kKey ? kKey + 1 : Pixel | 0xFF000000u;
  }
}

void TSheetPacker::StartSheet() {
  TSheet sheet;
  sheet.Pixels.SetSize(FSize, FSize);
  if (FMode == smPaletteKey || FMode == smRGBKey) sheet.Pixels.Clear(kKey);
  if (FMode == smPaletteKey) sheet.Palette[kKey] = 0;
  if (FMode == smPaletteAlpha) {
    // Two translucent entries at least, so that readers take the alpha of
    // every entry rather than one transparent colour.
    sheet.Palette[0] = 0;
    sheet.Palette[0x80010101] = 1;
  }
  FSheets.push_back(std::move(sheet));
  FX = FY = FRowHeight = 0;
}

TSheetPacker::TPlace TSheetPacker::Place(const TBitmap32& Cell) {
  const int32_t w = Cell.Width(), h = Cell.Height();
  if (w + kPadding > FSize || h + kPadding > FSize) throw Error("demo cell larger than its sheet");
  const bool palette = FMode == smPaletteKey || FMode == smPaletteAlpha;
  std::vector<TColor32> fresh;
  if (palette && !FSheets.empty()) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const TColor32 c = Stored(Cell.Pixel(x, y));
        if (!FSheets.back().Palette.count(c) && std::find(fresh.begin(), fresh.end(), c) == fresh.end())
          fresh.push_back(c);
      }
  }
  if (FSheets.empty() || (palette && FSheets.back().Palette.size() + fresh.size() > 256)) StartSheet();
  if (FX + w + kPadding > FSize) {
    FX = 0;
    FY += FRowHeight;
    FRowHeight = 0;
  }
  if (FY + h + kPadding > FSize) StartSheet();
  TSheet& sheet = FSheets.back();
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const TColor32 c = Stored(Cell.Pixel(x, y));
      sheet.Pixels.Pixel(FX + x, FY + y) = c;
      if (palette && !sheet.Palette.count(c)) {
        if (sheet.Palette.size() >= 256) throw Error("demo cell has more than 256 colours");
        sheet.Palette.emplace(c, static_cast<uint8_t>(sheet.Palette.size()));
      }
    }
  TPlace place{FPrefix + Sprintf("%.3d.PNG", SheetCount() - 1), {FX, FY, FX + w, FY + h}};
  FX += w + kPadding;
  FRowHeight = std::max(FRowHeight, h + kPadding);
  return place;
}

std::vector<uint8_t> TSheetPacker::Encode(const TSheet& Sheet) const {
  const TBitmap32& pixels = Sheet.Pixels;
  if (FMode == smRGBA) return EncodePng(pixels, ppfRGBA);
  TPngImage image;
  image.Width = pixels.Width();
  image.Height = pixels.Height();
  image.Rgb.resize(image.PixelCount() * 3);
  for (size_t i = 0; i < image.PixelCount(); ++i) {
    const TColor32 c = pixels.Bits()[i];
    image.Rgb[i * 3] = RedComponent(c), image.Rgb[i * 3 + 1] = GreenComponent(c), image.Rgb[i * 3 + 2] = BlueComponent(c);
  }
  image.HasTrns = true;
  if (FMode == smRGBKey) {
    image.ColorType = pctRGB;
    image.TrnsRed = RedComponent(kKey), image.TrnsGreen = GreenComponent(kKey), image.TrnsBlue = BlueComponent(kKey);
    return EncodePngImage(image);
  }
  // Palette: entries by index; the transparent ones come first, as the tRNS
  // chunk lists only a leading run of entries.
  image.ColorType = pctPalette;
  std::vector<TColor32> byIndex(Sheet.Palette.size());
  for (const auto& [color, index] : Sheet.Palette) byIndex[index] = color;
  std::vector<size_t> order(byIndex.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto alphaOf = [&](TColor32 c) -> uint8_t {
    return FMode == smPaletteKey ? (c == kKey ? 0 : 255) : AlphaComponent(c);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return (alphaOf(byIndex[a]) < 255) > (alphaOf(byIndex[b]) < 255); });
  std::map<TColor32, uint8_t> remap;
  image.Palette.resize(order.size());
  int32_t translucent = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const TColor32 c = byIndex[order[i]];
    remap[c] = static_cast<uint8_t>(i);
    image.Palette[i] = {RedComponent(c), GreenComponent(c), BlueComponent(c)};
    const uint8_t alpha = alphaOf(c);
    image.TrnsAlpha[i] = alpha;
    if (alpha < 255) translucent = static_cast<int32_t>(i) + 1;
  }
  image.TrnsCount = std::max(translucent, 1);
  image.Indices.resize(image.PixelCount());
  for (size_t i = 0; i < image.PixelCount(); ++i) image.Indices[i] = remap.at(pixels.Bits()[i]);
  return EncodePngImage(image);
}

std::vector<TArchiveFile> TSheetPacker::Finish() {
  std::vector<TArchiveFile> files;
  for (size_t i = 0; i < FSheets.size(); ++i)
    files.push_back({FFolder + FPrefix + Sprintf("%.3d.PNG", static_cast<int32_t>(i)), Encode(FSheets[i])});
  return files;
}

namespace {

std::string FolderOf(const std::string& entry) {
  const size_t slash = entry.rfind('/');
  return std::string(kCharLayerFolder) + (slash == std::string::npos ? "" : entry.substr(0, slash + 1));
}

std::string BaseName(const std::string& entry) {
  const size_t slash = entry.rfind('/');
  std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

}  // namespace

TSpriteTable::TSpriteTable(std::string Entry, TSheetMode Mode, int32_t SheetSize)
    : FEntry(Entry), FPacker(FolderOf(Entry), "IMG/" + BaseName(Entry) + "_", Mode, SheetSize) {}

void TSpriteTable::AddItem(const TArt& Art, int32_t Category, int32_t Num, int32_t ColorID) {
  std::vector<TTblImage> placed;
  placed.reserve(Art.Drawn.size());
  for (const TCell& cell : Art.Drawn) {
    const TSheetPacker::TPlace place = FPacker.Place(cell.Bitmap);
    TTblImage image;
    image.Offset = {-cell.PivotX, -cell.PivotY};
    // The renderer turns about (-(RevX + 1), -(RevY + 1)) from the top left.
    image.RevX = static_cast<float>(-cell.PivotX - 1);
    image.RevY = static_cast<float>(-cell.PivotY - 1);
    image.Rect = place.Rect;
    image.FileName = place.FileName;
    placed.push_back(std::move(image));
  }
  for (const TArt::TLayerCells& layer : Art.Layers) {
    TTblItemData item;
    item.ID = Sprintf("%.2d_%.4d_%.3d_%.2d", layer.Layer, Category, Num, ColorID);
    for (const auto& [id, index] : layer.Cells) {
      TTblImage image = placed[static_cast<size_t>(index)];
      image.ID = id;
      item.Images.push_back(std::move(image));
    }
    item.Count = static_cast<int32_t>(item.Images.size());
    FItems.push_back(std::move(item));
  }
}

std::vector<TArchiveFile> TSpriteTable::Finish() {
  std::vector<TArchiveFile> files;
  files.push_back({std::string(kCharLayerFolder) + FEntry, WriteTbl(0, FItems)});
  for (TArchiveFile& sheet : FPacker.Finish()) files.push_back(std::move(sheet));
  return files;
}

}  // namespace varune::demo
