#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "archive/spf.h"
#include "archive/spf_writer.h"
#include "cli/run_cli.h"
#include "cli/tsv.h"
#include "formats/ldt_writer.h"
#include "formats/seq_writer.h"
#include "formats/tbl_writer.h"
#include "support/temp_dir.h"

namespace varune::cli {
namespace {

// An archive assembled byte by byte, the way another tool might write one:
// entries stored in reverse order, non-zero filler in the trailer.
std::vector<uint8_t> HandBuiltArchive(const std::vector<std::pair<std::string, std::string>>& entries,
                                      int32_t version) {
  std::vector<uint8_t> file{'P', 'A', 'D'};
  std::vector<int32_t> offsets(entries.size());
  for (size_t i = entries.size(); i-- > 0;) {
    offsets[i] = static_cast<int32_t>(file.size());
    file.insert(file.end(), entries[i].second.begin(), entries[i].second.end());
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    uint8_t record[140] = {};
    std::memcpy(record, entries[i].first.data(), entries[i].first.size());
    const auto size = static_cast<int32_t>(entries[i].second.size());
    const int32_t unknown = 100 + static_cast<int32_t>(i);
    std::memcpy(record + 128, &offsets[i], 4);
    std::memcpy(record + 132, &size, 4);
    std::memcpy(record + 136, &unknown, 4);
    file.insert(file.end(), record, record + 140);
  }
  uint8_t trailer[140];
  std::memset(trailer, 0x5A, sizeof trailer);
  const auto directorySize = static_cast<int32_t>(entries.size() * 140);
  std::memcpy(trailer, &directorySize, 4);
  std::memcpy(trailer + 136, &version, 4);
  file.insert(file.end(), trailer, trailer + 140);
  return file;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Four archives written by hand, the fifth by our writer.
    for (int i = 0; i < 4; ++i) {
      std::vector<std::pair<std::string, std::string>> entries;
      if (i == 0) entries = {{"DATA/README.TXT", "first\n"}, {"DATA/EMPTY", ""}};
      if (i == 2) entries = {{"DATA/README.TXT", "shadowed"}};
      WriteWholeFile(dir.File(ArchiveFileNames[i]), HandBuiltArchive(entries, i));
    }
    TSpfWriter rowid;
    rowid.Add("DATA/LDT/TEST.LDT", TableBytes());
    rowid.Add("DATA/CHAR/CHARLAYER/BODY.TBL", SpriteBytes());
    rowid.Add("DATA/CHAR/CHARLAYER/CHARACTER.MFT", ManifestBytes());
    rowid.Add("DATA/ANITABLE/STAND_R.SEQ", SequenceBytes());
    rowid.SaveToFile(dir.File("ROWID.SPF"));
  }

  static std::vector<uint8_t> TableBytes() {
    TLdtWriter writer;
    writer.AddColumn("_Name", 1);
    writer.AddColumn("_Count", 2);
    writer.AddColumn("_Delta", 3);
    writer.AddColumn("_Rate", 4);
    writer.AddColumn("_Void", 0);
    writer.AddRow(7, {std::string("剣\tof\\light"), 4294967295u, -1, 0.1f, std::monostate{}});
    writer.AddRow(-3, {std::string(""), 0u, 2147483647, 16777217.0f, std::monostate{}});
    return writer.SaveToBytes();
  }
  static std::vector<uint8_t> SpriteBytes() {
    TTblImage cell;
    cell.ID = 4;
    cell.Offset = {-3, 12};
    cell.RevX = 0.1f;
    cell.RevY = -2.5f;
    cell.Rect = {10, 20, 50, 80};
    cell.FileName = "BODY_01.PNG";
    return WriteTbl(0, {{1, "01_0000_001_01", {cell}}, {3, "02_0000_001_01", {}}});
  }
  static std::vector<uint8_t> ManifestBytes() {
    TMftHeader header{};
    return WriteMft(header, {"BODY.TBL", "SUB/HAIR.TBL"});
  }
  static std::vector<uint8_t> SequenceBytes() {
    TSeqFrame frame{};
    frame.Number = 5;
    frame.Time = 0.0999f;
    frame.Items = {{1, 2, 45, -7, 9, 257}};
    return WriteSeq(TSeqHeader{}, {frame, TSeqFrame{}});
  }

  test::TempDir dir;
};

TEST_F(CliTest, ArchiveListShowsEveryRecordInDirectoryOrder) {
  const TCliResult result = RunCommand({"archive", "list", dir.File("AJJIYA.SPF")});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "index\toffset\tsize\tunknown\tname\n"
            "0\t3\t6\t100\tDATA/README.TXT\n"
            "1\t3\t0\t101\tDATA/EMPTY\n");
}

