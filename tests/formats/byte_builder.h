#pragma once
// Hand-built file layouts for the format tests, and loading readers from bytes.

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "archive/stream.h"

namespace varune::test {

class TBytes {
 public:
  template <class T>
  TBytes& Put(const T& value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    FData.insert(FData.end(), p, p + sizeof value);
    return *this;
  }
  TBytes& I32(int32_t value) { return Put(value); }
  TBytes& U16(uint16_t value) { return Put(value); }
  TBytes& U32(uint32_t value) { return Put(value); }
  TBytes& F32(float value) { return Put(value); }
  // Raw bytes, no terminator.
  TBytes& Raw(std::string_view bytes) {
    FData.insert(FData.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // A fixed field: the bytes, then NULs up to `size`.
  TBytes& Field(std::string_view bytes, size_t size) {
    Raw(bytes);
    FData.insert(FData.end(), size - bytes.size(), 0);
    return *this;
  }
  TBytes& Zeros(size_t count) {
    FData.insert(FData.end(), count, 0);
    return *this;
  }
  const std::vector<uint8_t>& Data() const { return FData; }
  size_t Size() const { return FData.size(); }

 private:
  std::vector<uint8_t> FData;
};

// Loads `reader` from a memory stream over `bytes`; returns the stream's
// position afterwards.
template <class TReader>
int64_t LoadBytes(TReader& reader, const std::vector<uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  reader.LoadFromStream(stream);
  return stream.Position();
}

inline std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, size_t size) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

}  // namespace varune::test
