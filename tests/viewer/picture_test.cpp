// Picture options, animated WebP and sheets, on the demo client: every
// result is compared pixel for pixel with the plain 1x picture.

#include <gtest/gtest.h>
#include <webp/demux.h>

#include <nlohmann/json.hpp>

#include "demo/demo_fixture.h"
#include "imaging/framing.h"
#include "imaging/png.h"
#include "viewer/export.h"
#include "viewer/selectors.h"
#include "viewer/sprite_sheet.h"
#include "viewer/variation_sheet.h"

namespace varune {
namespace {

using test::TDemoFixture;

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = TDemoFixture::Get().Load();
    chara = std::make_unique<TChara>(*database);
    chara->SetAnimationType(atMove);
    view.BackgroundColor = 0xFF336699;
  }

  std::vector<TBitmap32> Frames(bool transparent, const TPictureOptions& options) const {
    std::vector<TBitmap32> frames;
    DrawFramedFrames(view, *chara, transparent, options, ExportedFrames(*chara, xfApng), {},
                     [&](const TBitmap32& picture, int32_t) { frames.push_back(picture); });
    return frames;
  }

  std::unique_ptr<TVaruneDatabase> database;
  std::unique_ptr<TChara> chara;
  TCharaView view;
};

void ExpectSamePixels(const TBitmap32& actual, const TBitmap32& expected, const std::string& what) {
  ASSERT_EQ(actual.Width(), expected.Width()) << what;
  ASSERT_EQ(actual.Height(), expected.Height()) << what;
  for (int32_t y = 0; y < actual.Height(); ++y)
    for (int32_t x = 0; x < actual.Width(); ++x)
      ASSERT_EQ(actual.Pixel(x, y), expected.Pixel(x, y)) << what << " at " << x << "," << y;
}

TEST_F(PictureTest, ScaleAndFlipAreThePlainPictureEnlargedAndMirrored) {
  const std::vector<TBitmap32> plain = Frames(false, {});
  ASSERT_GT(plain.size(), 1u);
  const std::vector<TBitmap32> scaled = Frames(false, {.Scale = 3, .Flip = true});
  ASSERT_EQ(scaled.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    TBitmap32 expected = plain[i];
    FlipHorizontally(expected);
    TBitmap32 enlarged;
    Enlarge(expected, 3, enlarged);
    ExpectSamePixels(scaled[i], enlarged, "frame " + std::to_string(i));
  }
  // The still formats take the options too.
  const TBitmap32 png = DecodePngToBitmap32(ExportToBytes(view, *chara, xfPng, {.Scale = 2}));
  TBitmap32 enlarged;
  Enlarge(plain[static_cast<size_t>(chara->FrameNumber())], 2, enlarged);
  ExpectSamePixels(png, enlarged, "png");
}

TEST_F(PictureTest, CropIsOneBoxOverEveryFrameWithItsPadding) {
  const std::vector<TBitmap32> whole = Frames(true, {});
  TRect box;
  for (const TBitmap32& frame : whole) box = UnionRect(box, VisibleBounds(frame));
  const std::vector<TBitmap32> cropped = Frames(true, {.Framing = fmCrop, .Padding = 3});
  for (size_t i = 0; i < whole.size(); ++i) {
    TBitmap32 expected;
    CutOut(whole[i], box, 3, nullptr, 0, expected);
    ExpectSamePixels(cropped[i], expected, "frame " + std::to_string(i));
  }
  // The figure moves: no single frame fills the shared box.
  EXPECT_TRUE(std::any_of(whole.begin(), whole.end(), [&](const TBitmap32& f) { return VisibleBounds(f) != box; }));

  // On a background the box holds what differs from it: the figure's faintest edge too, but not the
  // notices in the view's corner. The padding shows the background.
  const std::vector<TBitmap32> opaque = Frames(false, {.Framing = fmCrop, .Padding = 3});
  EXPECT_GE(opaque[0].Width(), box.Width() + 6);
  EXPECT_LE(opaque[0].Width(), box.Width() + 10);
  EXPECT_LE(opaque[0].Height(), box.Height() + 10);
  EXPECT_EQ(opaque[0].Pixel(0, 0), 0xFF336699u);
  EXPECT_EQ(opaque[0].Pixel(opaque[0].Width() - 1, opaque[0].Height() - 1), 0xFF336699u);
}

