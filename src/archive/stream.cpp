#include "archive/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "archive/atomic_file.h"
#include "archive/error.h"

namespace varune {

// ---- TStream ---------------------------------------------------------------

int64_t SeekedPosition(int64_t position, int64_t size, int64_t offset, int origin) {
  switch (origin) {
    case soBeginning: return offset;
    case soCurrent: return position + offset;
    case soEnd: return size + offset;
    default: return position;
  }
}

int64_t TStream::Size() {
  const int64_t position = Position();
  const int64_t size = Seek(0, soEnd);
  SetPosition(position);
  return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::Remaining() { return std::max<int64_t>(0, Size() - Position()); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw Error(kMsgReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw Error(kMsgWriteError);
}

void TStream::CopyFrom(TStream& source, int64_t count) {
  constexpr int64_t kChunk = 1 << 16;
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min(count, kChunk)));
  while (count > 0) {
    const int64_t n = std::min(count, kChunk);
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    count -= n;
  }
}

// ---- TMemoryStream ---------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (FPosition < 0 || count <= 0) return 0;
  const int64_t n = std::min(count, Size() - FPosition);
  if (n <= 0) return 0;
  std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (FPosition < 0 || count <= 0) return 0;
  if (FPosition + count > Size()) FBytes.resize(static_cast<size_t>(FPosition + count));
  std::memcpy(FBytes.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, int origin) {
  return FPosition = SeekedPosition(FPosition, Size(), offset, origin);
}

void TMemoryStream::SetSize(int64_t size) {
  FBytes.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  FPosition = std::min(FPosition, Size());
}

std::vector<uint8_t> TMemoryStream::TakeBytes() {
  FPosition = 0;
  return std::exchange(FBytes, {});
}

// ---- TFileStream -----------------------------------------------------------

TFileStream::TFileStream(const std::string& path, TMode mode) : FPath(path) {
  FHandle = mode == fmCreate ? ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                             : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (FHandle < 0) {
    const char* format = mode == fmCreate ? "ファイルを作成できません (%s): %s" : "ファイルを開けません (%s): %s";
    throw Error(Sprintf(format, path.c_str(), std::strerror(errno)));
  }
  if (mode == fmOpenRead) {
    struct stat info;
    if (::fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(FHandle);
      throw Error(Sprintf("ファイルを開けません (%s): %s", path.c_str(), std::strerror(EISDIR)));
    }
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  auto* bytes = static_cast<uint8_t*>(buffer);
  while (done < count) {
    const ssize_t n = ::read(FHandle, bytes + done, static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  while (done < count) {
    const ssize_t n = ::write(FHandle, bytes + done, static_cast<size_t>(std::min<int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, int origin) {
  int whence;
  switch (origin) {
    case soBeginning: whence = SEEK_SET; break;
    case soCurrent: whence = SEEK_CUR; break;
    case soEnd: whence = SEEK_END; break;
    default: return ::lseek(FHandle, 0, SEEK_CUR);
  }
  const off_t position = ::lseek(FHandle, offset, whence);
  if (position < 0) throw Error(kMsgReadError);
  return position;
}

int64_t TFileStream::Size() {
  struct stat info;
  if (::fstat(FHandle, &info) != 0) throw Error(kMsgReadError);
  return info.st_size;
}

// ---- TBinaryStream ---------------------------------------------------------

int64_t TBinaryStream::Available(int64_t count) const {
  if (FPosition < 0 || count < 0) return 0;
  const int64_t n = FSize - FPosition;
  return n <= 0 ? 0 : std::min(count, n);
}

int64_t TBinaryStream::Read(void* buffer, int64_t count) {
  const int64_t n = Available(count);
  if (n > 0) std::memcpy(buffer, FBuf + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TBinaryStream::Write(const void* buffer, int64_t count) {
  const int64_t n = Available(count);
  if (n > 0) std::memcpy(FBuf + FPosition, buffer, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TBinaryStream::Seek(int64_t offset, int origin) {
  return FPosition = SeekedPosition(FPosition, FSize, offset, origin);
}

// ---- Whole files -----------------------------------------------------------

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream file(path, TFileStream::fmOpenRead);
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

void WriteWholeFile(const std::string& path, const void* data, size_t size) {
  TFileStream file(path, TFileStream::fmCreate);
  file.WriteBuffer(data, static_cast<int64_t>(size));
}

void WriteFileAtomically(const std::string& path, const void* data, size_t size) {
  TAtomicFile file(path);
  file.Write(data, size);
  file.Commit();
}

}  // namespace varune
