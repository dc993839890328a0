#pragma once
// The dress-up page's static files (HTML, CSS, JavaScript modules, icons),
// read from their folder once into memory and answered from there: a
// request can only ever name a file that was listed, whatever its path says.

#include <map>
#include <string>
#include <string_view>

namespace varune::server {

struct TWebFile {
  std::string ContentType;
  std::string Body;
  std::string ETag;  // strong, of the bytes
};

class TWebFiles {
 public:
  TWebFiles() = default;  // no page: every lookup misses
  // Reads every file of `Dir` and its subfolders whose kind a browser
  // knows (by extension); hidden files and folders are left out. Raises
  // varune::Error when Dir is no folder, or holds more files or bytes than
  // a page can need.
  explicit TWebFiles(const std::string& Dir);

  // The file a request target's path names (a folder's is its
  // "index.html"), or null. The query is not looked at.
  const TWebFile* Find(std::string_view Target) const;

 private:
  std::map<std::string, TWebFile, std::less<>> FFiles;  // by path from the folder, "/index.html"
};

// Where the page is when --web is not given: the installed share folder
// beside the program (PREFIX/share/varune-wardrobe/web for PREFIX/bin), else
// web/ of the source tree it was built from. Empty when neither exists.
std::string DefaultWebDir();

}  // namespace varune::server
