#include "app/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QProgressDialog>
#include <QScreen>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <filesystem>

#include "app/anchors.h"
#include "app/application.h"
#include "app/export_options_dialog.h"
#include "app/fav_form.h"
#include "app/item_hint_window.h"
#include "app/item_list.h"
#include "app/picture_box.h"
#include "app/state_form.h"
#include "database/language.h"
#include "database/panels.h"
#include "imaging/framing.h"
#include "viewer/client_cache.h"
#include "viewer/export.h"
#include "viewer/export_choice.h"
#include "viewer/favorites.h"
#include "viewer/ini_file.h"
#include "viewer/random_outfit.h"
#include "viewer/settings.h"
#include "viewer/slot_panel.h"
#include "viewer/picture_writer.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

// Interface colours.
const QColor kWindowColor(0x46, 0x8C, 0x7C);
const QColor kListColor(0x84, 0xBD, 0x80);

// The client area the window is laid out for; also its minimum.
constexpr QSize kDesignClientSize(734, 496);
constexpr QPoint kDesignPosition(335, 133);
// The paint box is the character picture plus the slot panel and margins.
constexpr int kPaintBoxExtraWidth = 164;
constexpr int kPaintBoxExtraHeight = 4;
constexpr int kCharaViewLeft = 154;
constexpr int kCharaViewTop = 2;
// No frame of a sequence is shown longer than this (milliseconds).
constexpr uint32_t kLongestFrameTime = 1 << 20;
// The favourites window opens this far right of and below the main window.
constexpr int kPaletteOffset = 50;
constexpr char kFavoritesFileName[] = "fav.dat";
constexpr char kSaveFileName[] = "save.dat";
// The cache copy's progress bar runs in this many steps per archive.
constexpr int kCacheProgressSteps = 1000;
// The item list's card stands this far below the pointer.
constexpr int kHintBelowPointer = 20;
// Above this many frames an export shows its progress.
constexpr int32_t kFramesWithoutProgress = 4;

QString Qs(const std::string& Text) { return QString::fromStdString(Text); }

// No accelerators anywhere: an "&" where the toolkit would take it as a
// shortcut mark (menus, buttons, check boxes) is doubled to show as it is.
// Drop-down entries show their text as it stands.
QString ShortcutFreeCaption(const std::string& Text) { return Qs(Text).replace('&', QStringLiteral("&&")); }

void SetBackground(QWidget* Widget, const QColor& Color) {
  QPalette palette = Widget->palette();
  palette.setColor(QPalette::Window, Color);
  palette.setColor(QPalette::Base, Color);
  Widget->setPalette(palette);
  Widget->setAutoFillBackground(true);
}

