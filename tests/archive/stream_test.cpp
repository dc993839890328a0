#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "archive/error.h"
#include "archive/atomic_file.h"
#include "archive/stream.h"
#include "support/file_holder.h"
#include "support/temp_dir.h"

namespace varune {
namespace {

TEST(BinaryStreamTest, ReadWriteAndSeekFollowTheBlockBounds) {
  uint8_t block[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  TBinaryStream stream(block, 10);
  uint8_t buffer[8] = {};
  EXPECT_EQ(stream.Seek(-4, soEnd), 6);
  EXPECT_EQ(stream.Read(buffer, 8), 4);
  EXPECT_EQ(buffer[0], 6);
  EXPECT_EQ(stream.Seek(20, soBeginning), 20);
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  EXPECT_EQ(stream.Write(buffer, 8), 0);
  EXPECT_EQ(stream.Seek(5, 7), 20);
  stream.Seek(8, soBeginning);
  const uint8_t ones[4] = {1, 1, 1, 1};
  EXPECT_EQ(stream.Write(ones, 4), 2);  // never enlarges the block
  EXPECT_EQ(block[9], 1);
  EXPECT_EQ(stream.Size(), 10);
  stream.Seek(-3, soBeginning);
  EXPECT_EQ(stream.Read(buffer, 2), 0);
  stream.Seek(0, soBeginning);
  EXPECT_EQ(stream.Read(buffer, -1), 0);
}

TEST(WriteFileAtomicallyTest, ReplacesWholeOrLeavesNothing) {
  test::TempDir dir;
  const std::string path = dir.File("a.ini");
  WriteWholeFile(path, std::vector<uint8_t>(100, 'x'));
  WriteFileAtomically(path, std::vector<uint8_t>{'n', 'e', 'w'});
  EXPECT_EQ(ReadWholeFile(path), (std::vector<uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  // The rights of any new file (0666 less the creation mask), not those of a private temporary.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(static_cast<mode_t>(std::filesystem::status(path).permissions()), 0666 & ~mask);

  EXPECT_THROW(WriteFileAtomically(dir.File("missing/a.ini"), std::vector<uint8_t>{'a'}), Error);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  std::filesystem::create_directories(dir.File("busy/inside"));  // the rename over a folder fails
  EXPECT_THROW(WriteFileAtomically(dir.File("busy"), std::vector<uint8_t>{'a'}), Error);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("busy/inside")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(WriteFileAtomicallyTest, AUsersFileKeepsItsLinkItsRightsAndItsProtection) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::vector<uint8_t> old{'o', 'l', 'd'}, fresh{'n', 'e', 'w'};
  fs::create_directories(dir.File("real"));
  WriteWholeFile(dir.File("real/save.dat"), old);
  fs::permissions(dir.File("real/save.dat"), fs::perms(0600));
  fs::create_symlink("real/save.dat", dir.File("save.dat"));
  WriteFileAtomically(dir.File("save.dat"), fresh);
  EXPECT_TRUE(fs::is_symlink(dir.File("save.dat")));
  EXPECT_EQ(ReadWholeFile(dir.File("real/save.dat")), fresh);
  EXPECT_EQ(static_cast<mode_t>(fs::status(dir.File("real/save.dat")).permissions()), 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 1);

  // Made read-only to protect it: refused, even for root, and left whole.
  fs::permissions(dir.File("real/save.dat"), fs::perms(0444));
  EXPECT_THROW(WriteFileAtomically(dir.File("save.dat"), old), Error);
  EXPECT_EQ(ReadWholeFile(dir.File("real/save.dat")), fresh);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 1);

  // The program's own copy replaces the link itself, never its target.
  TAtomicFile copy(dir.File("save.dat"), rmOwnCopy);
  copy.Write(old.data(), old.size());
  copy.Commit();
  EXPECT_FALSE(fs::is_symlink(dir.File("save.dat")));
  EXPECT_EQ(ReadWholeFile(dir.File("real/save.dat")), fresh);

  fs::create_symlink("loop", dir.File("loop"));
  EXPECT_THROW(WriteFileAtomically(dir.File("loop"), old), Error);
}

TEST(WriteFileAtomicallyTest, StaleTemporariesGoUnlessAnotherProcessHoldsThem) {
  test::TempDir dir;
  const std::string path = dir.File("a.ini");
  for (const char* name : {".a.ini.stale1", ".a.ini.held01", ".a.ini.toolong", ".b.ini.stale1", "a.ini"})
    WriteWholeFile(dir.File(name), std::vector<uint8_t>{'x'});
  test::THolder holder(dir.File(".a.ini.held01"));
  ASSERT_TRUE(holder.Holding());
  RemoveStaleTemporaries(path);
  EXPECT_FALSE(std::filesystem::exists(dir.File(".a.ini.stale1")));
  for (const char* kept : {".a.ini.held01", ".a.ini.toolong", ".b.ini.stale1", "a.ini"})
    EXPECT_TRUE(std::filesystem::exists(dir.File(kept))) << kept;
}

}  // namespace
}  // namespace varune
