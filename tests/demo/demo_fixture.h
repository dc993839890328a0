#pragma once
// The demo client, generated once per test program, and a database over it.

#include <memory>

#include "database/database.h"
#include "demo/demo_client.h"
#include "support/temp_dir.h"

namespace varune::test {

struct TDemoFixture {
  TempDir Dir;
  demo::TDemoSummary Summary;

  static const TDemoFixture& Get() {
    static const TDemoFixture fixture;
    return fixture;
  }
  // A fresh database: the caches fill as a test uses them.
  std::unique_ptr<TVaruneDatabase> Load() const {
    auto database = std::make_unique<TVaruneDatabase>();
    database->LoadPath(Dir.Path() + "/");
    return database;
  }

 private:
  TDemoFixture() : Summary(demo::WriteDemoClient(Dir.Path())) {}
};

}  // namespace varune::test
