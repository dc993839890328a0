#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <limits>

#include "demo/demo_fixture.h"
#include "imaging/bmp.h"
#include "imaging/png.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "viewer/save_data.h"
#include "viewer/save_dialog.h"

#if defined(__SANITIZE_ADDRESS__)
#define VARUNE_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARUNE_COUNTS_ALLOCATIONS 1
#endif
#endif
#ifdef VARUNE_COUNTS_ALLOCATIONS
// The address sanitizer's runtime calls these on every allocation and free.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

namespace varune {
namespace {

using test::TDemoFixture;
using test::TempDir;

// ---- Helpers ---------------------------------------------------------------

// The largest single allocation `Run` makes; 0 where the allocator cannot
// tell (builds without the address sanitizer, which the tests run under).
std::atomic<size_t> largestAllocation{0};
#ifdef VARUNE_COUNTS_ALLOCATIONS
void OnAllocation(const volatile void*, size_t Size) {
  size_t seen = largestAllocation;
  while (Size > seen && !largestAllocation.compare_exchange_weak(seen, Size)) {
  }
}
void OnFree(const volatile void*) {}
#endif
template <class TRun>
size_t LargestAllocation(TRun Run) {
#ifdef VARUNE_COUNTS_ALLOCATIONS
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnFree) != 0;
  EXPECT_TRUE(installed);
#endif
  largestAllocation = 0;
  Run();
  return largestAllocation;
}

// A save file built by hand, field by field.
struct TBytes {
  std::vector<uint8_t> Data;

  template <class T>
  TBytes& Put(T Value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&Value);
    Data.insert(Data.end(), p, p + sizeof Value);
    return *this;
  }
  TBytes& Put(const std::vector<uint8_t>& Bytes) {
    Data.insert(Data.end(), Bytes.begin(), Bytes.end());
    return *this;
  }
  // Date, gender, job (from version 2 on), base IDs, the equipment IDs.
  TBytes& Outfit(int32_t Version, double Date, uint8_t Gender, uint8_t Job, const std::array<int32_t, 5>& Base,
                 const std::vector<int32_t>& IDs) {
    Put(Date).Put(Gender);
    if (Version >= 2) Put(Job);
    for (const int32_t id : Base) Put(id);
    Put(static_cast<uint8_t>(IDs.size()));
    for (const int32_t id : IDs) Put(id);
    return *this;
  }
  TBytes& PreviewV3(const std::vector<uint8_t>& Png) { return Put(static_cast<int32_t>(Png.size())).Put(Png); }
  TBytes& PreviewV1V2(int32_t Inflated, const std::vector<uint8_t>& Stored) {
    return Put(Inflated).Put(static_cast<int32_t>(Stored.size())).Put(Stored);
  }
  size_t Size() const { return Data.size(); }
};

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& Bytes) {
  uLongf size = compressBound(Bytes.size());
  std::vector<uint8_t> out(size);
  EXPECT_EQ(compress2(out.data(), &size, Bytes.data(), Bytes.size(), 9), Z_OK);
  out.resize(size);
  return out;
}

// A picture whose every pixel differs from its neighbours.
TBitmap32 Pattern(int32_t W, int32_t H) {
  TBitmap32 picture(W, H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      picture.Pixel(x, y) = Color32(static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5), static_cast<uint8_t>(x ^ y));
  return picture;
}

// A small PNG in palette form: our encoder would write it differently.
std::vector<uint8_t> PalettePng() {
  TPngImage image;
  image.Width = 3, image.Height = 2, image.ColorType = pctPalette;
  image.Palette = {{10, 20, 30}, {200, 100, 0}};
  image.Indices = {0, 1, 0, 1, 1, 0};
  for (const uint8_t i : image.Indices) image.Rgb.insert(image.Rgb.end(), image.Palette[i].begin(), image.Palette[i].end());
  return EncodePngImage(image);
}

TSaveFileState Load(TSaveData& Data, const std::vector<uint8_t>& Bytes) {
  TMemoryStream stream(Bytes);
  return Data.LoadFromStream(stream);
}

std::vector<uint8_t> Saved(const TSaveData& Data) {
  TMemoryStream stream;
  Data.SaveToStream(stream);
  return stream.Bytes();
}

constexpr std::array<int32_t, 5> kBase{1300101, 1400101, 1500101, -1, 1700101};