// Wayland gives clients no say over, and no knowledge of, their position.
bool WindowPositionsWork() { return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland")); }

// A window's placement as the settings keep it: its outer size with the
// file's fixed frame.
TFormPlacement OuterPlacement(const QWidget& Window) {
  return {Window.x(), Window.y(), Window.width() + kFormFrameWidth, Window.height() + kFormFrameHeight};
}

// Puts `Window` where the settings say, or at `Default` when that placement
// is too small or off every screen. Positions only where the window system
// takes them.
void RestorePlacement(QWidget& Window, const TFormPlacement& Saved, const TFormPlacement& Default, int32_t MinWidth,
                      int32_t MinHeight) {
  const bool positioned = WindowPositionsWork();
  std::vector<TRect> screens;
  if (positioned)
    for (const QScreen* screen : QGuiApplication::screens()) {
      const QRect area = screen->availableGeometry();
      screens.push_back({area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    }
  const TFormPlacement placement = UsablePlacement(Saved, Default, screens, MinWidth, MinHeight);
  if (positioned) Window.move(placement.Left, placement.Top);
  Window.resize(placement.Width - kFormFrameWidth, placement.Height - kFormFrameHeight);
}

// A tab or filter button: the panel shape with a caption centred on it,
// `Offset` pixels below the centre.
void PaintTab(TPictureBox* Box, void (*Shape)(TCanvas&, int32_t, int32_t), std::string_view Text, int32_t Offset) {
  Box->Paint([&](TBitmap32& picture) {
    TCanvas canvas(picture);
    Shape(canvas, picture.Width(), picture.Height());
    if (!Text.empty())
      canvas.TextOut((picture.Width() - canvas.TextWidth(Text)) / 2,
                     (picture.Height() - canvas.TextHeight(Text)) / 2 + Offset, Text);
  });
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
  if (FFavForm) {
    FFavForm->List()->Model()->SetList(nullptr);
    FFavForm->List()->Delegate()->SetDataBase(nullptr);
  }
  FFavoriteList.Clear();
  FWardrobe.Release();
}

// ---- Creation ----------------------------------------------------------------

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
  return true;
}

void TfrmQuillon::CreateFavForm() {
  FFavForm = new TFavForm(this, FFavoriteList);
  FFavForm->List()->Delegate()->SetDataBase(DataBase());
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
  for (QSlider* slider : {tbTops, tbBottom}) {
    slider->setRange(0, 0);
    slider->setPageStep(1);
    connect(slider, &QSlider::valueChanged, this,
            Guarded(this, [this, slider](int position) { BaseChange(slider, position); }));
  }
  // The style selectors refill their colour selectors; the colour and body
  // selectors put their item on.
  connect(cbHair, &QComboBox::activated, this, Guarded(this, [this](int index) {
            FHair.ItemIndex = index;
            cbHairSelect();
          }));
  connect(cbFace, &QComboBox::activated, this, Guarded(this, [this](int index) {
            FFace.ItemIndex = index;
            cbFaceSelect();
          }));
  connect(cbHairColor, &QComboBox::activated, this, Guarded(this, [this](int index) {
            FHairColor.ItemIndex = index;
            BasicItemSelect(FHairColor, FWardrobe.DataBase()->GetHairList(Chara()->Gender()));
          }));
  connect(cbEyeColor, &QComboBox::activated, this, Guarded(this, [this](int index) {
            FEyeColor.ItemIndex = index;
            BasicItemSelect(FEyeColor, FWardrobe.DataBase()->GetFaceList(Chara()->Gender()));
          }));
  connect(cbBody, &QComboBox::activated, this, Guarded(this, [this](int index) {
            FBody.ItemIndex = index;
            BasicItemSelect(FBody, FWardrobe.DataBase()->Bodies());
          }));
  cbJob = combo("cbJob", {0, 136, 157, 20});
  connect(cbJob, &QComboBox::activated, this, Guarded(this, [this] { FilterMenuClick(fsJobSelector); }));

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

bool TfrmQuillon::LoadCacheOptions() {
  const TIniFile settings(SettingsFileName());
  const bool cacheMode = settings.ReadBool("Data", "CacheMode", false);
  FDisableCheck = settings.ReadBool("Data", "DisableCheck", false);
  FGenderFree = settings.ReadBool("Data", "GenderFree", false);
  {
    const QSignalBlocker blockCache(cbCacheMode);
    const QSignalBlocker blockCheck(cbDisableCheck);
    cbCacheMode->setChecked(cacheMode);
    cbDisableCheck->setChecked(FDisableCheck);
  }
  cbDisableCheck->setEnabled(cacheMode);
  return cacheMode;
}

void TfrmQuillon::LoadSettings() {
  const TIniFile settings(SettingsFileName());
  const TFormPlacement current = OuterPlacement(*this);
  RestorePlacement(*this, ReadPlacement(settings, "Form", current), current, kFormMinWidth, kFormMinHeight);

  TOutfitSettings now;
  now.Gender = Chara()->Gender();
  now.Tops = tbTops->value();
  now.Bottom = tbBottom->value();
  const TOutfitSettings outfit = ReadOutfitSettings(settings, now);
  RestoreCharaOutfit(*Chara(), outfit);

  const TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  const auto restoreStyle = [&](TComboState& Style, QComboBox* StyleCombo, int32_t StyleID, TComboState& Colors,
                                QComboBox* ColorCombo, int32_t ColorID, const TVaruneItemList& Items,
                                const TVaruneBasicList& ColorRecords) {
    if (!RestoreStyle(Style, Colors, StyleID, ColorID, Items, ColorRecords)) return;
    ShowCombo(StyleCombo, Style);
    ShowCombo(ColorCombo, Colors);
    BasicItemSelect(Colors, Items);
  };
  restoreStyle(FHair, cbHair, outfit.Hair, FHairColor, cbHairColor, outfit.HairColor, database.GetHairList(gender),
               database.BasicHairColors());
  restoreStyle(FFace, cbFace, outfit.Face, FEyeColor, cbEyeColor, outfit.EyeColor, database.GetFaceList(gender),
               database.BasicEyeColors());
  Chara()->Base(outfit.Body);
  SelectComboID(FBody, outfit.Body);
  ShowCombo(cbBody, FBody);
  tbTops->setValue(outfit.Tops);
  tbBottom->setValue(outfit.Bottom);
  FExportSettings = ReadExportSettings(settings);
  ReadFavorites(AppDir() + kFavoritesFileName, database.ItemList(), FFavoriteList);
}

void TfrmQuillon::SaveSettings() {
  if (FErrorExit) return;
  // Two files, two steps: one that fails is told and the other still written.
  const auto step = [](const char* English, const char* Japanese, const std::function<void()>& Save) {
    try {
      Save();
    } catch (const std::exception& error) {
      ShowMessage(nullptr, QString(), Qs(LangText(English, Japanese)) + "\n" + ErrorText(error));
    }
  };
  if (SettingsFileWritable())
    step("The settings could not be saved.", "設定を保存できませんでした。", [this] { SaveSettingsFile(); });
  step("The favourites could not be saved.", "お気に入りを保存できませんでした。",
       [this] { WriteFavorites(AppDir() + kFavoritesFileName, FFavoriteList); });
}

void TfrmQuillon::SaveSettingsFile() {
  TIniFile settings(SettingsFileName());
  if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
    WritePlacement(settings, "Form", OuterPlacement(*this), WindowPositionsWork());
  TOutfitSettings outfit = CharaOutfit(*Chara());
  outfit.Hair = SelectedComboID(FHair);
  outfit.HairColor = SelectedComboID(FHairColor);
  outfit.Face = SelectedComboID(FFace);
  outfit.EyeColor = SelectedComboID(FEyeColor);
  outfit.Body = SelectedComboID(FBody);
  outfit.Tops = tbTops->value();
  outfit.Bottom = tbBottom->value();
  WriteOutfitSettings(settings, outfit);
  WriteDataSettings(settings, cbCacheMode->isChecked(), cbDisableCheck->isChecked(), ClientPathToSave());
  WriteExportSettings(settings, FExportSettings);
  if (FFavForm) {
    WritePaletteSettings(settings, {OuterPlacement(*FFavForm), FPaletteVisibleAtClose.value_or(FFavForm->isVisible())},
                         WindowPositionsWork());
  }
  settings.Save();
}

bool TfrmQuillon::GenerateCache() {
  // Archives run to hundreds of megabytes: the copies show their progress.
  QProgressDialog progress(QString(), Qs(LangText("Cancel", "キャンセル")), 0, kCacheProgressSteps);
  progress.setWindowTitle(Qs(kAppTitle));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(300);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  const TCacheProgress report = [&progress](const std::string& Archive, int64_t Done, int64_t Total) {
    progress.setLabelText(
        Qs(LangText("Copying %1 to the cache...", "%1 をキャッシュにコピーしています...")).arg(Qs(Archive)));
    progress.setValue(Total > 0 ? static_cast<int>(Done * kCacheProgressSteps / Total) : kCacheProgressSteps);
    return !progress.wasCanceled();
  };
  try {
    varune::GenerateCache(ClientDir(), CacheDir(), FDisableCheck, report);
  } catch (const TCacheCancelled&) {
    return false;  // the user's own choice: nothing to tell
  } catch (const std::exception& error) {
    ShowMessage(nullptr, Qs(kAppTitle), ErrorText(error));
    return false;
  }
  return true;
}

void TfrmQuillon::FillBackgrounds() {
  FBackgrounds = ListBackgrounds(AppDir() + "bg/");
  cbBackground->clear();
  cbBackground->addItem(QStringLiteral("背景色選択"));
  for (const TBackgroundEntry& entry : FBackgrounds) cbBackground->addItem(Qs(entry.Name));
  cbBackground->setCurrentIndex(0);
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

void TfrmQuillon::GenderChanged() {
  Browser()->GenderChanged();
  ShowItemList(true);
  UpdateFilterButtons();
  TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  // Moving a track bar puts its item on, also when the program moves it.
  for (auto [slider, list] : {std::pair{tbTops, &database.GetTopsList(gender)},
                              std::pair{tbBottom, &database.GetBottomsList(gender)}}) {
    slider->setEnabled(list->Count() > 0);
    slider->setMaximum(std::max(0, list->Count() - 1));
    slider->setValue(0);
  }
  FillBasicCombo(FHair, database.GetHairList(gender), database.GetBasicHairList(gender));
  ShowCombo(cbHair, FHair);
  cbHairSelect();
  FillBasicCombo(FFace, database.GetFaceList(gender), database.GetBasicFaceList(gender));
  ShowCombo(cbFace, FFace);
  cbFaceSelect();
  FillBasicCombo(FBody, database.Bodies(), database.BasicBodies());
  ShowCombo(cbBody, FBody);
}

void TfrmQuillon::FillJobs() {
  for (const std::string& name : JobNames) cbJob->addItem(Qs(name));
  if (cbJob->count() > 0) cbJob->setCurrentIndex(Chara()->Job() - 1);
}

void TfrmQuillon::FillAnimationTypes() {
  // "atStand" is shown as "Stand".
  for (std::string_view name : AnimationTypeNames) cbAniType->addItem(Qs(std::string(name.substr(2))));
}

// ---- Item browser -------------------------------------------------------------

void TfrmQuillon::SelectEquipList(int32_t PosID) {
  if (!Browser()->SelectEquipList(PosID)) return;
  ShowItemList(true);
  UpdateFilterButtons();
}

void TfrmQuillon::EquipItem(const TVaruneItem* Item) {
  if (Item) Chara()->Equip(Item);
}

void TfrmQuillon::UpdateFilterButtons() {
  const TItemBrowser& browser = *Browser();
  if (browser.EquipListIndex() >= 1)
    PaintTab(imgFilter1, DrawTableTop, EquipSlotNames[browser.EquipListIndex() - 1], 1);
  imgFilter2->setVisible(browser.WeaponFilterShown());
  if (browser.WeaponFilterShown()) PaintTab(imgFilter2, DrawTableTop, WeaponKindNames[browser.WeaponListIndex()], 1);
  PaintTab(imgFilter3, DrawTableTop, EquipFilterNames[browser.EquipTypeIndex()], 1);
  PaintTab(imgTextFilter, DrawTableTop, {}, 0);
  PaintTab(imgSaveImage, DrawTableBottom, IsJapaneseUI() ? "保存" : "Save As...", -1);
}

void TfrmQuillon::FilterClick(TPictureBox* Button, TFilterSender Sender) {
  const TItemBrowser& browser = *Browser();
  QMenu menu(this);
  auto* group = new QActionGroup(&menu);
  auto add = [&](const std::string& caption, bool checked, bool visible) {
    QAction* action = menu.addAction(ShortcutFreeCaption(caption));
    action->setCheckable(true);
    action->setChecked(checked);
    action->setVisible(visible);
    action->setData(static_cast<int>(menu.actions().size()) - 1);
    group->addAction(action);
  };
  if (Sender == fsSlotMenu) {
    for (int32_t pos = 1; pos <= kBrowsableSlotCount; ++pos)
      add(EquipSlotNames[pos - 1], pos == browser.EquipListIndex(), true);
  } else if (Sender == fsWeaponMenu) {
    // Kinds that are not browsed are listed hidden: an entry's position is its kind.
    for (int32_t kind = 0; kind <= kWeaponKindCount; ++kind)
      add(WeaponKindNames[kind], kind == browser.WeaponListIndex(), WeaponKindBrowsable(kind));
  } else {
    for (int32_t entry = 0; entry < static_cast<int32_t>(EquipFilterNames.size()); ++entry)
      add(EquipFilterNames[entry], entry == browser.EquipTypeIndex(), true);
  }
  if (QAction* chosen = menu.exec(Button->mapToGlobal(QPoint(0, Button->height()))))
    FilterMenuClick(Sender, chosen->data().toInt());
}

void TfrmQuillon::FilterMenuClick(TFilterSender Sender, int32_t Position) {
  if (!Browser()) return;  // before the creation or after it failed
  TItemBrowser& browser = *Browser();
  if (Sender == fsSearchBox) browser.SetSearchText(edFilter->text().toStdString());
  if (!browser.FilterMenuClick(Sender, Position)) return;
  ShowItemList(Sender == fsSlotMenu);
  UpdateFilterButtons();
}

void TfrmQuillon::ShowItemList(bool NewSlot) {
  const TItemBrowser& browser = *Browser();
  // The model's reset clears the view's selection: that is no choice of the user's.
  const QSignalBlocker block(lvItemList->selectionModel());
  lvItemList->Model()->SetList(&browser.ActiveItemList());
  if (NewSlot) lvItemList->scrollToTop();
  if (browser.SelectedIndex() >= 0) {
    const QModelIndex selected = lvItemList->Model()->index(browser.SelectedIndex());
    lvItemList->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    lvItemList->scrollTo(selected);
  }
  lvItemList->viewport()->update();
  ShowFavoriteStar();
}

void TfrmQuillon::lvItemListSelectItem() {
  if (!Browser()) return;
  Browser()->SetSelectedIndex(lvItemList->SelectedRow());
  ShowFavoriteStar();
}

void TfrmQuillon::ShowFavoriteStar() {
  const TVaruneItem* item = Browser() ? Browser()->SelectedItem() : nullptr;
  imgFavorite->setVisible(item != nullptr);
  if (!item) return;
  imgFavorite->Paint([&](TBitmap32& picture) {
    TCanvas canvas(picture);
    DrawTableTop(canvas, picture.Width(), picture.Height());
    StarPicture(IsFavorite(FFavoriteList, item->FIndex)).DrawTo(picture, (picture.Width() - kStarSize) / 2, 2);
  });
}

void TfrmQuillon::imgFavoriteClick() {
  const TVaruneItem* item = Browser()->SelectedItem();
  if (!item) return;
  ToggleFavorite(FFavoriteList, *item);
  FFavForm->UpdateList();
  ShowFavoriteStar();
}

// ---- Save slots ------------------------------------------------------------------

void TfrmQuillon::imgLoadButtonClick() {
  if (!FStateForm->Run(lsLoad, AppDir() + kSaveFileName)) return;
  const TSaveItem& slot = FStateForm->SaveData().Items(FStateForm->SelectedRow());
  ApplySlot(*Chara(), slot, DataBase()->ItemList(), [this] { SelectorsFollowChara(); });
}

void TfrmQuillon::SelectorsFollowChara() {
  // Only the selections move: nothing is put on.
  const TChara& chara = *Chara();
  const TVaruneDatabase& database = *DataBase();
  const TGenderType gender = chara.Gender();
  SelectBasicEntry(FHair, FHairColor, chara.GetBaseObj(bpHair), database.BasicHairColors(),
                   database.GetHairList(gender));
  SelectBasicEntry(FFace, FEyeColor, chara.GetBaseObj(bpFace), database.BasicEyeColors(), database.GetFaceList(gender));
  SelectBodyEntry(FBody, chara.GetBaseObj(bpBody));
  for (auto [combo, state] : {std::pair{cbHair, &FHair}, std::pair{cbHairColor, &FHairColor}, std::pair{cbFace, &FFace},
                              std::pair{cbEyeColor, &FEyeColor}, std::pair{cbBody, &FBody}})
    ShowCombo(combo, *state);
  const QSignalBlocker block(cbJob);
  cbJob->setCurrentIndex(chara.Job() - 1);
}

void TfrmQuillon::pbCharaContextMenu(QPoint Position) {
  // A right click on a slot or gender button has its own meaning.
  const TPoint point{Position.x(), Position.y()};
  if (EquipSlotAt(point) != -1 || GenderIconAt(point) != -1) return;
  QMenu menu(this);
  const QAction* copy = menu.addAction(Qs(LangText("Copy outfit code", "コーデコードをコピー")));
  const QAction* paste = menu.addAction(Qs(LangText("Paste outfit code", "コーデコードを貼り付け")));
  const QAction* random = menu.addAction(Qs(LangText("Random outfit", "ランダムコーデ")));
  menu.addSeparator();
  QMenu* zoom = menu.addMenu(Qs(LangText("Zoom", "ズーム")));
  auto* zooms = new QActionGroup(zoom);
  for (int32_t times = 1; times <= kMaxViewZoom; ++times) {
    QAction* action = zoom->addAction(QStringLiteral("%1x").arg(times));
    action->setCheckable(true);
    action->setChecked(times == FViewZoom);
    action->setData(times);
    zooms->addAction(action);
  }
  const QAction* options = menu.addAction(Qs(LangText("Export options...", "書き出しオプション...")));
  const QAction* chosen = menu.exec(pbChara->mapToGlobal(Position));
  if (!chosen) return;
  if (chosen == copy) QGuiApplication::clipboard()->setText(Qs(Chara()->Code()));
  if (chosen == paste) PasteOutfitCode(QGuiApplication::clipboard()->text());
  if (chosen == random) RandomOutfit();
  if (chosen == options) ExportOptionsClick();
  if (chosen->actionGroup() == zooms) SetViewZoom(chosen->data().toInt());
}

void TfrmQuillon::RandomOutfit() {
  Chara()->Update([this] { PutOnRandomOutfit(*Chara(), *DataBase(), TimeSeed()); });
  SelectorsFollowChara();
}

void TfrmQuillon::SetViewZoom(int32_t Zoom) {
  FViewZoom = std::clamp(Zoom, 1, kMaxViewZoom);
  RenderCharaView();
}

void TfrmQuillon::ExportOptionsClick() { EditExportOptions(this, FExportSettings); }

void TfrmQuillon::PasteOutfitCode(const QString& Code) {
  try {
    Chara()->SetCode(Code.toStdString());
  } catch (const Error&) {
    ShowMessage(this, QString(),
                Qs(LangText("The clipboard holds no outfit code that can be read; the outfit stays as it was.",
                            "クリップボードに読めるコーデコードがありません。コーデはそのままです。")));
    return;
  }
  SelectorsFollowChara();
}

void TfrmQuillon::imgSaveButtonClick() {
  if (!FStateForm->Run(lsSave, AppDir() + kSaveFileName)) return;
  StoreSlot(FStateForm->SaveData(), FStateForm->SelectedRow(), *Chara(), FCharaBuffer);
  FStateForm->SaveData().SaveData(AppDir() + kSaveFileName);
}

void TfrmQuillon::btnTogglePaletteClick() {
  if (FFavForm->isHidden()) FFavForm->UpdateList();
  FFavForm->setVisible(FFavForm->isHidden());
}

void TfrmQuillon::lvItemListKeyDown(int Key) {
  static constexpr std::pair<int, THiddenKey> kKeys[] = {{Qt::Key_Left, hkLeft}, {Qt::Key_Right, hkRight},
                                                         {Qt::Key_Up, hkUp},     {Qt::Key_Down, hkDown},
                                                         {Qt::Key_A, hkA},       {Qt::Key_B, hkB}};
  THiddenKey key = hkOther;
  for (const auto& [qtKey, hidden] : kKeys)
    if (qtKey == Key) key = hidden;
  if (!FHiddenKeys.KeyDown(key)) return;
  for (QCheckBox* box : {cbHideHair, cbHideFace, cbHideTops, cbHideBottoms, cbHideBody}) box->show();
  ShowMessage(this, QString(), QString::fromUtf8(kHiddenModeLine1) + "\r\n" + QString::fromUtf8(kHiddenModeLine2));
}

void TfrmQuillon::HideItemCard() {
  FHintShowing = false;
  FHintWindow->hide();
}

void TfrmQuillon::lvItemListShowHint(QPoint Position) {
  const QModelIndex index = lvItemList->indexAt(Position);
  if (!index.isValid() || !Browser() || index.row() >= Browser()->ActiveItemList().Count()) {
    if (FHintShowing) HideItemCard();
    return;
  }
  const TVaruneItem* item = Browser()->ActiveItemList()[index.row()];
  if (FHintShowing && FHintWindow->Item() == item) return;
  FHintShowing = true;
  // Below the pointer, as a tooltip stands.
  const QPoint pointer = lvItemList->viewport()->mapToGlobal(Position);
  FHintWindow->ActivateHintPos(pointer + QPoint(0, kHintBelowPointer), *item, *DataBase());
}

// ---- Slot panel ---------------------------------------------------------------

void TfrmQuillon::pbCharaMouseDown(QPoint Position, Qt::MouseButton Button) {
  const int32_t slot = EquipSlotAt({Position.x(), Position.y()});
  const int32_t gender = GenderIconAt({Position.x(), Position.y()});
  if (Button == Qt::LeftButton && slot != -1) {
    SelectEquipList(slot);
    FilterMenuClick(fsNone);
  } else if (Button == Qt::LeftButton && gender != -1) {
    Chara()->SetGender(static_cast<TGenderType>(gender));
  } else if (Button == Qt::RightButton && slot != -1) {
    Chara()->SetEquipObj(slot, nullptr);
  }
}

void TfrmQuillon::pbCharaMouseMove(QPoint Position) {
  const TPoint point{Position.x(), Position.y()};
  const int32_t slot = EquipSlotAt(point);
  pbChara->setCursor(slot != -1 || GenderIconAt(point) != -1 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (slot == FHintIndex) return;
  FHintIndex = slot;
  if (const TVaruneItem* item = slot != -1 ? Chara()->GetEquipObj(slot) : nullptr) {
    FHintShowing = true;
    if (isActiveWindow()) {
      const TPoint below = SlotHintPoint(point);
      FHintWindow->ActivateHintPos(pbChara->mapToGlobal(QPoint(below.X, below.Y)), *item, *DataBase());
    }
  } else if (FHintShowing) {
    HideItemCard();
    pbChara->update();
  }
}

// ---- Appearance selectors ---------------------------------------------------------

void TfrmQuillon::ShowCombo(QComboBox* Combo, const TComboState& State) {
  const QSignalBlocker block(Combo);
  Combo->clear();
  for (const TComboEntry& entry : State.Entries) Combo->addItem(Qs(entry.Caption));
  Combo->setCurrentIndex(State.ItemIndex);
  Combo->setEnabled(State.Enabled);
}

void TfrmQuillon::cbHairSelect() {
  const TVaruneDatabase& database = *FWardrobe.DataBase();
  StyleSelect(FHair, FHairColor, cbHairColor, database.GetHairList(Chara()->Gender()), database.BasicHairColors());
}

void TfrmQuillon::cbFaceSelect() {
  const TVaruneDatabase& database = *FWardrobe.DataBase();
  StyleSelect(FFace, FEyeColor, cbEyeColor, database.GetFaceList(Chara()->Gender()), database.BasicEyeColors());
}

void TfrmQuillon::StyleSelect(const TComboState& Style, TComboState& Colors, QComboBox* ColorCombo,
                              const TVaruneItemList& Items, const TVaruneBasicList& ColorRecords) {
  const TComboEntry* style = Style.Selected();
  if (!style) return;
  LoadBasicList2(Colors, *style, Items, ColorRecords);
  ShowCombo(ColorCombo, Colors);
  BasicItemSelect(Colors, Items);
}

void TfrmQuillon::BasicItemSelect(const TComboState& Combo, const TVaruneItemList& Items) {
  if (const TVaruneItem* item = SelectedBaseItem(Combo, Items)) Chara()->Base(item);
}

void TfrmQuillon::BaseChange(QSlider* Slider, int Position) {
  TVaruneDatabase& database = *FWardrobe.DataBase();
  const TGenderType gender = Chara()->Gender();
  const TVaruneItemList& list = Slider == tbTops ? database.GetTopsList(gender) : database.GetBottomsList(gender);
  if (const TVaruneItem* item = TrackBarItem(list, Position)) Chara()->Base(item);
}

// ---- Character view ---------------------------------------------------------

void TfrmQuillon::CharaModified() {
  DrawEquipPanel();
  RenderCharaView();
}

void TfrmQuillon::DrawEquipPanel() {
  varune::DrawEquipPanel(FBuffer, *Chara(), *FWardrobe.DataBase(), FCharaBuffer.Width());
}

void TfrmQuillon::RenderCharaView() {
  if (!Chara()) return;
  FView.Render(*Chara(), Chara()->FrameNumber(), FCharaBuffer);
  // The feet stay where they are: the view grows around them, inside its own box.
  const TBitmap32* shown = &FCharaBuffer;
  if (FViewZoom > 1) {
    ZoomAbout(FCharaBuffer, FViewZoom, FView.Geometry.FeetX, FView.Geometry.FeetY, FZoomedView);
    shown = &FZoomedView;
  }
  shown->DrawTo(FBuffer, kCharaViewLeft, kCharaViewTop);
  pbChara->update();
}

void TfrmQuillon::CharaChangeSequence() {
  FAnimationClock.Restart(FClock(), Chara()->GetFrameTime(0));
  if (cbAnimation->isChecked()) StartAnimationTimer();
}

void TfrmQuillon::StartAnimationTimer() {
  // At least a millisecond: frames of no time must not spin the loop.
  FAnimationTimer.start(static_cast<int>(std::clamp<uint32_t>(FAnimationClock.MsUntilDue(FClock()), 1, kLongestFrameTime)));
}

void TfrmQuillon::AnimationIdle() {
  if (!cbAnimation->isChecked() || !Chara()) return;
  try {
    FAnimationClock.Tick(FClock, [this] { return Chara()->NextFrame(); });
  } catch (const std::exception&) {
    // A frame that cannot be drawn stops the animation; the box stays checked.
    return;
  }
  StartAnimationTimer();
}

void TfrmQuillon::cbAnimationClick(bool Checked) {
  if (!Checked) {
    FAnimationTimer.stop();
    return;
  }
  // A due time left from long ago (the clock wraps every 49 days) would read
  // as one far ahead: no frame lasts that long, so it is due now.
  const uint32_t now = FClock();
  if (FAnimationClock.MsUntilDue(now) > kLongestFrameTime) FAnimationClock.SetNextDrawTime(now);
  StartAnimationTimer();
}

void TfrmQuillon::btnPrevFrameClick() {
  cbAnimation->setChecked(false);
  Chara()->PrevFrame();
}

void TfrmQuillon::btnNextFrameClick() {
  cbAnimation->setChecked(false);
  Chara()->NextFrame();
}

void TfrmQuillon::cbAniTypeSelect(int Index) {
  if (Index < 0) return;
  seEmotIconNum->setVisible(Index == atEmotIcon);
  Chara()->SetAnimationType(static_cast<TAnimationType>(Index));
}

void TfrmQuillon::cbBackgroundSelect(int Index) {
  btnColor->setVisible(Index == 0);
  FView.SetBackgroundPicture(Index > 0 ? FBackgrounds[Index - 1].FileName : std::string());
  RenderCharaView();
}

void TfrmQuillon::btnColorClick() {
  const TColor32 current = FView.BackgroundColor;
  const QColor chosen = QColorDialog::getColor(QColor::fromRgb(current & 0xFFFFFF), this);
  if (!chosen.isValid()) return;
  FView.BackgroundColor = 0xFF000000u | (chosen.rgb() & 0xFFFFFF);
  RenderCharaView();
}

void TfrmQuillon::btnChangeSizeClick() {
  FLargeCharaView = !FLargeCharaView;
  FView.Geometry = FLargeCharaView ? kLargeView : kSmallView;
  const int w = FView.Geometry.Width;
  const int h = FView.Geometry.Height;
  FCharaBuffer.SetSize(w, h);
  FAnchors->Move(pbChara, {pbChara->x(), pbChara->y(), w + kPaintBoxExtraWidth, h + kPaintBoxExtraHeight});
  FBuffer.SetSize(pbChara->width(), pbChara->height());
  auto moveTop = [this](QWidget* control, int top) {
    FAnchors->Move(control, {control->x(), top, control->width(), control->height()});
  };
  moveTop(imgSaveImage, h + 8);
  FAnchors->Move(pnEquipControls, {w + 174, pnEquipControls->y(), pnEquipControls->width(), pnEquipControls->height()});
  for (QWidget* control : {static_cast<QWidget*>(imgFilter1), static_cast<QWidget*>(imgFilter2),
                           static_cast<QWidget*>(imgFilter3), static_cast<QWidget*>(imgFavorite),
                           static_cast<QWidget*>(imgTextFilter)})
    moveTop(control, h + 12);
  FAnchors->Move(pnItemListOwner, {pnItemListOwner->x(), h + 32, pnItemListOwner->width(), height() - (h + 32)});
  moveTop(lblSearch, h + 17);
  moveTop(edFilter, h + 17);
  DrawEquipPanel();
  RenderCharaView();
}

// ---- Export and clipboard -----------------------------------------------------

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

bool TfrmQuillon::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == lvItemList && Event->type() == QEvent::KeyPress && Browser())
    lvItemListKeyDown(static_cast<QKeyEvent*>(Event)->key());
  if (Watched == lvItemList->viewport() && Event->type() == QEvent::Leave) HideItemCard();
  if (Watched == lvItemList->viewport() && Event->type() == QEvent::MouseMove)
    lvItemListShowHint(static_cast<QMouseEvent*>(Event)->position().toPoint());
  // Exactly Ctrl+C, while this window is active and the search box does not
  // have the focus (there it copies the box's text).
  if (Event->type() == QEvent::KeyPress && isActiveWindow() && Watched->isWidgetType() &&
      static_cast<QWidget*>(Watched)->window() == this) {
    const auto* key = static_cast<QKeyEvent*>(Event);
    if (key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier && focusWidget() != edFilter) {
      CopyToClipboard();
      return true;
    }
  }
  return QWidget::eventFilter(Watched, Event);
}

// ---- Options ------------------------------------------------------------------

void TfrmQuillon::cbCacheModeClick(bool Checked) {
  cbDisableCheck->setEnabled(Checked);
  if (Checked != FCacheMode) TellNextStartup();
}

void TfrmQuillon::cbDisableCheckClick(bool Checked) {
  if (Checked != FDisableCheck) TellNextStartup();
}

void TfrmQuillon::TellNextStartup() {
  ShowMessage(this, QString(),
              Qs(LangText("This change will take effect at the next startup.", "変更は次回起動時に有効になります")));
}

// ---- Shutdown -----------------------------------------------------------------

void TfrmQuillon::closeEvent(QCloseEvent* Event) {
  FAnimationTimer.stop();
  FPaletteVisibleAtClose = FFavForm && FFavForm->isVisible();
  QWidget::closeEvent(Event);
}

}  // namespace varune::app
