#include <gtest/gtest.h>

#include <filesystem>

#include "archive/stream.h"
#include "character/chara.h"
#include "cli/run_cli.h"
#include "client/test_client.h"
#include "imaging/png.h"

#include <nlohmann/json.hpp>

namespace varune::cli {
namespace {

using namespace test;

class RenderCommandsTest : public ::testing::Test {
 protected:
  static const TTestClient& client() {
    static const TTestClient instance;
    return instance;
  }
  std::string Out(const std::string& name) const { return dir.File(name); }
  TempDir dir;
};

TEST_F(RenderCommandsTest, RendersEveryFormatByExtension) {
  for (const char* name : {"a.bmp", "a.jpg", "a.png", "a.gif", "a.apng"}) {
    const TCliResult result = RunCommand({"render", client().Path(), "-o", Out(name)});
    EXPECT_EQ(result.Code, 0) << name << ": " << result.Err;
    EXPECT_GT(std::filesystem::file_size(Out(name)), 100u) << name;
  }
  const TPngImage png = LoadPngFromFile(Out("a.png"));
  EXPECT_EQ(png.Width, 250);
  EXPECT_EQ(png.ColorType, pctRGB);

  ASSERT_EQ(RunCommand({"render", client().Path(), "-o", Out("t.png"), "--transparent", "--size", "small"}).Code, 0);
  const TPngImage transparent = LoadPngFromFile(Out("t.png"));
  EXPECT_EQ(transparent.Width, 200);
  EXPECT_EQ(transparent.ColorType, pctRGBA);
  // Small view: feet at (100, 170); the tops cell lies 8 pixels above them.
  const size_t top = static_cast<size_t>((170 - 8) * 200 + 100);
  EXPECT_EQ(Color32(transparent.Rgb[top * 3], transparent.Rgb[top * 3 + 1], transparent.Rgb[top * 3 + 2]),
            TTestClient::CellColor(kLayerTops, kTopsMale, 0));
}

TEST_F(RenderCommandsTest, DressesFromOptionsAndReportsRefusals) {
  TCliResult result = RunCommand({"render", client().Path(), "-o", Out("b.png"), "--transparent", "--equip",
                                  "103,110,999", "--base", "1301002,103", "--hide", "face", "--frame", "1"});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_NE(result.Err.find("cannot wear item 110"), std::string::npos);
  EXPECT_NE(result.Err.find("no item 999"), std::string::npos);
  EXPECT_NE(result.Err.find("no base part 103"), std::string::npos);
  const TPngImage png = LoadPngFromFile(Out("b.png"));
  const size_t top = static_cast<size_t>((200 - 8) * 250 + 128);
  EXPECT_EQ(Color32(png.Rgb[top * 3], png.Rgb[top * 3 + 1], png.Rgb[top * 3 + 2]),
            TTestClient::CellColor(kLayerTops, kTop, 1));  // frame 1 of the equipped top

  result = RunCommand({"code", client().Path(), "--gender", "female", "--equip", "109"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  const std::string code = result.Out.substr(0, result.Out.size() - 1);
  EXPECT_EQ(code.find('\r'), std::string::npos);
  const TOutfitRecord record = DecodeOutfitCode(code);
  EXPECT_EQ(record.Gender, gtFemale);
  EXPECT_EQ(record.EquipIDs, std::vector<int32_t>{kFemaleGlasses});

  // The code restores the same outfit in another run.
  result = RunCommand({"code", client().Path(), "--code", code});
  EXPECT_EQ(result.Out, code + "\n");
}

TEST_F(RenderCommandsTest, FramesAnimationsAndUsageErrors) {
  TCliResult result = RunCommand({"render", client().Path(), "--frames", Out("frames"), "--anim", "Move"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_TRUE(std::filesystem::exists(Out("frames/frame_002.png")));
  EXPECT_FALSE(std::filesystem::exists(Out("frames/frame_003.png")));
  EXPECT_EQ(RunCommand({"render", client().Path(), "--frames", Out("f2"), "--anim", "1"}).Code, 0);

  for (std::vector<std::string> args : {
           std::vector<std::string>{"render", client().Path()},
           {"render", client().Path(), "-o", Out("x.tiff")},
           {"render", client().Path(), "-o", Out("x.png"), "--frames", Out("y")},
           {"render", client().Path(), "-o", Out("x.png"), "--anim", "Dance"},
           {"render", client().Path(), "-o", Out("x.png"), "--anim", "96"},
           {"render", client().Path(), "-o", Out("x.png"), "--job", "53"},
           {"render", client().Path(), "-o", Out("x.png"), "--frame", "2"},
           {"render", client().Path(), "-o", Out("x.png"), "--hide", "shoes"},
           {"render", client().Path(), "-o", Out("x.png"), "--background", "#12345"},
           {"render", client().Path(), "-o", Out("x.png"), "--equip", "1,x"},
       })
    EXPECT_EQ(RunCommand(args).Code, 2) << args.back();

  // Each new value out of range names its option, and nothing is written.
  const std::pair<std::vector<std::string>, std::string> refusals[] = {
      {{"--scale", "0"}, "--scale"},        {{"--scale", "9"}, "--scale"},
      {{"--padding", "-1"}, "--padding"},   {{"--padding", "65"}, "--padding"},
      {{"--random", "x"}, "--random"},      {{"--random", "1", "--code", "AQ"}, "--random"},
      {{"--all-animations"}, "--all-animations"}};
  for (const auto& [options, named] : refusals) {
    std::vector<std::string> args = {"render", client().Path(), "-o", Out("x.png")};
    args.insert(args.end(), options.begin(), options.end());
    const TCliResult refused = RunCommand(args);
    EXPECT_EQ(refused.Code, 2) << options[0];
    EXPECT_NE(refused.Err.find(named), std::string::npos) << refused.Err;
  }
  EXPECT_EQ(RunCommand({"render", client().Path(), "--sheet", Out("x.png"), "--frame", "1"}).Code, 2);
  EXPECT_EQ(RunCommand({"sheet", client().Path(), "--vary", "hat", "-o", Out("x.png")}).Code, 2);
  EXPECT_FALSE(std::filesystem::exists(Out("x.png")));
  EXPECT_FALSE(std::filesystem::exists(Out("x.json")));

  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--background", Out("none.bmp")}).Code, 1);
  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--code", "AQ*"}).Code, 1);
  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--background", "#ff8000"}).Code, 0);
}

TEST_F(RenderCommandsTest, PictureOptionsWebpAndSheets) {
  ASSERT_EQ(RunCommand({"render", client().Path(), "-o", Out("big.png"), "--scale", "2", "--flip"}).Code, 0);
  EXPECT_EQ(LoadPngFromFile(Out("big.png")).Width, 500);
  ASSERT_EQ(RunCommand({"render", client().Path(), "-o", Out("tight.png"), "--crop", "--padding", "2"}).Code, 0);
  EXPECT_LT(LoadPngFromFile(Out("tight.png")).Width, 250);

  // A still WebP is one frame: no animation chunk.
  ASSERT_EQ(RunCommand({"render", client().Path(), "-o", Out("still.webp"), "--anim", "Move", "--frame", "1"}).Code,
            0);
  const std::vector<uint8_t> webp = ReadWholeFile(Out("still.webp"));
  ASSERT_GT(webp.size(), 16u);
  EXPECT_EQ(std::string(webp.begin() + 8, webp.begin() + 12), "WEBP");
  EXPECT_EQ(std::string(webp.begin(), webp.end()).find("ANIM"), std::string::npos);

  TCliResult result = RunCommand({"render", client().Path(), "--sheet", Out("walk.png"), "--anim", "Move"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out, Out("walk.png") + "\n" + Out("walk.json") + "\n");
  const auto data = nlohmann::json::parse(ReadWholeFile(Out("walk.json")));
  EXPECT_EQ(data["frames"].size(), 3u);
  EXPECT_EQ(LoadPngFromFile(Out("walk.png")).Width, 3 * 250);

  result = RunCommand({"sheet", client().Path(), "--vary", "hair", "-o", Out("hair.png"), "--data", Out("hair.json"),
                       "--crop"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(nlohmann::json::parse(ReadWholeFile(Out("hair.json")))["cells"].size(), 2u);
}

TEST_F(RenderCommandsTest, RandomOutfitsRepeatTheirSeed) {
  const TCliResult first = RunCommand({"code", client().Path(), "--random", "5"});
  ASSERT_EQ(first.Code, 0) << first.Err;
  EXPECT_EQ(RunCommand({"code", client().Path(), "--random", "5"}).Out, first.Out);

  // Without a seed, the one taken is told and makes the same outfit again.
  const TCliResult unseeded = RunCommand({"code", client().Path(), "--random"});
  ASSERT_EQ(unseeded.Code, 0) << unseeded.Err;
  const std::string told = "random seed ";
  const size_t at = unseeded.Err.find(told);
  ASSERT_NE(at, std::string::npos) << unseeded.Err;
  const std::string seed = unseeded.Err.substr(at + told.size(), unseeded.Err.find('\n', at) - at - told.size());
  EXPECT_EQ(RunCommand({"code", client().Path(), "--random", seed}).Out, unseeded.Out);
}

}  // namespace
}  // namespace varune::cli
