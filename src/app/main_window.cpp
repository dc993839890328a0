// The main window's creation and shutdown: its controls and their wiring,
// the creation sequence, and the keys the window sees before its controls.
// The handlers live beside it by concern: main_window_settings.cpp,
// main_window_browser.cpp, main_window_selectors.cpp, main_window_view.cpp,
// main_window_outfit.cpp, main_window_export.cpp and main_window_dragdrop.cpp.

#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/anchors.h"
#include "app/application.h"
#include "app/fav_form.h"
#include "app/item_hint_window.h"
#include "app/item_list.h"
#include "app/picture_box.h"
#include "app/state_form.h"
#include "app/main_window_shared.h"
#include "database/language.h"
#include "database/panels.h"
#include "viewer/favorites.h"
#include "viewer/ini_file.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

// Interface colours.
const QColor kWindowColor(0x46, 0x8C, 0x7C);
const QColor kListColor(0x84, 0xBD, 0x80);

// The client area the window is laid out for; also its minimum.
constexpr QSize kDesignClientSize(734, 496);
constexpr QPoint kDesignPosition(335, 133);
// The favourites window opens this far right of and below the main window.
constexpr int kPaletteOffset = 50;

void SetBackground(QWidget* Widget, const QColor& Color) {
  QPalette palette = Widget->palette();
  palette.setColor(QPalette::Window, Color);
  palette.setColor(QPalette::Base, Color);
  Widget->setPalette(palette);
  Widget->setAutoFillBackground(true);
}

}  // namespace

TfrmQuillon::TfrmQuillon(TClock Clock) : FClock(std::move(Clock)), FAnchors(new TAnchors(this)) {
  setObjectName(QStringLiteral("frmQuillon"));
  SetBackground(this, kWindowColor);
  resize(kDesignClientSize);
  setMinimumSize(kDesignClientSize);
  move(kDesignPosition);
  FAnimationTimer.setSingleShot(true);
  FAnimationTimer.setTimerType(Qt::PreciseTimer);
  connect(&FAnimationTimer, &QTimer::timeout, this, Guarded(this, [this] { AnimationIdle(); }));
  CreateControls();
}

TfrmQuillon::~TfrmQuillon() {
  FAnimationTimer.stop();
  SaveSettings();
  pbChara->SetPicture(nullptr);
  ReleaseWardrobe();
}

void TfrmQuillon::ReleaseWardrobe() {
  // The lists and their icons refer to the browser and the database.
  lvItemList->Model()->SetList(nullptr);
  lvItemList->Delegate()->SetDataBase(nullptr);
  if (FFavForm)
    for (TItemIconList* list : {FFavForm->List(), FFavForm->RecentList()}) {
      list->Model()->SetList(nullptr);
      list->Delegate()->SetDataBase(nullptr);
    }
  FFavoriteList.Clear();
  FRecentList.Clear();
  FWardrobe.Release();
}

bool TfrmQuillon::FormCreate() {
  FErrorExit = true;
  setWindowTitle(Qs(MainWindowCaption()));
  FCacheMode = LoadCacheOptions();
  if (!IsJapaneseUI()) ApplyEnglishCaptions();
  FBuffer.SetSize(pbChara->width(), pbChara->height());
  FCharaBuffer.SetSize(FView.Geometry.Width, FView.Geometry.Height);
  pbChara->SetPicture(&FBuffer);
  PaintLoadSaveButtons();
  FillBackgrounds();
  if (FCacheMode && !GenerateCache()) return false;

  TCreationSteps steps;
  steps.ConnectEvents = [this](TChara& chara) { ConnectCharaEvents(chara); };
  steps.GenderChanged = [this] { GenderChanged(); };
  steps.LoadSettings = [this] { LoadSettings(); };
  steps.FillJobs = [this] { FillJobs(); };
  steps.ClearAnimationTypes = [this] { cbAniType->clear(); };
  steps.AddAnimationTypes = [this] { FillAnimationTypes(); };
  steps.SelectFirstAnimationType = [this] { cbAniType->setCurrentIndex(0); };
  steps.ApplyJobFilter = [this] { FilterMenuClick(fsJobSelector); };
  if (!FWardrobe.Create(FCacheMode ? CacheDir() : ClientDir(), FGenderFree, steps, FClock)) {
    ReleaseWardrobe();
    ShowMessage(nullptr, kInitializationErrorCaption, Qs(InitializationErrorText(FWardrobe.ErrorNo())));
    return false;
  }
  FErrorExit = false;
  FStateForm = new TStateForm(this);
  CreateFavForm();
  FHistory = TOutfitHistory();  // what the start put on is no step to take back
  return true;
}

