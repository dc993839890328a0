#include "formats/tbl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "archive/error.h"

namespace varune {
namespace {

// Above this many cells the game's quadratic exchange sort would stall a
// load; a stable sort gives the same order except among equal IDs.
constexpr int32_t kExactSortLimit = 2048;

// A block of at least `Size` bytes for one read, reused by the loads of a
// thread; a block above 4 MiB is given back when the guard ends, so the
// scratch never stays huge.
class TScratchBlock {
 public:
  explicit TScratchBlock(int64_t Size) {
    if (Block().size() < static_cast<size_t>(Size)) Block().resize(static_cast<size_t>(Size));
  }
  ~TScratchBlock() {
    if (Block().size() > kKeptSize) std::vector<uint8_t>().swap(Block());
  }
  TScratchBlock(const TScratchBlock&) = delete;
  TScratchBlock& operator=(const TScratchBlock&) = delete;

  uint8_t* Data() { return Block().data(); }

 private:
  static constexpr size_t kKeptSize = 4 << 20;
  static std::vector<uint8_t>& Block() {
    thread_local std::vector<uint8_t> block;
    return block;
  }
};

const std::string kNoPath;

}  // namespace

// ---- TTblItem --------------------------------------------------------------

void TTblItem::LoadFromStream(TStream& Stream) {
  uint8_t header[kTblItemHeaderSize];
  Stream.ReadBuffer(header, sizeof header);
  ReadHeader(header);
  if (FCount2 < 0) throw Error(Sprintf("セル数が不正です [%d]", FCount2));
  const int64_t size = CellBytes();
  if (size > Stream.Remaining()) {
    Stream.Seek(0, soEnd);
    throw Error(kMsgReadError);
  }
  TScratchBlock cells(size);
  Stream.ReadBuffer(cells.Data(), size);
  ReadCells(cells.Data());
}

int64_t TTblItem::LoadFromMemory(const uint8_t* Record, int64_t Available, bool& Loaded) {
  ReadHeader(Record);
  Loaded = false;
  if (FCount2 < 0) return kTblItemHeaderSize;
  const int64_t size = CellBytes();
  if (size > Available - kTblItemHeaderSize) return Available;
  ReadCells(Record + kTblItemHeaderSize);
  Loaded = true;
  return kTblItemHeaderSize + size;
}

void TTblItem::ReadHeader(const uint8_t* Header) {
  FCount = LoadAt<int32_t>(Header);
  FID = AnsiField(Header + 4, kTblTextSize);
  FCount2 = LoadAt<int32_t>(Header + 4 + kTblTextSize);
  Images.clear();
}

void TTblItem::ReadCells(const uint8_t* Cells) {
  // Each cell is written once, as it is read: tables hold cells by the
  // hundred thousand.
  Images.reserve(static_cast<size_t>(FCount2));
  const uint8_t* p = Cells;
  for (int32_t i = 0; i < FCount2; ++i, p += kTblImageSize) {
    const uint8_t* name = p + 36;
    // The cells of an item mostly share their sheet.
    const bool sameSheet = i > 0 && std::memcmp(name - kTblImageSize, name, kTblTextSize) == 0;
    Images.push_back({LoadAt<int32_t>(p),
                      {LoadAt<int32_t>(p + 4), LoadAt<int32_t>(p + 8)},
                      LoadAt<float>(p + 12),
                      LoadAt<float>(p + 16),
                      {LoadAt<int32_t>(p + 20), LoadAt<int32_t>(p + 24), LoadAt<int32_t>(p + 28), LoadAt<int32_t>(p + 32)},
                      sameSheet ? Images.back().FileName : AnsiField(name, kTblTextSize)});
  }
}

const std::string& TTblItem::Path() const { return FParent ? FParent->Path() : kNoPath; }

int32_t TTblItem::SearchCount() const {
  return std::clamp<int32_t>(FCount, 0, static_cast<int32_t>(Images.size()));
}

int32_t TTblItem::IndexOfID(int32_t ID) const {
  const int32_t count = SearchCount();
  for (int32_t i = 0; i < count; ++i)
    if (Images[i].ID == ID) return i;
  return -1;
}

TTblImage TTblItem::GetImageByID(int32_t ID) const {
  const int32_t index = IndexOfID(ID);
  if (index >= 0) return Images[index];
  if (FParent) {
    const std::string key = FID.substr(0, 8) + "001_01";
    const int32_t other = FParent->IndexOf(key);
    if (other >= 0) {
      const TTblItem& item = FParent->GetItem(other);
      const int32_t otherIndex = item.IndexOfID(ID);
      if (otherIndex >= 0) return item.Images[otherIndex];
    }
  }
  return TTblImage{};
}

int32_t TTblItem::IndexOfID23(int32_t ID) const {
  int32_t folded = ID;
  if (ID >= 1 && ID <= 6)
    folded = 1;
  else if (ID == 13)
    folded = 0;
  const int32_t exact = IndexOfID(folded);
  if (exact >= 0) return exact;

  const int64_t t = int64_t{folded} + 1;
  const int32_t count = SearchCount();
  for (int32_t j = 0; j + 1 < count; ++j) {
    const int64_t a = Images[j].ID;
    const int64_t b = Images[j + 1].ID;
    if (std::abs(a - b) < 10 && (a == t || (a < t && t <= b))) return j;
  }
  return -1;
}

int32_t TTblItem::IndexOfID24(int32_t ID) const {
  int32_t folded = ID;
  if (ID >= 0 && ID <= 8)
    folded = ID / 3 * 3;
  else if (ID == 10)
    folded = 3;
  const int32_t exact = IndexOfID(folded);
  if (exact >= 0) return exact;

  const int64_t t = int64_t{folded} + 1;
  const int32_t count = SearchCount();
  for (int32_t j = 0; j + 1 < count; ++j) {
    const int64_t a = Images[j].ID;
    const int64_t b = Images[j + 1].ID;
    if (a == t) return j;
    if (a < t && t <= b && t - a <= 3) return j;
  }
  if (count > 0) {
    const int64_t distance = t - Images[count - 1].ID;
    if (distance > 0 && distance <= 3) return count - 1;
  }
  return -1;
}

void TTblItem::SortImages() {
  const int32_t count = SearchCount();
  if (count > kExactSortLimit) {
    std::stable_sort(Images.begin(), Images.begin() + count,
                     [](const TTblImage& a, const TTblImage& b) { return a.ID < b.ID; });
    return;
  }
  for (int32_t i = 0; i < count; ++i)
    for (int32_t j = i + 1; j < count; ++j)
      if (Images[j].ID < Images[i].ID) std::swap(Images[i], Images[j]);
}

// ---- TTbl ------------------------------------------------------------------

void TTbl::Clear() {
  FIndex.clear();
  FList.clear();
  FUnknown = 0;
  FCount = 0;
}

void TTbl::LoadFromStream(TStream& Stream) {
  Clear();
  int32_t header[2];
  Stream.ReadBuffer(header, sizeof header);
  FUnknown = header[0];
  FCount = header[1];
  if (FCount <= 0) return;

  // The items are parsed from one read of the rest of the stream; the stream
  // is left after the last byte an item took.
  const int64_t start = Stream.Position();
  const int64_t size = Stream.Remaining();
  TScratchBlock block(size);
  Stream.ReadBuffer(block.Data(), size);
  FList.reserve(static_cast<size_t>(std::min<int64_t>(FCount, size / kTblItemHeaderSize)));
  int64_t position = 0;
  for (int32_t i = 0; i < FCount; ++i) {
    if (size - position < kTblItemHeaderSize) break;
    TTblItem item;
    item.FParent = this;
    bool loaded = false;
    position += item.LoadFromMemory(block.Data() + position, size - position, loaded);
    if (!loaded) continue;
    if (FSorted) item.SortImages();
    FList.push_back(std::move(item));
  }
  Stream.SetPosition(start + position);
  FIndex.reserve(FList.size());
  for (int32_t i = 0; i < Count(); ++i) FIndex.try_emplace(FList[i].FID, i);
}

int32_t TTbl::IndexOf(std::string_view S) const {
  const auto found = FIndex.find(S);
  return found == FIndex.end() ? -1 : found->second;
}

const TTblItem& TTbl::GetItem(int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw Error(Sprintf(kMsgInvalidIndex, Index));
  return FList[Index];
}

// ---- TMft ------------------------------------------------------------------

TMft::TMft() { std::memset(&FHeader, 0, sizeof FHeader); }

void TMft::Clear() {
  std::memset(&FHeader, 0, sizeof FHeader);
  FList.clear();
}

void TMft::LoadFromStream(TStream& Stream) {
  Clear();
  try {
    Stream.ReadBuffer(&FHeader, sizeof FHeader);
    const uint32_t count = FHeader.Count;
    if (count > Stream.Remaining() / 4 || count > uint32_t{std::numeric_limits<int32_t>::max()})
      throw Error(Sprintf("エントリ数が不正です [%u]", count));
    FList.reserve(count);
    std::string raw;
    for (uint32_t i = 0; i < count; ++i) {
      const int32_t length = Stream.ReadValue<int32_t>();
      if (length < 0) throw Error(Sprintf("エントリの長さが不正です [%d]", length));
      if (length > Stream.Remaining()) throw Error(kMsgReadError);
      raw.resize(static_cast<size_t>(length));
      Stream.ReadBuffer(raw.data(), length);
      FList.push_back(AnsiField(raw.data(), raw.size()));
    }
  } catch (...) {
    Clear();
    throw;
  }
}

const std::string& TMft::GetItem(int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw Error(Sprintf(kMsgInvalidIndex, Index));
  return FList[Index];
}

}  // namespace varune
