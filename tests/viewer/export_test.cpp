#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "client/test_client.h"
#include "imaging/bmp.h"
#include "imaging/png.h"
#include "viewer/export.h"

namespace varune {
namespace {

using namespace test;

struct TGifSummary {
  int Frames = 0;
  std::vector<int> Delays;
  std::vector<int> Disposals;
  bool Loops = false;
};

int ReadFromVector(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
  const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(count), source->first->size() - source->second));
  std::memcpy(out, source->first->data() + source->second, static_cast<size_t>(n));
  source->second += static_cast<size_t>(n);
  return n;
}

// The GIF as giflib reads it back.
TGifSummary ReadGif(const std::vector<uint8_t>& bytes) {
  std::pair<const std::vector<uint8_t>*, size_t> source{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadFromVector, &error);
  EXPECT_NE(gif, nullptr);
  TGifSummary summary;
  if (!gif) return summary;
  EXPECT_EQ(DGifSlurp(gif), GIF_OK);
  summary.Frames = gif->ImageCount;
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock control;
    DGifSavedExtensionToGCB(gif, i, &control);
    summary.Delays.push_back(control.DelayTime);
    summary.Disposals.push_back(control.DisposalMode);
    const SavedImage& image = gif->SavedImages[i];
    for (int e = 0; e < image.ExtensionBlockCount; ++e)
      if (image.ExtensionBlocks[e].Function == APPLICATION_EXT_FUNC_CODE &&
          std::memcmp(image.ExtensionBlocks[e].Bytes, "NETSCAPE2.0", 11) == 0)
        summary.Loops = i == 0;
  }
  DGifCloseFile(gif, &error);
  return summary;
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = client().Load();
    chara = std::make_unique<TChara>(*database);
    view.BackgroundColor = 0xFF336699;
  }
  static const TTestClient& client() {
    static const TTestClient instance;
    return instance;
  }
  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
  TCharaView view;
  TempDir dir;
};

TEST_F(ExportTest, StillPicturesReadBackAsShown) {
  TBitmap32 shown;
  view.Render(*chara, chara->FrameNumber(), shown);
  ASSERT_EQ(shown.Width(), 250);
  EXPECT_EQ(shown.Pixel(0, 0), 0xFF336699u);
  EXPECT_EQ(shown.Pixel(kStartView.FeetX, kStartView.FeetY - 8), TTestClient::CellColor(kLayerTops, kTopsMale, 0));

  const TBitmap32 bmp = DecodeBmp(ExportToBytes(view, *chara, xfBmp));
  const TPngImage png = DecodePng(ExportToBytes(view, *chara, xfPng));
  EXPECT_EQ(png.ColorType, pctRGB);
  for (int32_t y = 0; y < 250; ++y)
    for (int32_t x = 0; x < 250; ++x) {
      const TColor32 c = shown.Pixel(x, y) | 0xFF000000u;
      ASSERT_EQ(bmp.Pixel(x, y), c) << x << "," << y;
      ASSERT_EQ(Color32(png.Rgb[(y * 250 + x) * 3], png.Rgb[(y * 250 + x) * 3 + 1], png.Rgb[(y * 250 + x) * 3 + 2]), c);
    }
  const std::vector<uint8_t> jpeg = ExportToBytes(view, *chara, xfJpeg);
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
}

TEST_F(ExportTest, TransparentPngHoldsTheCharacterAlone) {
  const TPngImage png = DecodePng(ExportToBytes(view, *chara, xfTransparentPng));
  ASSERT_EQ(png.ColorType, pctRGBA);
  const auto at = [&](int32_t x, int32_t y) { return static_cast<size_t>(y * png.Width + x); };
  EXPECT_EQ(png.Alpha[at(0, 0)], 0);
  EXPECT_EQ(png.Alpha[at(249, 249)], 0);  // no notices either
  const size_t top = at(kStartView.FeetX, kStartView.FeetY - 8);
  EXPECT_EQ(png.Alpha[top], 255);
  EXPECT_EQ(Color32(png.Rgb[top * 3], png.Rgb[top * 3 + 1], png.Rgb[top * 3 + 2]),
            TTestClient::CellColor(kLayerTops, kTopsMale, 0));
  // The shadow alone, half transparent over nothing: the blend rule's alpha.
  EXPECT_EQ(png.Alpha[at(kStartView.FeetX - 30, kStartView.FeetY + 10)], 0x80 * 0x80 / 256 + 0);
}

TEST_F(ExportTest, AnimatedGifHasEveryFrameWithItsDelay) {
  chara->NextFrame();
  const TGifSummary gif = ReadGif(ExportToBytes(view, *chara, xfGif));
  EXPECT_EQ(chara->FrameNumber(), 1);  // exports never move the view
  EXPECT_EQ(gif.Frames, 2);
  EXPECT_EQ(gif.Delays, (std::vector<int>{7, 10}));  // 79 and 100 ms
  EXPECT_EQ(gif.Disposals, (std::vector<int>{DISPOSE_BACKGROUND, DISPOSE_BACKGROUND}));
  EXPECT_TRUE(gif.Loops);

  chara->SetAnimationType(atMove);  // frame times 50, 0 and 99 ms
  EXPECT_EQ(ReadGif(ExportToBytes(view, *chara, xfGif)).Delays, (std::vector<int>{5, 1, 9}));

  chara->SetEmotIconNum(8);
  chara->SetAnimationType(atEmotIcon);  // no sequence at all: one frame of the picture
  ASSERT_EQ(chara->FrameCount(), 0);
  const TGifSummary still = ReadGif(ExportToBytes(view, *chara, xfGif));
  EXPECT_EQ(still.Frames, 1);
  EXPECT_EQ(still.Delays, std::vector<int>{100});
}

