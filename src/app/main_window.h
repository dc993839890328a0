#pragma once
// The main window: the slot panel and the character view, the filter row and
// the item browser below them, the appearance, animation and option controls
// on the right. It owns the database and the character (through TWardrobe),
// the two pictures behind the character view, the animation clock and the
// outfit's undo history. Its code is split by concern (src/app/README.md).

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "character/chara.h"
#include "viewer/animation_clock.h"
#include "viewer/backgrounds.h"
#include "viewer/export_settings.h"
#include "viewer/hidden_keys.h"
#include "viewer/outfit_history.h"
#include "viewer/selectors.h"
#include "viewer/view.h"
#include "viewer/wardrobe.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QTemporaryDir;
class QSlider;
class QSpinBox;

namespace varune::app {

class TAnchors;
class TFavForm;
class TStateForm;
class TItemHintWindow;
class TItemIconList;
class TPictureBox;

// The view's zoom menu offers 1x to this.
inline constexpr int32_t kMaxViewZoom = 4;

class TfrmQuillon : public QWidget {
  Q_OBJECT

 public:
  // `Clock` drives the character's frame times and the animation (tests give
  // a clock of their own).
  explicit TfrmQuillon(TClock Clock = TimeGetTime);
  ~TfrmQuillon() override;

  // The creation sequence: false when it failed; the user has then been
  // told, and the program ends without showing the window or saving.
  bool FormCreate();
  int32_t ErrorNo() const { return FWardrobe.ErrorNo(); }
  bool ErrorExit() const { return FErrorExit; }

  TVaruneDatabase* DataBase() { return FWardrobe.DataBase(); }
  TChara* Chara() { return FWardrobe.Chara(); }
  TItemBrowser* Browser() { return FWardrobe.Browser(); }
  const TVaruneItemList& FavoriteList() const { return FFavoriteList; }
  // The items recently put on, newest first ("recent.dat").
  const TVaruneItemList& RecentList() const { return FRecentList; }
  const TBitmap32& Buffer() const { return FBuffer; }
  const TBitmap32& CharaBuffer() const { return FCharaBuffer; }
  const TCharaView& View() const { return FView; }
  // The options every export and the clipboard's picture are drawn with.
  const TExportSettings& ExportSettings() const { return FExportSettings; }
  // How many times the view is shown enlarged (1 to kMaxViewZoom); the
  // pictures made of it are not.
  int32_t ViewZoom() const { return FViewZoom; }
  void SetViewZoom(int32_t Zoom);

  // Browses slot PosID (1 to 14) with the filters kept, as a click on its
  // cell in the slot panel does.
  void SelectEquipList(int32_t PosID);
  // Puts an item on the character (the item list, the favourites).
  void EquipItem(const TVaruneItem* Item);
  // One step of the animation loop: steps the frame when it is due and arms
  // the timer for the next one.
  void AnimationIdle();
  // Writes the picture with the save dialog's filter `FilterIndex` (0-based)
  // to `FileName` (its extension replaced as the filter says); false when
  // nothing was written (cancelled, refused or failed: the user was told).
  bool ExportPicture(const QString& FileName, int FilterIndex);
  // Copies the character picture, drawn with the export options, to the
  // clipboard as a 24-bit picture.
  void CopyToClipboard();
  // Dresses the character in a random outfit; the selectors follow.
  void RandomOutfit();
  // Dresses the character by the outfit code in `Text` (a code, an outfit
  // link, an address of the web page), as one undo step; text without a code
  // that reads is told and changes nothing (Ctrl+V, the context menu).
  void PasteOutfitCode(const QString& Text);
  // The same for a link handed over by another start of the program or on
  // the command line; the window then comes to the front.
  void OpenOutfitLink(const QString& Text);
  // Takes back the last step of the outfit, or brings back the last one
  // taken back; false when there was none.
  bool UndoOutfit();
  bool RedoOutfit();
  // Browses every slot with the search box's text (Enter in the box).
  void SearchEverySlot();
  // What dragging the picture out of the view carries: the picture as
  // exported with the export options, as image data and as a PNG file in a
  // folder of the program's own, removed at exit. Null when it cannot be made.
  QMimeData* PictureDragData();
  // The interface language chosen in the context menu for the next start;
  // nullopt while the locale decides.
  std::optional<bool> LanguageChoice() const { return FLanguageChoice; }

 signals:
  // The character view has been painted on screen (start-up measurements).
  void CharaViewPainted();

 protected:
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void CreateControls();
  void ReleaseWardrobe();
  QWidget* CreateEquipControls();
  void ApplyEnglishCaptions();
  bool LoadCacheOptions();
  // Makes or refreshes the archive copies of cache mode; false when the
  // program cannot go on (the user has been told) or the user cancelled.
  bool GenerateCache();
  void LoadSettings();
  // The settings file and "fav.dat", at exit after a successful start.
  void SaveSettings();
  void SaveSettingsFile();
  void FillBackgrounds();
  void PaintLoadSaveButtons();

  // Creation steps that need the widgets.
  void ConnectCharaEvents(TChara& Chara);
  void GenderChanged();
  void FillJobs();
  void FillAnimationTypes();

  void UpdateFilterButtons();
  void FilterClick(TPictureBox* Button, TFilterSender Sender);
  void FilterMenuClick(TFilterSender Sender, int32_t Position = 0);
  // Shows the browser's list and selection after it changed; the list of a
  // slot newly browsed starts at its first item.
  void ShowItemList(bool NewSlot = false);
  void lvItemListSelectItem();
  void lvItemListKeyDown(int Key);
  void HideItemCard();
  // The star of the selected item, hidden without one.
  void ShowFavoriteStar();
  void imgFavoriteClick();
  void btnTogglePaletteClick();
  void imgLoadButtonClick();
  void imgSaveButtonClick();
  // The appearance and job selectors show what the character wears, without
  // their handlers (a loaded slot, a pasted outfit code).
  void SelectorsFollowChara();
  void pbCharaContextMenu(QPoint Position);
  void ExportOptionsClick();
  void CreateFavForm();
  // The card of the item under `Position` (viewport coordinates), or none.
  void lvItemListShowHint(QPoint Position);

