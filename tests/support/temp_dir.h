#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <string>

namespace varune::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return FPath; }
  // `Path()` joined with `name`.
  std::string File(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

}  // namespace varune::test
