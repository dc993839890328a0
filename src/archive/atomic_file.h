#pragma once
// A file replaced as a whole. The bytes go to a temporary file in the same
// folder (".NAME.XXXXXX"), which is flushed to disk and renamed over the file
// only once complete: a failure, a cancel or a crash midway leaves the
// previous file as it was, or no file under the name.
//
// A file the user gave keeps what they gave it: a symbolic link is followed
// and its target replaced (the link stays a link), the permission bits stay
// as they were, and a file without write permission (made read-only to
// protect it) is not replaced at all.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varune {

// Whose file is replaced. The program's own copies (the cache's archives)
// replace the name itself, a link included, with the usual rights: a link
// planted there must never lead a write into the game's folder.
enum TReplaceMode { rmUsersFile, rmOwnCopy };

class TAtomicFile {
 public:
  // Creates the temporary file; raises varune::Error naming `Path` when the
  // folder cannot take it or the file may not be replaced.
  explicit TAtomicFile(std::string Path, TReplaceMode Mode = rmUsersFile);
  // Removes the temporary file unless Commit succeeded.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // Appends to the temporary file; a failure (a full disk) raises
  // varune::Error and removes the temporary file.
  void Write(const void* Data, size_t Size);
  // Puts the file in place. Raises varune::Error on failure, leaving the
  // previous file.
  void Commit();

 private:
  [[noreturn]] void Fail(int Errno);

  std::string FPath;
  std::string FTemporary;
  // The rights the file gets: the replaced file's, or those of a new file.
  mode_t FRights = 0;
  int FHandle = -1;
  bool FCommitted = false;
};

// Files that belong together (a picture and its data): each is written whole
// to its temporary file before any of them replaces its name, so that a
// failure while writing leaves every previous file as it was.
struct TFileContents {
  std::string Path;
  std::string_view Bytes;
};
void WriteFilesTogether(const std::vector<TFileContents>& Files);
inline std::string_view BytesOf(const std::vector<uint8_t>& Bytes) {
  return {reinterpret_cast<const char*>(Bytes.data()), Bytes.size()};
}

// Removes the temporary files that replacements of `Path` interrupted by a
// crash left behind, except those another process still has open (a
// replacement running meanwhile).
void RemoveStaleTemporaries(const std::string& Path);

}  // namespace varune
