#include <gtest/gtest.h>

#include <set>

#include "viewer/export_choice.h"

namespace varune {
namespace {

TEST(ExportChoiceTest, FiltersInTheDialogsOrder) {
  const std::vector<TExportFilter> japanese = ExportFilters(true);
  const std::vector<TExportFilter> english = ExportFilters(false);
  // The settings keep the index: the first seven never move.
  const char* const captions[] = {"Bitmap (*.bmp)",         "JPEG (*.jpg)",
                                  "PNG (*.png)",            "透過PNG (*.png)",
                                  "GIF (*.gif)",            "Animated PNG (*.apng *.png)",
                                  "Every frame as PNG (*.png)", "Animated WebP (*.webp)",
                                  "Sprite sheet (*.png)"};
  ASSERT_EQ(japanese.size(), std::size(captions));
  ASSERT_EQ(english.size(), std::size(captions));
  for (size_t i = 0; i < std::size(captions); ++i) {
    EXPECT_EQ(japanese[i].Caption, captions[i]);
    EXPECT_EQ(english[i].Caption, i == 3 ? "Transparent PNG (*.png)" : captions[i]);
    EXPECT_EQ(japanese[i].Format, english[i].Format);
    EXPECT_EQ(japanese[i].Kind, i == 6 ? ekEveryFrame : i == 8 ? ekSpriteSheet : ekFile);
  }
  EXPECT_EQ(japanese[3].Format, xfTransparentPng);
  EXPECT_EQ(japanese[5].Format, xfApng);
  EXPECT_EQ(japanese[6].Format, xfPng);
  EXPECT_EQ(japanese[7].Format, xfWebp);
  EXPECT_EQ(japanese[8].Format, xfPng);
}

TEST(ExportChoiceTest, TheNameTakesTheFiltersExtension) {
  const std::vector<TExportFilter> filters = ExportFilters(true);
  EXPECT_EQ(ExportFileName("/home/u/a.png", filters[1]), "/home/u/a.jpg");
  EXPECT_EQ(ExportFileName("/home/u.d/a", filters[0]), "/home/u.d/a.bmp");
  EXPECT_EQ(ExportFileName("/home/u/a.PNG", filters[2]), "/home/u/a.png");  // exactly, not without case
  EXPECT_EQ(ExportFileName("/home/u/a.png", filters[5]), "/home/u/a.png");
  EXPECT_EQ(ExportFileName("/home/u/a.apng", filters[5]), "/home/u/a.apng");
  EXPECT_EQ(ExportFileName("/home/u/a.gif", filters[5]), "/home/u/a.apng");
  EXPECT_EQ(ExportFileName("/home/u/a.png", filters[6]), "/home/u/a.png");
  EXPECT_EQ(ExportFileName("/home/u/a.png", filters[7]), "/home/u/a.webp");
  EXPECT_EQ(ExportFileName("/home/u/a.json", filters[8]), "/home/u/a.png");
}

TEST(ExportChoiceTest, TargetsAndTheSecondOverwriteQuestion) {
  const std::vector<TExportFilter> filters = ExportFilters(false);
  EXPECT_EQ(ExportTargets("/out/a.jpg", filters[1], 5), std::vector<std::string>{"/out/a.jpg"});
  EXPECT_EQ(ExportTargets("/out/walk.png", filters[6], 3),
            (std::vector<std::string>{"/out/walk_000.png", "/out/walk_001.png", "/out/walk_002.png"}));
  EXPECT_EQ(ExportTargets("/out/walk.png", filters[6], 0), std::vector<std::string>{"/out/walk_000.png"});
  EXPECT_EQ(ExportTargets("walk.png", filters[6], 1), std::vector<std::string>{"./walk_000.png"});
  EXPECT_EQ(ExportTargets("/out/walk.webp", filters[7], 5), std::vector<std::string>{"/out/walk.webp"});
  const std::vector<std::string> sheet = ExportTargets("/out/walk.png", filters[8], 5);
  EXPECT_EQ(sheet, (std::vector<std::string>{"/out/walk.png", "/out/walk.json"}));

  std::set<std::string> existing;
  const auto exists = [&](const std::string& name) { return existing.count(name) > 0; };
  existing = {"/out/a.png"};
  EXPECT_FALSE(NeedsOverwriteQuestion("/out/a.png", {"/out/a.png"}, exists));  // the dialog asked already
  EXPECT_FALSE(NeedsOverwriteQuestion("/out/a.png", {"/out/a.jpg"}, exists));
  existing = {"/out/a.png", "/out/a.jpg"};
  EXPECT_TRUE(NeedsOverwriteQuestion("/out/a.png", {"/out/a.jpg"}, exists));
  existing = {"/out/walk_001.png"};
  EXPECT_TRUE(NeedsOverwriteQuestion("/out/walk.png", ExportTargets("/out/walk.png", filters[6], 3), exists));
  // A sheet's data is asked about as a file of its own.
  existing = {"/out/walk.png", "/out/walk.json"};
  EXPECT_TRUE(NeedsOverwriteQuestion("/out/walk.png", sheet, exists));
}

TEST(ExportChoiceTest, EveryChoiceIsTheRequestItWrites) {
  const std::vector<TExportFilter> filters = ExportFilters(false);
  TExportSettings settings;
  settings.Picture = {.Scale = 3, .Framing = fmCrop, .Padding = 99};
  settings.AllAnimations = true;
  for (const TExportFilter& filter : filters) {
    const TExportPlan plan = PlanExport("/out/walk.png", filter, settings);
    EXPECT_EQ(plan.Request.Format, filter.Format) << filter.Caption;
    EXPECT_EQ(plan.Request.Options.Padding, kMaxPadding) << filter.Caption;  // brought into range
    EXPECT_EQ(plan.Request.AllAnimations, filter.Kind == ekSpriteSheet) << filter.Caption;
  }
  const TExportPlan frames = PlanExport("/out/walk.png", filters[6], settings);
  EXPECT_EQ(frames.Request.Output, poFrames);
  EXPECT_EQ(frames.Target, "/out");
  EXPECT_EQ(frames.Request.FrameBaseName, "walk");
  EXPECT_EQ(PlanExport("/out/walk.png", filters[8], settings).Request.Output, poSheet);
  EXPECT_EQ(PlanExport("/out/walk.webp", filters[7], settings).Target, "/out/walk.webp");
}

}  // namespace
}  // namespace varune
