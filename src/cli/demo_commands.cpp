// The demo client: a complete client of our own, written by code.

#include <chrono>
#include <ostream>

#include "cli/cli.h"
#include "cli/tsv.h"
#include "database/database.h"
#include "demo/backgrounds.h"
#include "demo/contact_sheet.h"
#include "demo/demo_client.h"
#include "imaging/png.h"

namespace varune::cli {
namespace {

void DemoClient(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(1);
  const std::string scale = args.Value("--scale", "demo");
  if (scale != "demo" && scale != "large") throw UsageError("--scale takes demo or large");
  const std::string& dir = args.Positional()[0];
  const auto start = std::chrono::steady_clock::now();
  const demo::TDemoSummary summary = demo::WriteDemoClient(dir, scale == "large" ? demo::dsLarge : demo::dsDemo);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  auto row = [&](const std::string& name, int32_t value) { WriteRow(out, {name, std::to_string(value)}); };
  row("item_rows", summary.ItemRows);
  row("skipped_rows", summary.SkippedRows);
  row("sprite_tables", summary.SpriteTables);
  row("sprite_items", summary.SpriteItems);
  row("sheets", summary.Sheets);
  row("icon_sheets", summary.IconSheets);
  row("sequences", summary.Sequences);
  row("motion_rows", summary.MotionRows);
  row("beauty_shop_rows", summary.BeautyShopRows);
  WriteRow(out, {"seconds", FloatText(static_cast<float>(seconds))});

  if (args.Has("--contact-sheet")) {
    TVaruneDatabase database;
    database.LoadPath(dir + "/");
    SavePngToFile(args.Value("--contact-sheet"), demo::RenderContactSheet(database), ppfRGB);
  }
}

void DemoBackgrounds(const TArgs& args, std::ostream& out, std::ostream&) {
  args.ExpectPositional(1);
  for (const std::string& file : demo::WriteDemoBackgrounds(args.Positional()[0])) WriteRow(out, {file});
}

}  // namespace

void AddDemoCommands(std::vector<TCommand>& commands) {
  commands.push_back({{"demo-client"},
                      "OUT_DIR [--scale demo|large] [--contact-sheet PNG]",
                      "writes the five archives of the demo client, a game client of our own made by code; "
                      "--scale large makes one of the game's size, --contact-sheet also draws outfits of it",
                      DemoClient,
                      {"--scale", "--contact-sheet"}});
  commands.push_back({{"demo-backgrounds"},
                      "OUT_DIR",
                      "writes background pictures drawn by code for the desktop program's view (its bg folder)",
                      DemoBackgrounds});
}

}  // namespace varune::cli
