#pragma once
// The save slot dialog: a borderless panel listing the slots of "save.dat"
// with a preview of the selected one, run modally to choose a slot to load
// or one to save into (or a new one). Dragging its background moves it.

#include <QDialog>

#include "viewer/save_dialog.h"

class QListWidget;
class QPushButton;

namespace varune::app {

class TPictureBox;

class TStateForm : public QDialog {
 public:
  explicit TStateForm(QWidget* Owner);

  // Reads `FileName` and runs the dialog in `Mode`; true when it closed with
  // the apply button and a row selected. A file of an unknown version is
  // never saved over: the user is told and, for a save, the dialog does not
  // open. A file that cannot be read raises its error.
  bool Run(TLoadSaveState Mode, const std::string& FileName);
  int32_t SelectedRow() const;
  TSaveData& SaveData() { return FSaveData; }

 protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void SetMode(TLoadSaveState Mode, const std::string& FileName);
  void ReloadRows();
  void lbStateListClick();
  void lbStateListKeyUp(int Key);

  TSaveData FSaveData;
  TLoadSaveState FState = lsLoad;
  TBitmap32 FPanel;
  TBitmap32 FPreview;
  TPictureBox* imgPreview;
  QListWidget* lbStateList;
  QPushButton* btnApply;
  QPushButton* btnCancel;
};

}  // namespace varune::app
