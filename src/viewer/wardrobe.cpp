#include "viewer/wardrobe.h"

#include "archive/error.h"

namespace varune {
namespace {

void Run(const std::function<void()>& Step) {
  if (Step) Step();
}

}  // namespace

bool TWardrobe::Create(const std::string& ClientDir, bool GenderFree, const TCreationSteps& Steps, TClock Clock) {
  Release();
  try {
    FErrorNo = 0;
    FDataBase = std::make_unique<TVaruneDatabase>();
    FDataBase->SetGenderFree(GenderFree);
    FDataBase->LoadPath(ClientDir);
    FErrorNo = 1;
    FChara = std::make_unique<TChara>(*FDataBase, std::move(Clock));
    FBrowser = std::make_unique<TItemBrowser>(*FDataBase, *FChara);
    FErrorNo = 2;
    RunSteps(Steps);
    FErrorNo = 9;
    return true;
  } catch (...) {
    Release();
    return false;
  }
}

void TWardrobe::RunSteps(const TCreationSteps& Steps) {
  // Connecting raises no event. The window's handlers see the character
  // whole again before the error box, also after a failure.
  if (Steps.ConnectEvents) Steps.ConnectEvents(*FChara);
  FChara->Update([&] {
    Run(Steps.GenderChanged);
    FErrorNo = 3;
    Run(Steps.LoadSettings);
    FErrorNo = 4;
    Run(Steps.FillJobs);
    FErrorNo = 5;
  });
  Run(Steps.ClearAnimationTypes);
  FErrorNo = 6;
  Run(Steps.AddAnimationTypes);
  FErrorNo = 7;
  Run(Steps.SelectFirstAnimationType);
  FErrorNo = 8;
  Run(Steps.ApplyJobFilter);
}

void TWardrobe::Release() {
  FBrowser.reset();
  FChara.reset();
  FDataBase.reset();
}

std::string InitializationErrorText(int32_t ErrorNo) {
  return Sprintf("キャッシュモードを除き、クライアント起動中には実行できません\r\n"
                 "それ以外でこのエラーが出た場合はエラー時の詳細状況に下記情報を添えて作者までどうぞ\r\n"
                 "ErrorNo: %d",
                 ErrorNo);
}

}  // namespace varune