void TfrmQuillon::CreateFavForm() {
  FFavForm = new TFavForm(this, FFavoriteList, FRecentList);
  for (TItemIconList* list : {FFavForm->List(), FFavForm->RecentList()}) list->Delegate()->SetDataBase(DataBase());
  FFavForm->OnEquip = [this](const TVaruneItem* Item) { EquipItem(Item); };
  FFavForm->OnRemoved = [this] { ShowFavoriteStar(); };
  const TFormPlacement main = OuterPlacement(*this);
  const TPaletteSettings current{{main.Left + kPaletteOffset, main.Top + kPaletteOffset,
                                  kPaletteClientWidth + kFormFrameWidth, kPaletteClientHeight + kFormFrameHeight},
                                 false};
  const TPaletteSettings palette = ReadPaletteSettings(TIniFile(SettingsFileName()), current);
  RestorePlacement(*FFavForm, palette.Placement, current.Placement, kPaletteMinWidth, kPaletteMinHeight);
  if (palette.Visible) {
    FFavForm->UpdateList();
    FFavForm->show();
  }
}

void TfrmQuillon::CreateControls() {
  pbChara = new TPictureBox(this, "pbChara");
  FAnchors->Place(pbChara, {4, 4, 414, 254});
  imgLoadButton = new TPictureBox(this, "imgLoadButton");
  FAnchors->Place(imgLoadButton, {108, 158, 40, 20});
  imgSaveButton = new TPictureBox(this, "imgSaveButton");
  FAnchors->Place(imgSaveButton, {108, 182, 40, 20});

  imgFilter1 = new TPictureBox(this, "imgFilter1");
  FAnchors->Place(imgFilter1, {12, 262, 89, 20});
  imgFilter3 = new TPictureBox(this, "imgFilter3");
  FAnchors->Place(imgFilter3, {104, 262, 89, 20});
  imgFilter2 = new TPictureBox(this, "imgFilter2");
  FAnchors->Place(imgFilter2, {196, 262, 89, 20});
  imgFilter2->hide();
  imgSaveImage = new TPictureBox(this, "imgSaveImage");
  FAnchors->Place(imgSaveImage, {300, 258, 61, 20});
  imgFavorite = new TPictureBox(this, "imgFavorite");
  FAnchors->Place(imgFavorite, {460, 262, 36, 20});
  imgFavorite->hide();
  connect(imgFavorite, &TPictureBox::Clicked, this, Guarded(this, [this] { imgFavoriteClick(); }));
  for (TPictureBox* box : {imgFilter1, imgFilter2, imgFilter3, imgFavorite}) box->setCursor(Qt::PointingHandCursor);
  connect(pbChara, &TPictureBox::Painted, this, &TfrmQuillon::CharaViewPainted);
  connect(imgLoadButton, &TPictureBox::Clicked, this, Guarded(this, [this] { imgLoadButtonClick(); }));
  connect(imgSaveButton, &TPictureBox::Clicked, this, Guarded(this, [this] { imgSaveButtonClick(); }));
  connect(imgSaveImage, &TPictureBox::Clicked, this, Guarded(this, [this] { imgSaveImageClick(); }));

  imgTextFilter = new TPictureBox(this, "imgTextFilter");
  FAnchors->Place(imgTextFilter, {520, 262, 197, 20}, akTopRight);
  lblSearch = new QLabel(QStringLiteral("検索:"), this);
  lblSearch->setObjectName(QStringLiteral("lblSearch"));
  lblSearch->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SetBackground(lblSearch, kListColor);
  FAnchors->Place(lblSearch, {526, 267, 26, 14}, akTopRight);
  edFilter = new QLineEdit(this);
  edFilter->setObjectName(QStringLiteral("edFilter"));
  edFilter->setFrame(false);
  edFilter->setClearButtonEnabled(true);
  SetBackground(edFilter, kListColor);
  FAnchors->Place(edFilter, {556, 267, 155, 14}, akTopRight);

  pnEquipControls = CreateEquipControls();
  FAnchors->Place(pnEquipControls, {424, 4, 302, 206}, akLeft | akTop | akRight);

  pnItemListOwner = new QWidget(this);
  pnItemListOwner->setObjectName(QStringLiteral("pnItemListOwner"));
  FAnchors->Place(pnItemListOwner, {0, 282, 734, 214}, akAll);
  pnItemList = new QWidget(pnItemListOwner);
  pnItemList->setObjectName(QStringLiteral("pnItemList"));
  SetBackground(pnItemList, kWindowColor);
  FAnchors->Place(pnItemList, {0, 0, 734, 214}, akAll);
  pbItemListView = new TPictureBox(pnItemList, "pbItemListView");
  FAnchors->Place(pbItemListView, {4, 0, 726, 210}, akAll);
  pbItemListView->SetPainter([](TBitmap32& picture) {
    TCanvas canvas(picture);
    DrawTable(canvas, picture.Width(), picture.Height(), false);
  });
  lvItemList = new TItemIconList(pnItemList, "lvItemList");
  FAnchors->Place(lvItemList, {16, 2, 704, 206}, akAll);
  connect(lvItemList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          Guarded(this, [this] { lvItemListSelectItem(); }));
  connect(lvItemList, &QListView::doubleClicked, this, Guarded(this, [this] { EquipItem(Browser()->SelectedItem()); }));

  lvItemList->viewport()->setMouseTracking(true);
  FHintWindow = new TItemHintWindow(this);
  // The card goes with the application's activation (another program's window in front).
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState State) {
    if (State != Qt::ApplicationActive) HideItemCard();
  });

  pbChara->setMouseTracking(true);
  pbChara->setAcceptDrops(true);
  pbChara->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pbChara, &QWidget::customContextMenuRequested, this,
          Guarded(this, [this](QPoint at) { pbCharaContextMenu(at); }));
  connect(pbChara, &TPictureBox::MousePressed, this,
          Guarded(this, [this](QPoint at, Qt::MouseButton button) { pbCharaMouseDown(at, button); }));
  connect(pbChara, &TPictureBox::MouseMoved, this, Guarded(this, [this](QPoint at) { pbCharaMouseMove(at); }));
  // Leaving the panel counts as no slot, so that no card stays behind.
  connect(pbChara, &TPictureBox::MouseLeft, this, Guarded(this, [this] { pbCharaMouseMove({-1, -1}); }));
  for (auto [button, sender] : {std::pair{imgFilter1, fsSlotMenu}, std::pair{imgFilter2, fsWeaponMenu},
                                std::pair{imgFilter3, fsCategoryMenu}})
    connect(button, &TPictureBox::Clicked, this,
            Guarded(this, [this, button, sender] { FilterClick(button, sender); }));
  connect(edFilter, &QLineEdit::textChanged, this, Guarded(this, [this] { FilterMenuClick(fsSearchBox); }));
  connect(edFilter, &QLineEdit::returnPressed, this, Guarded(this, [this] { SearchEverySlot(); }));
  for (QToolButton* clear : edFilter->findChildren<QToolButton*>()) clear->setCursor(Qt::PointingHandCursor);

  // The window sees every event first (key preview): Ctrl+C, the list's
  // hidden keys, the pointer leaving the list.
  qApp->installEventFilter(this);
}

