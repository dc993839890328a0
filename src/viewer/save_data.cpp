#include "viewer/save_data.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <limits>
#include <system_error>

#include "database/language.h"
#include "imaging/bmp.h"
#include "imaging/png.h"

namespace varune {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr int32_t kVersionWritten = 3;
constexpr int32_t kLegacyPositions = 10;
constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Deflate expands at most 1032 : 1, so C stored bytes never inflate further.
constexpr uint64_t kMaxInflateRatio = 1032;
// 0001-01-01 and the day after 9999-12-31 as TDateTime.
constexpr double kMinDateTime = -693593.0, kEndDateTime = 2958466.0;

constexpr sys_days kDateTimeEpoch = sys_days{std::chrono::year{1899} / 12 / 30};

// ---- Bounded reading -------------------------------------------------------

void Need(TStream& Stream, int64_t Count) {
  if (Count > Stream.Remaining()) throw TSaveDataTruncated(kMsgReadError);
}

template <class T>
T Take(TStream& Stream) {
  Need(Stream, sizeof(T));
  return Stream.ReadValue<T>();
}

// `Count` bytes (none when it is 0 or negative).
std::vector<uint8_t> TakeBytes(TStream& Stream, int32_t Count) {
  if (Count <= 0) return {};
  Need(Stream, Count);
  std::vector<uint8_t> bytes(static_cast<size_t>(Count));
  Stream.ReadBuffer(bytes.data(), Count);
  return bytes;
}

// Exactly the first `Size` bytes the zlib stream inflates to; empty when it
// is damaged or holds fewer.
std::vector<uint8_t> InflateExactly(const std::vector<uint8_t>& Stored, size_t Size) {
  std::vector<uint8_t> out(Size);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  z.next_in = const_cast<Bytef*>(Stored.data());
  z.avail_in = static_cast<uInt>(std::min<size_t>(Stored.size(), std::numeric_limits<uInt>::max()));
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(Size);
  // All input and all room are given at once, so one call does everything.
  // Running out of room is fine (the bytes after the first Size are not
  // wanted); a checksum that does not match at the stream's end is damage.
  const int result = inflate(&z, Z_FINISH);
  const bool whole = z.total_out == Size && (result == Z_STREAM_END || result == Z_OK || result == Z_BUF_ERROR);
  inflateEnd(&z);
  return whole ? out : std::vector<uint8_t>{};
}

// The legacy preview as PNG, or empty when it cannot be had.
std::vector<uint8_t> DecodeLegacyPreview(const std::vector<uint8_t>& Stored, int32_t InflatedSize) {
  const uint64_t reachable = std::min<uint64_t>(kMaxLegacyPreviewBytes, Stored.size() * kMaxInflateRatio);
  if (InflatedSize <= 0 || static_cast<uint64_t>(InflatedSize) > reachable) return {};
  const std::vector<uint8_t> bmp = InflateExactly(Stored, static_cast<size_t>(InflatedSize));
  if (bmp.empty()) return {};
  try {
    return EncodePng(DecodeBmp(bmp.data(), bmp.size(), kMaxPreviewPixels), ppfRGB);
  } catch (const Error&) {
    return {};
  }
}

void WriteCount(TStream& Stream, size_t Count) {
  if (Count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw Error(kMsgWriteError);
  Stream.WriteValue(static_cast<int32_t>(Count));
}

std::string FileNameOf(const std::string& Path) { return std::filesystem::path(Path).filename().string(); }

}  // namespace

// ---- Dates -----------------------------------------------------------------

double EncodeDateTime(const TDateTimeFields& Fields) {
  const sys_days date{std::chrono::year{Fields.Year} / Fields.Month / Fields.Day};
  const double time =
      static_cast<double>(((Fields.Hour * 60 + Fields.Minute) * 60 + Fields.Second) * 1000 + Fields.MilliSecond) /
      kMillisecondsPerDay;
  const double day = static_cast<double>((date - kDateTimeEpoch).count());
  return day >= 0 ? day + time : day - time;
}

std::optional<TDateTimeFields> DecodeDateTime(double DateTime) {
  if (!std::isfinite(DateTime) || DateTime < kMinDateTime || DateTime >= kEndDateTime) return std::nullopt;
  const double whole = std::trunc(DateTime);
  // A fraction that rounds up to a whole day stays on its own day.
  const int64_t ms = std::min<int64_t>(std::llround(std::fabs(DateTime - whole) * kMillisecondsPerDay),
                                       kMillisecondsPerDay - 1);
  const std::chrono::year_month_day date{kDateTimeEpoch + days{static_cast<int64_t>(whole)}};
  TDateTimeFields fields;
  fields.Year = static_cast<int32_t>(date.year());
  fields.Month = static_cast<int32_t>(static_cast<unsigned>(date.month()));
  fields.Day = static_cast<int32_t>(static_cast<unsigned>(date.day()));
  fields.Hour = static_cast<int32_t>(ms / 3'600'000);
  fields.Minute = static_cast<int32_t>(ms / 60'000 % 60);
  fields.Second = static_cast<int32_t>(ms / 1000 % 60);
  fields.MilliSecond = static_cast<int32_t>(ms % 1000);
  return fields;
}

double NowDateTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                         std::min(local.tm_sec, 59), static_cast<int32_t>(now.tv_nsec / 1'000'000)});
}

