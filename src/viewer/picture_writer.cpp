#include "viewer/picture_writer.h"

#include "viewer/sprite_sheet.h"
#include "viewer/variation_sheet.h"

namespace varune {

std::vector<std::string> WritePicture(const TPictureRequest& Request, const TCharaView& View, const TChara& Chara,
                                      const std::string& Target, const std::string& DataFile,
                                      const TExportProgress& Progress) {
  const TPictureRequest& r = Request;
  switch (r.Output) {
    case poFrames:
      return ExportFrames(View, Chara, r.Transparent, Target, r.FrameBaseName, r.Options, Progress);
    case poSheet:
      WriteSpriteSheet(MakeSpriteSheet(View, Chara, r.Transparent, r.Options, r.AllAnimations, Progress), Target);
      return {Target, SheetDataFileName(Target)};
    case poVariations: {
      WriteVariationSheet(
          MakeVariationSheet(View, Chara, r.Transparent, r.Options, *r.Vary, r.VaryItem.value_or(0), Progress),
          Target, DataFile);
      if (DataFile.empty()) return {Target};
      return {Target, DataFile};
    }
    case poFile: break;
  }
  ExportToFile(View, Chara, r.Format, Target, r.Options, Progress);
  return {Target};
}

}  // namespace varune
