#include "app/item_list.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QScrollBar>

#include "app/picture_box.h"
#include "imaging/canvas.h"
#include "viewer/item_icon.h"

namespace varune::app {
namespace {

constexpr int kIconSize = 32;
const QColor kSelectedFrame(0x46, 0x8C, 0x7C);
const QColor kPlaceholder(0xC0, 0xC0, 0xC0);
constexpr TColor32 kListColor = Color32(0x84, 0xBD, 0x80);
constexpr TColor32 kSelectedFill = Color32(0xFF, 0xFF, 0xFF);

}  // namespace

void TItemListModel::SetList(const TVaruneItemList* List) {
  beginResetModel();
  FList = List;
  endResetModel();
}

const TVaruneItem* TItemListModel::Item(int Row) const {
  return FList && Row >= 0 && Row < FList->Count() ? (*FList)[Row] : nullptr;
}

int TItemListModel::rowCount(const QModelIndex& Parent) const {
  return Parent.isValid() || !FList ? 0 : FList->Count();
}

QVariant TItemListModel::data(const QModelIndex&, int) const { return {}; }

TItemCellDelegate::TItemCellDelegate(QAbstractItemView* View) : QStyledItemDelegate(View), FView(View) {
  FLoader.setSingleShot(true);
  connect(&FLoader, &QTimer::timeout, this, [this] { LoadNextSheet(); });
}

void TItemCellDelegate::SetDataBase(TVaruneDatabase* DataBase) {
  FDataBase = DataBase;
  FPendingSheets.clear();
  FFailedSheets.clear();
  FLoader.stop();
}

void TItemCellDelegate::LoadNextSheet() {
  if (!FDataBase || FPendingSheets.empty()) return;
  const std::string sheet = *FPendingSheets.begin();
  FPendingSheets.erase(FPendingSheets.begin());
  try {
    FDataBase->IconManager().GetFile(sheet);
  } catch (const std::exception&) {
    // A damaged sheet draws nothing, as the painter does with it.
  }
  if (!FDataBase->IconManager().Contains(sheet)) FFailedSheets.insert(sheet);
  FView->viewport()->update();
  if (!FPendingSheets.empty()) FLoader.start(0);
}

void TItemCellDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
  const auto* model = static_cast<const TItemListModel*>(Index.model());
  const TVaruneItem* item = model->Item(Index.row());
  const QRect bounds = Option.rect;
  Painter->save();
  Painter->setRenderHint(QPainter::Antialiasing, false);
  // Icons are pixel art: a screen of more than one pixel per point enlarges them without smoothing.
  Painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (Option.state & QStyle::State_Selected) {
    Painter->setPen(kSelectedFrame);
    Painter->setBrush(QColor::fromRgb(kSelectedFill));
    Painter->drawRoundedRect(bounds.adjusted(0, 0, -1, -1), 5, 5);
  }
  const QPoint at(bounds.left() + (bounds.width() - kIconSize) / 2, bounds.top() + (bounds.height() - kIconSize) / 2);
  const std::string* sheet = item && FDataBase ? ItemIconSheet(*FDataBase, *item) : nullptr;
  if (sheet && FFailedSheets.contains(*sheet)) {
    // Blank, as the painter leaves a cell whose sheet does not decode.
  } else if (sheet && !FDataBase->IconManager().Contains(*sheet)) {
    FPendingSheets.insert(*sheet);
    if (!FLoader.isActive()) FLoader.start(0);
  } else if (sheet) {
    // The icon is blended once, by the core's rule, over what lies under it
    // in the cell: the selection's white or the list colour.
    TBitmap32 icon(kIconSize, kIconSize);
    icon.Clear(Option.state & QStyle::State_Selected ? kSelectedFill : kListColor);
    TCanvas canvas(icon);
    DrawItemIcon(canvas, 0, 0, *FDataBase, *item, false);
    Painter->drawImage(at, OpaqueImageOf(icon));
  } else {
    // No artwork: a dotted ellipse in the lower half of the icon cell.
    Painter->setPen(QPen(kPlaceholder, 1, Qt::DotLine));
    Painter->setBrush(Qt::NoBrush);
    Painter->drawEllipse(QRect(at.x(), at.y() + kIconSize / 2, kIconSize - 1, kIconSize / 2 - 1));
  }
  Painter->restore();
}

QSize TItemCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const { return {50, 45}; }

TItemIconList::TItemIconList(QWidget* Parent, const char* Name)
    : QListView(Parent), FModel(new TItemListModel(this)), FDelegate(new TItemCellDelegate(this)) {
  setObjectName(QString::fromLatin1(Name));
  setViewMode(QListView::IconMode);
  setMovement(QListView::Static);
  setUniformItemSizes(true);
  setGridSize({50, 45});
  setIconSize({kIconSize, kIconSize});
  setFrameShape(QFrame::NoFrame);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  viewport()->setCursor(Qt::PointingHandCursor);
  QPalette colours = viewport()->palette();
  colours.setColor(QPalette::Window, QColor::fromRgb(kListColor));
  colours.setColor(QPalette::Base, QColor::fromRgb(kListColor));
  viewport()->setPalette(colours);
  viewport()->setAutoFillBackground(true);
  setResizeMode(QListView::Adjust);
  setModel(FModel);
  setItemDelegate(FDelegate);
  connect(FModel, &QAbstractItemModel::modelReset, this, [this] { FDelegate->RetryFailedSheets(); });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { FDelegate->RetryFailedSheets(); });
}

int TItemIconList::SelectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

}  // namespace varune::app