QWidget* TfrmQuillon::CreateEquipControls() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("pnEquipControls"));
  auto place = [panel](QWidget* control, const char* name, const QRect& geometry) {
    control->setParent(panel);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
  };
  auto combo = [&](const char* name, const QRect& geometry) {
    auto* box = new QComboBox;
    box->setMaxVisibleItems(20);
    place(box, name, geometry);
    return box;
  };
  auto check = [&](const char* name, const QString& caption, const QRect& geometry) {
    auto* box = new QCheckBox(caption);
    place(box, name, geometry);
    return box;
  };
  auto button = [&](const char* name, const QString& caption, const QRect& geometry) {
    auto* push = new QPushButton(caption);
    place(push, name, geometry);
    return push;
  };

  // Left column: the appearance and the job.
  cbHair = combo("cbHair", {0, 0, 157, 20});
  cbHairColor = combo("cbHairColor", {0, 24, 157, 20});
  cbFace = combo("cbFace", {0, 48, 157, 20});
  cbEyeColor = combo("cbEyeColor", {0, 72, 157, 20});
  cbBody = combo("cbBody", {0, 96, 157, 20});
  tbTops = new QSlider(Qt::Horizontal);
  place(tbTops, "tbTops", {0, 118, 78, 20});
  tbBottom = new QSlider(Qt::Horizontal);
  place(tbBottom, "tbBottom", {76, 118, 78, 20});
  // Each choice the user makes is one undo step: a track bar's drag is one
  // from its press to its release.
  for (QSlider* slider : {tbTops, tbBottom}) {
    slider->setRange(0, 0);
    slider->setPageStep(1);
    connect(slider, &QSlider::valueChanged, this, Guarded(this, [this, slider](int position) {
              OutfitStep([&] { BaseChange(slider, position); });
            }));
    connect(slider, &QSlider::sliderPressed, this, [this] { FHistory.BeginStep(OutfitSnapshot()); });
    connect(slider, &QSlider::sliderReleased, this, [this] { FHistory.EndStep(OutfitSnapshot()); });
  }
  // The style selectors refill their colour selectors; the colour and body
  // selectors put their item on.
  const auto choice = [this](QComboBox* combo, std::function<void(int)> choose) {
    connect(combo, &QComboBox::activated, this,
            Guarded(this, [this, choose](int index) { OutfitStep([&] { choose(index); }); }));
  };
  choice(cbHair, [this](int index) {
    FHair.ItemIndex = index;
    cbHairSelect();
  });
  choice(cbFace, [this](int index) {
    FFace.ItemIndex = index;
    cbFaceSelect();
  });
  choice(cbHairColor, [this](int index) {
    FHairColor.ItemIndex = index;
    BasicItemSelect(FHairColor, FWardrobe.DataBase()->GetHairList(Chara()->Gender()));
  });
  choice(cbEyeColor, [this](int index) {
    FEyeColor.ItemIndex = index;
    BasicItemSelect(FEyeColor, FWardrobe.DataBase()->GetFaceList(Chara()->Gender()));
  });
  choice(cbBody, [this](int index) {
    FBody.ItemIndex = index;
    BasicItemSelect(FBody, FWardrobe.DataBase()->Bodies());
  });
  cbJob = combo("cbJob", {0, 136, 157, 20});
  choice(cbJob, [this](int) { FilterMenuClick(fsJobSelector); });

  // Hidden until the key sequence of the item list is typed.
  cbHideHair = check("cbHideHair", {}, {158, 0, 16, 20});
  cbHideFace = check("cbHideFace", {}, {158, 48, 16, 20});
  cbHideBody = check("cbHideBody", {}, {158, 96, 16, 20});
  cbHideTops = check("cbHideTops", {}, {158, 116, 16, 20});
  cbHideBottoms = check("cbHideBottoms", {}, {158, 137, 16, 20});
  for (auto [box, part] : {std::pair{cbHideHair, hoHair}, std::pair{cbHideFace, hoFace}, std::pair{cbHideBody, hoBody},
                           std::pair{cbHideTops, hoTops}, std::pair{cbHideBottoms, hoBottoms}}) {
    box->hide();
    connect(box, &QCheckBox::toggled, this, Guarded(this, [this, part](bool hidden) {
              Chara()->HideOptions = hidden ? Chara()->HideOptions | part : Chara()->HideOptions & ~part;
              RenderCharaView();
            }));
  }

  // Right column: background, animation, view size and the favourites window.
  cbBackground = combo("cbBackground", {178, 0, 100, 20});
  connect(cbBackground, &QComboBox::activated, this, Guarded(this, [this](int index) { cbBackgroundSelect(index); }));
  btnColor = button("btnColor", QStringLiteral("..."), {282, 0, 20, 20});
  connect(btnColor, &QPushButton::clicked, this, Guarded(this, [this] { btnColorClick(); }));
  cbAnimation = check("cbAnimation", QStringLiteral("Animate"), {178, 26, 72, 18});
  connect(cbAnimation, &QCheckBox::toggled, this, Guarded(this, [this](bool checked) { cbAnimationClick(checked); }));
  btnPrevFrame = button("btnPrevFrame", QStringLiteral("<][]"), {250, 24, 26, 22});
  connect(btnPrevFrame, &QPushButton::clicked, this, Guarded(this, [this] { btnPrevFrameClick(); }));
  btnNextFrame = button("btnNextFrame", QStringLiteral("[][>"), {276, 24, 26, 22});
  connect(btnNextFrame, &QPushButton::clicked, this, Guarded(this, [this] { btnNextFrameClick(); }));
  cbAniType = combo("cbAniType", {178, 48, 124, 20});
  connect(cbAniType, &QComboBox::activated, this, Guarded(this, [this](int index) { cbAniTypeSelect(index); }));
  seEmotIconNum = new QSpinBox;
  place(seEmotIconNum, "seEmotIconNum", {178, 72, 60, 20});
  seEmotIconNum->setRange(1, 122);
  seEmotIconNum->hide();
  connect(seEmotIconNum, &QSpinBox::valueChanged, this, Guarded(this, [this](int value) {
            if (Chara()) Chara()->SetEmotIconNum(value);
          }));
  cbSupportLine = check("cbSupportLine", QStringLiteral("補助線"), {244, 72, 58, 20});
  cbSupportLine->hide();
  connect(cbSupportLine, &QCheckBox::toggled, this, Guarded(this, [this](bool) { RenderCharaView(); }));
  btnChangeSize = button("btnChangeSize", QStringLiteral("サイズ変更"), {178, 106, 124, 22});
  connect(btnChangeSize, &QPushButton::clicked, this, Guarded(this, [this] { btnChangeSizeClick(); }));
  btnTogglePalette = button("btnTogglePalette", QStringLiteral("パレット"), {178, 132, 124, 22});
  connect(btnTogglePalette, &QPushButton::clicked, this, Guarded(this, [this] { btnTogglePaletteClick(); }));

  // Bottom: the options that take effect at the next start.
  cbCacheMode = check("cbCacheMode", QStringLiteral("キャッシュモード"), {0, 164, 150, 18});
  connect(cbCacheMode, &QCheckBox::toggled, this, Guarded(this, [this](bool checked) { cbCacheModeClick(checked); }));
  cbDisableCheck = check("cbDisableCheck", QStringLiteral("起動時チェック無効"), {0, 184, 150, 18});
  connect(cbDisableCheck, &QCheckBox::toggled, this,
          Guarded(this, [this](bool checked) { cbDisableCheckClick(checked); }));
  return panel;
}

