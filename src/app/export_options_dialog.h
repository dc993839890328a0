#pragma once
// The export options dialog: the scale, the framing with its padding (a
// crop's alone), the mirror image, and whether a sprite sheet holds every
// animation. Modal; the settings it shows and returns are the window's.

#include <QDialog>

#include "viewer/export_settings.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace varune::app {

class TExportOptionsDialog : public QDialog {
 public:
  TExportOptionsDialog(QWidget* Owner, const TExportSettings& Settings);

  TExportSettings Settings() const;

 private:
  QSpinBox* seScale;
  QComboBox* cbFraming;
  QSpinBox* sePadding;
  QCheckBox* cbFlip;
  QCheckBox* cbAllAnimations;
};

// Runs the dialog over `Owner`; true, with `Settings` replaced, for OK.
bool EditExportOptions(QWidget* Owner, TExportSettings& Settings);

}  // namespace varune::app
