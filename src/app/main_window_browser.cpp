// The main window's item browser: the slot, weapon kind and category
// filters with their menus, the search box and its search of every slot,
// the icon list and its item card, the favourite star, and the favourites
// window with the items recently put on.

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

#include "app/application.h"
#include "app/fav_form.h"
#include "app/item_hint_window.h"
#include "app/item_list.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/main_window_shared.h"
#include "database/language.h"
#include "database/panels.h"
#include "viewer/favorites.h"

namespace varune::app {
namespace {

// The item list's card stands this far below the pointer.
constexpr int kHintBelowPointer = 20;

std::string EverySlotName() { return LangText("Every slot", "すべての部位"); }

// No accelerators anywhere: an "&" where the toolkit would take it as a
// shortcut mark (menus, buttons, check boxes) is doubled to show as it is.
// Drop-down entries show their text as it stands.
QString ShortcutFreeCaption(const std::string& Text) { return Qs(Text).replace('&', QStringLiteral("&&")); }

// A tab or filter button: the panel shape with a caption centred on it,
// `Offset` pixels below the centre.
void PaintTab(TPictureBox* Box, void (*Shape)(TCanvas&, int32_t, int32_t), std::string_view Text, int32_t Offset) {
  Box->Paint([&](TBitmap32& picture) {
    TCanvas canvas(picture);
    Shape(canvas, picture.Width(), picture.Height());
    if (!Text.empty())
      canvas.TextOut((picture.Width() - canvas.TextWidth(Text)) / 2,
                     (picture.Height() - canvas.TextHeight(Text)) / 2 + Offset, Text);
  });
}

}  // namespace

void TfrmQuillon::SelectEquipList(int32_t PosID) {
  if (!Browser()->SelectEquipList(PosID)) return;
  ShowItemList(true);
  UpdateFilterButtons();
}

void TfrmQuillon::EquipItem(const TVaruneItem* Item) {
  if (!Item) return;
  OutfitStep([&] { Chara()->Equip(Item); });
  if (Chara()->GetEquipObj(Item->FPosID1) != Item) return;
  NoteWorn(FRecentList, *Item);
  if (FFavForm) FFavForm->UpdateList();
}

void TfrmQuillon::SearchEverySlot() {
  TItemBrowser& browser = *Browser();
  browser.SetSearchText(edFilter->text().toStdString());
  if (!browser.SelectEverySlot()) return;
  ShowItemList(true);
  UpdateFilterButtons();
}

void TfrmQuillon::UpdateFilterButtons() {
  const TItemBrowser& browser = *Browser();
  if (browser.EquipListIndex() >= 1)
    PaintTab(imgFilter1, DrawTableTop, EquipSlotNames[browser.EquipListIndex() - 1], 1);
  else if (browser.EquipListIndex() == kEverySlot)
    PaintTab(imgFilter1, DrawTableTop, EverySlotName(), 1);
  imgFilter2->setVisible(browser.WeaponFilterShown());
  if (browser.WeaponFilterShown()) PaintTab(imgFilter2, DrawTableTop, WeaponKindNames[browser.WeaponListIndex()], 1);
  PaintTab(imgFilter3, DrawTableTop, EquipFilterNames[browser.EquipTypeIndex()], 1);
  PaintTab(imgTextFilter, DrawTableTop, {}, 0);
  PaintTab(imgSaveImage, DrawTableBottom, IsJapaneseUI() ? "保存" : "Save As...", -1);
}

void TfrmQuillon::FilterClick(TPictureBox* Button, TFilterSender Sender) {
  const TItemBrowser& browser = *Browser();
  QMenu menu(this);
  auto* group = new QActionGroup(&menu);
  auto add = [&](const std::string& caption, bool checked, bool visible) {
    QAction* action = menu.addAction(ShortcutFreeCaption(caption));
    action->setCheckable(true);
    action->setChecked(checked);
    action->setVisible(visible);
    action->setData(static_cast<int>(menu.actions().size()) - 1);
    group->addAction(action);
  };
  if (Sender == fsSlotMenu) {
    for (int32_t pos = 1; pos <= kBrowsableSlotCount; ++pos)
      add(EquipSlotNames[pos - 1], pos == browser.EquipListIndex(), true);
    add(EverySlotName(), browser.EquipListIndex() == kEverySlot, true);
  } else if (Sender == fsWeaponMenu) {
    // Kinds that are not browsed are listed hidden: an entry's position is its kind.
    for (int32_t kind = 0; kind <= kWeaponKindCount; ++kind)
      add(WeaponKindNames[kind], kind == browser.WeaponListIndex(), WeaponKindBrowsable(kind));
  } else {
    for (int32_t entry = 0; entry < static_cast<int32_t>(EquipFilterNames.size()); ++entry)
      add(EquipFilterNames[entry], entry == browser.EquipTypeIndex(), true);
  }
  if (QAction* chosen = menu.exec(Button->mapToGlobal(QPoint(0, Button->height()))))
    FilterMenuClick(Sender, chosen->data().toInt());
}

void TfrmQuillon::FilterMenuClick(TFilterSender Sender, int32_t Position) {
  if (!Browser()) return;  // before the creation or after it failed
  TItemBrowser& browser = *Browser();
  if (Sender == fsSearchBox) browser.SetSearchText(edFilter->text().toStdString());
  if (!browser.FilterMenuClick(Sender, Position)) return;
  ShowItemList(Sender == fsSlotMenu);
  UpdateFilterButtons();
}

void TfrmQuillon::ShowItemList(bool NewSlot) {
  const TItemBrowser& browser = *Browser();
  // The model's reset clears the view's selection: that is no choice of the user's.
  const QSignalBlocker block(lvItemList->selectionModel());
  lvItemList->Model()->SetList(&browser.ActiveItemList());
  if (NewSlot) lvItemList->scrollToTop();
  if (browser.SelectedIndex() >= 0) {
    const QModelIndex selected = lvItemList->Model()->index(browser.SelectedIndex());
    lvItemList->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    lvItemList->scrollTo(selected);
  }
  lvItemList->viewport()->update();
  ShowFavoriteStar();
}

void TfrmQuillon::lvItemListSelectItem() {
  if (!Browser()) return;
  Browser()->SetSelectedIndex(lvItemList->SelectedRow());
  ShowFavoriteStar();
}

void TfrmQuillon::ShowFavoriteStar() {
  const TVaruneItem* item = Browser() ? Browser()->SelectedItem() : nullptr;
  imgFavorite->setVisible(item != nullptr);
  if (!item) return;
  imgFavorite->Paint([&](TBitmap32& picture) {
    TCanvas canvas(picture);
    DrawTableTop(canvas, picture.Width(), picture.Height());
    StarPicture(IsFavorite(FFavoriteList, item->FIndex)).DrawTo(picture, (picture.Width() - kStarSize) / 2, 2);
  });
}

void TfrmQuillon::imgFavoriteClick() {
  const TVaruneItem* item = Browser()->SelectedItem();
  if (!item) return;
  ToggleFavorite(FFavoriteList, *item);
  FFavForm->UpdateList();
  ShowFavoriteStar();
}

void TfrmQuillon::btnTogglePaletteClick() {
  if (FFavForm->isHidden()) FFavForm->UpdateList();
  FFavForm->setVisible(FFavForm->isHidden());
}

void TfrmQuillon::lvItemListKeyDown(int Key) {
  static constexpr std::pair<int, THiddenKey> kKeys[] = {{Qt::Key_Left, hkLeft}, {Qt::Key_Right, hkRight},
                                                         {Qt::Key_Up, hkUp},     {Qt::Key_Down, hkDown},
                                                         {Qt::Key_A, hkA},       {Qt::Key_B, hkB}};
  THiddenKey key = hkOther;
  for (const auto& [qtKey, hidden] : kKeys)
    if (qtKey == Key) key = hidden;
  if (!FHiddenKeys.KeyDown(key)) return;
  for (QCheckBox* box : {cbHideHair, cbHideFace, cbHideTops, cbHideBottoms, cbHideBody}) box->show();
  ShowMessage(this, QString(), QString::fromUtf8(kHiddenModeLine1) + "\r\n" + QString::fromUtf8(kHiddenModeLine2));
}

void TfrmQuillon::HideItemCard() {
  FHintShowing = false;
  FHintWindow->hide();
}

void TfrmQuillon::lvItemListShowHint(QPoint Position) {
  const QModelIndex index = lvItemList->indexAt(Position);
  if (!index.isValid() || !Browser() || index.row() >= Browser()->ActiveItemList().Count()) {
    if (FHintShowing) HideItemCard();
    return;
  }
  const TVaruneItem* item = Browser()->ActiveItemList()[index.row()];
  if (FHintShowing && FHintWindow->Item() == item) return;
  FHintShowing = true;
  // Below the pointer, as a tooltip stands.
  const QPoint pointer = lvItemList->viewport()->mapToGlobal(Position);
  FHintWindow->ActivateHintPos(pointer + QPoint(0, kHintBelowPointer), *item, *DataBase());
}

}  // namespace varune::app