void TfrmQuillon::ApplyEnglishCaptions() {
  btnChangeSize->setText(QStringLiteral("Toggle Size"));
  cbCacheMode->setText(QStringLiteral("Cache mode"));
  cbDisableCheck->setText(QStringLiteral("Disable check for updates"));
  cbDisableCheck->resize(300, cbDisableCheck->height());
  // The label is right-aligned: it grows to the left, and the frame behind
  // it grows with it so that its right edge stays.
  lblSearch->setText(QStringLiteral("Search:"));
  const int growth = std::max(0, lblSearch->fontMetrics().horizontalAdvance(lblSearch->text()) + 1 - lblSearch->width());
  QRect label = lblSearch->geometry();
  label.setLeft(label.left() - growth);
  FAnchors->Move(lblSearch, label);
  QRect frame = imgTextFilter->geometry();
  frame.setLeft(frame.left() - growth);
  FAnchors->Move(imgTextFilter, frame);
}

void TfrmQuillon::PaintLoadSaveButtons() {
  for (auto [box, caption] : {std::pair{imgLoadButton, "LOAD"}, std::pair{imgSaveButton, "SAVE"}})
    box->Paint([caption](TBitmap32& picture) {
      TCanvas canvas(picture);
      DrawButtonImage(canvas, 0, 0, caption);
    });
}