// ---- Version 3 -------------------------------------------------------------

TEST(SaveDataTest, Version3IsWrittenFieldByFieldAndReadBack) {
  TSaveData data;
  TSaveItem& first = data.Add();
  first.DateTime = 45000.25, first.Gender = gtFemale, first.Job = 7, first.BaseIDs = kBase;
  first.EquipIDs = {10100101, -5};
  first.Image = PalettePng();
  data.Add();  // a slot as new: date 0, no IDs, no preview

  TBytes expected;
  expected.Put(int32_t{3}).Put(int32_t{2});
  expected.Outfit(3, 45000.25, 1, 7, kBase, {10100101, -5}).PreviewV3(PalettePng());
  expected.Outfit(3, 0, 0, 0, {0, 0, 0, 0, 0}, {}).PreviewV3({});
  ASSERT_EQ(Saved(data), expected.Data);

  TSaveData read;
  EXPECT_EQ(Load(read, expected.Data), sfsComplete);
  EXPECT_EQ(read.FileVersion(), 3);
  ASSERT_EQ(read.Count(), 2);
  const TSaveItem& slot = read.Items(0);
  EXPECT_EQ(slot.DateTime, 45000.25);
  EXPECT_EQ(slot.Gender, gtFemale);
  EXPECT_EQ(slot.Job, 7);
  EXPECT_EQ(slot.BaseIDs, kBase);
  EXPECT_EQ(slot.EquipIDs, (std::vector<int32_t>{10100101, -5}));
  EXPECT_EQ(slot.Image, PalettePng());  // the bytes read, not a new encoding
  EXPECT_TRUE(read.Items(1).Image.empty());
  EXPECT_THROW(read.Items(2), Error);
}

TEST(SaveDataTest, AFileGoesRoundByteForByteAndTheListKeepsItsOrder) {
  TempDir dir;
  const std::string path = dir.File("save.dat");
  TSaveData data;
  for (int32_t i = 0; i < 3; ++i) {
    TSaveItem& slot = data.Add();
    slot.DateTime = 45000 + i, slot.Job = static_cast<uint8_t>(i + 1);
    slot.Image = i == 1 ? PalettePng() : EncodePng(Pattern(5, 4), ppfRGB);
  }
  data.SaveData(path);
  const std::vector<uint8_t> written = ReadWholeFile(path);

  TSaveData read;
  EXPECT_EQ(read.LoadData(path), sfsComplete);
  ASSERT_EQ(read.Count(), 3);
  EXPECT_EQ(read.Items(2).Job, 3);
  read.SaveData(path);
  EXPECT_EQ(ReadWholeFile(path), written);

  read.Delete(1);
  EXPECT_THROW(read.Delete(2), Error);
  read.SaveData(path);
  EXPECT_EQ(read.LoadData(path), sfsComplete);
  ASSERT_EQ(read.Count(), 2);
  EXPECT_EQ(read.Items(0).Job, 1);
  EXPECT_EQ(read.Items(1).Job, 3);

  EXPECT_EQ(read.LoadData(dir.File("none.dat")), sfsNone);  // no file: an empty list
  EXPECT_EQ(read.Count(), 0);
}

// A preview that is no PNG drops its slot alone; the next record is read
// from where the sizes say the dropped one ends.
TEST(SaveDataTest, ABadPreviewDropsItsSlotAndReadingGoesOnAtTheRecordsEnd) {
  std::vector<uint8_t> broken = EncodePng(Pattern(20, 20), ppfRGB);
  broken.resize(broken.size() / 2);  // a PNG signature and header, then nothing
  TBytes file;
  file.Put(int32_t{3}).Put(int32_t{3});
  file.Outfit(3, 1, 0, 1, kBase, {11}).PreviewV3({});
  file.Outfit(3, 2, 0, 2, kBase, {22}).PreviewV3(broken);
  file.Outfit(3, 3, 1, 3, kBase, {33}).PreviewV3(PalettePng());

  TSaveData data;
  EXPECT_EQ(Load(data, file.Data), sfsComplete);
  ASSERT_EQ(data.Count(), 2);
  EXPECT_EQ(data.Items(0).EquipIDs, std::vector<int32_t>{11});
  EXPECT_EQ(data.Items(1).EquipIDs, std::vector<int32_t>{33});
  EXPECT_EQ(data.Items(1).Image, PalettePng());
}

