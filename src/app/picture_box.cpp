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
  if (FPicture && !FPicture->Empty()) {
    QPainter painter(this);
    // On a screen of more than one pixel per point, pixel art stays crisp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(0, 0, OpaqueImageOf(*FPicture));
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

QImage ImageOf(const TBitmap32& Picture) {
  return QImage(reinterpret_cast<const uchar*>(Picture.Bits()), Picture.Width(), Picture.Height(),
                Picture.Width() * 4, QImage::Format_ARGB32);
}

QImage OpaqueImageOf(const TBitmap32& Picture) {
  QImage image(Picture.Width(), Picture.Height(), QImage::Format_RGB32);
  for (int32_t y = 0; y < Picture.Height(); ++y) {
    const TColor32* from = Picture.GetScanLine(y);
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < Picture.Width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
  return image;
}

}  // namespace varune::app
