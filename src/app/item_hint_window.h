#pragma once
// The item card's window: a borderless, translucent window above all others
// that shows the card picture painted below it. It never takes the focus or
// the mouse, so a card that comes to lie under the pointer does not steal
// the hover that put it there.

#include <QImage>
#include <QWidget>

#include "imaging/bitmap32.h"

namespace varune {
class TVaruneDatabase;
class TVaruneItem;
}  // namespace varune

namespace varune::app {

class TItemHintWindow : public QWidget {
 public:
  // `Owner` only keeps the window alive; the card is a window of its own.
  explicit TItemHintWindow(QWidget* Owner);

  // Shows the card of `Item` with its top-left corner at `ScreenPoint`,
  // moved inside the screen under that point.
  void ActivateHintPos(QPoint ScreenPoint, const TVaruneItem& Item, const TVaruneDatabase& DataBase);
  // The item shown, or null while hidden.
  const TVaruneItem* Item() const { return isVisible() ? FItem : nullptr; }

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  const TVaruneItem* FItem = nullptr;
  TBitmap32 FBuffer;
};

}  // namespace varune::app