// Every cut of a file keeps exactly the records that end before the cut.
TEST(SaveDataTest, ATruncatedFileKeepsTheSlotsReadSoFar) {
  TBytes file;
  file.Put(int32_t{3}).Put(int32_t{3});
  std::vector<size_t> ends;
  for (int32_t i = 0; i < 3; ++i) {
    file.Outfit(3, i, 0, 1, kBase, {i, i + 1}).PreviewV3(i == 1 ? PalettePng() : std::vector<uint8_t>{});
    ends.push_back(file.Size());
  }
  for (size_t cut = 4; cut <= file.Size(); ++cut) {
    TSaveData data;
    const std::vector<uint8_t> bytes(file.Data.begin(), file.Data.begin() + static_cast<ptrdiff_t>(cut));
    EXPECT_EQ(Load(data, bytes), cut == file.Size() ? sfsComplete : sfsTruncated) << cut;
    EXPECT_EQ(data.Count(), std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= cut; })) << cut;
  }
}

TEST(SaveDataTest, CountsAndSizesBeyondTheFileEndTheReadingWithoutAllocatingThem) {
  const auto withOneSlot = [](int32_t Count) {
    TBytes file;
    file.Put(int32_t{3}).Put(Count).Outfit(3, 1, 0, 1, kBase, {5}).PreviewV3({});
    return file;
  };
  TSaveData data;
  const size_t largest = LargestAllocation([&] {
    TBytes hugeCount = withOneSlot(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(Load(data, hugeCount.Data), sfsTruncated);
    EXPECT_EQ(data.Count(), 1);

    TBytes hugeIDs = withOneSlot(2);
    hugeIDs.Outfit(3, 2, 0, 1, kBase, {}).Data.back() = 255;  // 255 IDs announced, none there
    EXPECT_EQ(Load(data, hugeIDs.Data), sfsTruncated);
    EXPECT_EQ(data.Count(), 1);

    TBytes hugePreview = withOneSlot(2);
    hugePreview.Outfit(3, 2, 0, 1, kBase, {}).Put(std::numeric_limits<int32_t>::max()).Put(PalettePng());
    EXPECT_EQ(Load(data, hugePreview.Data), sfsTruncated);
    EXPECT_EQ(data.Count(), 1);

    EXPECT_EQ(Load(data, withOneSlot(-5).Data), sfsComplete);  // no slots, the record after ignored
    EXPECT_EQ(data.Count(), 0);
    EXPECT_EQ(Load(data, TBytes().Put(int32_t{3}).Put(int16_t{1}).Data), sfsTruncated);  // the count cut short
    EXPECT_EQ(data.Count(), 0);
  });
  EXPECT_LT(largest, size_t{1} << 20);
}

// ---- Versions 1 and 2 -------------------------------------------------------

class LegacySaveDataTest : public ::testing::Test {
 protected:
  // A preview as the old program stored it: a BMP file, deflated.
  static std::vector<uint8_t> StoredBmp() { return Deflate(EncodeBmp(Pattern(12, 8))); }
  static int32_t BmpSize() { return static_cast<int32_t>(EncodeBmp(Pattern(12, 8)).size()); }

  // Ten positions, those in `Present` (counted from 1) holding a record.
  static TBytes File(int32_t Version, const std::vector<int32_t>& Present) {
    TBytes file;
    file.Put(Version);
    for (int32_t position = 1; position <= 10; ++position) {
      const bool present = std::find(Present.begin(), Present.end(), position) != Present.end();
      file.Put(static_cast<uint8_t>(present ? position : 0));  // any value but 0 means present
      if (!present) continue;
      file.Outfit(Version, 40000 + position, position % 2, 9, kBase, {position * 100, position * 100 + 1});
      if (position == 5) file.PreviewV1V2(BmpSize(), StoredBmp());
      else file.PreviewV1V2(0, {});
    }
    return file;
  }
};

TEST_F(LegacySaveDataTest, Version1KeepsThePresentSlotsClosedUpWithJob1AndItsPreviewAsPng) {
  TSaveData data;
  EXPECT_EQ(Load(data, File(1, {2, 5, 9}).Data), sfsComplete);
  ASSERT_EQ(data.Count(), 3);
  const int32_t positions[] = {2, 5, 9};
  for (int32_t i = 0; i < 3; ++i) {
    const TSaveItem& slot = data.Items(i);
    EXPECT_EQ(slot.DateTime, 40000 + positions[i]);
    EXPECT_EQ(slot.Gender, positions[i] % 2);
    EXPECT_EQ(slot.Job, 1);
    EXPECT_EQ(slot.BaseIDs, kBase);
    EXPECT_EQ(slot.EquipIDs, (std::vector<int32_t>{positions[i] * 100, positions[i] * 100 + 1}));
    EXPECT_EQ(slot.Image.empty(), i != 1);
  }
  const TPngImage preview = DecodePng(data.Items(1).Image);
  EXPECT_EQ(preview.ColorType, pctRGB);
  EXPECT_EQ(preview.BitDepth, 8);
  const TBitmap32 expected = Pattern(12, 8);
  ASSERT_EQ(preview.Width, 12);
  ASSERT_EQ(preview.Height, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 12; ++x) ASSERT_EQ(preview.PixelColor32(x, y), expected.Pixel(x, y)) << x << "," << y;

  // The next save writes version 3 with the same slots.
  TSaveData again;
  EXPECT_EQ(Load(again, Saved(data)), sfsComplete);
  EXPECT_EQ(again.FileVersion(), 3);
  ASSERT_EQ(again.Count(), 3);
  EXPECT_EQ(again.Items(1).Image, data.Items(1).Image);
}

TEST_F(LegacySaveDataTest, Version2ReadsTheJobAndEveryCutKeepsTheSlotsBeforeIt) {
  const TBytes file = File(2, {1, 5, 10});
  TSaveData data;
  EXPECT_EQ(Load(data, file.Data), sfsComplete);
  ASSERT_EQ(data.Count(), 3);
  EXPECT_EQ(data.Items(2).Job, 9);
  EXPECT_EQ(data.Items(2).EquipIDs, (std::vector<int32_t>{1000, 1001}));
  EXPECT_FALSE(data.Items(1).Image.empty());

  int32_t previous = 0;
  for (size_t cut = 4; cut < file.Size(); ++cut) {
    const std::vector<uint8_t> bytes(file.Data.begin(), file.Data.begin() + static_cast<ptrdiff_t>(cut));
    ASSERT_EQ(Load(data, bytes), sfsTruncated) << cut;
    EXPECT_GE(data.Count(), previous) << cut;
    EXPECT_LE(data.Count(), 2) << cut;
    previous = data.Count();
  }
  EXPECT_EQ(previous, 2);
}

// Previews that cannot be had leave their slot without one; the stored bytes
// are skipped whole, so the slot after each is read as written.
TEST_F(LegacySaveDataTest, PreviewsThatCannotBeHadLeaveTheirSlotWithoutOne) {
  std::vector<uint8_t> badHeader = StoredBmp(), badChecksum = StoredBmp();
  badHeader[0] ^= 0xFF;
  badChecksum.back() ^= 0xFF;
  const std::vector<std::pair<int32_t, std::vector<uint8_t>>> previews = {
      {0, StoredBmp()},                                    // no inflated size
      {-1, StoredBmp()},
      {BmpSize() + 1, StoredBmp()},                        // inflates to fewer bytes
      {BmpSize(), badHeader},                              // damaged zlib data
      {BmpSize(), badChecksum},
      {30, Deflate(std::vector<uint8_t>(30, 'x'))},        // no BMP
      {std::numeric_limits<int32_t>::max(), StoredBmp()},  // more than the stored bytes could inflate to
      {BmpSize(), StoredBmp()},                            // the one that works
  };
  TBytes file;
  file.Put(int32_t{2});
  for (size_t i = 0; i < previews.size(); ++i)
    file.Put(uint8_t{1}).Outfit(2, 1, 0, static_cast<uint8_t>(i + 1), kBase, {}).PreviewV1V2(previews[i].first,
                                                                                              previews[i].second);
  for (size_t i = previews.size(); i < 10; ++i) file.Put(uint8_t{0});

  TSaveData data;
  const size_t largest = LargestAllocation([&] { EXPECT_EQ(Load(data, file.Data), sfsComplete); });
  EXPECT_LT(largest, size_t{1} << 20);
  ASSERT_EQ(data.Count(), static_cast<int32_t>(previews.size()));
  for (int32_t i = 0; i < data.Count(); ++i) {
    EXPECT_EQ(data.Items(i).Job, i + 1);
    EXPECT_EQ(data.Items(i).Image.empty(), i + 1 < data.Count()) << i;
  }

  // A stored size beyond the file is a record cut short.
  TBytes cut;
  cut.Put(int32_t{1}).Put(uint8_t{1}).Outfit(1, 1, 0, 1, kBase, {}).Put(int32_t{100}).Put(int32_t{1 << 30});
  EXPECT_EQ(Load(data, cut.Data), sfsTruncated);
  EXPECT_EQ(data.Count(), 0);
}

// ---- Versions unknown, damage, failed saves ---------------------------------

TEST(SaveDataTest, AFileOfUnknownVersionIsReportedAndNeverOverwritten) {
  TempDir dir;
  const std::string path = dir.File("save.dat");
  const std::vector<uint8_t> future = TBytes().Put(int32_t{4}).Put(int32_t{1}).Put(uint8_t{7}).Data;
  WriteWholeFile(path, future);

  TSaveData data;
  EXPECT_EQ(data.LoadData(path), sfsUnknownVersion);
  EXPECT_TRUE(data.VersionUnknown());
  EXPECT_EQ(data.FileVersion(), 4);
  EXPECT_EQ(data.Count(), 0);
  data.Add();
  EXPECT_THROW(data.SaveData(path), Error);
  EXPECT_EQ(ReadWholeFile(path), future);

  // A file too short for its version holds nothing: an error, then a save may replace it.
  WriteWholeFile(path, std::vector<uint8_t>{3, 0});
  EXPECT_THROW(data.LoadData(path), Error);
  EXPECT_EQ(data.Count(), 0);
  EXPECT_FALSE(data.VersionUnknown());
  data.SaveData(path);
  EXPECT_EQ(data.LoadData(path), sfsComplete);

  std::filesystem::create_directory(dir.File("folder.dat"));
  EXPECT_THROW(data.LoadData(dir.File("folder.dat")), Error);
}

TEST(SaveDataTest, AFailedSaveLeavesThePreviousFileWhole) {
  TempDir dir;
  const std::string path = dir.File("save.dat");
  TSaveData data;
  data.Add().Image = EncodePng(Pattern(40, 40), ppfRGB);
  data.SaveData(path);
  const std::vector<uint8_t> before = ReadWholeFile(path);
  data.Add().Image = EncodePng(Pattern(60, 60), ppfRGB);

  {
    const test::FileSizeLimit full(64);
    EXPECT_THROW(data.SaveData(path), Error);
  }

  EXPECT_EQ(ReadWholeFile(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
  EXPECT_THROW(data.SaveData(path + "/save.dat"), Error);  // a folder that is a file
}

// ---- Dates and rows ---------------------------------------------------------

TEST(SaveDateTest, DatesCountDaysFrom1899AndOnlyRealDatesDecode) {
  EXPECT_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
  EXPECT_EQ(EncodeDateTime({2000, 1, 1, 12}), 36526.5);
  EXPECT_EQ(EncodeDateTime({1899, 12, 29, 6}), -1.25);  // days back, time forward
  EXPECT_EQ(DecodeDateTime(-1.25), (TDateTimeFields{1899, 12, 29, 6, 0, 0, 0}));

  const TDateTimeFields moment{2024, 2, 29, 23, 59, 58, 999};
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(moment)), moment);
  EXPECT_EQ(DecodeDateTime(45000.9999999999)->Hour, 23);  // never rounds into the next day
  EXPECT_EQ(DecodeDateTime(45000.9999999999)->Day, DecodeDateTime(45000)->Day);
  EXPECT_EQ(DecodeDateTime(EncodeDateTime({1, 1, 1}))->Year, 1);
  EXPECT_EQ(DecodeDateTime(EncodeDateTime({9999, 12, 31, 23, 59, 59}))->Year, 9999);
  for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, EncodeDateTime({1, 1, 1}) - 1,
                           EncodeDateTime({9999, 12, 31}) + 1, 1e300})
    EXPECT_FALSE(DecodeDateTime(bad)) << bad;

  std::time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  const double expected = EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                          local.tm_min, local.tm_sec});
  EXPECT_NEAR(NowDateTime(), expected, 3.0 / 86400);
}

