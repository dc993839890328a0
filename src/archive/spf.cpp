#include "archive/spf.h"

#include <algorithm>
#include <cstring>

#include "archive/error.h"
#include "archive/file_share.h"

namespace varune {

// ---- TSpf ------------------------------------------------------------------

void TSpf::Clear() {
  FCount = 0;
  FHeaders.clear();
  FNameIndex.clear();
  FNameIndexBuilt = false;
}

void TSpf::LoadFromFile(const std::string& AFileName, TShareCheck Check) {
  TFileStream file(AFileName, TFileStream::fmOpenRead);
  if (Check == scExclusive) CheckNotHeld({AFileName});
  LoadFromStream(file);
  FFileName = AFileName;
}

void TSpf::LoadFromStream(TStream& Stream) {
  Clear();
  const int64_t length = Stream.Size();
  if (length < kSpfTrailerSize) throw Error(kMsgReadError);
  Stream.Seek(-4, soEnd);
  FVersion = Stream.ReadValue<int32_t>();
  Stream.Seek(-kSpfTrailerSize, soEnd);
  const int32_t directorySize = Stream.ReadValue<int32_t>();
  Stream.Seek(-4, soCurrent);
  // A damaged trailer must not make us seek before the file or reserve more
  // records than the file could hold.
  if (directorySize < 0 || directorySize > length - kSpfTrailerSize)
    throw Error(Sprintf("アーカイブのディレクトリが壊れています (サイズ %d)", directorySize));
  const int32_t count = directorySize / kSpfRecordSize;
  Stream.Seek(-static_cast<int64_t>(directorySize), soCurrent);

  // Parsed in slices, so a large directory needs no buffer of its own size.
  constexpr int32_t kSlice = 512;
  std::vector<uint8_t> slice(static_cast<size_t>(std::min(count, kSlice)) * kSpfRecordSize);
  FHeaders.resize(static_cast<size_t>(count));
  for (int32_t first = 0; first < count; first += kSlice) {
    const int32_t records = std::min(kSlice, count - first);
    Stream.ReadBuffer(slice.data(), static_cast<int64_t>(records) * kSpfRecordSize);
    for (int32_t i = 0; i < records; ++i) {
      const uint8_t* record = slice.data() + static_cast<size_t>(i) * kSpfRecordSize;
      TSpfHeader& header = FHeaders[static_cast<size_t>(first + i)];
      header.FileName = AnsiField(record, kSpfNameSize);
      header.Offset = LoadAt<int32_t>(record + 128);
      header.Size = LoadAt<int32_t>(record + 132);
      header.Unknown = LoadAt<int32_t>(record + 136);
    }
  }
  FCount = count;
}

void TSpf::BuildNameIndex() const {
  std::lock_guard lock(FNameIndexLock);
  if (FNameIndexBuilt.load(std::memory_order_relaxed)) return;
  FNameIndex.reserve(FHeaders.size());
  for (int32_t i = 0; i < FCount; ++i) FNameIndex.emplace(FHeaders[static_cast<size_t>(i)].FileName, i);
  FNameIndexBuilt.store(true, std::memory_order_release);
}

int32_t TSpf::IndexOf(std::string_view S) const {
  if (!FNameIndexBuilt.load(std::memory_order_acquire)) BuildNameIndex();
  const auto found = FNameIndex.find(S);
  return found == FNameIndex.end() ? -1 : found->second;
}

const TSpfHeader& TSpf::GetItem(int32_t Index) const {
  if (Index < 0 || Index >= FCount) throw Error(Sprintf(kMsgInvalidIndex, Index));
  return FHeaders[static_cast<size_t>(Index)];
}

void TSpf::SaveToStream(int32_t Index, TStream& Stream) const {
  TSpfEntryStream entry(*this, Index);
  const int64_t size = entry.Size();
  const int64_t position = Stream.Position();
  if (auto* memory = dynamic_cast<TMemoryStream*>(&Stream)) {
    memory->SetSize(size);
    // The common case, a fresh memory stream: read straight into its block.
    if (position == 0) {
      entry.ReadBuffer(memory->Memory(), size);
      return;
    }
  }
  Stream.CopyFrom(entry, size);
  Stream.SetPosition(position);
}

void TSpf::SaveToFile(int32_t Index, const std::string& AFileName) const {
  TFileStream file(AFileName, TFileStream::fmCreate);
  SaveToStream(Index, file);
}

// ---- TSpfEntryStream -------------------------------------------------------

TSpfEntryStream::TSpfEntryStream(const TSpf& Spf, int32_t Index)
    : FFile(Spf.FileName(), TFileStream::fmOpenRead) {
  const TSpfHeader& header = Spf.GetItem(Index);
  if (header.Offset < 0 || header.Size < 0 || static_cast<int64_t>(header.Offset) + header.Size > FFile.Size())
    throw Error(Sprintf("アーカイブのエントリが範囲外です [%d] (%s)", Index, header.FileName.c_str()));
  FOffset = header.Offset;
  FSize = header.Size;
}

int64_t TSpfEntryStream::Read(void* buffer, int64_t count) {
  if (FPosition < 0 || count <= 0 || FPosition >= FSize) return 0;
  const int64_t n = std::min(count, FSize - FPosition);
  auto* out = static_cast<uint8_t*>(buffer);
  const int64_t buffered = FBufferStart + static_cast<int64_t>(FBuffer.size());
  if (FPosition < FBufferStart || FPosition + n > buffered) {
    if (n >= kBufferSize) {
      FFile.SetPosition(FOffset + FPosition);
      const int64_t got = FFile.Read(out, n);
      FPosition += got;
      return got;
    }
    FBuffer.resize(static_cast<size_t>(std::min(kBufferSize, FSize - FPosition)));
    FFile.SetPosition(FOffset + FPosition);
    FBuffer.resize(static_cast<size_t>(FFile.Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size()))));
    FBufferStart = FPosition;
  }
  const int64_t available = std::min(n, FBufferStart + static_cast<int64_t>(FBuffer.size()) - FPosition);
  std::memcpy(out, FBuffer.data() + (FPosition - FBufferStart), static_cast<size_t>(available));
  FPosition += available;
  return available;
}