// ---- TSaveItem -------------------------------------------------------------

void TSaveItem::AddEquipID(int32_t ID) {
  if (ID != -1 && std::find(EquipIDs.begin(), EquipIDs.end(), ID) == EquipIDs.end()) EquipIDs.push_back(ID);
}

namespace {

// The fields both record layouts share, up to the equipment IDs.
void ReadOutfit(TSaveItem& Item, TStream& Stream, bool HasJob) {
  Item.DateTime = Take<double>(Stream);
  Item.Gender = static_cast<TGenderType>(Take<uint8_t>(Stream));
  Item.Job = HasJob ? Take<uint8_t>(Stream) : 1;
  for (int32_t& id : Item.BaseIDs) id = Take<int32_t>(Stream);
  const uint8_t count = Take<uint8_t>(Stream);
  Need(Stream, int64_t{4} * count);
  Item.EquipIDs.resize(count);
  for (int32_t& id : Item.EquipIDs) id = Stream.ReadValue<int32_t>();
}

}  // namespace

void TSaveItem::LoadFromStreamV1V2(TStream& Stream, bool IsVersion2) {
  ReadOutfit(*this, Stream, IsVersion2);
  const int32_t inflatedSize = Take<int32_t>(Stream);
  const int32_t storedSize = Take<int32_t>(Stream);
  const std::vector<uint8_t> stored = TakeBytes(Stream, storedSize);
  Image = stored.empty() ? std::vector<uint8_t>{} : DecodeLegacyPreview(stored, inflatedSize);
}

void TSaveItem::LoadFromStreamV3(TStream& Stream) {
  ReadOutfit(*this, Stream, true);
  Image = TakeBytes(Stream, Take<int32_t>(Stream));
  // Only the check: the picture is decoded again when it is shown.
  if (!Image.empty()) DecodePng(Image.data(), Image.size(), kMaxPreviewPixels);
}

void TSaveItem::SaveToStreamV3(TStream& Stream) const {
  Stream.WriteValue(DateTime);
  Stream.WriteValue(static_cast<uint8_t>(Gender));
  Stream.WriteValue(Job);
  for (const int32_t id : BaseIDs) Stream.WriteValue(id);
  const auto count = static_cast<uint8_t>(std::min<size_t>(EquipIDs.size(), 255));
  Stream.WriteValue(count);
  for (size_t i = 0; i < count; ++i) Stream.WriteValue(EquipIDs[i]);
  WriteCount(Stream, Image.size());
  Stream.WriteBuffer(Image.data(), static_cast<int64_t>(Image.size()));
}

// ---- TSaveData -------------------------------------------------------------

