#include "app/fav_form.h"

#include <QKeyEvent>

#include "app/application.h"
#include "app/item_list.h"

namespace varune::app {
namespace {

constexpr int kMargin = 4;

}  // namespace

TFavForm::TFavForm(QWidget* Owner, TVaruneItemList& Favorites)
    : QWidget(Owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      FFavorites(Favorites),
      lvFavList(new TItemIconList(this, "lvFavList")) {
  setObjectName(QStringLiteral("frmFav"));
  setWindowTitle(QString());
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(0x46, 0x8C, 0x7C));
  setPalette(colours);
  setAutoFillBackground(true);
  lvFavList->installEventFilter(this);
  connect(lvFavList, &QAbstractItemView::doubleClicked, this, Guarded(this, [this] { lvFavListDblClick(); }));
}

void TFavForm::UpdateList() {
  const int selected = lvFavList->SelectedRow();
  lvFavList->Model()->SetList(&FFavorites);
  // The list may have shrunk meanwhile: a selection past its end would name
  // an entry that is no longer there.
  if (selected >= 0 && selected < FFavorites.Count())
    lvFavList->setCurrentIndex(lvFavList->Model()->index(selected, 0));
  else
    lvFavList->clearSelection();
}

void TFavForm::resizeEvent(QResizeEvent*) {
  lvFavList->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
}

bool TFavForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == lvFavList && Event->type() == QEvent::KeyRelease &&
      static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Delete)
    RemoveSelected();
  return QWidget::eventFilter(Watched, Event);
}

void TFavForm::lvFavListDblClick() {
  const int row = lvFavList->SelectedRow();
  if (row >= 0 && row < FFavorites.Count() && OnEquip) OnEquip(FFavorites[row]);
}

void TFavForm::RemoveSelected() {
  const int row = lvFavList->SelectedRow();
  if (row < 0 || row >= FFavorites.Count()) return;
  FFavorites.Delete(row);
  UpdateList();
  if (OnRemoved) OnRemoved();
}

}  // namespace varune::app
