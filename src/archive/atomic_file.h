#pragma once
// A file replaced as a whole. The bytes go to a temporary file in the same
// folder (".NAME.XXXXXX"), which is flushed to disk and renamed over the file
// only once complete: a failure, a cancel or a crash midway leaves the
// previous file as it was, or no file under the name.

#include <cstddef>
#include <string>

namespace varune {

class TAtomicFile {
 public:
  // Creates the temporary file; raises varune::Error naming `Path` when the
  // folder cannot take it.
  explicit TAtomicFile(std::string Path);
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
  int FHandle = -1;
  bool FCommitted = false;
};

// Removes the temporary files that replacements of `Path` interrupted by a
// crash left behind, except those another process still has open (a
// replacement running meanwhile).
void RemoveStaleTemporaries(const std::string& Path);

}  // namespace varune
