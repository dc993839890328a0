#pragma once
// The demo client: a complete game client of our own making, written by
// code, the same to the byte on every run. It lets the viewer run, be tested
// and be measured without the game's files.

#include <cstdint>
#include <string>

namespace varune::demo {

enum TDemoScale {
  dsDemo,   // a few hundred items, every feature the viewer reads
  dsLarge,  // the game's size: over 20,000 items, for benchmarks
};

// What was written, for reports and checks.
struct TDemoSummary {
  int32_t ItemRows = 0;     // rows of both item tables
  int32_t SkippedRows = 0;  // rows the loader is meant to leave out
  int32_t SpriteTables = 0;
  int32_t SpriteItems = 0;
  int32_t Sheets = 0;       // character sheets
  int32_t IconSheets = 0;
  int32_t Sequences = 0;
  int32_t MotionRows = 0;
  int32_t BeautyShopRows = 0;
};

// Writes "AJJIYA.SPF", "BANX.SPF", "BARY.SPF", "ZENNE.SPF" and "ROWID.SPF"
// into `Dir`, creating the folder when it is missing.
TDemoSummary WriteDemoClient(const std::string& Dir, TDemoScale Scale = dsDemo);

}  // namespace varune::demo