void TSaveData::CheckIndex(int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw Error(Sprintf(kMsgInvalidIndex, Index));
}

TSaveItem& TSaveData::Items(int32_t Index) {
  CheckIndex(Index);
  return *FItems[static_cast<size_t>(Index)];
}

const TSaveItem& TSaveData::Items(int32_t Index) const {
  CheckIndex(Index);
  return *FItems[static_cast<size_t>(Index)];
}

TSaveItem& TSaveData::Add() { return *FItems.emplace_back(std::make_unique<TSaveItem>()); }

void TSaveData::Delete(int32_t Index) {
  CheckIndex(Index);
  FItems.erase(FItems.begin() + Index);
}

TSaveFileState TSaveData::LoadData(const std::string& FileName) {
  Clear();
  FState = sfsNone;
  FVersion = 0;
  std::error_code error;
  if (!std::filesystem::exists(FileName, error)) return FState;
  // A folder or a pipe under the name is no save file and must not block.
  if (!std::filesystem::is_regular_file(FileName, error)) throw Error(Sprintf("%s を読み込めません", FileName.c_str()));
  TMemoryStream stream(ReadWholeFile(FileName));
  return LoadFromStream(stream);
}

TSaveFileState TSaveData::LoadFromStream(TStream& Stream) {
  Clear();
  FState = sfsNone;
  FVersion = 0;
  if (Stream.Remaining() < 4)
    throw Error(LangText("save.dat is damaged: it is too short to hold its version.",
                         "save.dat が壊れています (バージョンを読み込めません)"));
  FVersion = Stream.ReadValue<int32_t>();
  try {
    if (FVersion == 1 || FVersion == 2)
      ReadSlotsV1V2(Stream, FVersion == 2);
    else if (FVersion == kVersionWritten)
      ReadSlotsV3(Stream);
    else
      return FState = sfsUnknownVersion;
    FState = sfsComplete;
  } catch (const TSaveDataTruncated&) {
    FState = sfsTruncated;
  }
  return FState;
}

void TSaveData::ReadSlotsV1V2(TStream& Stream, bool IsVersion2) {
  for (int32_t position = 0; position < kLegacyPositions; ++position)
    if (Take<uint8_t>(Stream) != 0) AddRead([&](TSaveItem& item) { item.LoadFromStreamV1V2(Stream, IsVersion2); });
}

void TSaveData::ReadSlotsV3(TStream& Stream) {
  // Each record takes at least 35 bytes or ends the reading, so a huge count
  // cannot keep the loop going beyond the file.
  const int32_t count = Take<int32_t>(Stream);
  for (int32_t i = 0; i < count; ++i) AddRead([&](TSaveItem& item) { item.LoadFromStreamV3(Stream); });
}

// Appends the slot `ReadRecord` fills. A record that fails alone is dropped,
// the stream then standing at its end; running out of bytes passes on.
template <class TReadRecord>
void TSaveData::AddRead(TReadRecord ReadRecord) {
  auto item = std::make_unique<TSaveItem>();
  try {
    ReadRecord(*item);
  } catch (const TSaveDataTruncated&) {
    throw;
  } catch (const Error&) {
    return;
  }
  FItems.push_back(std::move(item));
}

void TSaveData::SaveData(const std::string& FileName) const {
  if (VersionUnknown()) {
    const std::string name = FileNameOf(FileName), version = std::to_string(FVersion);
    throw Error(LangText(name + " was written by another version of the program (version " + version +
                             ") and is not overwritten.",
                         name + " は別のバージョンで書かれたファイルのため上書きしません (バージョン " + version + ")"));
  }
  TMemoryStream stream;
  SaveToStream(stream);
  WriteFileAtomically(FileName, stream.Bytes());
}

void TSaveData::SaveToStream(TStream& Stream) const {
  Stream.WriteValue(kVersionWritten);
  WriteCount(Stream, FItems.size());
  for (const auto& item : FItems) item->SaveToStreamV3(Stream);
}

}  // namespace varune
