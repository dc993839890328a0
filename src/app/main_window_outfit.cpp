// The main window's whole outfits: the character view's context menu, outfit
// codes and links, random outfits, the save slots, and undo and redo: every
// change of the user's to the outfit is one step of the history.

#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScopedValueRollback>

#include "app/application.h"
#include "app/export_options_dialog.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/state_form.h"
#include "app/main_window_shared.h"
#include "database/language.h"
#include "viewer/outfit_link.h"
#include "viewer/random_outfit.h"
#include "viewer/save_data.h"
#include "viewer/slot_panel.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

constexpr char kSaveFileName[] = "save.dat";

}  // namespace

void TfrmQuillon::pbCharaContextMenu(QPoint Position) {
  // A right click on a slot or gender button has its own meaning.
  const TPoint point{Position.x(), Position.y()};
  if (EquipSlotAt(point) != -1 || GenderIconAt(point) != -1) return;
  QMenu menu(this);
  const QAction* copy = menu.addAction(Qs(LangText("Copy outfit code", "コーデコードをコピー")));
  const QAction* copyLink = menu.addAction(Qs(LangText("Copy outfit link", "コーデのリンクをコピー")));
  const QAction* paste = menu.addAction(Qs(LangText("Paste outfit code", "コーデコードを貼り付け")));
  const QAction* random = menu.addAction(Qs(LangText("Random outfit", "ランダムコーデ")));
  menu.addSeparator();
  QMenu* zoom = menu.addMenu(Qs(LangText("Zoom", "ズーム")));
  auto* zooms = new QActionGroup(zoom);
  for (int32_t times = 1; times <= kMaxViewZoom; ++times) {
    QAction* action = zoom->addAction(QStringLiteral("%1x").arg(times));
    action->setCheckable(true);
    action->setChecked(times == FViewZoom);
    action->setData(times);
    zooms->addAction(action);
  }
  const QAction* options = menu.addAction(Qs(LangText("Export options...", "書き出しオプション...")));
  // The language of the next start, each in its own words.
  QMenu* language = menu.addMenu(Qs(LangText("Language", "言語")));
  auto* languages = new QActionGroup(language);
  for (const bool japanese : {true, false}) {
    QAction* action = language->addAction(japanese ? QStringLiteral("日本語") : QStringLiteral("English"));
    action->setCheckable(true);
    action->setChecked(japanese == FLanguageChoice.value_or(IsJapaneseUI()));
    action->setData(japanese);
    languages->addAction(action);
  }
  const QAction* chosen = menu.exec(pbChara->mapToGlobal(Position));
  if (!chosen) return;
  if (chosen == copy) QGuiApplication::clipboard()->setText(Qs(Chara()->Code()));
  if (chosen == copyLink) QGuiApplication::clipboard()->setText(Qs(OutfitLink(Chara()->Code())));
  if (chosen == paste) PasteOutfitCode(QGuiApplication::clipboard()->text());
  if (chosen == random) RandomOutfit();
  if (chosen == options) ExportOptionsClick();
  if (chosen->actionGroup() == zooms) SetViewZoom(chosen->data().toInt());
  if (chosen->actionGroup() == languages && chosen->data().toBool() != FLanguageChoice.value_or(IsJapaneseUI())) {
    FLanguageChoice = chosen->data().toBool();
    TellNextStartup();
  }
}

void TfrmQuillon::RandomOutfit() {
  OutfitStep([this] { Chara()->Update([this] { PutOnRandomOutfit(*Chara(), *DataBase(), TimeSeed()); }); });
  SelectorsFollowChara();
}

void TfrmQuillon::PasteOutfitCode(const QString& Text) {
  if (const std::optional<std::string> code = OutfitCodeIn(Text.toStdString())) return PutOnOutfit(*code);
  ShowMessage(this, QString(),
              Qs(LangText("The clipboard holds no outfit code that can be read; the outfit stays as it was.",
                          "クリップボードに読めるコーデコードがありません。コーデはそのままです。")));
}

void TfrmQuillon::OpenOutfitLink(const QString& Text) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (const std::optional<std::string> code = OutfitCodeIn(Text.toStdString())) return PutOnOutfit(*code);
  ShowMessage(this, QString(),
              Qs(LangText("The outfit link cannot be read; the outfit stays as it was.",
                          "コーデのリンクを読めません。コーデはそのままです。")) +
                  "\n" + Text.left(200));
}

void TfrmQuillon::PutOnOutfit(const std::string& Code) {
  OutfitStep([&] { Chara()->SetCode(Code); });
  SelectorsFollowChara();
}

// ---- Undo and redo ----------------------------------------------------------

TOutfitSnapshot TfrmQuillon::OutfitSnapshot() {
  return {Chara()->Code(), Chara()->Job()};
}

void TfrmQuillon::OutfitStep(const std::function<void()>& Change) {
  if (FRestoringOutfit || !Chara()) return Change();
  FHistory.BeginStep(OutfitSnapshot());
  try {
    Change();
  } catch (...) {
    FHistory.EndStep(OutfitSnapshot());
    throw;
  }
  FHistory.EndStep(OutfitSnapshot());
}

bool TfrmQuillon::UndoOutfit() {
  const std::optional<TOutfitSnapshot> previous = Chara() ? FHistory.Undo(OutfitSnapshot()) : std::nullopt;
  if (previous) RestoreOutfit(*previous);
  return previous.has_value();
}

bool TfrmQuillon::RedoOutfit() {
  const std::optional<TOutfitSnapshot> next = Chara() ? FHistory.Redo(OutfitSnapshot()) : std::nullopt;
  if (next) RestoreOutfit(*next);
  return next.has_value();
}

void TfrmQuillon::RestoreOutfit(const TOutfitSnapshot& Snapshot) {
  // What the gender change sets on the way (the track bars, the first styles) is no step of its own.
  {
    const QScopedValueRollback restoring(FRestoringOutfit, true);
    Chara()->Update([&] {
      Chara()->SetJob(Snapshot.Job);
      Chara()->SetCode(Snapshot.Code);
    });
  }
  // The selectors follow as after a loaded slot; the job filter reads the job selector.
  SelectorsFollowChara();
  Browser()->ApplyFilters();
  ShowItemList();
}

void TfrmQuillon::ExportOptionsClick() { EditExportOptions(this, FExportSettings); }

void TfrmQuillon::imgLoadButtonClick() {
  if (!FStateForm->Run(lsLoad, AppDir() + kSaveFileName)) return;
  const TSaveItem& slot = FStateForm->SaveData().Items(FStateForm->SelectedRow());
  OutfitStep([&] { ApplySlot(*Chara(), slot, DataBase()->ItemList(), [this] { SelectorsFollowChara(); }); });
}

void TfrmQuillon::imgSaveButtonClick() {
  if (!FStateForm->Run(lsSave, AppDir() + kSaveFileName)) return;
  StoreSlot(FStateForm->SaveData(), FStateForm->SelectedRow(), *Chara(), FCharaBuffer);
  FStateForm->SaveData().SaveData(AppDir() + kSaveFileName);
}

}  // namespace varune::app
