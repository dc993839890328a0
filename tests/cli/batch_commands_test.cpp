#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "archive/stream.h"
#include "character/chara.h"
#include "cli/run_cli.h"
#include "client/test_client.h"
#include "demo/contact_sheet.h"
#include "demo/demo_fixture.h"
#include "imaging/png.h"

namespace varune::cli {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// The outfit code as `varune-cli code` prints it: one line.
std::string OneLineCode(const TChara& chara) {
  std::string code = chara.Code();
  std::erase(code, '\r');
  std::erase(code, '\n');
  return code;
}

class BatchCommandsTest : public ::testing::Test {
 protected:
  static const TTestClient& client() {
    static const TTestClient instance;
    return instance;
  }
  std::string List(const std::string& text) const {
    const std::string path = dir.File("list.txt");
    WriteWholeFile(path, text.data(), text.size());
    return path;
  }
  std::string Out(const std::string& name = "") const { return dir.File("out") + (name.empty() ? "" : "/" + name); }
  TempDir dir;
};

TEST_F(BatchCommandsTest, CodesAndOptionsDrawWhatRenderDraws) {
  auto database = client().Load();
  TChara chara(*database);
  chara.SetGender(gtFemale);
  chara.Equip(database->ItemList().Find(kFemaleGlasses));
  const std::string code = OneLineCode(chara);

  const TCliResult result = RunCommand({"batch", client().Path(),
                                        List("# outfits\n" + code + "\r\n\n"
                                             "top.png\t--equip 103 --transparent\n"
                                             "  small \t--gender female --size small\n"
                                             "walk.gif\t--anim Move\n"
                                             "dice.png\t--random 3 --crop --padding 1 --flip\n"),
                                        "-o", Out(), "--jobs", "2", "--scale", "2"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.Out, Out("0002.png") + "\n" + Out("top.png") + "\n" + Out("small.png") + "\n" + Out("walk.gif") +
                            "\n" + Out("dice.png") + "\n");

  // Each picture is the one render makes of the same options.
  const auto render = [&](std::vector<std::string> options) {
    std::vector<std::string> args = {"render", client().Path(), "-o", dir.File("render.png"), "--scale", "2"};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(RunCommand(args).Code, 0);
    return Read(dir.File("render.png"));
  };
  EXPECT_EQ(Read(Out("0002.png")), render({"--code", code}));
  EXPECT_EQ(Read(Out("top.png")), render({"--equip", "103", "--transparent"}));
  EXPECT_EQ(Read(Out("small.png")), render({"--gender", "female", "--size", "small"}));
  EXPECT_EQ(Read(Out("dice.png")), render({"--random", "3", "--crop", "--padding", "1", "--flip"}));
  EXPECT_EQ(LoadPngFromFile(Out("top.png")).ColorType, pctRGBA);
  EXPECT_EQ(Read(Out("walk.gif")).substr(0, 6), "GIF89a");
}

TEST_F(BatchCommandsTest, BadLinesAreToldAndSkipped) {
  const TCliResult result =
      RunCommand({"batch", client().Path(),
                  List("a.png\t--equip 103\n"
                       "--equip 999\n"                     // 2: unknown item
                       "--job x\n"                         // 3: bad option value
                       "../evil.png\t--equip 103\n"        // 4: outside the folder
                       "sub/b.png\t--equip 103\n"          // 5: a folder
                       "AQ*\n"                             // 6: damaged code
                       "a.png\t--equip 104\n"              // 7: name taken
                       "c.tiff\t--equip 104\n"             // 8: unknown format
                       "--equip 110\n"                     // 9: job 2 only
                       "d\t--background 'no such.bmp'\n"   // 10: missing background
                       "e\t--equip 104 -o x.png\n"         // 11: not a line's option
                       "f\t--equip 104\n"),                // 12: fine, PNG by default
                  "-o", Out(), "--jobs", "3"});
  EXPECT_EQ(result.Code, ecError);
  EXPECT_EQ(result.Out, Out("a.png") + "\n" + Out("f.png") + "\n");
  EXPECT_TRUE(fs::exists(Out("a.png")));
  EXPECT_FALSE(fs::exists(dir.File("evil.png")));
  EXPECT_FALSE(fs::exists(Out("0009.png")));
  size_t at = 0;
  for (const char* expected :
       {"line 2: no item 999", "line 3: --job is not a number", "line 4: the file name ../evil.png must stay inside",
        "line 5: the file name sub/b.png", "line 6: ", "line 7: a.png is already the name of line 1",
        "line 8: the file name c.tiff must end in", "line 9: the character cannot wear item 110",
        "line 10: no background picture no such.bmp", "line 11: unknown option -o", "10 of 12 pictures failed"}) {
    const size_t found = result.Err.find(expected, at);
    ASSERT_NE(found, std::string::npos) << expected << "\n" << result.Err;
    at = found;  // told in line order
  }

  // A list that is no text ends the reading; lines before it are still drawn.
  const TCliResult binary = RunCommand(
      {"batch", client().Path(), List("g\t--equip 103\n" + std::string(70000, 'x')), "-o", Out(), "--jobs", "1"});
  EXPECT_EQ(binary.Code, ecError);
  EXPECT_NE(binary.Err.find("line 2: longer than 64 KiB"), std::string::npos) << binary.Err;
  EXPECT_TRUE(fs::exists(Out("g.png")));
}

TEST_F(BatchCommandsTest, UsageStandardInputAndFormat) {
  for (std::vector<std::string> args : {
           std::vector<std::string>{"batch", client().Path(), List("")},
           {"batch", client().Path(), List(""), "-o", Out(), "--jobs", "0"},
           {"batch", client().Path(), List(""), "-o", Out(), "--format", "tiff"},
           {"batch", client().Path(), List(""), "-o", Out(), "--size", "huge"},
           {"batch", client().Path(), List(""), "-o", Out(), "--slot", "1"},
           {"batch", client().Path(), "-o", Out(), "--every-item"},
           {"batch", client().Path(), "-o", Out(), "--every-item", "--slot", "17"},
       })
    EXPECT_EQ(RunCommand(args).Code, ecUsage) << args.back();
  EXPECT_EQ(RunCommand({"batch", client().Path(), dir.File("none.txt"), "-o", Out()}).Code, ecError);

  std::istringstream in("--equip 103\nnamed\t--equip 104\n");
  std::streambuf* saved = std::cin.rdbuf(in.rdbuf());
  const TCliResult result = RunCommand({"batch", client().Path(), "-", "-o", Out(), "--format", "bmp"});
  std::cin.rdbuf(saved);
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(Read(Out("0001.bmp")).substr(0, 2), "BM");
  EXPECT_EQ(Read(Out("named.bmp")).substr(0, 2), "BM");
}

TEST_F(BatchCommandsTest, EveryItemOfASlotWithItsIndex) {
  // Hats fit both genders: each is drawn once.
  TCliResult result = RunCommand({"batch", client().Path(), "--every-item", "--slot", "1", "-o", Out()});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(Read(Out("index.tsv")),
            "id\tname\tfile\n100\titem 100\t100.png\n101\titem 101\t101.png\n102\titem 102\t102.png\n");
  EXPECT_EQ(Read(Out("101.png")), (RunCommand({"render", client().Path(), "-o", dir.File("r.png"), "--equip", "101"}),
                                   Read(dir.File("r.png"))));

  // The ring only job 2 may wear is drawn on job 2; glasses only on women.
  result = RunCommand({"batch", client().Path(), "--every-item", "--slot", "12", "-o", Out("rings"), "--format", "jpg"});
  ASSERT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(Read(Out("rings/index.tsv")), "id\tname\tfile\n110\titem 110\t110.jpg\n");
  result = RunCommand(
      {"batch", client().Path(), "--every-item", "--slot", "2", "--gender", "male", "-o", Out("glasses")});
  EXPECT_EQ(Read(Out("glasses/index.tsv")), "id\tname\tfile\n");
}

// Many sheets of the demo client decoded by threads at once: the pictures
// must not depend on which thread drew what first.
TEST_F(BatchCommandsTest, SameBytesWhateverTheThreadCount) {
  const TDemoFixture& demo = TDemoFixture::Get();
  auto database = demo.Load();
  std::string list;
  std::vector<std::string> names;
  for (const demo::TOutfit& outfit : demo::ShowcaseOutfits()) {
    TChara chara(*database);
    demo::Dress(chara, *database, outfit);
    for (const char* animation : {"Stand", "Move", "NormalAttack01"}) {
      names.push_back(std::to_string(names.size()) + (names.size() % 4 == 3 ? ".gif" : ".png"));
      list += names.back() + "\t--code " + OneLineCode(chara) + " --job " + std::to_string(outfit.Job) +
              " --anim " + animation + " --frame 1\n";
    }
  }
  const std::string path = List(list);
  const TCliResult one = RunCommand({"batch", demo.Dir.Path(), path, "-o", Out("one"), "--jobs", "1"});
  const TCliResult four = RunCommand({"batch", demo.Dir.Path(), path, "-o", Out("four"), "--jobs", "4"});
  ASSERT_EQ(one.Code, 0) << one.Err;
  ASSERT_EQ(four.Code, 0) << four.Err;
  ASSERT_GE(names.size(), 12u);
  for (const std::string& name : names) {
    const std::string bytes = Read(Out("one/" + name));
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes, Read(Out("four/" + name))) << name;
  }
}

}  // namespace
}  // namespace varune::cli