TEST_F(CliTest, ExtractResolvesThroughTheFiveArchivesInOrder) {
  TCliResult result = RunCommand({"archive", "extract", dir.Path(), "data/readme.txt"});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out, "first\n");

  const std::string target = dir.File("out.seq");
  result = RunCommand({"archive", "extract", dir.Path(), "DATA/ANITABLE/STAND_R.SEQ", "-o", target});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(ReadWholeFile(target), SequenceBytes());

  result = RunCommand({"archive", "extract", dir.Path(), "DATA/EMPTY"});
  EXPECT_EQ(result.Code, 0);
  EXPECT_EQ(result.Out, "");

  result = RunCommand({"archive", "extract", dir.Path(), "DATA/ABSENT"});
  EXPECT_EQ(result.Code, 1);
  EXPECT_NE(result.Err.find("DATA/ABSENT"), std::string::npos);
}

TEST_F(CliTest, ErrorsAndUsage) {
  EXPECT_EQ(RunCommand({}).Code, 2);
  EXPECT_EQ(RunCommand({"archive"}).Code, 2);
  EXPECT_EQ(RunCommand({"archive", "list"}).Code, 2);
  EXPECT_EQ(RunCommand({"archive", "list", "a", "b"}).Code, 2);
  EXPECT_EQ(RunCommand({"archive", "extract", dir.Path(), "X", "--bogus"}).Code, 2);
  EXPECT_EQ(RunCommand({"archive", "extract", dir.Path(), "X", "-o"}).Code, 2);
  EXPECT_EQ(RunCommand({"frobnicate"}).Code, 2);
  const TCliResult missing = RunCommand({"archive", "list", dir.File("NONE.SPF")});
  EXPECT_EQ(missing.Code, 1);
  EXPECT_FALSE(missing.Err.empty());
  EXPECT_EQ(RunCommand({"table", "dump", dir.File("nowhere"), "X"}).Code, 1);

  const TCliResult help = RunCommand({"--help"});
  EXPECT_EQ(help.Code, 0);
  for (const char* command : {"archive list", "archive extract", "table dump", "tbl dump", "mft dump", "seq dump"})
    EXPECT_NE(help.Out.find(command), std::string::npos) << command;
}

TEST_F(CliTest, TableDumpEscapesFieldsAndPrintsExactNumbers) {
  // A locale with a decimal comma must not change the output.
  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  const TCliResult result = RunCommand({"table", "dump", dir.Path(), "DATA/LDT/TEST.LDT"});
  if (previous) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "ID\t_Name\t_Count\t_Delta\t_Rate\t_Void\n"
            "7\t剣\\tof\\\\light\t4294967295\t-1\t0.1\t\n"
            "-3\t\t0\t2147483647\t16777216\t\n");
}

TEST_F(CliTest, SpriteManifestAndSequenceDumps) {
  TCliResult result = RunCommand({"tbl", "dump", dir.Path(), "DATA/CHAR/CHARLAYER/BODY.TBL"});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "item\t01_0000_001_01\t1\t1\n"
            "cell\t4\t-3\t12\t0.1\t-2.5\t10\t20\t50\t80\tBODY_01.PNG\n"
            "item\t02_0000_001_01\t3\t0\n");

  result = RunCommand({"mft", "dump", dir.Path(), "DATA/CHAR/CHARLAYER/CHARACTER.MFT"});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out, "BODY.TBL\nSUB/HAIR.TBL\n");

  result = RunCommand({"seq", "dump", dir.Path(), "DATA/ANITABLE/STAND_R.SEQ"});
  EXPECT_EQ(result.Code, 0) << result.Err;
  EXPECT_EQ(result.Out,
            "frame\t0\t5\t0.0999\t1\n"
            "layer\t1\t2\t45\t-7\t9\t257\n"
            "frame\t1\t0\t0\t0\n");
}

TEST(TsvTest, FloatsAreShortestRoundTrips) {
  EXPECT_EQ(FloatText(0.1f), "0.1");
  EXPECT_EQ(FloatText(1.0000001f), "1.0000001");
  EXPECT_EQ(FloatText(-2.0f), "-2");
  EXPECT_EQ(FloatText(3.4028235e38f), "3.4028235e+38");
  EXPECT_EQ(EscapeField("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
}

}  // namespace
}  // namespace varune::cli
