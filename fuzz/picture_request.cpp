// Picture requests from untrusted words: the render service passes the
// query's names and values to the same reader the command line uses. Each
// input line is "name=value".

#include <algorithm>
#include <string_view>

#include "fuzz_target.h"
#include "viewer/picture_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  varune::TPictureRequest request;
  try {
    while (!text.empty()) {
      const size_t end = std::min(text.find('\n'), text.size());
      const std::string_view line = text.substr(0, end);
      text.remove_prefix(std::min(end + 1, text.size()));
      const size_t equals = line.find('=');
      // A seedless "random" reads the clock: not the same input twice.
      if (line.substr(0, equals) == "random" && equals + 1 >= line.size()) continue;
      varune::SetRequestOption(request, line.substr(0, equals),
                               equals == std::string_view::npos ? "" : line.substr(equals + 1));
    }
    varune::Check(request);
  } catch (const varune::TRequestError&) {
  }
  return 0;
}

namespace varune::fuzz {

std::vector<std::vector<uint8_t>> FuzzSeeds() {
  auto bytes = [](std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); };
  return {bytes("gender=female\njob=4\nanim=Move\nscale=3\ncrop=1\npadding=8\nflip=true\nhide=hair,face\n"),
          bytes("background=#80ff00\nequip=1,2,3\nbase=101\nframe=2\nrandom=18446744073709551615\n"),
          bytes("vary=item\nitem=12040301\ntransparent\nall-animations=0\nsize=small\n")};
}

}  // namespace varune::fuzz