void TfrmQuillon::ConnectCharaEvents(TChara& Chara) {
  lvItemList->Delegate()->SetDataBase(FWardrobe.DataBase());
  Browser()->SetJobSelector([this] { return cbJob->currentIndex(); });
  Chara.OnChangeSequence = [this](TChara&) { CharaChangeSequence(); };
  Chara.OnAnimation = [this](TChara&) { RenderCharaView(); };
  Chara.OnGenderChange = [this](TChara&) { GenderChanged(); };
  Chara.OnModified = [this](TChara&) { CharaModified(); };
}

bool TfrmQuillon::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == lvItemList && Event->type() == QEvent::KeyPress && Browser())
    lvItemListKeyDown(static_cast<QKeyEvent*>(Event)->key());
  if (Watched == lvItemList->viewport() && Event->type() == QEvent::Leave) HideItemCard();
  if (Watched == lvItemList->viewport() && Event->type() == QEvent::MouseMove)
    lvItemListShowHint(static_cast<QMouseEvent*>(Event)->position().toPoint());
  if (Watched == pbChara && ViewDropEvent(Event)) return true;
  // The window's own shortcuts, while it is active and the search box does
  // not have the focus (there they copy, paste and undo the box's text).
  if (Event->type() == QEvent::KeyPress && isActiveWindow() && Watched->isWidgetType() &&
      static_cast<QWidget*>(Watched)->window() == this && focusWidget() != edFilter && Chara()) {
    const auto* key = static_cast<QKeyEvent*>(Event);
    const bool control = key->modifiers() == Qt::ControlModifier;
    const bool controlShift = key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
    if (control && key->key() == Qt::Key_C) CopyToClipboard();
    else if (control && key->key() == Qt::Key_V) PasteOutfitCode(QGuiApplication::clipboard()->text());
    else if (control && key->key() == Qt::Key_Z) UndoOutfit();
    else if ((controlShift && key->key() == Qt::Key_Z) || (control && key->key() == Qt::Key_Y)) RedoOutfit();
    else return QWidget::eventFilter(Watched, Event);
    return true;
  }
  return QWidget::eventFilter(Watched, Event);
}

void TfrmQuillon::closeEvent(QCloseEvent* Event) {
  FAnimationTimer.stop();
  FPaletteVisibleAtClose = FFavForm && FFavForm->isVisible();
  QWidget::closeEvent(Event);
}

}  // namespace varune::app
