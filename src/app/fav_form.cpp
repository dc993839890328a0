#include "app/fav_form.h"

#include <QKeyEvent>
#include <QLabel>

#include "app/application.h"
#include "app/item_list.h"
#include "database/language.h"

namespace varune::app {
namespace {

constexpr int kMargin = 4;
constexpr int kCaptionHeight = 16;

// Shows `Items` in `List`, keeping its selection when still in range.
void ShowItems(TItemIconList* List, const TVaruneItemList& Items) {
  const int selected = List->SelectedRow();
  List->Model()->SetList(&Items);
  // The list may have shrunk meanwhile: a selection past its end would name
  // an entry that is no longer there.
  if (selected >= 0 && selected < Items.Count())
    List->setCurrentIndex(List->Model()->index(selected, 0));
  else
    List->clearSelection();
}

}  // namespace

TFavForm::TFavForm(QWidget* Owner, TVaruneItemList& Favorites, const TVaruneItemList& Recent)
    : QWidget(Owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      FFavorites(Favorites),
      FRecent(Recent),
      lvFavList(new TItemIconList(this, "lvFavList")),
      lblRecent(new QLabel(QString::fromStdString(LangText("Recent", "最近")), this)),
      lvRecentList(new TItemIconList(this, "lvRecentList")) {
  setObjectName(QStringLiteral("frmFav"));
  setWindowTitle(QString());
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(0x46, 0x8C, 0x7C));
  colours.setColor(QPalette::WindowText, Qt::white);
  setPalette(colours);
  setAutoFillBackground(true);
  lblRecent->setObjectName(QStringLiteral("lblRecent"));
  lvFavList->installEventFilter(this);
  connect(lvFavList, &QAbstractItemView::doubleClicked, this,
          Guarded(this, [this] { Equip(lvFavList, FFavorites); }));
  connect(lvRecentList, &QAbstractItemView::doubleClicked, this,
          Guarded(this, [this] { Equip(lvRecentList, FRecent); }));
}

void TFavForm::UpdateList() {
  ShowItems(lvFavList, FFavorites);
  ShowItems(lvRecentList, FRecent);
}

void TFavForm::resizeEvent(QResizeEvent*) {
  // The favourites above, the recent items below, each half of the window.
  const QRect inner = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const int half = (inner.height() - kCaptionHeight) / 2;
  lvFavList->setGeometry(inner.left(), inner.top(), inner.width(), half);
  lblRecent->setGeometry(inner.left(), inner.top() + half, inner.width(), kCaptionHeight);
  lvRecentList->setGeometry(inner.left(), inner.top() + half + kCaptionHeight, inner.width(),
                            inner.height() - half - kCaptionHeight);
}

bool TFavForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == lvFavList && Event->type() == QEvent::KeyRelease &&
      static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Delete)
    RemoveSelected();
  return QWidget::eventFilter(Watched, Event);
}

void TFavForm::Equip(const TItemIconList* List, const TVaruneItemList& Items) {
  const int row = List->SelectedRow();
  if (row >= 0 && row < Items.Count() && OnEquip) OnEquip(Items[row]);
}

void TFavForm::RemoveSelected() {
  const int row = lvFavList->SelectedRow();
  if (row < 0 || row >= FFavorites.Count()) return;
  FFavorites.Delete(row);
  UpdateList();
  if (OnRemoved) OnRemoved();
}

}  // namespace varune::app
