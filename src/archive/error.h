#pragma once
// Errors of the whole core: exceptions with a UTF-8 message.

#include <stdexcept>
#include <string>

namespace varune {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// printf-style formatting of a message ("無効なインデックス [%d]").
std::string Sprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Messages of the file layer, shared by every reader.
inline constexpr const char* kMsgFileNotFound = "ファイルが存在しません";
inline constexpr const char* kMsgInvalidIndex = "無効なインデックス [%d]";
inline constexpr const char* kMsgReadError = "ストリームの読み込みエラー";
inline constexpr const char* kMsgWriteError = "ストリームの書き込みエラー";

}  // namespace varune
