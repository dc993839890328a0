#include "app/anchors.h"

#include <QEvent>

namespace varune::app {

void TAnchors::Place(QWidget* Control, const QRect& Geometry, unsigned Anchors) {
  Control->setGeometry(Geometry);
  TEntry* entry = Find(Control);
  if (!entry) {
    FEntries.push_back({Control, Anchors, 0, 0});
    entry = &FEntries.back();
    Control->parentWidget()->installEventFilter(this);
  }
  entry->Anchors = Anchors;
  Remember(*entry);
}

void TAnchors::Move(QWidget* Control, const QRect& Geometry) {
  TEntry* entry = Find(Control);
  Place(Control, Geometry, entry ? entry->Anchors : akTopLeft);
}

TAnchors::TEntry* TAnchors::Find(QWidget* Control) {
  for (TEntry& entry : FEntries)
    if (entry.Control == Control) return &entry;
  return nullptr;
}

void TAnchors::Remember(TEntry& Entry) {
  const QSize parent = Entry.Control->parentWidget()->size();
  const QRect geometry = Entry.Control->geometry();
  Entry.RightGap = parent.width() - (geometry.x() + geometry.width());
  Entry.BottomGap = parent.height() - (geometry.y() + geometry.height());
}

bool TAnchors::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::Resize) Apply(static_cast<QWidget*>(Watched));
  return false;
}

void TAnchors::Apply(QWidget* Parent) {
  const QSize size = Parent->size();
  for (const TEntry& entry : FEntries) {
    if (entry.Control->parentWidget() != Parent) continue;
    QRect geometry = entry.Control->geometry();
    const int right = size.width() - entry.RightGap;
    const int bottom = size.height() - entry.BottomGap;
    if (entry.Anchors & akRight) {
      if (entry.Anchors & akLeft) geometry.setWidth(right - geometry.x());
      else geometry.moveLeft(right - geometry.width());
    }
    if (entry.Anchors & akBottom) {
      if (entry.Anchors & akTop) geometry.setHeight(bottom - geometry.y());
      else geometry.moveTop(bottom - geometry.height());
    }
    entry.Control->setGeometry(geometry);
  }
}

}  // namespace varune::app
