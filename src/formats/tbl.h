#pragma once
// Sprite tables (.TBL) and the manifest of sprite tables (.MFT).
//
// A sprite table is a list of items found by ID text; an item lists the cells
// of its sprite sheets, found by image ID. Cells are stored in ascending ID
// order, which the folding lookups of layers 23 and 24 rely on.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/geometry.h"
#include "archive/text.h"
#include "archive/varune_base.h"

namespace varune {

inline constexpr int32_t kTblTextSize = 128;
inline constexpr int32_t kTblItemHeaderSize = 136;  // FCount, FID, FCount2
inline constexpr int32_t kTblImageSize = 164;

// One cell: a rectangle of a sprite sheet and where to draw it.
struct TTblImage {
  int32_t ID = -1;  // -1 in a lookup's answer: no such cell
  TPoint Offset;
  float RevX = 0;
  float RevY = 0;
  TRect Rect;
  std::string FileName;  // UTF-8, relative to the table's Path()

  bool operator==(const TTblImage&) const = default;
};

class TTbl;

// One sprite item. Lookups search the first min(FCount, cells held) cells,
// so a count larger than what the file stores never reads past the cells.
class TTblItem {
 public:
  // Reads one item record. A negative cell count raises varune::Error after
  // the item's header; cells that cannot fit in the rest of the stream raise
  // it too and consume the rest, as a short read would.
  void LoadFromStream(TStream& Stream);

  int32_t Count() const { return FCount; }
  const std::string& ID() const { return FID; }
  // The parent table's sheet folder ("" without a parent).
  const std::string& Path() const;

  // Lowest searched index whose ID equals `ID`, or -1.
  int32_t IndexOfID(int32_t ID) const;

  // The cell with `ID`; failing that, the same cell of the item named by the
  // first 8 characters of this ID followed by "001_01" in the parent table.
  // A result whose ID is -1 means there is none.
  TTblImage GetImageByID(int32_t ID) const;

  // Index lookups for sequence layers 23 and 24: the ID is folded onto the
  // images those layers share, then the nearest following cell is accepted.
  int32_t IndexOfID23(int32_t ID) const;
  int32_t IndexOfID24(int32_t ID) const;

  // Sorts the searched cells by ID with the game's exchange order.
  void SortImages();

  // The number of cells lookups may search.
  int32_t SearchCount() const;


  const TTbl* FParent = nullptr;
  int32_t FCount = 0;   // cells the lookups search, as declared
  std::string FID;      // UTF-8
  int32_t FCount2 = 0;  // cells stored
  std::vector<TTblImage> Images;

 private:
  friend class TTbl;

  // Parses the record at `Record`, of which `Available` bytes exist (a
  // header's worth at least), and returns the bytes it took. A damaged item
  // sets `Loaded` to false: one with a negative cell count takes its header,
  // one whose cells do not fit takes everything.
  int64_t LoadFromMemory(const uint8_t* Record, int64_t Available, bool& Loaded);
  // Sets FCount, FID and FCount2 and empties Images.
  void ReadHeader(const uint8_t* Header);
  int64_t CellBytes() const { return int64_t{FCount2} * kTblImageSize; }
  // Reads FCount2 cells.
  void ReadCells(const uint8_t* Cells);
};

class TTbl : public TVaruneBase {
 public:
  // With `ASorted` every item's cells are sorted by ID after loading.
  explicit TTbl(bool ASorted = false) : FSorted(ASorted) {}

  void Clear() override;

  // Reads the header (a short header raises varune::Error), then up to
  // FCount items. A damaged item is dropped and the next one read from where
  // it stopped; the table ends early once the rest cannot hold an item. A
  // negative FCount gives an empty table.
  void LoadFromStream(TStream& Stream) override;

  // Position of the first item whose ID equals `S` without case, or -1.
  int32_t IndexOf(std::string_view S) const;
  const TTblItem& GetItem(int32_t Index) const;

  // Items held; below DeclaredCount() when items were dropped.
  int32_t Count() const { return static_cast<int32_t>(FList.size()); }
  int32_t DeclaredCount() const { return FCount; }
  int32_t Unknown() const { return FUnknown; }
  bool Sorted() const { return FSorted; }

  // Archive folder of the sheets, with a trailing "/"; set by the owner.
  const std::string& Path() const { return FPath; }
  void SetPath(std::string APath) { FPath = std::move(APath); }

 private:
  bool FSorted;
  std::vector<TTblItem> FList;
  // ID -> first position; keys view the items' IDs, built once loading ends.
  std::unordered_map<std::string_view, int32_t, CaseInsensitiveHash, CaseInsensitiveEqual> FIndex;
  int32_t FUnknown = 0;
  int32_t FCount = 0;
  std::string FPath;
};

#pragma pack(push, 1)
struct TMftHeader {
  char Signature[255];
  uint8_t Unknown1;
  uint32_t Unknown2;
  float Unknown3;
  uint32_t Unknown4;
  uint32_t Count;
};
#pragma pack(pop)
static_assert(sizeof(TMftHeader) == 272);

// The manifest: a list of sprite table paths.
class TMft : public TVaruneBase {
 public:
  TMft();

  // Empties the entries and zeroes the header.
  void Clear() override;

  // A Count the rest of the stream cannot hold (4 bytes per entry at least),
  // a negative entry length or a short read raise varune::Error; the manifest
  // is then empty.
  void LoadFromStream(TStream& Stream) override;

  const TMftHeader& Header() const { return FHeader; }
  int32_t Count() const { return static_cast<int32_t>(FList.size()); }
  // Entry `Index` in UTF-8 ("無効なインデックス [%d]" when out of range).
  const std::string& GetItem(int32_t Index) const;

 private:
  TMftHeader FHeader;
  std::vector<std::string> FList;
};

}  // namespace varune
