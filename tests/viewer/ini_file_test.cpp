#include <gtest/gtest.h>

#include <filesystem>

#include "archive/error.h"
#include "archive/stream.h"
#include "support/temp_dir.h"
#include "viewer/ini_file.h"

namespace varune {
namespace {

using test::TempDir;

void WriteText(const std::string& path, std::string_view text) { WriteWholeFile(path, text.data(), text.size()); }

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(IniFileTest, IntegerAndBooleanForms) {
  TempDir dir;
  WriteText(dir.File("a.ini"),
            "[N]\ndec=-42\nhex=0x1F\nupper=0XfF\nall=0xFFFFFFFF\nletters=abc\ntail=12abc\nbig=2147483648\n"
            "bighex=0x100000000\nempty=\nbare=0x\nsigned=+5\nneghex=-0x5\n"
            "[B]\none=1\ntwo=2\nzero=0\nword=yes\n");
  const TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadInteger("N", "dec", 7), -42);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 7), 31);
  EXPECT_EQ(ini.ReadInteger("N", "upper", 7), 255);
  EXPECT_EQ(ini.ReadInteger("N", "all", 7), -1);
  for (const char* unreadable : {"letters", "tail", "big", "bighex", "empty", "bare", "signed", "neghex", "none"})
    EXPECT_EQ(ini.ReadInteger("N", unreadable, 7), 7) << unreadable;
  EXPECT_TRUE(ini.ReadBool("B", "one", false));
  EXPECT_TRUE(ini.ReadBool("B", "two", false));
  EXPECT_FALSE(ini.ReadBool("B", "zero", true));
  EXPECT_TRUE(ini.ReadBool("B", "word", true));
  EXPECT_FALSE(ini.ReadBool("B", "word", false));
}

TEST(IniFileTest, NamesCompareWithoutCase) {
  TempDir dir;
  WriteText(dir.File("a.ini"), "[data]\nclientpath=/games/varune/\n");
  TIniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadString("DATA", "ClientPath", "-"), "/games/varune/");
  ini.WriteString("Data", "CLIENTPATH", "/other/");
  ini.Save();
  EXPECT_EQ(ReadText(dir.File("a.ini")), "[data]\nclientpath=/other/\n");
}

TEST(IniFileTest, SaveKeepsTheRestAndReplacesTheFileWhole) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteText(path, "; written by hand\n[Form]\nLeft=10\nTop=20\n\n[Data]\nCacheMode=1\nClientPath=/old/\n");
  TIniFile ini(path);
  ini.WriteString("Data", "ClientPath", "/クライアント/");
  ini.WriteBool("Data", "CacheMode", false);
  ini.WriteInteger("Chara", "Pos3", -1);
  ini.Save();

  const TIniFile again(path);
  EXPECT_EQ(again.ReadInteger("Form", "Left", 0), 10);
  EXPECT_EQ(again.ReadInteger("Form", "Top", 0), 20);
  EXPECT_EQ(again.ReadString("Data", "ClientPath", ""), "/クライアント/");
  EXPECT_EQ(again.ReadInteger("Chara", "Pos3", 0), -1);
  const std::string text = ReadText(path);
  EXPECT_NE(text.find("; written by hand"), std::string::npos);
  EXPECT_NE(text.find("CacheMode=0\n"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

TEST(IniFileTest, DamagedBytesReadAsAbsent) {
  TempDir dir;
  using namespace std::string_literals;
  WriteText(dir.File("a.ini"), "[Data]\nbad=\xC3\x28\nsurrogate=\xED\xA0\x80\nnul=/a\0b\nafter=ok\n"
                               "overlong=\xC0\xAF\n\xFF\xFE=\xFF\n[\xFF]\nlast=5\n"s);
  const TIniFile ini(dir.File("a.ini"));
  for (const char* key : {"bad", "surrogate", "nul", "overlong"})
    EXPECT_EQ(ini.ReadString("Data", key, "-"), "-") << key;
  EXPECT_EQ(ini.ReadInteger("Data", "nul", 3), 3);
  EXPECT_EQ(ini.ReadString("Data", "after", "-"), "ok");  // a NUL does not end the file
  EXPECT_EQ(ini.ReadInteger("\xFF", "last", 0), 5);

  // Bytes that mean something to a parser, in every position of a short file: nothing to assert but survival.
  for (const char b : "\0\n\r[]=;\x80\xC3\xFF"s) {
    const std::string text = "[D]\nk=v\n";
    for (size_t at = 0; at < text.size(); ++at) {
      std::string damaged = text;
      damaged[at] = b;
      WriteText(dir.File("d.ini"), damaged);
      TIniFile(dir.File("d.ini")).ReadString("D", "k", "");
    }
  }
}

TEST(IniFileTest, MissingOrUnwritableFiles) {
  TempDir dir;
  EXPECT_EQ(TIniFile(dir.File("none.ini")).ReadInteger("Data", "CacheMode", 4), 4);
  EXPECT_EQ(TIniFile(dir.File("none.ini")).ReadProblem(), "");
  TIniFile folder(dir.Path());  // reads as empty, and is never replaced
  EXPECT_EQ(folder.ReadString("Data", "ClientPath", "-"), "-");
  EXPECT_NE(folder.ReadProblem(), "");
  EXPECT_THROW(folder.Save(), Error);

  TIniFile ini(dir.File("missing/a.ini"));
  ini.WriteString("Data", "ClientPath", "/x/");
  EXPECT_THROW(ini.Save(), Error);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  EXPECT_THROW(ini.WriteString("Data", "ClientPath", "/a\n[Data]\nCacheMode=1"), Error);
}

}  // namespace
}  // namespace varune
