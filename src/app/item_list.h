#pragma once
// The item browser's icon list: a model whose rows are the items of the list
// the browser shows, and a delegate that paints each cell as it becomes
// visible. Nothing is built per item when a list is shown.

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTimer>
#include <set>
#include <string>

#include "database/database.h"

namespace varune::app {

class TItemListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  // The list shown; it must outlive the model or be replaced first.
  void SetList(const TVaruneItemList* List);
  const TVaruneItem* Item(int Row) const;

  int rowCount(const QModelIndex& Parent = {}) const override;
  // Cells have neither caption nor tooltip: the item card describes them.
  QVariant data(const QModelIndex& Index, int Role) const override;

 private:
  const TVaruneItemList* FList = nullptr;
};

// Icon sheets are decoded between paints, one per turn of the event loop:
// a cell whose sheet is not decoded yet shows empty and is drawn again when
// it is, so that showing a list of thousands of items never waits for the
// dozens of sheets its first screen may name. A sheet that fails to decode
// is not cached, so it could be asked for forever: its cells stay blank
// until the list is shown again or scrolled.
class TItemCellDelegate : public QStyledItemDelegate {
 public:
  explicit TItemCellDelegate(QAbstractItemView* View);

  // Icons come from this database's icon sheets; none are drawn without one.
  void SetDataBase(TVaruneDatabase* DataBase);
  // The sheets that failed are asked for again at the next paint.
  void RetryFailedSheets() { FFailedSheets.clear(); }

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

 private:
  void LoadNextSheet();

  QAbstractItemView* FView;
  TVaruneDatabase* FDataBase = nullptr;
  mutable std::set<std::string> FPendingSheets;
  std::set<std::string> FFailedSheets;
  mutable QTimer FLoader;
};

// An icon list of items as the item browser and the favourites window show
// them: 32 x 32 icons on a 50 x 45 grid that reflows with the list's width,
// the list colour, a hand cursor, read-only, no item hint of its own.
class TItemIconList : public QListView {
 public:
  TItemIconList(QWidget* Parent, const char* Name);

  TItemListModel* Model() const { return FModel; }
  TItemCellDelegate* Delegate() const { return FDelegate; }
  // The selected row, or -1.
  int SelectedRow() const;

 private:
  TItemListModel* FModel;
  TItemCellDelegate* FDelegate;
};

}  // namespace varune::app