TEST_F(PictureTest, NothingDrawnIsOnePixelOfBackground) {
  view.Geometry.FeetX = -1000;  // the figure stands outside the view
  const std::vector<TBitmap32> frames = Frames(false, {.Framing = fmCrop});
  ASSERT_EQ(frames[0].Width(), 1);
  ASSERT_EQ(frames[0].Height(), 1);
  EXPECT_EQ(frames[0].Pixel(0, 0), 0xFF336699u);
}

TEST_F(PictureTest, TooLargeAPictureIsRefusedBeforeDrawing) {
  try {
    MakeSpriteSheet(view, *chara, false, {.Scale = 8}, true);
    FAIL() << "an all-animations sheet at scale 8 fitted";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("--crop"), std::string::npos) << error.what();
  }
  EXPECT_NO_THROW(CheckPictureSize(kMaxPictureSide, kMaxPicturePixels / kMaxPictureSide));
  EXPECT_THROW(CheckPictureSize(kMaxPictureSide + 1, 1), TPictureTooLarge);
  EXPECT_THROW(CheckPictureSize(16000, 16001), Error);
}

struct TDecodedWebp {
  uint32_t Loops = 1;
  std::vector<TBitmap32> Frames;
  std::vector<uint32_t> Durations;
};

// The file as libwebp's own animation decoder shows it.
TDecodedWebp DecodeWebp(const std::vector<uint8_t>& bytes) {
  TDecodedWebp decoded;
  const WebPData data{bytes.data(), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  EXPECT_NE(decoder, nullptr);
  if (!decoder) return decoded;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  decoded.Loops = info.loop_count;
  int previous = 0;
  while (WebPAnimDecoderHasMoreFrames(decoder)) {
    uint8_t* pixels = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) break;
    TBitmap32& frame = decoded.Frames.emplace_back(static_cast<int32_t>(info.canvas_width),
                                                   static_cast<int32_t>(info.canvas_height));
    std::memcpy(frame.Bits(), pixels, static_cast<size_t>(frame.Width()) * frame.Height() * 4);
    decoded.Durations.push_back(static_cast<uint32_t>(timestamp - previous));
    previous = timestamp;
  }
  WebPAnimDecoderDelete(decoder);
  return decoded;
}

// Fully transparent pixels compare as one: what lies under alpha 0 is not shown.
TBitmap32 Shown(TBitmap32 picture) {
  for (TColor32& pixel : std::span(picture.Bits(), picture.Bits() + picture.Width() * picture.Height()))
    if (AlphaComponent(pixel) == 0) pixel = 0;
  return picture;
}

TEST_F(PictureTest, WebpHoldsEveryFrameWithItsExactTime) {
  for (const bool transparent : {true, false}) {
    const TDecodedWebp webp =
        DecodeWebp(ExportToBytes(view, *chara, transparent ? xfTransparentWebp : xfWebp, {.Scale = 2}));
    const std::vector<TBitmap32> frames = Frames(transparent, {.Scale = 2});
    EXPECT_EQ(webp.Loops, 0u);
    ASSERT_EQ(webp.Frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(webp.Durations[i], chara->GetFrameTime(static_cast<int32_t>(i)));
      // On a background every pixel is opaque, as in the picture drawn.
      ExpectSamePixels(Shown(webp.Frames[i]), Shown(frames[i]), "frame " + std::to_string(i));
    }
  }
}

