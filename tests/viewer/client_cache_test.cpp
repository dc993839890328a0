#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/spf.h"
#include "archive/stream.h"
#include "database/language.h"
#include "demo/demo_fixture.h"
#include "support/temp_dir.h"
#include "viewer/client_cache.h"

namespace varune {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const std::vector<std::string> kAllArchives(ArchiveFileNames.begin(), ArchiveFileNames.end());

// `Size` bytes of `Fill` followed by the version word.
Bytes FakeArchive(uint32_t Version, uint8_t Fill = 'a', size_t Size = 64) {
  Bytes bytes(Size, Fill);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(Version >> (8 * i)));
  return bytes;
}

// The names of the files in `Dir`, sorted.
std::vector<std::string> Entries(const std::string& Dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Sorted(std::vector<std::string> Names) {
  std::sort(Names.begin(), Names.end());
  return Names;
}

std::string MessageOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const TCacheCancelled&) {
    return "cancelled";
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

// A fake client of five small archives and the cache folder of a program;
// messages in English.
class ClientCacheTest : public ::testing::Test {
 protected:
  ClientCacheTest() {
    SetJapaneseUI(false);
    fs::create_directories(ClientDir());
    for (const std::string& name : kAllArchives) WriteSource(name, FakeArchive(1));
  }
  ~ClientCacheTest() override { SetJapaneseUI(FJapanese); }

  std::string ClientDir() const { return FDir.File("client/"); }
  std::string CacheDir() const { return FDir.File("app/cache/"); }
  std::string Source(const std::string& Name) const { return ClientDir() + Name; }
  std::string Copy(const std::string& Name) const { return CacheDir() + Name; }
  void WriteSource(const std::string& Name, const Bytes& Content) const { WriteWholeFile(Source(Name), Content); }

  // Runs the generation; returns the archives copied, in the order copied.
  // `OnProgress`, when given, answers the progress calls.
  std::vector<std::string> Generate(bool DisableCheck = false, const TCacheProgress& OnProgress = {}) {
    std::vector<std::string> copied;
    GenerateCache(ClientDir(), CacheDir(), DisableCheck,
                  [&](const std::string& Name, int64_t Done, int64_t Total) {
                    if (Done == 0) copied.push_back(Name);
                    return !OnProgress || OnProgress(Name, Done, Total);
                  });
    return copied;
  }

  const bool FJapanese = IsJapaneseUI();
  test::TempDir FDir;
};

TEST_F(ClientCacheTest, FirstRunCopiesTheDemoClientInOrderAndLoadsFromTheCopies) {
  const std::string client = test::TDemoFixture::Get().Dir.Path() + "/";
  std::vector<Bytes> before;
  for (const std::string& name : kAllArchives) before.push_back(ReadWholeFile(client + name));

  std::vector<std::string> order;
  int64_t lastDone = -1;
  int32_t completed = 0;
  GenerateCache(client, CacheDir(), false, [&](const std::string& Name, int64_t Done, int64_t Total) {
    if (Done == 0) {
      order.push_back(Name);
      lastDone = 0;
    }
    EXPECT_LE(Done - lastDone, 1 << 20) << Name;
    EXPECT_LE(Done, Total);
    completed += Done == Total;
    lastDone = Done;
    return true;
  });
  EXPECT_EQ(order, kAllArchives);
  EXPECT_EQ(completed, 5);
  EXPECT_EQ(Entries(CacheDir()), Sorted(kAllArchives));  // no temporary file left
  for (size_t i = 0; i < kAllArchives.size(); ++i) {
    EXPECT_EQ(ReadWholeFile(Copy(kAllArchives[i])), before[i]) << kAllArchives[i];
    EXPECT_EQ(ReadWholeFile(client + kAllArchives[i]), before[i]) << kAllArchives[i];
  }

  TVaruneDatabase database;
  database.LoadPath(CacheDir());
  EXPECT_EQ(database.Path(), CacheDir());
  EXPECT_GT(database.ItemList().Count(), 0);
  EXPECT_EQ(database.ItemList().Count(), test::TDemoFixture::Get().Load()->ItemList().Count());
}

TEST_F(ClientCacheTest, UpdateCheckRefreshesOnlyArchivesWhoseVersionWordChanged) {
  EXPECT_EQ(Generate(), kAllArchives);
  EXPECT_TRUE(Generate().empty());  // equal versions: nothing copied

  WriteSource("BANX.SPF", FakeArchive(2, 'b'));
  WriteSource("ZENNE.SPF", FakeArchive(1, 'z'));  // new content, same version word
  EXPECT_EQ(Generate(), std::vector<std::string>{"BANX.SPF"});
  EXPECT_EQ(ReadWholeFile(Copy("BANX.SPF")), FakeArchive(2, 'b'));
  EXPECT_EQ(ReadWholeFile(Copy("ZENNE.SPF")), FakeArchive(1));
}

TEST_F(ClientCacheTest, DisableCheckNeverComparesOrRefreshes) {
  Generate();
  WriteSource("BANX.SPF", FakeArchive(2, 'b'));
  fs::remove(Source("ROWID.SPF"));
  EXPECT_TRUE(Generate(true).empty());
  EXPECT_EQ(ReadWholeFile(Copy("BANX.SPF")), FakeArchive(1));

  // Only a missing copy is made, even with the check disabled.
  fs::remove(Copy("BARY.SPF"));
  EXPECT_EQ(Generate(true), std::vector<std::string>{"BARY.SPF"});
}

TEST_F(ClientCacheTest, EmptyClientDirTakesBareNamesFromTheWorkingFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(ClientDir());
  EXPECT_NO_THROW(GenerateCache("", CacheDir(), true));
  fs::current_path(previous);
  EXPECT_EQ(Entries(CacheDir()), Sorted(kAllArchives));
}

TEST_F(ClientCacheTest, MissingArchiveStopsWithNotFoundAfterTheCopiesBeforeIt) {
  fs::remove(Source("BARY.SPF"));
  EXPECT_EQ(MessageOf([&] { Generate(); }), "Client application not found.");
  SetJapaneseUI(true);
  EXPECT_EQ(MessageOf([&] { Generate(); }), "クライアントが見つかりません");
  EXPECT_EQ(Entries(CacheDir()), (std::vector<std::string>{"AJJIYA.SPF", "BANX.SPF"}));
}

TEST_F(ClientCacheTest, FailedFirstCopyRaisesFailedAndLeavesNoFileUnderTheName) {
  // The cache folder cannot be made where a regular file stands (as root too).
  WriteWholeFile(FDir.File("app"), Bytes{1});
  SetJapaneseUI(true);
  EXPECT_EQ(MessageOf([&] { Generate(); }), "キャッシュの生成に失敗しました");
  SetJapaneseUI(false);
  EXPECT_EQ(MessageOf([&] { Generate(); }), "Failed to generate cache files.");

  // A source cut short while it is copied fails midway; a cancel stops there too.
  fs::remove(FDir.File("app"));
  WriteSource("BANX.SPF", FakeArchive(1, 'b', 3 << 19));
  const auto cutShort = [&](const std::string& Name, int64_t Done, int64_t) {
    if (Done > 0) fs::resize_file(Source(Name), 100);
    return true;
  };
  EXPECT_EQ(MessageOf([&] { Generate(false, cutShort); }), "Failed to generate cache files.");
  EXPECT_EQ(Entries(CacheDir()), std::vector<std::string>{"AJJIYA.SPF"});
  WriteSource("BANX.SPF", FakeArchive(1, 'b', 3 << 19));
  const auto cancel = [](const std::string&, int64_t Done, int64_t) { return Done == 0; };
  EXPECT_EQ(MessageOf([&] { Generate(false, cancel); }), "cancelled");
  EXPECT_EQ(Entries(CacheDir()), std::vector<std::string>{"AJJIYA.SPF"});
}

TEST_F(ClientCacheTest, FailedUpdateCheckKeepsTheCopyAndGoesOn) {
  Generate();
  WriteSource("AJJIYA.SPF", Bytes{1, 2, 3});  // too short for a version word
  fs::remove(Source("BANX.SPF"));
  fs::create_directory(Source("BANX.SPF"));  // cannot be read
  fs::remove(Source("BARY.SPF"));
  WriteSource("ROWID.SPF", FakeArchive(2));
  EXPECT_EQ(Generate(), std::vector<std::string>{"ROWID.SPF"});
  for (const char* name : {"AJJIYA.SPF", "BANX.SPF", "BARY.SPF"}) EXPECT_EQ(ReadWholeFile(Copy(name)), FakeArchive(1));
}

TEST_F(ClientCacheTest, RefreshFailingMidwayKeepsThePreviousCopyWhole) {
  const Bytes large = FakeArchive(1, 'x', 5 << 19);  // three chunks
  WriteSource("BARY.SPF", large);
  Generate();
  WriteSource("BARY.SPF", FakeArchive(2, 'y', 5 << 19));
  WriteSource("ZENNE.SPF", FakeArchive(2));

  // The source is cut short while it is copied: the refresh fails, the rest goes on.
  const auto cutShort = [&](const std::string& Name, int64_t Done, int64_t) {
    if (Name == "BARY.SPF" && Done > 0) fs::resize_file(Source(Name), 100);
    return true;
  };
  EXPECT_EQ(Generate(false, cutShort), (std::vector<std::string>{"BARY.SPF", "ZENNE.SPF"}));
  EXPECT_EQ(ReadWholeFile(Copy("BARY.SPF")), large);
  EXPECT_EQ(ReadWholeFile(Copy("ZENNE.SPF")), FakeArchive(2));

  // A cancel ends the generation and keeps the copy.
  WriteSource("BARY.SPF", FakeArchive(3, 'y', 5 << 19));
  WriteSource("ROWID.SPF", FakeArchive(3));
  const auto cancel = [](const std::string&, int64_t Done, int64_t) { return Done == 0; };
  EXPECT_EQ(MessageOf([&] { Generate(false, cancel); }), "cancelled");
  EXPECT_EQ(ReadWholeFile(Copy("BARY.SPF")), large);
  EXPECT_EQ(ReadWholeFile(Copy("ROWID.SPF")), FakeArchive(1));
  EXPECT_EQ(Entries(CacheDir()), Sorted(kAllArchives));
}

TEST_F(ClientCacheTest, TemporaryFilesOfAnInterruptedRunAreRemoved) {
  fs::create_directories(CacheDir());
  WriteWholeFile(CacheDir() + ".BANX.SPF.a1B2c3", Bytes{1});
  WriteWholeFile(CacheDir() + "notes.txt", Bytes{1});
  Generate();
  std::vector<std::string> expected = kAllArchives;
  expected.push_back("notes.txt");
  EXPECT_EQ(Entries(CacheDir()), Sorted(expected));
}

}  // namespace
}  // namespace varune