TEST_F(ExportTest, AnimatedPngAndFrameFiles) {
  const std::vector<uint8_t> apng = ExportToBytes(view, *chara, xfTransparentApng);
  const auto actl = std::search(apng.begin(), apng.end(), std::begin("acTL"), std::end("acTL") - 1);
  ASSERT_NE(actl, apng.end());
  EXPECT_EQ(actl[7], 2);  // frame count, big-endian, low byte
  EXPECT_EQ(DecodePng(apng).ColorType, pctRGBA);  // the default image is the first frame

  const std::vector<std::string> files = ExportFrames(view, *chara, false, dir.Path(), "walk");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(std::filesystem::path(files[1]).filename(), "walk_001.png");
  EXPECT_EQ(LoadPngFromFile(files[0]).ColorType, pctRGB);

  ExportToFile(view, *chara, xfPng, dir.File("still.png"));
  EXPECT_TRUE(std::filesystem::exists(dir.File("still.png")));
  EXPECT_THROW(ExportToFile(view, *chara, xfPng, dir.File("no/such/folder/x.png")), Error);
}

TEST_F(ExportTest, BackgroundPictureOverTheColourAndNotices) {
  TBitmap32 small(100, 50);
  small.Clear(0xFF00FF00);
  SaveBmpToFile(dir.File("bg.bmp"), small);
  view.SetBackgroundPicture(dir.File("bg.bmp"));
  TBitmap32 target(250, 250);
  target.Clear(0x12345678);  // stale pixels must not survive
  view.DrawBackground(target);
  EXPECT_EQ(target.Pixel(99, 49), 0xFF00FF00u);
  EXPECT_EQ(target.Pixel(100, 49), 0xFF336699u);
  EXPECT_EQ(target.Pixel(249, 249), 0xFF336699u);

  view.SetBackgroundPicture(dir.File("gone.bmp"));
  view.DrawBackground(target);
  EXPECT_EQ(target.Pixel(0, 0), 0xFF336699u);

  view.DrawNotices(target);
  int silver = 0, elsewhere = 0;
  for (int32_t y = 0; y < 250; ++y)
    for (int32_t x = 0; x < 250; ++x)
      if (target.Pixel(x, y) != 0xFF336699u) (y >= 220 ? silver : elsewhere) += 1;
  EXPECT_GT(silver, 50);
  EXPECT_EQ(elsewhere, 0);
}

// What a progress callback saw; it refuses to go on at `StopAt` frames done.
struct TProgressLog {
  std::vector<std::pair<int32_t, int32_t>> Calls;
  int32_t StopAt = -1;
  TExportProgress Callback() {
    return [this](int32_t Done, int32_t Total) {
      Calls.emplace_back(Done, Total);
      return Done != StopAt;
    };
  }
};

std::vector<std::string> FilesIn(const std::string& Dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ExportTest, ProgressBeforeEachFrameAndAtTheEnd) {
  TProgressLog gif, png;
  ExportToBytes(view, *chara, xfGif, {}, gif.Callback());
  EXPECT_EQ(gif.Calls, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {1, 2}, {2, 2}}));
  ExportToBytes(view, *chara, xfPng, {}, png.Callback());
  EXPECT_EQ(png.Calls, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}}));
  EXPECT_EQ(ExportFrameCount(*chara, xfTransparentApng), 2);
  EXPECT_EQ(ExportFrameCount(*chara, xfJpeg), 1);
  chara->SetEmotIconNum(8);
  chara->SetAnimationType(atEmotIcon);  // no sequence
  EXPECT_EQ(ExportFrameCount(*chara, xfGif), 1);
}

TEST_F(ExportTest, ACancelledExportLeavesThePreviousFileAlone) {
  const std::string file = dir.File("walk.gif");
  WriteWholeFile(file, std::vector<uint8_t>{'o', 'l', 'd'});
  for (const int32_t stopAt : {1, 2}) {  // mid-way, and when every frame is drawn
    TProgressLog log;
    log.StopAt = stopAt;
    EXPECT_THROW(ExportToFile(view, *chara, xfGif, file, {}, log.Callback()), TExportCancelled);
    EXPECT_EQ(ReadWholeFile(file), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"walk.gif"});
  }
  ExportToFile(view, *chara, xfGif, file);
  EXPECT_EQ(ReadGif(ReadWholeFile(file)).Frames, 2);
}

TEST_F(ExportTest, FrameFilesAreAllOrNothing) {
  TProgressLog log;
  log.StopAt = 1;
  EXPECT_THROW(ExportFrames(view, *chara, false, dir.Path(), "walk", {}, log.Callback()), TExportCancelled);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  std::filesystem::create_directory(FrameFileName(dir.Path(), "walk", 1));  // frame 1 cannot be written
  EXPECT_THROW(ExportFrames(view, *chara, false, dir.Path(), "walk"), Error);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"walk_001.png"});
}

TEST(ExportNamesTest, ExtensionsAndDelays) {
  EXPECT_EQ(WithExtension("out/pic.png", ".jpg"), "out/pic.jpg");
  EXPECT_EQ(WithExtension("out.d/pic", ".gif"), "out.d/pic.gif");
  TExportFormat format;
  ASSERT_TRUE(ExportFormatOf(".PNG", true, format));
  EXPECT_EQ(format, xfTransparentPng);
  ASSERT_TRUE(ExportFormatOf(".jpeg", false, format));
  EXPECT_EQ(format, xfJpeg);
  EXPECT_FALSE(ExportFormatOf(".tiff", false, format));
  EXPECT_EQ(GifDelay(79), 7);
  EXPECT_EQ(GifDelay(5), 1);
  EXPECT_EQ(GifDelay(0), 1);
}

}  // namespace
}  // namespace varune