TEST(SaveRowsTest, RowsTextsAndDeletingFollowTheMode) {
  TSaveData data;
  data.Add().DateTime = EncodeDateTime({2024, 3, 5, 7, 8, 9});
  data.Add().DateTime = EncodeDateTime({987, 11, 12, 13, 14, 15});
  data.Add().DateTime = std::nan("");

  EXPECT_EQ(SaveRowCount(lsLoad, 3), 3);
  EXPECT_EQ(SaveRowCount(lsSave, 3), 4);
  EXPECT_EQ(SaveRowCount(lsSave, 0), 1);
  EXPECT_EQ(SaveRowText(data, lsLoad, 0), "0: 2024/03/05 07:08:09");
  EXPECT_EQ(SaveRowText(data, lsLoad, 1, "-", "."), "1: 0987-11-12 13.14.15");
  EXPECT_EQ(SaveRowText(data, lsSave, 2, "年", "時"), "2: ----年--年-- --時--時--");
  EXPECT_EQ(SaveRowText(data, lsSave, 3), kNewSlotRowText);
  EXPECT_EQ(SaveRowText(data, lsLoad, 3), "");
  EXPECT_EQ(SaveRowText(data, lsSave, -1), "");
  EXPECT_EQ(FormatSaveDateTime(1e300, ".", ":"), "----.--.-- --:--:--");

  EXPECT_FALSE(DeleteSlotRow(data, lsLoad, 0));
  EXPECT_FALSE(DeleteSlotRow(data, lsSave, 3));  // the new slot's row
  EXPECT_FALSE(DeleteSlotRow(data, lsSave, -1));
  EXPECT_EQ(data.Count(), 3);
  EXPECT_TRUE(DeleteSlotRow(data, lsSave, 1));
  ASSERT_EQ(data.Count(), 2);
  EXPECT_EQ(SaveRowText(data, lsSave, 1), "1: ----/--/-- --:--:--");
  EXPECT_TRUE(IsNewSlotRow(lsSave, 2, 2));
  EXPECT_FALSE(IsNewSlotRow(lsLoad, 2, 2));
}

