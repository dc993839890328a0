#pragma once
// Cache mode: the program's own copies of the client's five archives, made
// or refreshed at start so that the viewer can load while the game runs and
// holds its archives open.

#include <cstdint>
#include <functional>
#include <string>

#include "archive/error.h"

namespace varune {

// Told which archive is being copied ("BARY.SPF") and how many of its bytes
// are done, at the start, after each chunk of at most 1 MiB and at the end;
// returning false cancels the generation.
using TCacheProgress = std::function<bool(const std::string& ArchiveName, int64_t Done, int64_t Total)>;

// A cancelled generation: every copy is as it was before the cancelled one.
class TCacheCancelled : public Error {
 public:
  TCacheCancelled();
};

// Makes the copies in `CacheDir` (created with its parents) of the archives
// of `ClientDir`, both with a trailing '/' or `ClientDir` empty for the
// working folder. A missing copy is made, raising varune::Error with "Client
// application not found." when the client lacks the archive and "Failed to
// generate cache files." when the copy fails; the first error ends the
// generation, the copies made before stay. Unless `DisableCheck`, a copy
// whose version word (last 4 bytes) differs from the client's is copied
// again; any failure of that check or refresh keeps the existing copy.
// The client's files are only ever read.
void GenerateCache(const std::string& ClientDir, const std::string& CacheDir, bool DisableCheck,
                   const TCacheProgress& Progress = {});

}  // namespace varune
