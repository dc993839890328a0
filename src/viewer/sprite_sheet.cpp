#include "viewer/sprite_sheet.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "archive/atomic_file.h"
#include "archive/error.h"
#include "imaging/canvas.h"
#include "imaging/png.h"
#include "viewer/startup.h"

namespace varune {
namespace {

// The frames of one animation as a sheet lays them out.
struct TAnimationRow {
  TAnimationType Animation;
  std::vector<int32_t> Frames;
};

int32_t RowsOf(const TAnimationRow& row) {
  return (static_cast<int32_t>(row.Frames.size()) + kSheetColumns - 1) / kSheetColumns;
}

std::vector<TAnimationRow> SheetRows(TChara& twin, bool allAnimations) {
  if (!allAnimations) return {{twin.AnimationType(), ExportedFrames(twin, xfApng)}};
  std::vector<TAnimationRow> rows;
  for (int32_t kind = 0; kind < kAnimationTypeCount; ++kind) {
    twin.SetAnimationType(static_cast<TAnimationType>(kind));
    TAnimationRow& row = rows.emplace_back(TAnimationRow{twin.AnimationType(), {}});
    for (int32_t frame = 0; frame < twin.FrameCount(); ++frame) row.Frames.push_back(frame);
  }
  return rows;
}

std::string AnimationName(TAnimationType Animation) { return std::string(AnimationTypeNames[Animation].substr(2)); }

nlohmann::ordered_json Size(int32_t width, int32_t height) { return {{"w", width}, {"h", height}}; }

}  // namespace

TSpriteSheet MakeSpriteSheet(const TCharaView& View, const TChara& Chara, bool Transparent,
                             const TPictureOptions& Options, bool AllAnimations, const TExportProgress& Progress) {
  // A twin changes animation; the caller's character stays as it is.
  TChara twin(Chara.DataBase());
  DressLike(twin, Chara);
  const std::vector<TAnimationRow> rows = SheetRows(twin, AllAnimations);

  TFramer framer(View, Transparent, Options);
  if (framer.NeedsMeasuring()) {
    for (const TAnimationRow& row : rows) {
      twin.SetAnimationType(row.Animation);
      for (const int32_t frame : row.Frames) framer.Measure(twin, frame);
    }
  }
  int32_t columns = 0;
  int32_t rowCount = 0;
  for (const TAnimationRow& row : rows) {
    columns = std::max(columns, std::min(kSheetColumns, static_cast<int32_t>(row.Frames.size())));
    rowCount += RowsOf(row);
  }
  const int32_t width = framer.Width();
  const int32_t height = framer.Height();
  CheckPictureSize(int64_t{columns} * width, int64_t{rowCount} * height);

  TSpriteSheet sheet;
  sheet.Transparent = Transparent;
  sheet.Scale = Options.Scale;
  sheet.Picture.SetSize(std::max(1, columns * width), std::max(1, rowCount * height));
  // Cells a short row leaves empty show the background too.
  if (!Transparent) sheet.Picture.Clear(View.BackgroundColor | 0xFF000000u);
  int32_t total = 0;
  for (const TAnimationRow& row : rows) total += static_cast<int32_t>(row.Frames.size());
  TBitmap32 picture;
  int32_t top = 0;
  for (const TAnimationRow& row : rows) {
    twin.SetAnimationType(row.Animation);
    const int32_t first = static_cast<int32_t>(sheet.Frames.size());
    for (size_t i = 0; i < row.Frames.size(); ++i) {
      if (Progress && !Progress(static_cast<int32_t>(sheet.Frames.size()), total)) throw TExportCancelled();
      framer.Draw(twin, row.Frames[i], picture);
      const int32_t x = static_cast<int32_t>(i) % kSheetColumns * width;
      const int32_t y = top + static_cast<int32_t>(i) / kSheetColumns * height;
      TCanvas(sheet.Picture).CopyRect({x, y, x + width, y + height}, picture, picture.BoundsRect());
      sheet.Frames.push_back({{x, y, x + width, y + height}, twin.GetFrameTime(row.Frames[i])});
    }
    sheet.Tags.push_back({AnimationName(row.Animation), first, static_cast<int32_t>(sheet.Frames.size()) - 1});
    top += RowsOf(row) * height;
  }
  if (Progress && !Progress(total, total)) throw TExportCancelled();
  return sheet;
}

std::string SpriteSheetData(const TSpriteSheet& Sheet, const std::string& ImageName, const std::string& FrameName) {
  // Readers take the frames' order from the object's: never sort the keys.
  nlohmann::ordered_json frames = nlohmann::ordered_json::object();
  for (size_t i = 0; i < Sheet.Frames.size(); ++i) {
    const TSheetFrame& frame = Sheet.Frames[i];
    const TRect& r = frame.Rect;
    frames[FrameName + " " + std::to_string(i)] = {
        {"frame", {{"x", r.Left}, {"y", r.Top}, {"w", r.Width()}, {"h", r.Height()}}},
        {"rotated", false},
        {"trimmed", false},
        {"spriteSourceSize", {{"x", 0}, {"y", 0}, {"w", r.Width()}, {"h", r.Height()}}},
        {"sourceSize", Size(r.Width(), r.Height())},
        {"duration", frame.DurationMs}};
  }
  nlohmann::ordered_json tags = nlohmann::ordered_json::array();
  for (const TSheetTag& tag : Sheet.Tags)
    tags.push_back({{"name", tag.Name}, {"from", tag.From}, {"to", tag.To}, {"direction", "forward"}});
  const nlohmann::ordered_json data = {
      {"frames", frames},
      {"meta",
       {{"app", "Varune Wardrobe"},
        {"version", AppVersionNumber()},
        {"image", ImageName},
        {"format", "RGBA8888"},
        {"size", Size(Sheet.Picture.Width(), Sheet.Picture.Height())},
        {"scale", std::to_string(Sheet.Scale)},
        {"frameTags", tags}}}};
  return data.dump(1, ' ') + "\n";
}

std::vector<uint8_t> SpriteSheetPng(const TSpriteSheet& Sheet) {
  return EncodePng(Sheet.Picture, Sheet.Transparent ? ppfRGBA : ppfRGB);
}

std::string SheetDataFileName(const std::string& PictureFile) { return WithExtension(PictureFile, ".json"); }

void WriteSpriteSheet(const TSpriteSheet& Sheet, const std::string& PictureFile) {
  const std::filesystem::path path(PictureFile);
  const std::vector<uint8_t> png = SpriteSheetPng(Sheet);
  const std::string data = SpriteSheetData(Sheet, path.filename().string(), path.stem().string());
  WriteFilesTogether({{PictureFile, BytesOf(png)}, {SheetDataFileName(PictureFile), data}});
}

}  // namespace varune
