// The main window's appearance selectors (hair and its colour, face and eye
// colour, body, the tops and bottoms track bars) and the job: what they
// list for the gender, what a choice puts on, and how they follow a
// character dressed otherwise.

#include <QComboBox>
#include <QSlider>

#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "database/language.h"

namespace varune::app {

void TfrmQuillon::GenderChanged() {
  Browser()->GenderChanged();
  ShowItemList(true);
  UpdateFilterButtons();
  TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  // Moving a track bar puts its item on, also when the program moves it.
  for (auto [slider, list] : {std::pair{tbTops, &database.GetTopsList(gender)},
                              std::pair{tbBottom, &database.GetBottomsList(gender)}}) {
    slider->setEnabled(list->Count() > 0);
    slider->setMaximum(std::max(0, list->Count() - 1));
    slider->setValue(0);
  }
  FillBasicCombo(FHair, database.GetHairList(gender), database.GetBasicHairList(gender));
  ShowCombo(cbHair, FHair);
  cbHairSelect();
  FillBasicCombo(FFace, database.GetFaceList(gender), database.GetBasicFaceList(gender));
  ShowCombo(cbFace, FFace);
  cbFaceSelect();
  FillBasicCombo(FBody, database.Bodies(), database.BasicBodies());
  ShowCombo(cbBody, FBody);
}

void TfrmQuillon::FillJobs() {
  for (const std::string& name : JobNames) cbJob->addItem(Qs(name));
  if (cbJob->count() > 0) cbJob->setCurrentIndex(Chara()->Job() - 1);
}

void TfrmQuillon::SelectorsFollowChara() {
  // Only the selections move: nothing is put on.
  const TChara& chara = *Chara();
  const TVaruneDatabase& database = *DataBase();
  const TGenderType gender = chara.Gender();
  SelectBasicEntry(FHair, FHairColor, chara.GetBaseObj(bpHair), database.BasicHairColors(),
                   database.GetHairList(gender));
  SelectBasicEntry(FFace, FEyeColor, chara.GetBaseObj(bpFace), database.BasicEyeColors(), database.GetFaceList(gender));
  SelectBodyEntry(FBody, chara.GetBaseObj(bpBody));
  for (auto [combo, state] : {std::pair{cbHair, &FHair}, std::pair{cbHairColor, &FHairColor}, std::pair{cbFace, &FFace},
                              std::pair{cbEyeColor, &FEyeColor}, std::pair{cbBody, &FBody}})
    ShowCombo(combo, *state);
  const QSignalBlocker block(cbJob);
  cbJob->setCurrentIndex(chara.Job() - 1);
}

void TfrmQuillon::ShowCombo(QComboBox* Combo, const TComboState& State) {
  const QSignalBlocker block(Combo);
  Combo->clear();
  for (const TComboEntry& entry : State.Entries) Combo->addItem(Qs(entry.Caption));
  Combo->setCurrentIndex(State.ItemIndex);
  Combo->setEnabled(State.Enabled);
}

void TfrmQuillon::cbHairSelect() {
  const TVaruneDatabase& database = *FWardrobe.DataBase();
  StyleSelect(FHair, FHairColor, cbHairColor, database.GetHairList(Chara()->Gender()), database.BasicHairColors());
}

void TfrmQuillon::cbFaceSelect() {
  const TVaruneDatabase& database = *FWardrobe.DataBase();
  StyleSelect(FFace, FEyeColor, cbEyeColor, database.GetFaceList(Chara()->Gender()), database.BasicEyeColors());
}

void TfrmQuillon::StyleSelect(const TComboState& Style, TComboState& Colors, QComboBox* ColorCombo,
                              const TVaruneItemList& Items, const TVaruneBasicList& ColorRecords) {
  const TComboEntry* style = Style.Selected();
  if (!style) return;
  LoadBasicList2(Colors, *style, Items, ColorRecords);
  ShowCombo(ColorCombo, Colors);
  BasicItemSelect(Colors, Items);
}

void TfrmQuillon::BasicItemSelect(const TComboState& Combo, const TVaruneItemList& Items) {
  if (const TVaruneItem* item = SelectedBaseItem(Combo, Items)) Chara()->Base(item);
}

void TfrmQuillon::BaseChange(QSlider* Slider, int Position) {
  TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  const TVaruneItemList& list = Slider == tbTops ? database.GetTopsList(gender) : database.GetBottomsList(gender);
  if (const TVaruneItem* item = TrackBarItem(list, Position)) Chara()->Base(item);
}

}  // namespace varune::app