  void pbCharaMouseDown(QPoint Position, Qt::MouseButton Button);
  void pbCharaMouseMove(QPoint Position);

  static void ShowCombo(QComboBox* Combo, const TComboState& State);
  void cbHairSelect();
  void cbFaceSelect();
  // A style chosen: its colours listed and the selected colour put on.
  void StyleSelect(const TComboState& Style, TComboState& Colors, QComboBox* ColorCombo, const TVaruneItemList& Items,
                   const TVaruneBasicList& ColorRecords);
  void BasicItemSelect(const TComboState& Combo, const TVaruneItemList& Items);
  void BaseChange(QSlider* Slider, int Position);

  // Runs a change of the user's as one undo step (nested ones join the
  // outermost); while an undo restores an outfit, changes are not steps.
  void OutfitStep(const std::function<void()>& Change);
  TOutfitSnapshot OutfitSnapshot();
  void RestoreOutfit(const TOutfitSnapshot& Snapshot);
  // Puts on a code that reads (standard Base64) as one undo step.
  void PutOnOutfit(const std::string& Code);
  void StartPictureDrag();
  // Drags over and drops on the character view; true when handled.
  bool ViewDropEvent(QEvent* Event);

  void CharaModified();
  void DrawEquipPanel();
  void RenderCharaView();
  void CharaChangeSequence();
  void StartAnimationTimer();

  void cbAnimationClick(bool Checked);
  void btnPrevFrameClick();
  void btnNextFrameClick();
  void cbAniTypeSelect(int Index);
  void cbBackgroundSelect(int Index);
  void btnColorClick();
  void btnChangeSizeClick();
  void imgSaveImageClick();
  void cbCacheModeClick(bool Checked);
  void cbDisableCheckClick(bool Checked);
  void TellNextStartup();

  TClock FClock;
  TWardrobe FWardrobe;
  TCharaView FView;
  TBitmap32 FBuffer;
  TBitmap32 FCharaBuffer;
  // The view as the zoom shows it, when it is zoomed.
  TBitmap32 FZoomedView;
  int32_t FViewZoom = 1;
  TExportSettings FExportSettings;
  TAnimationClock FAnimationClock;
  QTimer FAnimationTimer;
  std::vector<TBackgroundEntry> FBackgrounds;
  bool FLargeCharaView = true;

  bool FErrorExit = true;
  bool FCacheMode = false;
  bool FDisableCheck = false;
  bool FGenderFree = false;
  THiddenKeys FHiddenKeys;
  // The slot under the mouse at the last move over the slot panel, or -1.
  int32_t FHintIndex = -1;
  bool FHintShowing = false;
  TItemHintWindow* FHintWindow;
  // Refer to the database's items; emptied before the database goes.
  TVaruneItemList FFavoriteList;
  TVaruneItemList FRecentList;
  TOutfitHistory FHistory;
  bool FRestoringOutfit = false;
  std::optional<bool> FLanguageChoice;
  // Where a drag on the view began, while the left button holds; made on
  // the first drag, the folder of the dragged pictures.
  std::optional<QPoint> FDragStart;
  std::unique_ptr<QTemporaryDir> FDragFolder;
  int32_t FDragCount = 0;
  // Made once the window's creation has succeeded.
  TStateForm* FStateForm = nullptr;
  TFavForm* FFavForm = nullptr;
  // Whether the favourites window was visible when this window closed.
  std::optional<bool> FPaletteVisibleAtClose;
  // The appearance selectors' entries, mirrored into the combo boxes.
  TComboState FHair, FHairColor, FFace, FEyeColor, FBody;

  // The save dialog's folder and filter, kept for the run.
  QString FExportFolder;
  int FExportFilter = 0;

  TAnchors* FAnchors;
  TPictureBox* pbChara;
  TPictureBox* imgLoadButton;
  TPictureBox* imgSaveButton;
  TPictureBox* imgFilter1;
  TPictureBox* imgFilter2;
  TPictureBox* imgFilter3;
  TPictureBox* imgSaveImage;
  TPictureBox* imgFavorite;
  TPictureBox* imgTextFilter;
  QLabel* lblSearch;
  QLineEdit* edFilter;
  QWidget* pnEquipControls;
  QComboBox* cbHair;
  QComboBox* cbHairColor;
  QComboBox* cbFace;
  QComboBox* cbEyeColor;
  QComboBox* cbBody;
  QSlider* tbTops;
  QSlider* tbBottom;
  QComboBox* cbJob;
  QCheckBox* cbHideHair;
  QCheckBox* cbHideFace;
  QCheckBox* cbHideBody;
  QCheckBox* cbHideTops;
  QCheckBox* cbHideBottoms;
  QComboBox* cbBackground;
  QPushButton* btnColor;
  QCheckBox* cbAnimation;
  QPushButton* btnPrevFrame;
  QPushButton* btnNextFrame;
  QComboBox* cbAniType;
  QSpinBox* seEmotIconNum;
  QCheckBox* cbSupportLine;
  QPushButton* btnChangeSize;
  QPushButton* btnTogglePalette;
  QCheckBox* cbCacheMode;
  QCheckBox* cbDisableCheck;
  QWidget* pnItemListOwner;
  QWidget* pnItemList;
  TPictureBox* pbItemListView;
  TItemIconList* lvItemList;
};

}  // namespace varune::app
