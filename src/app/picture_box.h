#pragma once
// A widget that shows a TBitmap32 at its top-left corner: the paint boxes and
// picture controls of the windows. All drawing stays in the core; the widget
// presents the surface as a window shows a picture: its colours, opaque.
// What is partly transparent in it was already blended where it was drawn.

#include <QImage>
#include <QWidget>
#include <functional>

#include "imaging/bitmap32.h"

namespace varune::app {

class TPictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit TPictureBox(QWidget* Parent, const char* Name);

  // The surface shown; it must outlive the widget or be replaced first.
  // Null shows nothing.
  void SetPicture(const TBitmap32* Picture);
  const TBitmap32* Picture() const { return FPicture; }
  // Shows a surface of its own, of the box's size, drawn by `Draw` now (the
  // filter buttons, the tabs).
  void Paint(const std::function<void(TBitmap32& Picture)>& Draw);
  // The same, and again at every size change (framed panels that stretch
  // with the window).
  void SetPainter(std::function<void(TBitmap32& Picture)> Painter);

 signals:
  void Clicked();
  void Painted();
  // Raw mouse events in the box's coordinates (the slot panel's hit tests).
  void MousePressed(QPoint Position, Qt::MouseButton Button);
  void MouseMoved(QPoint Position);
  void MouseLeft();

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

 private:
  const TBitmap32* FPicture = nullptr;
  TBitmap32 FOwnPicture;
  std::function<void(TBitmap32&)> FPainter;
};

// The surface's pixels as a Qt picture, without a copy: its bytes are blue,
// green, red, alpha, Qt's 32-bit layout. The surface must outlive it.
QImage ImageOf(const TBitmap32& Picture);
// A copy of the surface's colour channels, its alpha ignored: what a window,
// the clipboard or a 24-bit picture gets of it.
QImage OpaqueImageOf(const TBitmap32& Picture);

}  // namespace varune::app