TEST(SaveRowsTest, AddEquipIDKeepsEachIDOnceInOrder) {
  TSaveItem item;
  for (const int32_t id : {5, -1, 7, 5, 7, -1, 9}) item.AddEquipID(id);
  EXPECT_EQ(item.EquipIDs, (std::vector<int32_t>{5, 7, 9}));
}

// ---- Pictures ----------------------------------------------------------------

TEST(SavePreviewTest, TheEmptyAndNewPicturesAreFramedFills) {
  for (const TBitmap32& picture : {EmptyPreview(), NewPreview()}) {
    ASSERT_EQ(picture.Width(), kSavePreviewSize);
    ASSERT_EQ(picture.Height(), kSavePreviewSize);
    for (const int32_t v : {0, 100, 199}) {
      EXPECT_EQ(picture.Pixel(v, 0), kPreviewFrameColor);
      EXPECT_EQ(picture.Pixel(v, 199), kPreviewFrameColor);
      EXPECT_EQ(picture.Pixel(0, v), kPreviewFrameColor);
      EXPECT_EQ(picture.Pixel(199, v), kPreviewFrameColor);
    }
    EXPECT_EQ(picture.Pixel(1, 1), kPreviewFillColor);
    EXPECT_EQ(picture.Pixel(198, 198), kPreviewFillColor);
  }
  const TBitmap32 empty = EmptyPreview();
  EXPECT_EQ(empty.Pixel(100, 100), kPreviewFillColor);

  // "- NEW -" in the frame's colour, centred: its box has even margins.
  const TBitmap32 fresh = NewPreview();
  int32_t left = 200, right = -1, top = 200, bottom = -1;
  for (int32_t y = 1; y < 199; ++y)
    for (int32_t x = 1; x < 199; ++x) {
      const TColor32 c = fresh.Pixel(x, y);
      ASSERT_TRUE(c == kPreviewFillColor || c == kPreviewFrameColor) << x << "," << y;
      if (c != kPreviewFrameColor) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  ASSERT_GE(right, left);
  EXPECT_GT(right - left, 60);  // 24-pixel bold letters
  EXPECT_NEAR(left, 199 - right, 6);
  EXPECT_NEAR(top, 199 - bottom, 10);
}

TEST(SavePreviewTest, ASlotsPreviewIsCentredOnWhiteAndALargeOneCroppedEvenly) {
  const TBitmap32 large = Pattern(250, 250);
  TSaveItem item;
  item.Image = EncodePng(large, ppfRGB);
  const TBitmap32 cropped = SlotPreview(item);
  ASSERT_EQ(cropped.Width(), 200);
  for (const TPoint p : {TPoint{0, 0}, TPoint{199, 199}, TPoint{0, 199}, TPoint{123, 45}})
    EXPECT_EQ(cropped.Pixel(p.X, p.Y), large.Pixel(p.X + 25, p.Y + 25)) << p.X << "," << p.Y;

  const TBitmap32 small = Pattern(100, 61);
  item.Image = EncodePng(small, ppfRGB);
  const TBitmap32 centred = SlotPreview(item);
  const TColor32 white = Color32(255, 255, 255);
  EXPECT_EQ(centred.Pixel(50, 69), small.Pixel(0, 0));  // (200 - 61) div 2 = 69
  EXPECT_EQ(centred.Pixel(149, 129), small.Pixel(99, 60));
  EXPECT_EQ(centred.Pixel(49, 69), white);
  EXPECT_EQ(centred.Pixel(50, 130), white);

  for (const std::vector<uint8_t>& none : {std::vector<uint8_t>{}, std::vector<uint8_t>{1, 2, 3}}) {
    item.Image = none;
    const TBitmap32 blank = SlotPreview(item);
    EXPECT_EQ(blank.Pixel(0, 0), white);
    EXPECT_EQ(blank.Pixel(100, 100), white);
  }

  TSaveData data;
  data.Add().Image = EncodePng(small, ppfRGB);
  EXPECT_EQ(RowPreview(data, lsLoad, -1).Pixel(100, 100), kPreviewFillColor);
  EXPECT_EQ(RowPreview(data, lsSave, 0).Pixel(50, 69), small.Pixel(0, 0));
  EXPECT_EQ(RowPreview(data, lsSave, 1).Pixel(0, 0), kPreviewFrameColor);  // the new slot
  EXPECT_EQ(RowPreview(data, lsLoad, 1).Pixel(100, 100), kPreviewFillColor);
}

// ---- The character -----------------------------------------------------------

class SaveSlotCharaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = TDemoFixture::Get().Load();
    chara = std::make_unique<TChara>(*database);
  }
  // The first item of `Gender` for slot `PosID` that takes further slots
  // (or not), or null.
  const TVaruneItem* ItemFor(TGenderType Gender, int32_t PosID, bool TakesMore) const {
    for (const TVaruneItem* item : database->GetSpec(Gender, PosID))
      if ((item->FSubPosID11 > 0) == TakesMore) return item;
    return nullptr;
  }
  const TVaruneItem* AnyTakingMore(TGenderType Gender) const {
    for (int32_t pos = 1; pos <= kSlotCount; ++pos)
      if (const TVaruneItem* item = ItemFor(Gender, pos, true)) return item;
    return nullptr;
  }

  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
};

