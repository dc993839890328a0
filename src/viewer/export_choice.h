#pragma once
// The picture save dialog's choices and the files a choice writes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "viewer/export.h"
#include "viewer/export_settings.h"
#include "viewer/picture_request.h"

namespace varune {

// What a choice writes.
enum TExportKind : uint8_t {
  ekFile,         // one file of the format
  ekEveryFrame,   // one PNG file per frame
  ekSpriteSheet,  // one PNG of every frame and its JSON data beside it
};

struct TExportFilter {
  std::string Caption;                  // the dialog's name filter
  std::vector<std::string> Extensions;  // the first is the one given to a name without any of them
  TExportFormat Format;
  TExportKind Kind = ekFile;
};

// In the dialog's order: BMP, JPEG, PNG, transparent PNG, GIF, animated PNG,
// every frame as PNG, animated WebP, sprite sheet. The settings keep a
// choice by its index: new ones go at the end. Only the transparent PNG's
// caption has an English form.
std::vector<TExportFilter> ExportFilters(bool Japanese);

// The confirmed name with its extension, whatever was typed, replaced by the
// filter's first one, unless it already ends in one of the filter's own.
std::string ExportFileName(const std::string& Confirmed, const TExportFilter& Filter);

// Where the frame files of an export of every frame to `FileName` go: its
// folder ("." for a bare name) and its name without the extension, as
// ExportFrames takes them.
struct TFrameFilesPlace {
  std::string Dir;
  std::string BaseName;
};
TFrameFilesPlace FrameFilesPlace(const std::string& FileName);

// The files an export writes: `FileName`, for every frame the frame files of
// `FrameCount` frames (the character's FrameCount; at least one is written),
// for a sprite sheet `FileName` and its data file.
std::vector<std::string> ExportTargets(const std::string& FileName, const TExportFilter& Filter, int32_t FrameCount);

// What a save through `Filter` to `FileName` writes with the export
// options: the request for WritePicture and its target (the file, or the
// folder of the frame files).
struct TExportPlan {
  TPictureRequest Request;
  std::string Target;
};
TExportPlan PlanExport(const std::string& FileName, const TExportFilter& Filter, const TExportSettings& Settings);

// The dialog asked about `Confirmed` only: ask again when another file to be
// written already exists.
bool NeedsOverwriteQuestion(const std::string& Confirmed, const std::vector<std::string>& Targets,
                            const std::function<bool(const std::string&)>& Exists);

}  // namespace varune
