#pragma once
// The favourites window: a small tool window listing the favourite items as
// the item browser shows items, and below them the items recently put on.
// A double click in either list puts an item on; Delete takes the selected
// favourite off its list.

#include <QWidget>
#include <functional>

#include "database/lists.h"

class QLabel;

namespace varune::app {

class TItemIconList;

class TFavForm : public QWidget {
 public:
  // `Favorites` and `Recent` are the main window's lists; they must outlive this window.
  TFavForm(QWidget* Owner, TVaruneItemList& Favorites, const TVaruneItemList& Recent);

  // Called with the item double-clicked, and after an entry was removed.
  std::function<void(const TVaruneItem*)> OnEquip;
  std::function<void()> OnRemoved;

  // Shows both lists as they are now; each selection is kept when still in range.
  void UpdateList();
  TItemIconList* List() const { return lvFavList; }
  TItemIconList* RecentList() const { return lvRecentList; }

 protected:
  void resizeEvent(QResizeEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void Equip(const TItemIconList* List, const TVaruneItemList& Items);
  void RemoveSelected();

  TVaruneItemList& FFavorites;
  const TVaruneItemList& FRecent;
  TItemIconList* lvFavList;
  QLabel* lblRecent;
  TItemIconList* lvRecentList;
};

}  // namespace varune::app
