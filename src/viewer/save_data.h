#pragma once
// Save slots as "save.dat" keeps them: whole outfits (gender, job, the five
// base parts, the equipped items) with the time of saving and a preview.
//
// The file is version 3 when written: the version word, a slot count, then
// per slot the date (double), gender and job bytes, five base IDs, an ID
// count byte with the equipment IDs, and the preview as a sized PNG file.
// Versions 1 and 2 (read only) hold ten positions, each a presence byte and
// maybe a record whose preview is a zlib-compressed BMP file.
//
// Reading never trusts the file: every count and size is checked against the
// bytes that remain before anything is read or sized, so a damaged file ends
// the reading with the slots read so far instead of reading or allocating
// beyond what it holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/error.h"
#include "archive/stream.h"
#include "character/chara.h"

namespace varune {

// ---- Dates -----------------------------------------------------------------

// A TDateTime is a double: days since 1899-12-30 in local time, the fraction
// the time of day. Before that day the whole days count down while the
// fraction still counts the time forward (-1.25 is 1899-12-29 06:00).
struct TDateTimeFields {
  int32_t Year = 1899, Month = 12, Day = 30;
  int32_t Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
  friend bool operator==(const TDateTimeFields&, const TDateTimeFields&) = default;
};

// Fields are not checked: callers pass a real date and time of day.
double EncodeDateTime(const TDateTimeFields& Fields);
// Nothing for a value that is not finite or lies outside the years 1 to 9999.
std::optional<TDateTimeFields> DecodeDateTime(double DateTime);
// The current local date and time.
double NowDateTime();

// ---- Slots -----------------------------------------------------------------

// The reading of a record ran out of bytes: nothing after it can be read.
class TSaveDataTruncated : public Error {
 public:
  using Error::Error;
};

// Bounds of what a preview may become while it is read: a picture of more
// pixels is no preview this program wrote, and a legacy preview inflating to
// more bytes is left out (a 250 x 250 picture needs under 200 KiB).
inline constexpr uint64_t kMaxPreviewPixels = 2048 * 2048;
inline constexpr int32_t kMaxLegacyPreviewBytes = 16 << 20;

class TSaveItem {
 public:
  double DateTime = 0;
  TGenderType Gender = gtMale;  // as read: values other than 0 and 1 are kept
  uint8_t Job = 0;
  std::array<int32_t, kBasePositionCount> BaseIDs{};  // by TBasePosition, -1 for none
  std::vector<int32_t> EquipIDs;
  // The preview as a complete PNG file, exactly the bytes read or encoded,
  // so that a slot nobody changed is written back as it was; empty for none.
  std::vector<uint8_t> Image;

  // Appends an equipment ID unless it is -1 or already present.
  void AddEquipID(int32_t ID);

  // Read one record (for versions 1 and 2, after its presence byte). A
  // record the remaining bytes cannot hold raises TSaveDataTruncated. A
  // version 3 preview that is no decodable PNG raises varune::Error with the
  // stream at the record's end; a legacy preview that cannot be inflated or
  // decoded leaves the slot without preview.
  void LoadFromStreamV1V2(TStream& Stream, bool IsVersion2);
  void LoadFromStreamV3(TStream& Stream);
  // At most 255 equipment IDs are written (the count is one byte).
  void SaveToStreamV3(TStream& Stream) const;
};

// What the last load found.
enum TSaveFileState : uint8_t {
  sfsNone,            // no file (or nothing loaded yet): an empty list
  sfsComplete,        // every record was read (slots that failed alone dropped)
  sfsTruncated,       // the bytes ran out: the slots before kept
  sfsUnknownVersion,  // a version this program does not know: nothing read
};

// The slot list, in file order, owning its slots.
class TSaveData {
 public:
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  // Raise varune::Error for an index outside 0 to Count - 1.
  TSaveItem& Items(int32_t Index);
  const TSaveItem& Items(int32_t Index) const;
  // Appends a new slot (date 0, no preview) and returns it.
  TSaveItem& Add();
  void Delete(int32_t Index);
  // Frees every slot; what the last load found stays known.
  void Clear() { FItems.clear(); }

  // Clears the list and reads the file when it exists. A file too short for
  // its version word is damaged and raises varune::Error with the list empty
  // (such a file holds nothing a save could lose); so does a file that
  // cannot be read.
  TSaveFileState LoadData(const std::string& FileName);
  // The same from a stream, from its position.
  TSaveFileState LoadFromStream(TStream& Stream);

  // Writes every slot as version 3, replacing the file as a whole: a failure
  // raises varune::Error and leaves the previous file. Refused (varune::Error,
  // nothing written) while the list comes from a file of unknown version, so
  // that such a file is never overwritten.
  void SaveData(const std::string& FileName) const;
  void SaveToStream(TStream& Stream) const;

  TSaveFileState FileState() const { return FState; }
  bool VersionUnknown() const { return FState == sfsUnknownVersion; }
  // The version word of the file last loaded, 0 when none was read.
  int32_t FileVersion() const { return FVersion; }

 private:
  void CheckIndex(int32_t Index) const;
  void ReadSlotsV1V2(TStream& Stream, bool IsVersion2);
  void ReadSlotsV3(TStream& Stream);
  template <class TReadRecord>
  void AddRead(TReadRecord ReadRecord);

  std::vector<std::unique_ptr<TSaveItem>> FItems;
  TSaveFileState FState = sfsNone;
  int32_t FVersion = 0;
};

}  // namespace varune
