#pragma once
// The favourites window: a small tool window listing the favourite items as
// the item browser shows items. A double click puts an item on; Delete takes
// the selected entry off the list.

#include <QWidget>
#include <functional>

#include "database/lists.h"

namespace varune::app {

class TItemIconList;

class TFavForm : public QWidget {
 public:
  // `Favorites` is the main window's list; it must outlive this window.
  TFavForm(QWidget* Owner, TVaruneItemList& Favorites);

  // Called with the item double-clicked, and after an entry was removed.
  std::function<void(const TVaruneItem*)> OnEquip;
  std::function<void()> OnRemoved;

  // Shows the list as it is now; the selection is kept when still in range.
  void UpdateList();
  TItemIconList* List() const { return lvFavList; }

 protected:
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void lvFavListDblClick();
  void RemoveSelected();

  TVaruneItemList& FFavorites;
  TItemIconList* lvFavList;
};

}  // namespace varune::app
