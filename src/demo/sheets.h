#pragma once
// Sprite sheets and sprite tables of the demo client: cells packed into PNG
// sheets of a chosen transparency kind, and the table entries that point at
// them.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "demo/art.h"
#include "formats/tbl_writer.h"

namespace varune::demo {

// How a sheet stores transparency: an alpha channel; a palette whose first
// entry is the only transparent one; a palette with several alpha levels; or
// RGB with a key colour.
enum TSheetMode { smRGBA, smPaletteKey, smPaletteAlpha, smRGBKey };

struct TArchiveFile {
  std::string Name;
  std::vector<uint8_t> Bytes;
};

// Packs cells row by row into square sheets, starting a new sheet when one is
// full (or, for palette sheets, when its colours run out).
class TSheetPacker {
 public:
  // Sheets are named `Folder` + `Prefix` + "%.3d.PNG"; cells refer to them by
  // `Prefix` + "%.3d.PNG", relative to `Folder`.
  TSheetPacker(std::string Folder, std::string Prefix, TSheetMode Mode, int32_t Size = 512);

  struct TPlace {
    std::string FileName;
    TRect Rect;
  };
  TPlace Place(const TBitmap32& Cell);

  // The encoded sheets, in the order they were started.
  std::vector<TArchiveFile> Finish();
  int32_t SheetCount() const { return static_cast<int32_t>(FSheets.size()); }

 private:
  struct TSheet {
    TBitmap32 Pixels;
    std::map<TColor32, uint8_t> Palette;  // palette modes: colour to index
  };
  void StartSheet();
  // The colour a pixel is stored as in this mode (straight ARGB).
  TColor32 Stored(TColor32 Pixel) const;
  std::vector<uint8_t> Encode(const TSheet& Sheet) const;

  std::string FFolder, FPrefix;
  TSheetMode FMode;
  int32_t FSize;
  std::vector<TSheet> FSheets;
  int32_t FX = 0, FY = 0, FRowHeight = 0;
};

// One sprite table and the sheets of its cells.
class TSpriteTable {
 public:
  // `Entry` is the manifest entry, relative to "DATA/CHAR/CHARLAYER/".
  TSpriteTable(std::string Entry, TSheetMode Mode, int32_t SheetSize = 512);

  // Adds the item's entries, one per layer of its art.
  void AddItem(const TArt& Art, int32_t Category, int32_t Num, int32_t ColorID);

  const std::string& Entry() const { return FEntry; }
  int32_t ItemCount() const { return static_cast<int32_t>(FItems.size()); }
  // The table, then its sheets, as archive files.
  std::vector<TArchiveFile> Finish();

 private:
  std::string FEntry;
  TSheetPacker FPacker;
  std::vector<TTblItemData> FItems;
};

// The manifest path of the character layer tables and their folder.
inline constexpr const char* kCharLayerFolder = "DATA/CHAR/CHARLAYER/";

}  // namespace varune::demo
