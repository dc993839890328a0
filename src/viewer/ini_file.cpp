#include "viewer/ini_file.h"

// Header-only use of the 8-bit class (UTF-8 kept as bytes): Debian's header
// compiles its template bodies only on request, and its wide class would need
// a conversion header it does not ship.
#define SI_IMPLEMENTATION
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>

#include "archive/error.h"
#include "archive/stream.h"
#include "viewer/utf8_text.h"

namespace varune {
namespace {

// A settings file holds a few dozen keys; anything far larger is not ours and
// reads as empty rather than being loaded whole.
constexpr uintmax_t kMaxFileSize = 4 << 20;

// The file's bytes, or in `Problem` why a file that exists cannot be read:
// it is then read as empty and must not be replaced.
std::string ReadSettingsBytes(const std::string& FileName, std::string& Problem) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(FileName, error);
  if (status.type() == fs::file_type::not_found) return {};
  if (error || status.type() != fs::file_type::regular) {
    Problem = error ? error.message() : "not a file";
    return {};
  }
  const uintmax_t size = fs::file_size(FileName, error);
  if (error || size > kMaxFileSize) {
    Problem = error ? error.message() : "larger than a settings file can be";
    return {};
  }
  std::ifstream file(FileName, std::ios::binary);
  std::string bytes(size, '\0');
  if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) {
    Problem = std::strerror(errno ? errno : EIO);
    return {};
  }
  // The parser stops at a NUL. A byte that is never UTF-8 keeps the rest of
  // the file readable and makes the value holding it read as absent.
  std::replace(bytes.begin(), bytes.end(), '\0', '\xFF');
  return bytes;
}

std::optional<int32_t> ParseInteger(std::string_view Text) {
  const char* last = Text.data() + Text.size();
  auto whole = [last](std::from_chars_result result) { return result.ec == std::errc() && result.ptr == last; };
  if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
    uint32_t pattern;
    if (!whole(std::from_chars(Text.data() + 2, last, pattern, 16))) return std::nullopt;
    return static_cast<int32_t>(pattern);
  }
  int32_t value;
  if (!whole(std::from_chars(Text.data(), last, value))) return std::nullopt;
  return value;
}

}  // namespace

struct TIniFile::TStore {
  CSimpleIniA Ini{/*a_bIsUtf8=*/true};
};

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)), FStore(std::make_unique<TStore>()) {
  FStore->Ini.SetSpaces(false);  // "key=value", as Windows writes it
  const std::string bytes = ReadSettingsBytes(FFileName, FReadProblem);
  if (FStore->Ini.LoadData(bytes) < 0) {
    FStore->Ini.Reset();
    if (FReadProblem.empty()) FReadProblem = "not a settings file";
  }
}

TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default) const {
  const char* value = FStore->Ini.GetValue(Section.c_str(), Key.c_str());
  return value && IsValidUtf8Text(value) ? value : Default;
}

int32_t TIniFile::ReadInteger(const std::string& Section, const std::string& Key, int32_t Default) const {
  return ParseInteger(ReadString(Section, Key, "")).value_or(Default);
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Key, bool Default) const {
  return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key, const std::string& Value) {
  if (Value.find_first_of("\r\n") != std::string::npos)
    throw Error(Sprintf("%s: 改行を含む値は %s に書けません", Key.c_str(), FFileName.c_str()));
  if (FStore->Ini.SetValue(Section.c_str(), Key.c_str(), Value.c_str()) < 0)
    throw Error(Sprintf("%s を書き込めません", FFileName.c_str()));
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Key, int32_t Value) {
  WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Key, bool Value) {
  WriteString(Section, Key, Value ? "1" : "0");
}

void TIniFile::Save() const {
  if (!FReadProblem.empty())
    throw Error(Sprintf("%s は読めなかったため置き換えません: %s", FFileName.c_str(), FReadProblem.c_str()));
  std::string text;
  if (FStore->Ini.Save(text) < 0) throw Error(Sprintf("%s を書き込めません", FFileName.c_str()));
  WriteFileAtomically(FFileName, text.data(), text.size());
}

}  // namespace varune