TEST_F(SaveSlotCharaTest, ASlotTakesTheOutfitAndPutsItOnAnotherCharacterInOneUpdate) {
  chara->SetGender(gtFemale);
  chara->SetJob(5);
  const TVaruneItemList& hairs = database->GetHairList(gtFemale);
  ASSERT_GE(hairs.Count(), 2);
  chara->SetBaseObj(bpHair, hairs[1]);
  const TVaruneItem* wide = AnyTakingMore(gtFemale);
  ASSERT_NE(wide, nullptr);
  const TVaruneItem* beside = nullptr;  // an item of a slot the wide one leaves free
  for (int32_t pos = 1; pos <= kBrowsableSlotCount && !beside; ++pos)
    if (pos != wide->FPosID1 && pos != wide->FSubPosID11 && pos != wide->FSubPosID12)
      beside = ItemFor(gtFemale, pos, false);
  ASSERT_NE(beside, nullptr);
  chara->Equip(wide);
  chara->Equip(beside);

  const TBitmap32 picture = Pattern(250, 250);
  TSaveItem slot;
  FillSaveItem(slot, *chara, picture, 45000.5);
  EXPECT_EQ(slot.DateTime, 45000.5);
  EXPECT_EQ(slot.Gender, gtFemale);
  EXPECT_EQ(slot.Job, 5);
  for (int32_t p = 0; p < kBasePositionCount; ++p)
    EXPECT_EQ(slot.BaseIDs[p], chara->GetBaseID(static_cast<TBasePosition>(p)));
  EXPECT_EQ(slot.BaseIDs[bpHair], hairs[1]->FIndex);
  EXPECT_EQ(slot.EquipIDs, chara->GetCurrentEquipIDList());  // the wide item once
  EXPECT_EQ(slot.EquipIDs.size(), 2u);
  const TPngImage preview = DecodePng(slot.Image);
  EXPECT_EQ(preview.ColorType, pctRGB);
  EXPECT_EQ(preview.Width, 250);
  EXPECT_EQ(preview.PixelColor32(249, 3), picture.Pixel(249, 3));

  TChara other(*database);
  int32_t modified = 0, genderChanges = 0;
  other.OnModified = [&](TChara&) { ++modified; };
  other.OnGenderChange = [&](TChara&) { ++genderChanges; };
  bool between = false;
  ApplySlot(other, slot, database->ItemList(), [&] {
    between = true;
    EXPECT_EQ(other.Gender(), gtFemale);  // the selectors see the new base parts, not yet the items
    EXPECT_EQ(other.GetBaseID(bpHair), hairs[1]->FIndex);
    EXPECT_TRUE(other.GetCurrentEquipIDList().empty());
  });
  EXPECT_TRUE(between);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(genderChanges, 1);
  EXPECT_EQ(other.Job(), 5);
  for (int32_t p = 0; p < kBasePositionCount; ++p)
    EXPECT_EQ(other.GetBaseID(static_cast<TBasePosition>(p)), slot.BaseIDs[p]);
  EXPECT_EQ(other.GetCurrentEquipIDList(), slot.EquipIDs);
}

