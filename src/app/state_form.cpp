#include "app/state_form.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

#include "app/application.h"
#include "app/picture_box.h"
#include "database/language.h"
#include "database/panels.h"

namespace varune::app {
namespace {

constexpr QSize kClientSize(394, 216);
constexpr int kRowHeight = 12;

// The first character of a locale's date or time format that is no field
// letter: its separator ("/" of "M/d/yy", "." of "dd.MM.yy").
std::string SeparatorOf(const QString& Format, const char* Default) {
  for (const QChar c : Format)
    if (!c.isLetter() && !c.isSpace() && c != '\'') return QString(c).toStdString();
  return Default;
}

}  // namespace

TStateForm::TStateForm(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::FramelessWindowHint),
      imgPreview(new TPictureBox(this, "imgPreview")),
      lbStateList(new QListWidget(this)),
      btnApply(new QPushButton(QStringLiteral("LOAD"), this)),
      btnCancel(new QPushButton(QStringLiteral("キャンセル"), this)) {
  setObjectName(QStringLiteral("StateForm"));
  setFixedSize(kClientSize);
  // The panel's corners are the key colour: outside them the dialog is cut away.
  FPanel.SetSize(kClientSize.width(), kClientSize.height());
  TCanvas canvas(FPanel);
  DrawTable(canvas, FPanel.Width(), FPanel.Height(), true);
  setMask(QBitmap::fromImage(ImageOf(FPanel).createMaskFromColor(0xFFFF00FF, Qt::MaskInColor)));

  imgPreview->setGeometry(8, 8, 200, 200);
  imgPreview->SetPicture(&FPreview);
  imgPreview->installEventFilter(this);
  lbStateList->setObjectName(QStringLiteral("lbStateList"));
  lbStateList->setGeometry(216, 8, 165, 169);
  lbStateList->setFrameShape(QFrame::NoFrame);
  lbStateList->setUniformItemSizes(true);
  lbStateList->installEventFilter(this);
  btnApply->setObjectName(QStringLiteral("btnApply"));
  btnApply->setGeometry(216, 183, 75, 25);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(304, 183, 75, 25);
  connect(lbStateList, &QListWidget::itemSelectionChanged, this, Guarded(this, [this] { lbStateListClick(); }));
  connect(btnApply, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TStateForm::Run(TLoadSaveState Mode, const std::string& FileName) {
  SetMode(Mode, FileName);
  if (FSaveData.VersionUnknown()) {
    ShowMessage(parentWidget(), QString(),
                QString::fromStdString(LangText(
                    "save.dat was written by a version of this program that this one does not know. It is left as "
                    "it is: no slot can be loaded from it or saved to it.",
                    "save.dat はこのプログラムの知らない形式で書かれています。内容を守るため、読み込みも保存もしません。")));
    return false;
  }
  if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
  return exec() == QDialog::Accepted && SelectedRow() >= 0;
}

int32_t TStateForm::SelectedRow() const {
  const QList<QListWidgetItem*> selected = lbStateList->selectedItems();
  return selected.isEmpty() ? -1 : lbStateList->row(selected.first());
}

void TStateForm::SetMode(TLoadSaveState Mode, const std::string& FileName) {
  FState = Mode;
  FPreview = EmptyPreview();
  imgPreview->update();
  btnApply->setEnabled(false);
  btnApply->setText(Mode == lsLoad ? QStringLiteral("LOAD") : QStringLiteral("SAVE"));
  FSaveData.LoadData(FileName);
  ReloadRows();
}

void TStateForm::ReloadRows() {
  const QSignalBlocker block(lbStateList);
  lbStateList->clear();
  const QLocale locale;
  const std::string dateSeparator = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), "/");
  const std::string timeSeparator = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), ":");
  for (int32_t row = 0; row < SaveRowCount(FState, FSaveData.Count()); ++row) {
    auto* item = new QListWidgetItem(
        QString::fromStdString(SaveRowText(FSaveData, FState, row, dateSeparator, timeSeparator)), lbStateList);
    item->setSizeHint({0, kRowHeight});
  }
}

void TStateForm::lbStateListClick() {
  const int32_t row = SelectedRow();
  btnApply->setEnabled(row >= 0);
  FPreview = RowPreview(FSaveData, FState, row);
  imgPreview->update();
}

void TStateForm::lbStateListKeyUp(int Key) {
  if (Key != Qt::Key_Delete || !DeleteSlotRow(FSaveData, FState, SelectedRow())) return;
  ReloadRows();
  lbStateListClick();
}

void TStateForm::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, OpaqueImageOf(FPanel)); }

void TStateForm::mousePressEvent(QMouseEvent* Event) {
  // The dialog has no title bar: its background moves it.
  if (Event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
}

bool TStateForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == imgPreview && Event->type() == QEvent::MouseButtonPress)
    mousePressEvent(static_cast<QMouseEvent*>(Event));
  // An exception here reaches the application's notify, which shows it.
  if (Watched == lbStateList && Event->type() == QEvent::KeyRelease)
    lbStateListKeyUp(static_cast<QKeyEvent*>(Event)->key());
  return QDialog::eventFilter(Watched, Event);
}

}  // namespace varune::app
