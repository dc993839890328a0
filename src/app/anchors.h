#pragma once
// Anchoring of absolutely placed controls: a control anchored to the right or
// bottom edge of its parent keeps its distance to that edge when the parent
// is resized; anchored to both opposite edges it stretches. The distances are
// those of the last time the control was placed (`Place`).

#include <QObject>
#include <QWidget>
#include <vector>

namespace varune::app {

enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr unsigned akTopLeft = akLeft | akTop;
inline constexpr unsigned akTopRight = akTop | akRight;
inline constexpr unsigned akAll = akLeft | akTop | akRight | akBottom;

class TAnchors : public QObject {
 public:
  using QObject::QObject;

  // Places `Control` at Geometry (parent coordinates) and remembers its
  // distances to the parent's edges. The parent's size must be final or be
  // the size the geometry was designed for.
  void Place(QWidget* Control, const QRect& Geometry, unsigned Anchors = akTopLeft);
  // Places an anchored control anew at `Geometry`, keeping its anchors.
  void Move(QWidget* Control, const QRect& Geometry);

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  struct TEntry {
    QWidget* Control;
    unsigned Anchors;
    int RightGap;   // parent width - right edge
    int BottomGap;  // parent height - bottom edge
  };
  TEntry* Find(QWidget* Control);
  void Remember(TEntry& Entry);
  void Apply(QWidget* Parent);
  std::vector<TEntry> FEntries;
};

}  // namespace varune::app
