// The main window's character view with other programs: the picture dragged
// out into a chat, a file manager or an image editor, and an outfit's code
// or link dropped on it.

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "app/picture_box.h"
#include "database/language.h"
#include "viewer/export_choice.h"
#include "viewer/outfit_link.h"
#include "viewer/picture_writer.h"

namespace varune::app {
namespace {

// The thumbnail under the pointer while dragging.
constexpr int kDragThumbnailSize = 96;

}  // namespace

QMimeData* TfrmQuillon::PictureDragData() {
  if (!Chara()) return nullptr;
  if (!FDragFolder) FDragFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/varune-wardrobe-XXXXXX");
  if (!FDragFolder->isValid()) return nullptr;
  // A name of its own each time: the program that took the last one may still be reading it.
  const std::string file =
      FDragFolder->filePath(QStringLiteral("varune-outfit-%1.png").arg(++FDragCount)).toStdString();
  for (const TExportFilter& filter : ExportFilters(IsJapaneseUI())) {
    if (filter.Kind != ekFile || filter.Format != xfPng) continue;
    const TExportPlan plan = PlanExport(file, filter, FExportSettings);
    WritePicture(plan.Request, FView, *Chara(), plan.Target, "", {});
    auto* data = new QMimeData;
    data->setImageData(QImage(Qs(plan.Target)));
    data->setUrls({QUrl::fromLocalFile(Qs(plan.Target))});
    return data;
  }
  return nullptr;
}

void TfrmQuillon::StartPictureDrag() {
  QMimeData* data = PictureDragData();
  if (!data) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  const QImage picture = qvariant_cast<QImage>(data->imageData());
  drag->setPixmap(QPixmap::fromImage(picture.scaled(kDragThumbnailSize, kDragThumbnailSize, Qt::KeepAspectRatio)));
  drag->exec(Qt::CopyAction);
}

bool TfrmQuillon::ViewDropEvent(QEvent* Event) {
  // Only a text can carry an outfit; anything else is let go by.
  switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(Event);
      if (!drag->mimeData()->hasText() || drag->source() == this) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(Event);
      if (!drop->mimeData()->hasText()) return false;
      drop->acceptProposedAction();
      if (const std::optional<std::string> code = OutfitCodeIn(drop->mimeData()->text().toStdString()))
        PutOnOutfit(*code);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace varune::app
