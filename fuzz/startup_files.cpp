// The settings file and the Wine registry file from untrusted bytes: both
// are read from a file, so each input is written to one first.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "archive/error.h"
#include "archive/stream.h"
#include "fuzz_target.h"
#include "viewer/client_location.h"
#include "viewer/ini_file.h"

namespace {

const std::string& InputFile() {
  static const std::string file = "/tmp/varune-fuzz-startup-" + std::to_string(::getpid());
  return file;
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
                "\"Other\"=str(2):\"\\x65e5\\x672c\\0\"\n")};
}

}  // namespace varune::fuzz
