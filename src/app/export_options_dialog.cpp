#include "app/export_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/application.h"
#include "database/language.h"

namespace varune::app {
namespace {

QString Text(const char* English, const char* Japanese) { return QString::fromStdString(LangText(English, Japanese)); }

}  // namespace

TExportOptionsDialog::TExportOptionsDialog(QWidget* Owner, const TExportSettings& Settings)
    : QDialog(Owner),
      seScale(new QSpinBox(this)),
      cbFraming(new QComboBox(this)),
      sePadding(new QSpinBox(this)),
      cbFlip(new QCheckBox(Text("Mirror left to right", "左右反転"), this)),
      cbAllAnimations(new QCheckBox(Text("Sprite sheets hold every animation", "スプライトシートに全アニメーション"), this)) {
  setObjectName(QStringLiteral("ExportOptionsDialog"));
  setWindowTitle(Text("Export options", "書き出しオプション"));
  seScale->setObjectName(QStringLiteral("seScale"));
  seScale->setRange(1, kMaxScale);
  seScale->setSuffix(QStringLiteral("x"));
  cbFraming->setObjectName(QStringLiteral("cbFraming"));
  // In the order of TFraming.
  cbFraming->addItem(Text("The whole view", "ビュー全体"));
  cbFraming->addItem(Text("Cropped to the character", "キャラクターで切り抜き"));
  sePadding->setObjectName(QStringLiteral("sePadding"));
  sePadding->setRange(0, kMaxPadding);
  sePadding->setSuffix(QStringLiteral(" px"));
  cbFlip->setObjectName(QStringLiteral("cbFlip"));
  cbAllAnimations->setObjectName(QStringLiteral("cbAllAnimations"));

  auto* form = new QFormLayout;
  form->addRow(Text("Scale:", "倍率:"), seScale);
  form->addRow(Text("Framing:", "範囲:"), cbFraming);
  form->addRow(Text("Padding:", "余白:"), sePadding);
  form->addRow(cbFlip);
  form->addRow(cbAllAnimations);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Cancel)->setText(Text("Cancel", "キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Padding frames a crop; the whole view has none.
  connect(cbFraming, &QComboBox::activated, this,
          Guarded(this, [this](int index) { sePadding->setEnabled(index == fmCrop); }));
  const TExportSettings shown = CheckedExportSettings(Settings);
  seScale->setValue(shown.Picture.Scale);
  cbFraming->setCurrentIndex(shown.Picture.Framing);
  sePadding->setValue(shown.Picture.Padding);
  sePadding->setEnabled(shown.Picture.Framing == fmCrop);
  cbFlip->setChecked(shown.Picture.Flip);
  cbAllAnimations->setChecked(shown.AllAnimations);
}

TExportSettings TExportOptionsDialog::Settings() const {
  TExportSettings settings;
  settings.Picture.Scale = seScale->value();
  settings.Picture.Framing = cbFraming->currentIndex() == fmCrop ? fmCrop : fmView;
  settings.Picture.Padding = sePadding->value();
  settings.Picture.Flip = cbFlip->isChecked();
  settings.AllAnimations = cbAllAnimations->isChecked();
  return settings;
}

bool EditExportOptions(QWidget* Owner, TExportSettings& Settings) {
  TExportOptionsDialog dialog(Owner, Settings);
  if (dialog.exec() != QDialog::Accepted) return false;
  Settings = dialog.Settings();
  return true;
}

}  // namespace varune::app
