#pragma once
// Caches of decoded resources: PNG pictures, sprite sheets as surfaces, and
// animation sequences. Each file is extracted and decoded at most once per
// database; a name no archive holds is remembered as missing, while a file
// that fails to decode is tried again on the next request.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/spf.h"
#include "archive/text.h"
#include "formats/seq.h"
#include "formats/tbl.h"
#include "imaging/bitmap32.h"
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
  void Clear() { FList.clear(); }

  // The cached object for `FileName` (a path inside the archives, without
  // case), loading it on first request; null when there is none.
  const T* GetFile(std::string_view FileName) {
    if (const auto found = FList.find(FileName); found != FList.end()) return found->second.get();
    const TSpfItemInfo* info = FSpfMan.GetItem(FileName);
    if (!info) {
      FList.emplace(std::string(FileName), nullptr);
      return nullptr;
    }
    std::unique_ptr<T> object = Load(*info);
    if (!object) return nullptr;
    return FList.emplace(std::string(FileName), std::move(object)).first->second.get();
  }

  // How many names are cached, misses included.
  size_t CachedCount() const { return FList.size(); }

 protected:
  // Loads the file; null for a failure to be retried later. Failures the
  // cache does not absorb are thrown to the caller.
  virtual std::unique_ptr<T> Load(const TSpfItemInfo& Info) = 0;

  TSpfManager& FSpfMan;

 private:
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

// Item icons, composed in a 32 x 32 RGBA buffer.
class TIconManager : public TPngManager {
 public:
  explicit TIconManager(TSpfManager& ASpfMan) : TPngManager(ASpfMan), FBuffer(TPngImage::Blank(32, 32)) {}

  TPngImage& Buffer() { return FBuffer; }

 private:
  TPngImage FBuffer;
};

// Interface pictures.
class TUIManager : public TPngManager {
 public:
  using TPngManager::TPngManager;
};

// Sprite sheets as opaque-mode surfaces for the character renderer.
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

// Fills `Bitmap` with `Png`, straight alpha by the picture's transparency
// mode. A palette index the palette lacks raises varune::Error.
void PngToBitmap32(TBitmap32& Bitmap, const TPngImage& Png);

}  // namespace varune
