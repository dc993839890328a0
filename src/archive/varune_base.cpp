#include "archive/varune_base.h"

#include <sys/stat.h>

#include "archive/error.h"

namespace varune {

void TVaruneBase::LoadFromFile(const std::string& AFileName) {
  struct stat info;
  if (::stat(AFileName.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) throw Error(kMsgFileNotFound);
  TFileStream file(AFileName, TFileStream::fmOpenRead);
  LoadFromStream(file);
  const size_t slash = AFileName.find_last_of('/');
  FFileName = slash == std::string::npos ? AFileName : AFileName.substr(slash + 1);
}

void TVaruneBase::LoadFromSpf(const TSpf& Spf, int32_t Index) {
  if (Index < 0 || Index >= Spf.Count()) throw Error(Sprintf(kMsgInvalidIndex, Index));
  TSpfEntryStream stream(Spf, Index);
  LoadFromStream(stream);
}

void TVaruneBase::LoadFromSpf(const TSpf& Spf, std::string_view AFileName) {
  LoadFromSpf(Spf, Spf.IndexOf(AFileName));
}

void TVaruneBase::LoadFromSpfInfo(const TSpfItemInfo* SpfInfo) {
  if (!SpfInfo || !SpfInfo->FSpf) throw Error(Sprintf(kMsgInvalidIndex, -1));
  LoadFromSpf(*SpfInfo->FSpf, SpfInfo->FIndex);
}

}  // namespace varune
