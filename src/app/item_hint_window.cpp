#include "app/item_hint_window.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "app/picture_box.h"
#include "viewer/item_card.h"

namespace varune::app {

TItemHintWindow::TItemHintWindow(QWidget* Owner)
    : QWidget(Owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
  setObjectName(QStringLiteral("FHintWindow"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // The window as a whole is translucent where a compositor blends windows;
  // without one it stays opaque white rather than turning grey.
  setWindowOpacity(kCardAlphaBlendValue / 255.0);
}

void TItemHintWindow::ActivateHintPos(QPoint ScreenPoint, const TVaruneItem& Item, const TVaruneDatabase& DataBase) {
  FItem = &Item;
  PaintItemCard(MeasureItemHint(Item, DataBase), FBuffer);
  ApplyCardColorKey(FBuffer);

  const QScreen* screen = QGuiApplication::screenAt(ScreenPoint);
  if (!screen) screen = QGuiApplication::primaryScreen();
  TRect card{ScreenPoint.x(), ScreenPoint.y(), ScreenPoint.x() + FBuffer.Width(), ScreenPoint.y() + FBuffer.Height()};
  if (screen) {
    const QRect area = screen->availableGeometry();
    card = PlaceItemCard(card, {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
  }
  setGeometry(card.Left, card.Top, card.Width(), card.Height());
  // The cut corners, with or without a compositor.
  setMask(QBitmap::fromImage(ImageOf(FBuffer).createAlphaMask()));
  show();
  raise();
  update();
}

void TItemHintWindow::paintEvent(QPaintEvent*) {
  QPainter(this).drawImage(0, 0, ImageOf(FBuffer));
}

}  // namespace varune::app
