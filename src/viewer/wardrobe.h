#pragma once
// What the main window owns below its widgets, the database and the
// character, and the guarded sequence that creates them. The window supplies
// the steps that touch widgets; a failure anywhere reports the stage reached,
// which the window shows in the initialisation error box.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "character/chara.h"
#include "database/database.h"
#include "viewer/item_browser.h"

namespace varune {

// The window's steps in creation order, with the stage each reports.
struct TCreationSteps {
  std::function<void(TChara&)> ConnectEvents;      // 2, just before updates are suspended
  std::function<void()> GenderChanged;             // 2
  std::function<void()> LoadSettings;              // 3
  std::function<void()> FillJobs;                  // 4; updates resume after it, also when it, GenderChanged
                                                   // or LoadSettings failed
  std::function<void()> ClearAnimationTypes;       // 5
  std::function<void()> AddAnimationTypes;         // 6
  std::function<void()> SelectFirstAnimationType;  // 7
  std::function<void()> ApplyJobFilter;            // 8
};

class TWardrobe {
 public:
  TWardrobe() = default;
  ~TWardrobe() { Release(); }
  TWardrobe(const TWardrobe&) = delete;
  TWardrobe& operator=(const TWardrobe&) = delete;

  // Stage 0 loads the database from `ClientDir`, stage 1 creates the
  // character and its item browser, then the window's steps run (empty ones
  // are skipped); 9 when all went well. On a failure releases everything and
  // returns false, with ErrorNo the stage reached. The error itself is not
  // kept: the box that reports it shows the stage alone.
  bool Create(const std::string& ClientDir, bool GenderFree, const TCreationSteps& Steps, TClock Clock = TimeGetTime);
  int32_t ErrorNo() const { return FErrorNo; }

  // Null before Create and after a failure or Release.
  TVaruneDatabase* DataBase() { return FDataBase.get(); }
  TChara* Chara() { return FChara.get(); }
  // The item browser over the character, made with it.
  TItemBrowser* Browser() { return FBrowser.get(); }

  // Releases the browser, then the character, then the database: each
  // refers to the ones after it.
  void Release();

 private:
  void RunSteps(const TCreationSteps& Steps);

  int32_t FErrorNo = 0;
  std::unique_ptr<TVaruneDatabase> FDataBase;
  std::unique_ptr<TChara> FChara;
  std::unique_ptr<TItemBrowser> FBrowser;
};

// The initialisation error box: its caption, and its three lines joined by
// CR LF, the last "ErrorNo: " and the stage. Japanese in every language.
inline constexpr char kInitializationErrorCaption[] = "初期化エラー";
std::string InitializationErrorText(int32_t ErrorNo);

}  // namespace varune
