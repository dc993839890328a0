#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace varune::app {

TPictureBox::TPictureBox(QWidget* Parent, const char* Name) : QWidget(Parent) {
  setObjectName(Name);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPictureBox::SetPicture(const TBitmap32* Picture) {
  FPicture = Picture;
  update();
}

TBitmap32& TPictureBox::OwnPicture() {
  FPicture = &FOwnPicture;
  return FOwnPicture;
}

void TPictureBox::SetPainter(std::function<void(TBitmap32& Picture)> Painter) {
  FPainter = std::move(Painter);
  FPicture = &FOwnPicture;
  FOwnPicture.SetSize(width(), height());
  FPainter(FOwnPicture);
  update();
}

void TPictureBox::resizeEvent(QResizeEvent* Event) {
  if (FPainter) {
    FOwnPicture.SetSize(width(), height());
    FPainter(FOwnPicture);
  }
  QWidget::resizeEvent(Event);
}

void TPictureBox::paintEvent(QPaintEvent*) {
  if (FPicture && !FPicture->Empty()) {
    // The surface's bytes are blue, green, red, alpha: Qt's 32-bit layout.
    const QImage image(reinterpret_cast<const uchar*>(FPicture->Bits()), FPicture->Width(), FPicture->Height(),
                       FPicture->Width() * 4, QImage::Format_ARGB32);
    QPainter(this).drawImage(0, 0, image);
  }
  emit Painted();
}

void TPictureBox::mousePressEvent(QMouseEvent* Event) {
  emit MousePressed(Event->position().toPoint(), Event->button());
  QWidget::mousePressEvent(Event);
}

void TPictureBox::mouseMoveEvent(QMouseEvent* Event) {
  emit MouseMoved(Event->position().toPoint());
  QWidget::mouseMoveEvent(Event);
}

void TPictureBox::leaveEvent(QEvent* Event) {
  emit MouseLeft();
  QWidget::leaveEvent(Event);
}

void TPictureBox::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint())) emit Clicked();
  QWidget::mouseReleaseEvent(Event);
}

}  // namespace varune::app
