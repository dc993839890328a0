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

void TPictureBox::Paint(const std::function<void(TBitmap32& Picture)>& Draw) {
  FPicture = &FOwnPicture;
  FOwnPicture.SetSize(width(), height());
  Draw(FOwnPicture);
  update();
}

void TPictureBox::SetPainter(std::function<void(TBitmap32& Picture)> Painter) {
  FPainter = std::move(Painter);
  Paint(FPainter);
}

void TPictureBox::resizeEvent(QResizeEvent* Event) {
  if (FPainter) Paint(FPainter);
  QWidget::resizeEvent(Event);
}

void TPictureBox::paintEvent(QPaintEvent*) {
  if (FPicture && !FPicture->Empty()) QPainter(this).drawImage(0, 0, ImageOf(*FPicture));
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

QImage ImageOf(const TBitmap32& Picture) {
  return QImage(reinterpret_cast<const uchar*>(Picture.Bits()), Picture.Width(), Picture.Height(),
                Picture.Width() * 4, QImage::Format_ARGB32);
}

}  // namespace varune::app
