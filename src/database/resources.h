#pragma once
// Caches of decoded resources: PNG pictures, sprite sheets as surfaces, and
// animation sequences. Each file is extracted and decoded once per database
// (twice at worst when two threads ask for it at the same moment; the first
// result is kept); a name no archive holds is remembered as missing, while a
// file that fails to decode is tried again on the next request.
//
// GetFile may run on several threads at once, so that pictures can be drawn
// on every core from one loaded client; Clear may not run beside it. Cached
// objects live until Clear.

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/spf.h"
#include "archive/text.h"
#include "formats/seq.h"
#include "database/types.h"
#include "formats/tbl.h"
#include "imaging/bitmap32.h"
#include "imaging/canvas.h"
#include "imaging/png.h"

namespace varune {

template <class T>
class TResourceManager {
 public:
  explicit TResourceManager(TSpfManager& ASpfMan) : FSpfMan(ASpfMan) {}
  virtual ~TResourceManager() = default;
  TResourceManager(const TResourceManager&) = delete;
  TResourceManager& operator=(const TResourceManager&) = delete;

  // Frees every cached object and forgets remembered misses.
  void Clear() {
    std::unique_lock lock(FLock);
    FList.clear();
  }

  // The cached object for `FileName` (a path inside the archives, without
  // case), loading it on first request; null when there is none.
  const T* GetFile(std::string_view FileName) {
    {
      std::shared_lock lock(FLock);
      if (const auto found = FList.find(FileName); found != FList.end()) return found->second.get();
    }
    // Decoded outside the lock: other threads keep drawing meanwhile.
    std::unique_ptr<T> object;
    if (const TSpfItemInfo* info = FSpfMan.GetItem(FileName)) {
      object = Load(*info);
      if (!object) return nullptr;
    }
    std::unique_lock lock(FLock);
    // try_emplace keeps an object another thread put in first: every caller
    // of a name gets the same one.
    return FList.try_emplace(std::string(FileName), std::move(object)).first->second.get();
  }

  // How many names are cached, misses included.
  size_t CachedCount() const {
    std::shared_lock lock(FLock);
    return FList.size();
  }
  // True once `FileName` has been loaded or found missing: GetFile then
  // answers at once.
  bool Contains(std::string_view FileName) const {
    std::shared_lock lock(FLock);
    return FList.find(FileName) != FList.end();
  }

 protected:
  // Loads the file; null for a failure to be retried later. Failures the
  // cache does not absorb are thrown to the caller.
  virtual std::unique_ptr<T> Load(const TSpfItemInfo& Info) = 0;

  TSpfManager& FSpfMan;

 private:
  mutable std::shared_mutex FLock;
  std::unordered_map<std::string, std::unique_ptr<T>, CaseInsensitiveHash, CaseInsensitiveEqual> FList;
};

// Extracts an archived file into memory.
std::vector<uint8_t> ExtractEntry(const TSpfItemInfo& Info);

// Decoded PNG pictures for the interface painters.
class TPngManager : public TResourceManager<TPngImage> {
 public:
  using TResourceManager::TResourceManager;

  // Copies `SrcRect` of `Src` into the RGBA picture `Dest` at (DestX, DestY),
  // with alpha from the source's alpha channel or tRNS table (255 for grey
  // and RGB sources), halved when `Dim`. Parts outside either picture are
  // left out.
  static void CopyPngRect(TPngImage& Dest, int32_t DestX, int32_t DestY, const TPngImage& Src, const TRect& SrcRect,
                          bool Dim);

 protected:
  std::unique_ptr<TPngImage> Load(const TSpfItemInfo& Info) override;
};

// Item icons, composed in a 32 x 32 RGBA buffer: Draw is for one thread.
class TIconManager : public TPngManager {
 public:
  explicit TIconManager(TSpfManager& ASpfMan) : TPngManager(ASpfMan), FBuffer(TPngImage::Blank(32, 32)) {}

  TPngImage& Buffer() { return FBuffer; }