TEST_F(SaveSlotCharaTest, UnknownIDsAreSkippedAndAnUnknownBasePartKeepsTheCurrentOne) {
  const TVaruneItem* item = ItemFor(gtMale, 1, false);
  ASSERT_NE(item, nullptr);
  chara->Equip(ItemFor(gtMale, 2, false));  // taken off by the load
  const int32_t hair = chara->GetBaseID(bpHair), face = chara->GetBaseID(bpFace);

  TSaveItem slot;
  slot.Gender = gtMale, slot.Job = 200;  // a job that does not exist
  slot.BaseIDs = {987654321, -1, chara->GetBaseID(bpBody), chara->GetBaseID(bpTops), chara->GetBaseID(bpBottoms)};
  slot.EquipIDs = {123, item->FIndex, 456};
  ApplySlotBase(*chara, slot);
  ApplySlotEquipment(*chara, slot, database->ItemList());
  EXPECT_EQ(chara->GetBaseID(bpHair), hair);
  EXPECT_EQ(chara->GetBaseID(bpFace), face);
  EXPECT_EQ(chara->Job(), 1);
  EXPECT_EQ(chara->GetCurrentEquipIDList(), std::vector<int32_t>{item->FIndex});
}

TEST_F(SaveSlotCharaTest, StoringIntoTheNewRowAppendsAndIntoASlotsRowOverwritesInPlace) {
  TSaveData data;
  TBitmap32 picture = Pattern(200, 200);
  StoreSlot(data, 0, *chara, picture, 1);
  chara->SetJob(3);
  StoreSlot(data, 1, *chara, TBitmap32(), 2);  // no picture: no preview
  ASSERT_EQ(data.Count(), 2);
  EXPECT_FALSE(data.Items(0).Image.empty());
  EXPECT_TRUE(data.Items(1).Image.empty());

  chara->SetJob(4);
  StoreSlot(data, 0, *chara, TBitmap32(), 3);
  ASSERT_EQ(data.Count(), 2);
  EXPECT_EQ(data.Items(0).Job, 4);
  EXPECT_EQ(data.Items(0).DateTime, 3);
  EXPECT_TRUE(data.Items(0).Image.empty());
  EXPECT_EQ(data.Items(1).Job, 3);
  EXPECT_THROW(StoreSlot(data, 3, *chara, picture, 4), Error);
  EXPECT_THROW(StoreSlot(data, -1, *chara, picture, 4), Error);
  EXPECT_EQ(data.Count(), 2);
}

}  // namespace
}  // namespace varune