TEST_F(PictureTest, SpriteSheetFramesHoldExactlyTheirPixels) {
  const TPictureOptions options{.Scale = 2, .Framing = fmCrop, .Padding = 1};
  const TSpriteSheet sheet = MakeSpriteSheet(view, *chara, false, options, false);
  const std::vector<TBitmap32> frames = Frames(false, options);
  const auto data = nlohmann::ordered_json::parse(SpriteSheetData(sheet, "walk.png", "walk"));
  ASSERT_EQ(data["frames"].size(), frames.size());
  size_t i = 0;
  for (const auto& [name, frame] : data["frames"].items()) {
    EXPECT_EQ(name, "walk " + std::to_string(i));
    const auto& r = frame["frame"];
    TBitmap32 cell;
    const TRect rect{r["x"], r["y"], r["x"].get<int32_t>() + r["w"].get<int32_t>(),
                     r["y"].get<int32_t>() + r["h"].get<int32_t>()};
    CutOut(sheet.Picture, rect, 0, nullptr, 0, cell);
    ExpectSamePixels(cell, frames[i], name);
    EXPECT_EQ(frame["duration"], chara->GetFrameTime(static_cast<int32_t>(i)));
    EXPECT_EQ(frame["sourceSize"]["w"], rect.Width());
    ++i;
  }
  EXPECT_EQ(data["meta"]["image"], "walk.png");
  EXPECT_EQ(data["meta"]["scale"], "2");
  EXPECT_EQ(data["meta"]["size"]["w"], sheet.Picture.Width());
  ASSERT_EQ(data["meta"]["frameTags"].size(), 1u);
  EXPECT_EQ(data["meta"]["frameTags"][0]["name"], "Move");
  EXPECT_EQ(data["meta"]["frameTags"][0]["to"], static_cast<int>(frames.size()) - 1);
}

TEST_F(PictureTest, AllAnimationsSheetTagsEveryAnimationOnItsOwnRows) {
  const TSpriteSheet sheet = MakeSpriteSheet(view, *chara, true, {.Framing = fmCrop}, true);
  ASSERT_EQ(sheet.Tags.size(), static_cast<size_t>(kAnimationTypeCount));
  int32_t next = 0;
  int32_t rowTop = 0;
  for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind) {
    const TSheetTag& tag = sheet.Tags[static_cast<size_t>(kind)];
    EXPECT_EQ(tag.Name, std::string(AnimationTypeNames[kind].substr(2)));
    EXPECT_EQ(tag.From, next);
    if (tag.To < tag.From) continue;  // no frames, no row
    const TSheetFrame& first = sheet.Frames[static_cast<size_t>(tag.From)];
    EXPECT_EQ(first.Rect.Left, 0) << tag.Name;
    EXPECT_GE(first.Rect.Top, rowTop) << tag.Name;
    rowTop = sheet.Frames[static_cast<size_t>(tag.To)].Rect.Bottom;
    next = tag.To + 1;
  }
  EXPECT_EQ(static_cast<size_t>(next), sheet.Frames.size());
  EXPECT_EQ(rowTop, sheet.Picture.Height());
}

TEST_F(PictureTest, VariationSheetHasACellPerSelectorEntry) {
  TComboState hair;
  FillBasicCombo(hair, database->GetHairList(chara->Gender()), database->GetBasicHairList(chara->Gender()));
  const std::pair<TVariation, size_t> kinds[] = {
      {vaHair, hair.Entries.size()},
      {vaTops, static_cast<size_t>(database->GetTopsList(chara->Gender()).Count())},
      {vaHairColor, VariationChoices(*chara, vaHairColor).size()}};
  for (const auto& [kind, count] : kinds) {
    ASSERT_GT(count, 1u);
    const TVariationSheet sheet = MakeVariationSheet(view, *chara, false, {.Framing = fmCrop}, kind);
    ASSERT_EQ(sheet.Cells.size(), count) << kVariationNames[kind];
    const auto data = nlohmann::json::parse(VariationSheetData(sheet, "hair.png"));
    EXPECT_EQ(data["cells"].size(), count);
    EXPECT_FALSE(data["cells"][0]["name"].get<std::string>().empty());
  }
  EXPECT_EQ(VariationChoices(*chara, vaHair)[1].Name, hair.Entries[1].Caption);
  EXPECT_THROW(VariationChoices(*chara, vaItem, 999999999), Error);
}

}  // namespace
}  // namespace varune
