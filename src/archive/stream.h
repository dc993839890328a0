#pragma once
// Byte streams: the abstract stream every reader parses from, a growable
// memory stream, a file stream, and TBinaryStream over someone else's block.
//
// Positions and counts are 64-bit. Read and Write move at most `count` bytes
// and return how many moved; ReadBuffer and WriteBuffer move all or raise.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace varune {

static_assert(std::endian::native == std::endian::little,
              "the game's formats are little-endian and are read in place");

// The little-endian scalar at `p`, for parsers that read records in memory.
template <class T>
T LoadAt(const uint8_t* p) {
  static_assert(std::is_trivially_copyable_v<T>);
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// Seek origins, with the values the game's stream interface uses.
enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// The position a seek of a stream of `size` bytes leads to from `position`;
// an unknown origin keeps the position. Positions are not clamped.
int64_t SeekedPosition(int64_t position, int64_t size, int64_t offset, int origin);

class TStream {
 public:
  virtual ~TStream() = default;

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position. Unknown origins leave the position unchanged.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  // Bytes between the position and the end (0 when the position is beyond).
  int64_t Remaining();

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // A little-endian scalar or a fixed-layout record.
  template <class T>
  T ReadValue() {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    ReadBuffer(&value, sizeof value);
    return value;
  }
  template <class T>
  void WriteValue(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    WriteBuffer(&value, sizeof value);
  }

  // Copies `count` bytes from `source`'s position into this stream.
  void CopyFrom(TStream& source, int64_t count);
};

// A stream over a growable block it owns.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }
  void SetSize(int64_t size) override;

  uint8_t* Memory() { return FBytes.data(); }
  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> FBytes;
  int64_t FPosition = 0;
};

// A file opened for reading (others may read and write it meanwhile) or
// created anew for writing.
class TFileStream : public TStream {
 public:
  enum TMode { fmOpenRead, fmCreate };
  TFileStream(const std::string& path, TMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override;

  int Handle() const { return FHandle; }

 private:
  int FHandle = -1;
  std::string FPath;
};

// A stream over a memory block owned by someone else. The block's size is
// fixed: writes overwrite inside it and never enlarge it. The position is not
// clamped and may lie outside the block.
class TBinaryStream : public TStream {
 public:
  TBinaryStream(void* buf, int32_t size) : FBuf(static_cast<uint8_t*>(buf)), FSize(size) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t Size() override { return FSize; }
  void SetSize(int64_t) override {}

 private:
  // Bytes available at the position for a transfer of `count`, 0 if none.
  int64_t Available(int64_t count) const;

  uint8_t* FBuf;
  int32_t FSize;
  int64_t FPosition = 0;
};

// Whole-file helpers for tools and tests.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const void* data, size_t size);
inline void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteWholeFile(path, bytes.data(), bytes.size());
}
// Replaces `path` as a whole: the bytes go to a temporary file in the same
// folder, which is then renamed over it. A failure (a full disk, a folder
// that cannot be written) removes the temporary file, leaves any previous
// file as it was, and raises varune::Error naming the file.
void WriteFileAtomically(const std::string& path, const void* data, size_t size);
inline void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

}  // namespace varune
