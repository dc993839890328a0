// The settings file, the favourites file and the Wine registry file from
// untrusted bytes: all are read from a file, so each input is written to one
// first.

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "archive/error.h"
#include "archive/stream.h"
#include "fuzz_target.h"
#include "viewer/client_location.h"
#include "viewer/favorites.h"
#include "viewer/ini_file.h"

namespace {

const std::string& InputFile() {
  static const std::string file = "/tmp/varune-fuzz-startup-" + std::to_string(::getpid());
  return file;
}

// A few items for favourites to name.
const varune::TVaruneItemList& Items() {
  static const auto* items = [] {
    auto* list = new varune::TVaruneItemList(true);
    for (int32_t id : {1, 2, 101, 2147483647}) list->Add(std::make_unique<varune::TVaruneItem>(id));
    return list;
  }();
  return *items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    varune::WriteWholeFile(InputFile(), data, size);
  } catch (const varune::Error&) {
    return 0;
  }
  const varune::TIniFile settings(InputFile());
  (void)settings.ReadString("Data", "ClientPath", "");
  (void)settings.ReadInteger("Form", "Left", -1);
  (void)settings.ReadBool("Data", "CacheMode", false);
  varune::TVaruneItemList favorites;
  varune::ReadFavorites(InputFile(), Items(), favorites);
  (void)varune::ReadWineRegistryString(InputFile(), "Software\\Mirel Soft\\VaruneLauncher", "Excutable");
  std::remove(InputFile().c_str());
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  auto bytes = [](std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  return {bytes("[Data]\r\nCacheMode=1\r\nClientPath=/home/user/.wine/drive_c/Varune/\r\n[Form]\r\nLeft=0x10\r\n"),
          bytes("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                "[Software\\\\Mirel Soft\\\\VaruneLauncher] 1700000000\n#time=1d9\n"
                "\"Excutable\"=\"C:\\\\Program Files\\\\Tovenar\\\\Varune\\\\VaruneClient.exe\"\n"
                "\"Other\"=str(2):\"\\x65e5\\x672c\\0\"\n"),
          bytes("101\r\n\r\nabc\r\n2\n-1\r\n2147483647\r\n99999999999\r\n")};
}

}  // namespace varune::fuzz