  // Draws cell `Index` (1-based, 16 cells of 32 x 32 a row) of the icon sheet
  // `FileName` at (X, Y); `Sub` at half opacity. Nothing for a missing sheet
  // or a cell that starts outside it; a cell cut by the sheet's edge is
  // transparent beyond it.
  void Draw(TCanvas& Canvas, int32_t X, int32_t Y, std::string_view FileName, int32_t Index, bool Sub);

 private:
  TPngImage FBuffer;
};

// Interface pictures and the elements painted from them. Every painter draws
// nothing at all when its picture is missing from the archives.
class TUIManager : public TPngManager {
 public:
  using TPngManager::TPngManager;

  // The 32 x 32 frame of equipment slot `Index` (1 to 14) at (X, Y). `Selected`
  // (the slot holds an item, drawn on top by the caller) leaves the
  // placeholder icon out; slots without a placeholder get the frame only.
  void DrawEquipIcon(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Index, bool Selected);
  // A 20 x 20 framed small weapon icon (`Index` 1 to 15; others get the frame only).
  void DrawMiniWeaponIcon(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Index, bool Selected);
  // The 36 x 36 gender button at (X, Y), lit when `Selected`.
  void DrawGenderIcon(TCanvas& Canvas, int32_t X, int32_t Y, TGenderType Gender, bool Selected);
  // The 64 x 32 ground shadow, centred on X with its top 16 pixels above Y.
  void DrawShadow(TCanvas& Canvas, int32_t X, int32_t Y);
  // A framed window of Width x Height at (X, Y); nothing below 4 pixels a side.
  void DrawWindow(TCanvas& Canvas, int32_t X, int32_t Y, int32_t Width, int32_t Height);
};

// Slot placeholder cells in "DATA/INTERFACE/CONCEPT/UI102.PNG", for slots 1 to 14.
inline constexpr int32_t EquipSlotIconCells[14] = {1, 3, 4, 6, 14, 5, 9, 10, 7, 2, 11, 8, 12, 13};
// Frame colour of an empty slot and of one holding an item.
inline constexpr TColor32 EquipFrameColors[2] = {Color32(0xE6, 0xF7, 0xCE), Color32(0xC6, 0xEB, 0xA5)};
// Small weapon cells in "DATA/INTERFACE/CONCEPT/UI_ICON_000.PNG", for indexes 1 to 15.
inline constexpr int32_t MiniWeaponIconCells[15] = {1, 2, 3, 5, 6, 7, 4, 6, 11, 12, 15, 14, 9, 10, 13};
// Gender buttons in "DATA/LOBBY/RB001.PNG", by gender, then unlit / lit.
inline constexpr TRect GenderIconRects[2][2] = {{{767, 244, 803, 280}, {767, 281, 803, 317}},
                                                {{804, 244, 840, 280}, {804, 281, 840, 317}}};
// The nine window pieces in "DATA/INTERFACE/CONCEPT/UI102.PNG", row by row:
// top-left, top, top-right, left, centre, right, bottom-left, bottom, bottom-right.
inline constexpr TRect WindowFrameRects[9] = {
    {1, 1, 5, 5},  {5, 1, 6, 5},  {257, 1, 261, 5},  {1, 6, 5, 7},    {5, 6, 6, 7},
    {257, 6, 261, 7}, {1, 11, 5, 15}, {5, 11, 6, 15}, {257, 11, 261, 15}};

// Sprite sheets as opaque-mode surfaces for the character renderer, decoded
// by `DecodePngToBitmap32`. A palette index out of range is a failure to retry
// later; other decoding errors are thrown to the caller.
class TBitmap32Manager : public TResourceManager<TBitmap32> {
 public:
  using TResourceManager::TResourceManager;

 protected:
  std::unique_ptr<TBitmap32> Load(const TSpfItemInfo& Info) override;
};

class TSequenceManager : public TResourceManager<TSeq> {
 public:
  using TResourceManager::TResourceManager;

 protected:
  std::unique_ptr<TSeq> Load(const TSpfItemInfo& Info) override;
};

}  // namespace varune
