#include "viewer/export_choice.h"

#include <algorithm>

#include "viewer/sprite_sheet.h"

namespace varune {

std::vector<TExportFilter> ExportFilters(bool Japanese) {
  return {
      {"Bitmap (*.bmp)", {".bmp"}, xfBmp},
      {"JPEG (*.jpg)", {".jpg"}, xfJpeg},
      {"PNG (*.png)", {".png"}, xfPng},
      {std::string(Japanese ? "透過" : "Transparent ") + "PNG (*.png)", {".png"}, xfTransparentPng},
      {"GIF (*.gif)", {".gif"}, xfGif},
      {"Animated PNG (*.apng *.png)", {".apng", ".png"}, xfApng},
      {"Every frame as PNG (*.png)", {".png"}, xfPng, ekEveryFrame},
      {"Animated WebP (*.webp)", {".webp"}, xfWebp},
      {"Sprite sheet (*.png)", {".png"}, xfPng, ekSpriteSheet},
  };
}

std::string ExportFileName(const std::string& Confirmed, const TExportFilter& Filter) {
  const bool hasOwn = std::any_of(Filter.Extensions.begin(), Filter.Extensions.end(),
                                  [&](const std::string& Extension) { return Confirmed.ends_with(Extension); });
  return hasOwn ? Confirmed : WithExtension(Confirmed, Filter.Extensions.front());
}

TFrameFilesPlace FrameFilesPlace(const std::string& FileName) {
  const size_t slash = FileName.find_last_of('/');
  if (slash == std::string::npos) return {".", WithExtension(FileName, "")};
  return {FileName.substr(0, slash), WithExtension(FileName.substr(slash + 1), "")};
}

std::vector<std::string> ExportTargets(const std::string& FileName, const TExportFilter& Filter, int32_t FrameCount) {
  if (Filter.Kind == ekSpriteSheet) return {FileName, SheetDataFileName(FileName)};
  if (Filter.Kind == ekFile) return {FileName};
  const TFrameFilesPlace place = FrameFilesPlace(FileName);
  std::vector<std::string> targets;
  for (int32_t i = 0; i < std::max(1, FrameCount); ++i) targets.push_back(FrameFileName(place.Dir, place.BaseName, i));
  return targets;
}

TExportPlan PlanExport(const std::string& FileName, const TExportFilter& Filter, const TExportSettings& Settings) {
  TExportPlan plan{{}, FileName};
  TPictureRequest& request = plan.Request;
  request.Options = CheckedExportSettings(Settings).Picture;
  request.Transparent = IsTransparentFormat(Filter.Format);
  request.FormatName = ExportExtension(Filter.Format) + 1;
  if (Filter.Kind == ekEveryFrame) {
    const TFrameFilesPlace place = FrameFilesPlace(FileName);
    request.Output = poFrames;
    request.FrameBaseName = place.BaseName;
    plan.Target = place.Dir;
  } else if (Filter.Kind == ekSpriteSheet) {
    request.Output = poSheet;
    request.AllAnimations = Settings.AllAnimations;
  }
  Check(request);
  return plan;
}

bool NeedsOverwriteQuestion(const std::string& Confirmed, const std::vector<std::string>& Targets,
                            const std::function<bool(const std::string&)>& Exists) {
  return std::any_of(Targets.begin(), Targets.end(),
                     [&](const std::string& Target) { return Target != Confirmed && Exists(Target); });
}

}  // namespace varune
