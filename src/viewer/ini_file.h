#pragma once
// A Windows-style INI file: sections of "key=value" lines, section and key
// names compared without case, UTF-8 text. The whole file is read at
// construction and replaced as a whole by Save, so that every section and key
// not touched survives a read-modify-save round trip.

#include <cstdint>
#include <memory>
#include <string>

namespace varune {

class TIniFile {
 public:
  // Reads the file when it exists; a missing or unreadable file reads as empty.
  explicit TIniFile(std::string FileName);
  ~TIniFile();
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return FFileName; }
  // Why the file exists but could not be read (no permission, not a file,
  // too large); empty when it was read or does not exist.
  const std::string& ReadProblem() const { return FReadProblem; }

  // A value that is not valid UTF-8 or holds a NUL reads as absent.
  std::string ReadString(const std::string& Section, const std::string& Key, const std::string& Default) const;
  // Decimal, or hexadecimal with a 0x prefix (a 32-bit pattern: 0xFFFFFFFF is -1); missing or unreadable
  // (letters, overflow, empty) gives Default.
  int32_t ReadInteger(const std::string& Section, const std::string& Key, int32_t Default) const;
  // True when the integer read is non-zero.
  bool ReadBool(const std::string& Section, const std::string& Key, bool Default) const;

  // Raises varune::Error for a value with a line break, which would end the line early and let the rest read
  // as keys of their own.
  void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
  void WriteInteger(const std::string& Section, const std::string& Key, int32_t Value);  // decimal
  void WriteBool(const std::string& Section, const std::string& Key, bool Value);        // "1" / "0"

  // Replaces the file as a whole; raises varune::Error when it cannot be
  // written, and for a file that could not be read: replacing it would lose
  // every key but ours.
  void Save() const;

 private:
  struct TStore;
  std::string FFileName;
  std::string FReadProblem;
  std::unique_ptr<TStore> FStore;
};

}  // namespace varune
