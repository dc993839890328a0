#include "server/web_files.h"

#include <boost/url/parse.hpp>
#include <filesystem>

#include "archive/error.h"
#include "archive/stream.h"
#include "server/catalogue.h"
#include "viewer/startup.h"

namespace varune::server {

namespace {

namespace fs = std::filesystem;

// A page needs far less; a folder given by mistake (a home) is refused
// rather than read whole.
constexpr size_t kMaxFiles = 256;
constexpr uintmax_t kMaxBytes = 16u << 20;

constexpr std::pair<std::string_view, std::string_view> kContentTypes[] = {
    {".html", "text/html; charset=utf-8"},
    {".js", "text/javascript; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".json", "application/json"},
    {".svg", "image/svg+xml"},
    {".png", "image/png"},
    {".ico", "image/x-icon"},
    {".webmanifest", "application/manifest+json"},
    {".txt", "text/plain; charset=utf-8"},
};

std::string_view ContentTypeOf(const fs::path& path) {
  for (const auto& [extension, type] : kContentTypes)
    if (path.extension() == extension) return type;
  return {};
}

}  // namespace

TWebFiles::TWebFiles(const std::string& Dir) {
  std::error_code error;
  if (!fs::is_directory(Dir, error)) throw Error("the web page's folder " + Dir + " is not a folder");
  uintmax_t bytes = 0;
  fs::recursive_directory_iterator walk(Dir, fs::directory_options::follow_directory_symlink, error), end;
  if (error) throw Error("the web page's folder " + Dir + " cannot be read: " + error.message());
  for (; walk != end; walk.increment(error)) {
    if (error) throw Error("the web page's folder " + Dir + " cannot be read: " + error.message());
    const fs::path& path = walk->path();
    if (path.filename().string().starts_with(".")) {
      if (walk->is_directory(error)) walk.disable_recursion_pending();
      continue;
    }
    const std::string_view type = ContentTypeOf(path);
    if (type.empty() || !walk->is_regular_file(error)) continue;
    if (FFiles.size() == kMaxFiles) throw Error("the web page's folder " + Dir + " holds too many files");
    bytes += walk->file_size(error);
    if (bytes > kMaxBytes) throw Error("the web page's folder " + Dir + " holds too many bytes");
    const std::vector<uint8_t> content = ReadWholeFile(path.string());
    TWebFile file{std::string(type), std::string(content.begin(), content.end()), {}};
    file.ETag = ETagOf(file.Body);
    FFiles.emplace("/" + path.lexically_relative(Dir).generic_string(), std::move(file));
  }
}

const TWebFile* TWebFiles::Find(std::string_view Target) const {
  const auto parsed = boost::urls::parse_origin_form(Target);
  if (!parsed) return nullptr;
  std::string path;
  for (const std::string segment : parsed->segments()) path += "/" + segment;
  if (path.empty()) path = "/";
  if (path.ends_with('/')) path += "index.html";
  const auto found = FFiles.find(path);
  return found == FFiles.end() ? nullptr : &found->second;
}

std::string DefaultWebDir() {
  std::error_code error;
  const fs::path installed = fs::path(ExecutablePath()).parent_path().parent_path() / "share/varune-wardrobe/web";
  if (fs::is_directory(installed, error)) return installed.string();
  if (fs::is_directory(VARUNE_SOURCE_WEB_DIR, error)) return VARUNE_SOURCE_WEB_DIR;
  return {};
}

}  // namespace varune::server
