// The item browser re-filtering its largest slot list on a client of the
// game's size (the large demo client, over 20,000 items in that list) for
// one keystroke in the search box, beside a plain copy of the same list's
// pointers in the same run.
//
//   browser_refilter        TItemBrowser::FilterMenuClick with the search box
//                           as sender, as the window runs it on every
//                           keystroke: the category, search text and job
//                           tests over the list, with an item selected that
//                           is found again at the end of the result;
//                           counters: the list's items and those listed
//   browser_refilter:copy   the list's pointers copied into a vector
//   browser_refilter_every_slot
//                           the same keystroke while every slot is browsed:
//                           the tests over all fourteen slot lists of the
//                           gender, the result slot by slot

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_client.h"
#include "viewer/item_browser.h"

namespace varune {
namespace {

// One keystroke typed after "#": a part of the names of about half the
// colour variants.
constexpr char kSearchText[] = "#1";

struct TLargeDemo {
  std::string Dir;
  std::unique_ptr<TVaruneDatabase> DataBase;
  std::unique_ptr<TChara> Chara;
  TGenderType Gender = gtMale;
  int32_t Slot = 1;

  TLargeDemo() {
    Dir = (std::filesystem::temp_directory_path() / ("varune-bench-browser-" + std::to_string(::getpid()))).string();
    demo::WriteDemoClient(Dir, demo::dsLarge);
    DataBase = std::make_unique<TVaruneDatabase>();
    DataBase->LoadPath(Dir + "/");
    Chara = std::make_unique<TChara>(*DataBase);
    for (const TGenderType gender : {gtMale, gtFemale})
      for (int32_t posID = 1; posID <= kBrowsableSlotCount; ++posID)
        if (DataBase->GetSpec(gender, posID).Count() > List().Count()) Gender = gender, Slot = posID;
    Chara->SetGender(Gender);
  }
  ~TLargeDemo() {
    Chara.reset();
    DataBase.reset();
    std::filesystem::remove_all(Dir);
  }
  const TVaruneItemList& List() const { return DataBase->GetSpec(Gender, Slot); }
};

TLargeDemo& Demo() {
  static TLargeDemo demo;
  return demo;
}

void BrowserRefilter(benchmark::State& state) {
  TLargeDemo& demo = Demo();
  TItemBrowser browser(*demo.DataBase, *demo.Chara);
  browser.SetJobSelector([entry = demo.Chara->Job() - 1] { return entry; });
  browser.SelectEquipList(demo.Slot);
  browser.SetSearchText(kSearchText);
  browser.FilterMenuClick(fsSearchBox);
  browser.SetSelectedIndex(browser.ActiveItemList().Count() - 1);
  for (auto _ : state) {
    browser.SetSearchText(kSearchText);
    browser.FilterMenuClick(fsSearchBox);
    benchmark::DoNotOptimize(browser.SelectedIndex());
  }
  state.counters["items"] = demo.List().Count();
  state.counters["listed"] = browser.ActiveItemList().Count();
}

void BrowserRefilterCopy(benchmark::State& state) {
  const TVaruneItemList& list = Demo().List();
  std::vector<const TVaruneItem*> copy;
  copy.reserve(static_cast<size_t>(list.Count()));
  for (auto _ : state) {
    copy.assign(list.begin(), list.end());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.counters["items"] = list.Count();
}

void BrowserRefilterEverySlot(benchmark::State& state) {
  TLargeDemo& demo = Demo();
  TItemBrowser browser(*demo.DataBase, *demo.Chara);
  browser.SetJobSelector([entry = demo.Chara->Job() - 1] { return entry; });
  browser.SetSearchText(kSearchText);
  browser.SelectEverySlot();
  for (auto _ : state) {
    browser.SetSearchText(kSearchText);
    browser.FilterMenuClick(fsSearchBox);
    benchmark::DoNotOptimize(browser.ActiveItemList().Count());
  }
  int32_t items = 0;
  for (int32_t posID = 1; posID <= kBrowsableSlotCount; ++posID) items += demo.DataBase->GetSpec(demo.Gender, posID).Count();
  state.counters["items"] = items;
  state.counters["listed"] = browser.ActiveItemList().Count();
}

BENCHMARK(BrowserRefilter)->Name("browser_refilter")->Unit(benchmark::kMicrosecond);
BENCHMARK(BrowserRefilterEverySlot)->Name("browser_refilter_every_slot")->Unit(benchmark::kMicrosecond);
BENCHMARK(BrowserRefilterCopy)->Name("browser_refilter:copy")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varune
