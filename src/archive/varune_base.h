#pragma once
// The loading protocol shared by every reader of the game's files: from a
// plain file, from a stream, from an archive by index or name, or from a
// locator of the archive set.

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/spf.h"
#include "archive/stream.h"

namespace varune {

class TVaruneBase {
 public:
  TVaruneBase() = default;
  virtual ~TVaruneBase() = default;
  TVaruneBase(const TVaruneBase&) = delete;
  TVaruneBase& operator=(const TVaruneBase&) = delete;

  // Releases the content; each reader releases its own.
  virtual void Clear() {}

  // Loads from the file at `AFileName` ("ファイルが存在しません" when there is
  // none); FileName becomes its last path component.
  virtual void LoadFromFile(const std::string& AFileName);

  // Every implementation calls Clear first, then reads from the position.
  virtual void LoadFromStream(TStream& Stream) = 0;

  // Loads entry `Index` of `Spf` ("無効なインデックス [%d]" when out of range).
  void LoadFromSpf(const TSpf& Spf, int32_t Index);
  void LoadFromSpf(const TSpf& Spf, std::string_view AFileName);
  // Loads the entry a locator names; a null locator fails like index -1.
  void LoadFromSpfInfo(const TSpfItemInfo* SpfInfo);

  const std::string& FileName() const { return FFileName; }
  void SetFileName(std::string Value) { FFileName = std::move(Value); }

 protected:
  std::string FFileName;
};

}  // namespace varune
