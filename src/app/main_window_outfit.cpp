// The main window's whole outfits: the character view's context menu, outfit
// codes, random outfits and the save slots.

#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "app/application.h"
#include "app/export_options_dialog.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/state_form.h"
#include "app/main_window_shared.h"
#include "database/language.h"
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
  const QAction* chosen = menu.exec(pbChara->mapToGlobal(Position));
  if (!chosen) return;
  if (chosen == copy) QGuiApplication::clipboard()->setText(Qs(Chara()->Code()));
  if (chosen == paste) PasteOutfitCode(QGuiApplication::clipboard()->text());
  if (chosen == random) RandomOutfit();
  if (chosen == options) ExportOptionsClick();
  if (chosen->actionGroup() == zooms) SetViewZoom(chosen->data().toInt());
}

void TfrmQuillon::RandomOutfit() {
  Chara()->Update([this] { PutOnRandomOutfit(*Chara(), *DataBase(), TimeSeed()); });
  SelectorsFollowChara();
}

void TfrmQuillon::PasteOutfitCode(const QString& Code) {
  try {
    Chara()->SetCode(Code.toStdString());
  } catch (const Error&) {
    ShowMessage(this, QString(),
                Qs(LangText("The clipboard holds no outfit code that can be read; the outfit stays as it was.",
                            "クリップボードに読めるコーデコードがありません。コーデはそのままです。")));
    return;
  }
  SelectorsFollowChara();
}

void TfrmQuillon::ExportOptionsClick() { EditExportOptions(this, FExportSettings); }

void TfrmQuillon::imgLoadButtonClick() {
  if (!FStateForm->Run(lsLoad, AppDir() + kSaveFileName)) return;
  const TSaveItem& slot = FStateForm->SaveData().Items(FStateForm->SelectedRow());
  ApplySlot(*Chara(), slot, DataBase()->ItemList(), [this] { SelectorsFollowChara(); });
}

void TfrmQuillon::imgSaveButtonClick() {
  if (!FStateForm->Run(lsSave, AppDir() + kSaveFileName)) return;
  StoreSlot(FStateForm->SaveData(), FStateForm->SelectedRow(), *Chara(), FCharaBuffer);
  FStateForm->SaveData().SaveData(AppDir() + kSaveFileName);
}

}  // namespace varune::app
