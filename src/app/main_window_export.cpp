// The main window's pictures: "Save As..." in every format with its
// overwrite question and progress, and Ctrl+C's copy to the clipboard.

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QProgressDialog>
#include <filesystem>

#include "app/application.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/main_window_shared.h"
#include "database/language.h"
#include "viewer/export.h"
#include "viewer/export_choice.h"
#include "viewer/picture_writer.h"

namespace varune::app {
namespace {

// Above this many frames an export shows its progress.
constexpr int32_t kFramesWithoutProgress = 4;

}  // namespace

void TfrmQuillon::imgSaveImageClick() {
  const std::vector<TExportFilter> filters = ExportFilters(IsJapaneseUI());
  QStringList names;
  for (const TExportFilter& filter : filters) names << Qs(filter.Caption);
  QFileDialog dialog(this, QString(), FExportFolder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(names);
  dialog.selectNameFilter(names.value(FExportFilter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  FExportFolder = dialog.directory().absolutePath();
  FExportFilter = std::max<qsizetype>(0, names.indexOf(dialog.selectedNameFilter()));
  ExportPicture(dialog.selectedFiles().first(), FExportFilter);
}

bool TfrmQuillon::ExportPicture(const QString& FileName, int FilterIndex) {
  const std::vector<TExportFilter> filters = ExportFilters(IsJapaneseUI());
  if (!Chara() || FilterIndex < 0 || FilterIndex >= static_cast<int>(filters.size())) return false;
  const TExportFilter& filter = filters[FilterIndex];
  const std::string confirmed = FileName.toStdString();
  const std::string target = ExportFileName(confirmed, filter);
  const std::vector<std::string> targets = ExportTargets(target, filter, Chara()->FrameCount());
  const TPictureOptions& options = FExportSettings.Picture;
  const bool allAnimations = filter.Kind == ekSpriteSheet && FExportSettings.AllAnimations;
  // Every animation is many frames: the progress shows from the start.
  int32_t frames = std::max(1, Chara()->FrameCount());
  if (filter.Kind == ekFile) frames = ExportFrameCount(*Chara(), filter.Format, options);
  if (allAnimations) frames = kFramesWithoutProgress + 1;
  const auto exists = [](const std::string& path) { return std::filesystem::exists(path); };
  if (NeedsOverwriteQuestion(confirmed, targets, exists) &&
      !AskYesNo(this, QString(),
                Qs(LangText("%1 already exists.\nDo you want to replace it?", "%1 は既に存在します。\n上書きしますか?"))
                    .arg(Qs(targets.front())))) {
    return false;
  }

  std::unique_ptr<QProgressDialog> progress;
  if (frames > kFramesWithoutProgress) {
    progress = std::make_unique<QProgressDialog>(Qs(LangText("Saving the picture...", "画像を保存しています...")),
                                                 Qs(LangText("Cancel", "キャンセル")), 0, frames, this);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300);
  }
  const TExportProgress report = [&progress](int32_t done, int32_t total) {
    if (!progress) return true;
    progress->setMaximum(total);
    progress->setValue(done);
    return !progress->wasCanceled();
  };
  // The animation would redraw under the progress dialog: it waits.
  const bool animating = FAnimationTimer.isActive();
  FAnimationTimer.stop();
  bool written = false;
  try {
    const TExportPlan plan = PlanExport(target, filter, FExportSettings);
    WritePicture(plan.Request, FView, *Chara(), plan.Target, "", report);
    written = true;
  } catch (const TExportCancelled&) {
  } catch (const TPictureTooLarge& error) {
    // The core's words name the command line's options.
    ShowMessage(this, QString(),
                Qs(LangText("The picture would be %1 x %2 pixels, larger than can be made (16384 pixels a side, 256 "
                            "million in all).\nCrop it to the character or choose a smaller scale in \"Export "
                            "options...\".",
                            "画像が %1 x %2 ピクセルになり、作れる大きさ(一辺 16384 ピクセル、全体で 2 億 5600 万ピクセル)"
                            "を超えます。\n「書き出しオプション...」で切り抜くか、倍率を下げてください。"))
                    .arg(error.Width)
                    .arg(error.Height));
  } catch (const std::exception& error) {
    ShowMessage(this, QString(),
                Qs(LangText("The picture could not be saved.", "画像を保存できませんでした。")) + "\n" + ErrorText(error));
  }
  if (animating) StartAnimationTimer();
  return written;
}

void TfrmQuillon::CopyToClipboard() {
  if (!Chara()) return;
  const TBitmap32 picture = StillPicture(FView, *Chara(), false, FExportSettings.Picture);
  QGuiApplication::clipboard()->setImage(OpaqueImageOf(picture).convertToFormat(QImage::Format_RGB888));
}

}  // namespace varune::app