int64_t TSpfEntryStream::Seek(int64_t offset, int origin) {
  return FPosition = SeekedPosition(FPosition, FSize, offset, origin);
}

// ---- TSpfManager -----------------------------------------------------------

void TSpfManager::Clear() {
  std::unique_lock lock(FListLock);
  while (!FList.empty()) FList.pop_back();
  FListIndex.clear();
  while (!FSpfList.empty()) FSpfList.pop_back();
  FSpfIndex.clear();
}

void TSpfManager::AddSpf(const std::string& AFileName, TShareCheck Check) {
  if (FSpfIndex.contains(AFileName)) return;
  auto spf = std::make_unique<TSpf>();
  spf->LoadFromFile(AFileName, Check);
  FSpfIndex.emplace(AFileName, static_cast<int32_t>(FSpfList.size()));
  FSpfList.push_back(std::move(spf));
}

int32_t TSpfManager::IndexOf(std::string_view AFileName) { return Resolve(AFileName).first; }

const TSpfItemInfo* TSpfManager::GetItem(std::string_view AFileName) { return Resolve(AFileName).second; }

std::pair<int32_t, const TSpfItemInfo*> TSpfManager::Resolve(std::string_view AFileName) {
  auto known = [&]() -> std::pair<int32_t, const TSpfItemInfo*> {
    const auto found = FListIndex.find(AFileName);
    if (found == FListIndex.end()) return {-1, nullptr};
    return {found->second, FList[static_cast<size_t>(found->second)].Info.get()};
  };
  {
    std::shared_lock lock(FListLock);
    if (const auto hit = known(); hit.first >= 0) return hit;
  }
  std::unique_lock lock(FListLock);
  // Another thread may have resolved the name since the shared lock let go.
  if (const auto hit = known(); hit.first >= 0) return hit;
  TNameEntry entry{std::string(AFileName), nullptr};
  for (const auto& spf : FSpfList) {
    const int32_t index = spf->IndexOf(AFileName);
    if (index >= 0) {
      entry.Info = std::make_unique<TSpfItemInfo>(TSpfItemInfo{spf.get(), index});
      break;
    }
  }
  const auto position = static_cast<int32_t>(FList.size());
  FListIndex.emplace(entry.Name, position);
  FList.push_back(std::move(entry));
  return {position, FList.back().Info.get()};
}

std::vector<std::string> ClientArchivePaths(const std::string& ClientDir) {
  std::string folder = ClientDir;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::vector<std::string> paths;
  for (const char* name : ArchiveFileNames) paths.push_back(folder + name);
  return paths;
}

void CheckNotHeld(const std::vector<std::string>& Paths) {
  const std::string held = FirstOpenedByOtherProcess(Paths);
  if (!held.empty()) throw Error(Sprintf("ファイルは他のプロセスで使用中です (%s)", held.c_str()));
}

void AddClientArchives(TSpfManager& Manager, const std::string& ClientDir, TShareCheck Check) {
  const std::vector<std::string> paths = ClientArchivePaths(ClientDir);
  if (Check == scExclusive) CheckNotHeld(paths);
  for (const std::string& path : paths) Manager.AddSpf(path, scAlreadyChecked);
}

}  // namespace varune
