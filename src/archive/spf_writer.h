#pragma once
// Builds archives: named entries with their data and unknown word, then the
// directory and the trailer with the version word.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/stream.h"

namespace varune {

class TSpfWriter {
 public:
  // Adds an entry; `name` is UTF-8 and is stored in code page 932 (at most
  // 128 bytes, the last NUL may be left out).
  void Add(std::string name, std::vector<uint8_t> data, int32_t unknown = 0);
  void SetVersion(int32_t version) { FVersion = version; }

  // Entries' data in the order added, then the directory and the trailer.
  void SaveToStream(TStream& stream) const;
  void SaveToFile(const std::string& path) const;
  std::vector<uint8_t> SaveToBytes() const;

 private:
  struct TEntry {
    std::string Name;  // code page 932
    std::vector<uint8_t> Data;
    int32_t Unknown;
  };
  std::vector<TEntry> FEntries;
  int32_t FVersion = 0;
};

}  // namespace varune
