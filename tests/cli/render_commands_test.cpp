#include <gtest/gtest.h>

#include <filesystem>

#include "character/chara.h"
#include "cli/run_cli.h"
#include "client/test_client.h"
#include "imaging/png.h"

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
  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--background", Out("none.bmp")}).Code, 1);
  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--code", "AQ*"}).Code, 1);
  EXPECT_EQ(RunCommand({"render", client().Path(), "-o", Out("x.png"), "--background", "#ff8000"}).Code, 0);
}

}  // namespace
}  // namespace varune::cli
