// The main window on the demo client, offscreen: creation and its failure,
// the layout, the character view, animation, the size toggle, export and
// its options, the clipboard, the view's zoom, random outfits, the item
// card, settings and cache mode, favourites and save slots, shutdown by
// signal, a whole session coming back at the next start with the client's
// archives untouched, and the start-up's heap warmer.

#include <fontconfig/fontconfig.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/application.h"
#include "app/heap_warmer.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/shutdown_signals.h"
#include "app/window_fixture.h"
#include "archive/stream.h"
#include "database/client_writer.h"
#include "database/language.h"
#include "demo/demo_fixture.h"
#include "imaging/bmp.h"
#include "imaging/font.h"
#include "imaging/png.h"
#include "viewer/export_settings.h"
#include "viewer/item_icon.h"
#include "viewer/ini_file.h"
#include "viewer/save_data.h"
#include "viewer/startup.h"

using namespace varune;
using varune::app::TfrmQuillon;
using varune::app::THeapWarmer;
using varune::app::OpaqueImageOf;

namespace {

const char* const kArchives[] = {"AJJIYA.SPF", "BANX.SPF", "BARY.SPF", "ZENNE.SPF", "ROWID.SPF"};
std::vector<uint8_t> ReadFile(const std::string& path) { return ReadWholeFile(path); }

bool StartsWith(const std::vector<uint8_t>& bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

// Counts the paints a widget receives.
class TPaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* Event) override {
    Paints += Event->type() == QEvent::Paint;
    return false;
  }
};

// A client whose slots 1 and 2 hold `Count` items each, all with the first
// icon of `Sheet`.
std::string WriteIconClient(const std::string& Dir, std::vector<uint8_t> Sheet, int32_t Count) {
  std::vector<TItemRow> rows;
  for (int32_t slot = 1; slot <= 2; ++slot)
    for (int32_t i = 0; i < Count; ++i) {
      TItemRow& row = rows.emplace_back();
      row.ID = slot * 1000 + i, row.PosID1 = slot, row.Category = 100 + slot, row.Num = i + 1, row.Name = "Cap";
      row.Icon = 5, row.IconIndex = 1;
    }
  TClientWriter client;
  client.Add("DATA/LDT/ITEM_1.LDT", WriteItemTable(rows));
  client.Add("DATA/LDT/GLOBAL_RES.LDT", WriteTextTable("_FILENAME", {{5, "DATA/ICON/ICONS.PNG"}}));
  client.Add("DATA/ICON/ICONS.PNG", std::move(Sheet), 0);
  client.AddMinimalTables();
  std::filesystem::create_directories(Dir);
  client.Write(Dir);
  return Dir + "/";
}

}  // namespace

class TMainWindowTest : public TWindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallSinks(); }
  void init() { FreshFolder(); }

  void createsTheWindowOnTheDemoClient() {
    auto window = Open();
    QVERIFY(!window->ErrorExit());
    QCOMPARE(window->windowTitle(), QStringLiteral("Varune Wardrobe 1.9"));
    QVERIFY(FMessages.empty());

    const std::pair<const char*, QRect> layout[] = {
        {"pbChara", {4, 4, 414, 254}},          {"imgLoadButton", {108, 158, 40, 20}},
        {"imgSaveButton", {108, 182, 40, 20}},  {"imgFilter1", {12, 262, 89, 20}},
        {"imgFilter3", {104, 262, 89, 20}},     {"imgFilter2", {196, 262, 89, 20}},
        {"imgSaveImage", {300, 258, 61, 20}},   {"imgFavorite", {460, 262, 36, 20}},
        {"imgTextFilter", {520, 262, 197, 20}}, {"edFilter", {556, 267, 155, 14}},
        {"pnEquipControls", {424, 4, 302, 206}}, {"pnItemListOwner", {0, 282, 734, 214}},
        {"pbItemListView", {4, 0, 726, 210}},   {"lvItemList", {16, 2, 704, 206}},
        {"cbHair", {0, 0, 157, 20}},            {"cbBody", {0, 96, 157, 20}},
        {"tbTops", {0, 118, 78, 20}},           {"tbBottom", {76, 118, 78, 20}},
        {"cbJob", {0, 136, 157, 20}},
    };
    for (const auto& [name, geometry] : layout) QCOMPARE(Control<QWidget>(window.get(), name)->geometry(), geometry);
    QCOMPARE(Control<QLabel>(window.get(), "lblSearch")->geometry().right() + 1, 552);

    auto* aniType = Control<QComboBox>(window.get(), "cbAniType");
    QCOMPARE(aniType->count(), 96);
    QCOMPARE(aniType->itemText(0), QStringLiteral("Stand"));
    QCOMPARE(aniType->itemText(95), QStringLiteral("EmotIcon"));
    QCOMPARE(aniType->currentIndex(), 0);
    QCOMPARE(Control<QComboBox>(window.get(), "cbJob")->count(), 52);
    QCOMPARE(Control<QComboBox>(window.get(), "cbJob")->currentIndex(), window->Chara()->Job() - 1);
    QVERIFY(Control<QPushButton>(window.get(), "btnColor")->isVisibleTo(window.get()));

    // The character stands on the white background, the slot panel beside it.
    const TBitmap32& view = window->CharaBuffer();
    QCOMPARE(view.Width(), 250);
    int32_t drawn = 0;
    for (int32_t y = 0; y < view.Height(); ++y)
      for (int32_t x = 0; x < view.Width(); ++x) drawn += view.Pixel(x, y) != 0xFFFFFFFF;
    QVERIFY(drawn > 2000);
    QCOMPARE(window->Buffer().Pixel(154 + 125, 2 + 120), view.Pixel(125, 120));
    QCOMPARE(window->Buffer().Pixel(153, 100), TColor32{0xFF428E7C});
  }

  void widgetsUseAJapaneseCapableFontForTheWindowsName() {
    const QFontInfo font(QApplication::font());
    QCOMPARE(font.family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(font.pixelSize(), 12);

    // Pictures match in the configuration Qt reads, their aliases added to it
    // (by itself fontconfig gives DejaVu Sans for this name).
    QCOMPARE(QString::fromStdString(ResolveFont({"MS UI Gothic", -12}).Family), QStringLiteral("IPAPGothic"));
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("MS UI Gothic"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* family = nullptr;
    QVERIFY(match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch);
    QCOMPARE(QString::fromUtf8(reinterpret_cast<const char*>(family)), QStringLiteral("IPAPGothic"));
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }

  void listsBackgroundPicturesSortedWithoutCase() {
    std::filesystem::create_directories(FAppDir->File("bg/folder.bmp"));
    TBitmap32 picture(8, 8);
    picture.Clear(Color32(10, 20, 30));
    for (const char* name : {"sky.BMP", "field.bmp"}) SaveBmpToFile(FAppDir->File(std::string("bg/") + name), picture);
    std::ofstream(FAppDir->File("bg/notes.txt")) << "x";
    auto window = Open();
    auto* backgrounds = Control<QComboBox>(window.get(), "cbBackground");
    QCOMPARE(backgrounds->count(), 3);
    QCOMPARE(backgrounds->itemText(0), QStringLiteral("背景色選択"));
    QCOMPARE(backgrounds->itemText(1), QStringLiteral("field"));
    QCOMPARE(backgrounds->itemText(2), QStringLiteral("sky"));

    // Choosing a picture hides the colour button and draws the picture.
    backgrounds->setCurrentIndex(2);
    emit backgrounds->activated(2);
    QVERIFY(!Control<QPushButton>(window.get(), "btnColor")->isVisibleTo(window.get()));
    QCOMPARE(window->CharaBuffer().Pixel(1, 1), Color32(10, 20, 30));
  }

  void aFailingClientReportsStageZero() {
    auto window = Open(FAppDir->File("no-client/"));
    QVERIFY(window->ErrorExit());
    QCOMPARE(window->ErrorNo(), 0);
    QCOMPARE(FMessages.size(), size_t{1});
    QCOMPARE(FMessages[0].first, QStringLiteral("初期化エラー"));
    QVERIFY(FMessages[0].second.endsWith(QStringLiteral("\nErrorNo: 0")));
    // Nothing is saved after a failed start.
    window.reset();
    QVERIFY(!std::filesystem::exists(SettingsFileName()));
  }

  void animationStepsWhenFramesAreDue() {
    auto window = Open();
    TChara& chara = *window->Chara();
    auto* aniType = Control<QComboBox>(window.get(), "cbAniType");
    aniType->setCurrentIndex(atMove);
    emit aniType->activated(atMove);
    QCOMPARE(chara.AnimationType(), atMove);
    QVERIFY(chara.FrameCount() > 2);

    auto* animate = Control<QCheckBox>(window.get(), "cbAnimation");
    animate->setChecked(true);
    window->AnimationIdle();
    QCOMPARE(chara.FrameNumber(), 0);  // frame 0 keeps its own time
    gNow += chara.GetFrameTime(0);
    const TBitmap32 before = window->CharaBuffer();
    window->AnimationIdle();
    QCOMPARE(chara.FrameNumber(), 1);
    QVERIFY(std::memcmp(before.Bits(), window->CharaBuffer().Bits(), 250 * 250 * 4) != 0);
    window->AnimationIdle();
    QCOMPARE(chara.FrameNumber(), 1);

    // A step button stops the animation and steps exactly once.
    QTest::mouseClick(Control<QPushButton>(window.get(), "btnNextFrame"), Qt::LeftButton);
    QVERIFY(!animate->isChecked());
    QCOMPARE(chara.FrameNumber(), 2);
    gNow += 100000;
    window->AnimationIdle();
    QCOMPARE(chara.FrameNumber(), 2);
    QTest::mouseClick(Control<QPushButton>(window.get(), "btnPrevFrame"), Qt::LeftButton);
    QCOMPARE(chara.FrameNumber(), 1);

    // The emoticon number is offered for the emoticon animation only.
    auto* emoticon = Control<QWidget>(window.get(), "seEmotIconNum");
    aniType->setCurrentIndex(atEmotIcon);
    emit aniType->activated(atEmotIcon);
    QVERIFY(emoticon->isVisibleTo(window.get()));
    emit aniType->activated(atStand);
    QVERIFY(!emoticon->isVisibleTo(window.get()));
  }

  void sizeToggleMovesTheLayout() {
    auto window = Open();
    auto geometry = [&](const char* name) { return Control<QWidget>(window.get(), name)->geometry(); };
    QPushButton* toggle = Control<QPushButton>(window.get(), "btnChangeSize");
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(geometry("pbChara"), QRect(4, 4, 364, 204));
    QCOMPARE(window->CharaBuffer().Width(), 200);
    QCOMPARE(window->Buffer().Width(), 364);
    QCOMPARE(window->View().Geometry, kSmallView);
    QCOMPARE(geometry("imgSaveImage").top(), 208);
    QCOMPARE(geometry("pnEquipControls").left(), 374);
    for (const char* name : {"imgFilter1", "imgFilter2", "imgFilter3", "imgFavorite", "imgTextFilter"})
      QCOMPARE(geometry(name).top(), 212);
    QCOMPARE(geometry("edFilter").top(), 217);
    QCOMPARE(geometry("lblSearch").top(), 217);
    QCOMPARE(geometry("pnItemListOwner"), QRect(0, 232, 734, 496 - 232));
    QCOMPARE(window->Buffer().Pixel(154 + 200, 100), TColor32{0xFF428E7C});

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(geometry("pbChara"), QRect(4, 4, 414, 254));
    QCOMPARE(window->View().Geometry, kLargeView);  // the feet at x 125 now
    QCOMPARE(geometry("pnItemListOwner"), QRect(0, 282, 734, 214));

    // The list panel follows the window; the option panel stretches with it.
    window->show();
    window->resize(834, 596);
    QCOMPARE(geometry("pnItemListOwner"), QRect(0, 282, 834, 314));
    QCOMPARE(geometry("lvItemList"), QRect(16, 2, 804, 306));
    QCOMPARE(geometry("pnEquipControls"), QRect(424, 4, 402, 206));
    QCOMPARE(geometry("edFilter"), QRect(656, 267, 155, 14));
  }

  void englishCaptionsKeepTheSearchBoxEdge() {
    SetJapaneseUI(false);
    auto window = Open();
    QCOMPARE(Control<QPushButton>(window.get(), "btnChangeSize")->text(), QStringLiteral("Toggle Size"));
    QCOMPARE(Control<QCheckBox>(window.get(), "cbDisableCheck")->width(), 300);
    const QRect label = Control<QLabel>(window.get(), "lblSearch")->geometry();
    const QRect frame = Control<QWidget>(window.get(), "imgTextFilter")->geometry();
    QCOMPARE(label.right() + 1, 552);
    QVERIFY(label.width() > 26);
    QCOMPARE(frame.right() + 1, 717);
    QCOMPARE(526 - label.left(), 520 - frame.left());
  }

  void exportsEveryFormat() {
    auto window = Open();
    auto* aniType = Control<QComboBox>(window.get(), "cbAniType");
    emit aniType->activated(atMove);
    const int32_t frames = window->Chara()->FrameCount();
    const std::string base = FAppDir->File("out");

    QVERIFY(window->ExportPicture(QString::fromStdString(base + ".png"), 0));
    QCOMPARE(LoadBmpFromFile(base + ".bmp").Width(), 250);
    QVERIFY(window->ExportPicture(QString::fromStdString(base + ".png"), 1));  // JPEG under a PNG name
    QVERIFY(StartsWith(ReadFile(base + ".jpg"), "\xFF\xD8\xFF"));
    QVERIFY(window->ExportPicture(QString::fromStdString(base + ".png"), 2));
    QCOMPARE(LoadPngFromFile(base + ".png").ColorType, pctRGB);
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("clear.png")), 3));
    QCOMPARE(LoadPngFromFile(FAppDir->File("clear.png")).ColorType, pctRGBA);
    QVERIFY(window->ExportPicture(QString::fromStdString(base + ".gif"), 4));
    QVERIFY(StartsWith(ReadFile(base + ".gif"), "GIF89a"));
    QVERIFY(window->ExportPicture(QString::fromStdString(base + ".apng"), 5));
    QVERIFY(StartsWith(ReadFile(base + ".apng"), "\x89PNG"));
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("walk.png")), 6));
    for (int32_t i = 0; i < frames; ++i)
      QVERIFY(std::filesystem::exists(FAppDir->File(Sprintf("walk_%03d.png", i))));
    QVERIFY(FMessages.empty());
    QVERIFY(FQuestions.empty());

    // Exports draw their own frames: the view keeps its frame.
    QCOMPARE(window->Chara()->FrameNumber(), 0);

    // An export that cannot be written says so and leaves nothing behind.
    QVERIFY(!window->ExportPicture(QString::fromStdString(FAppDir->File("missing/out.png")), 2));
    QCOMPARE(FMessages.size(), size_t{1});
    QVERIFY(!std::filesystem::exists(FAppDir->File("missing")));
  }

  void replacingAnotherExistingFileAsksAgain() {
    auto window = Open();
    const std::string existing = FAppDir->File("shot.jpg");
    WriteWholeFile(existing, std::vector<uint8_t>{'o', 'l', 'd'});
    FAnswer = false;
    QVERIFY(!window->ExportPicture(QString::fromStdString(FAppDir->File("shot.png")), 1));
    QCOMPARE(FQuestions.size(), size_t{1});
    QCOMPARE(ReadFile(existing), (std::vector<uint8_t>{'o', 'l', 'd'}));
    FAnswer = true;
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("shot.png")), 1));
    QVERIFY(StartsWith(ReadFile(existing), "\xFF\xD8\xFF"));
    // The name the dialog confirmed is not asked about twice.
    QVERIFY(window->ExportPicture(QString::fromStdString(existing), 1));
    QCOMPARE(FQuestions.size(), size_t{2});
  }

  void webpAndSpriteSheetsWriteTheirFiles() {
    auto window = Open();
    emit Control<QComboBox>(window.get(), "cbAniType")->activated(atMove);
    const int32_t frames = window->Chara()->FrameCount();
    QVERIFY(frames > 1);
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("walk.png")), 7));
    const std::vector<uint8_t> webp = ReadFile(FAppDir->File("walk.webp"));
    QVERIFY(StartsWith(webp, "RIFF") && webp.size() > 12 && std::memcmp(webp.data() + 8, "WEBP", 4) == 0);

    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("sheet")), 8));
    const TBitmap32 sheet = DecodePngToBitmap32(ReadFile(FAppDir->File("sheet.png")));
    const auto data = nlohmann::json::parse(ReadFile(FAppDir->File("sheet.json")));
    QCOMPARE(static_cast<int32_t>(data["frames"].size()), frames);
    QCOMPARE(data["meta"]["image"].get<std::string>(), std::string("sheet.png"));
    QCOMPARE(sheet.Width(), std::min(frames, 16) * 250);
    QVERIFY(FMessages.empty());
    // The data beside the sheet is a file the export replaces: asked about.
    FAnswer = false;
    QVERIFY(!window->ExportPicture(QString::fromStdString(FAppDir->File("sheet.png")), 8));
    QCOMPARE(FQuestions.size(), size_t{1});
    window.reset();

    // Every animation in a sheet: a row or more each, too tall for the whole
    // view, told in the window's words; cropped it fits.
    const auto withSettings = [&](const std::string& Export) {
      const std::string text = "[Data]\nClientPath=" + ClientFolder() + "\n[Export]\n" + Export;
      WriteWholeFile(SettingsFileName(), text.data(), text.size());
      return Open();
    };
    window = withSettings("AllAnimations=1\n");
    QVERIFY(!window->ExportPicture(QString::fromStdString(FAppDir->File("all.png")), 8));
    QCOMPARE(FMessages.size(), size_t{1});
    QVERIFY(FMessages[0].second.contains(QStringLiteral("「書き出しオプション...」")));
    QVERIFY(!std::filesystem::exists(FAppDir->File("all.png")));
    window = withSettings("AllAnimations=1\nFraming=crop\n");
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("all.png")), 8));
    const auto all = nlohmann::json::parse(ReadFile(FAppDir->File("all.json")));
    QCOMPARE(static_cast<int32_t>(all["meta"]["frameTags"].size()), kAnimationTypeCount);
  }

  void exportOptionsShapeTheNextPicturesAndComeBack() {
    const QImage today = [&] {
      auto window = Open();
      // The defaults give the clipboard the view as it is shown.
      const QImage copied = ClipboardPicture(*window);
      if (copied != OpaqueImageOf(window->CharaBuffer()).convertToFormat(QImage::Format_RGB32)) qFatal("not the view");
      return copied;
    }();
    {
      auto window = Open();
      QCOMPARE(window->ExportSettings(), TExportSettings());
      bool paddingWithTheView = true, paddingWithACrop = false;
      WhenModal([&](QDialog* dialog) {
        auto* framing = Control<QComboBox>(dialog, "cbFraming");
        auto* padding = Control<QWidget>(dialog, "sePadding");
        paddingWithTheView = padding->isEnabled();
        framing->setCurrentIndex(fmCrop);
        emit framing->activated(fmCrop);
        paddingWithACrop = padding->isEnabled();
        framing->setCurrentIndex(fmView);
        emit framing->activated(fmView);
        Control<QSpinBox>(dialog, "seScale")->setValue(2);
        Control<QCheckBox>(dialog, "cbFlip")->setChecked(true);
        dialog->accept();
      });
      ChooseInViewMenu(window.get(), {QStringLiteral("書き出しオプション...")});
      QVERIFY(!paddingWithTheView);
      QVERIFY(paddingWithACrop);
      QCOMPARE(window->ExportSettings().Picture, (TPictureOptions{2, fmView, 0, true, false}));

      QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("big.png")), 2));
      const TBitmap32 big = DecodePngToBitmap32(ReadFile(FAppDir->File("big.png")));
      QCOMPARE(big.Width(), 500);
      QCOMPARE(big.Height(), 500);
      const QImage copied = ClipboardPicture(*window);
      QCOMPARE(copied.size(), QSize(500, 500));
      // Mirrored and doubled: the top-left block is today's top-right pixel.
      QCOMPARE(copied.pixel(1, 1), today.pixel(249, 0));
      QCOMPARE(copied.pixel(499, 499), today.pixel(0, 249));
    }
    QCOMPARE(TIniFile(SettingsFileName()).ReadInteger("Export", "Scale", 0), 2);
    auto window = Open();
    QCOMPARE(window->ExportSettings().Picture, (TPictureOptions{2, fmView, 0, true, false}));
    QVERIFY(FMessages.empty());
  }

  void zoomEnlargesTheViewAboutTheFeetAndNoPictureMadeOfIt() {
    auto window = Open();
    const TBitmap32 before = window->Buffer();
    const TBitmap32 view = window->CharaBuffer();
    ChooseInViewMenu(window.get(), {QStringLiteral("ズーム"), QStringLiteral("3x")});
    QCOMPARE(window->ViewZoom(), 3);
    const TViewGeometry& geometry = window->View().Geometry;
    // Blocks of three about the feet, inside the view's own box.
    const auto shownAt = [&](int32_t x, int32_t y) { return window->Buffer().Pixel(154 + x, 2 + y); };
    const auto zoomedFrom = [](int32_t at, int32_t feet) { return feet + (at >= feet ? at - feet : at - feet - 2) / 3; };
    for (const auto& [x, y] : {std::pair{geometry.FeetX, geometry.FeetY}, std::pair{0, 0}, std::pair{249, 249},
                              std::pair{geometry.FeetX - 1, geometry.FeetY - 40}, std::pair{140, 150}})
      QCOMPARE(shownAt(x, y), view.Pixel(zoomedFrom(x, geometry.FeetX), zoomedFrom(y, geometry.FeetY)));

    // The view's picture, the exports and the clipboard stay as they were.
    QVERIFY(std::memcmp(window->CharaBuffer().Bits(), view.Bits(), 250 * 250 * 4) == 0);
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("zoomed.png")), 2));
    const TBitmap32 exported = DecodePngToBitmap32(ReadFile(FAppDir->File("zoomed.png")));
    QCOMPARE(OpaqueImageOf(exported), OpaqueImageOf(view));
    QCOMPARE(ClipboardPicture(*window), OpaqueImageOf(view).convertToFormat(QImage::Format_RGB32));

    ChooseInViewMenu(window.get(), {QStringLiteral("ズーム"), QStringLiteral("1x")});
    QVERIFY(std::memcmp(window->Buffer().Bits(), before.Bits(), before.Width() * before.Height() * 4) == 0);
  }

  void twoPixelsAPointShowPixelArtUnsmoothed() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // Every pixel of the picture as a block of four of one colour.
    const auto doubled = [](QWidget* widget) {
      QImage image(widget->size() * 2, QImage::Format_RGB32);
      image.setDevicePixelRatio(2);
      widget->render(&image);
      const QImage plain = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
      for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
          for (int d = 0; d < 4; ++d)
            if (image.pixel(2 * x + d % 2, 2 * y + d / 2) != plain.pixel(x, y)) return false;
      return true;
    };
    QVERIFY(doubled(Control<QWidget>(window.get(), "pbChara")));
    auto* list = Control<QListView>(window.get(), "lvItemList");
    QTRY_VERIFY(doubled(list->viewport()));
  }

  void aRandomOutfitIsPutOnAndTheSelectorsFollow() {
    auto window = Open();
    TChara& chara = *window->Chara();
    int32_t modified = 0;
    const TChara::TNotifyEvent redraw = chara.OnModified;
    chara.OnModified = [&](TChara& sender) {
      ++modified;
      redraw(sender);
    };
    const int32_t hair = chara.GetBaseID(bpHair);
    for (int i = 0; i < 5 && chara.GetBaseID(bpHair) == hair; ++i) {
      modified = 0;
      ChooseInViewMenu(window.get(), {QStringLiteral("ランダムコーデ")});
      QCOMPARE(modified, 1);
    }
    QVERIFY(chara.GetBaseID(bpHair) != hair);
    // The colour selectors show what is worn: choosing their entry again changes nothing.
    const int32_t worn[] = {chara.GetBaseID(bpHair), chara.GetBaseID(bpFace)};
    for (const char* name : {"cbHairColor", "cbEyeColor"}) {
      auto* colours = Control<QComboBox>(window.get(), name);
      emit colours->activated(colours->currentIndex());
    }
    QCOMPARE(chara.GetBaseID(bpHair), worn[0]);
    QCOMPARE(chara.GetBaseID(bpFace), worn[1]);
    QVERIFY(FMessages.empty());
  }

  void ctrlCCopiesThePictureOnly() {
    auto window = Open();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* job = Control<QComboBox>(window.get(), "cbJob");
    job->setFocus();

    clipboard->clear();
    QTest::keyClick(job, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(clipboard->image().isNull());
    QTest::keyClick(job, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = clipboard->image();
    QCOMPARE(copied.size(), QSize(250, 250));
    QCOMPARE(copied.pixel(125, 120) & 0xFFFFFF, window->CharaBuffer().Pixel(125, 120) & 0xFFFFFF);

    // In the search box Ctrl+C is the box's own.
    clipboard->clear();
    auto* search = Control<QWidget>(window.get(), "edFilter");
    search->setFocus();
    QTest::keyClick(search, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(clipboard->image().isNull());
  }

  void dressingThroughTheBrowserAndTheSlotPanel() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    TChara& chara = *window->Chara();
    TItemBrowser& browser = *window->Browser();
    auto* list = Control<QListView>(window.get(), "lvItemList");
    auto* panel = Control<QWidget>(window.get(), "pbChara");
    QCOMPARE(browser.EquipListIndex(), 1);
    QCOMPARE(list->model()->rowCount(), browser.ActiveItemList().Count());
    // Icons appear once their sheets are decoded, between paints.
    const QRect firstCell = list->visualRect(list->model()->index(0, 0));
    auto cellHasIcon = [&] {
      const QImage shot = list->viewport()->grab().toImage();
      const QRgb background = shot.pixel(firstCell.left() + 1, firstCell.bottom() - 1);
      for (int y = firstCell.top(); y <= firstCell.bottom(); ++y)
        for (int x = firstCell.left(); x <= firstCell.right(); ++x)
          if (shot.pixel(x, y) != background) return true;
      return false;
    };
    QTRY_VERIFY(cellHasIcon());

    // The weapon cell browses the weapons with the job's filter.
    const QPoint weaponCell(112 + 16, 10 + 16);
    QTest::mouseClick(panel, Qt::LeftButton, {}, weaponCell);
    QCOMPARE(browser.EquipListIndex(), kWeaponSlot);
    QVERIFY(Control<QWidget>(window.get(), "imgFilter2")->isVisible());
    QVERIFY(browser.ActiveItemList().Count() > 0);
    const TVaruneItem* first = browser.ActiveItemList()[0];

    // The weapon kind menu narrows the list to one kind.
    QTimer::singleShot(0, [kind = first->FKind] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      QVERIFY(!menu->actions()[11]->isVisible() && !menu->actions()[12]->isVisible());
      menu->setActiveAction(menu->actions()[kind]);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(Control<QWidget>(window.get(), "imgFilter2"), Qt::LeftButton);
    QCOMPARE(browser.WeaponListIndex(), first->FKind);
    for (const TVaruneItem* item : browser.ActiveItemList()) QCOMPARE(item->FKind, first->FKind);

    // Every change of the search text filters again.
    Control<QLineEdit>(window.get(), "edFilter")->setText(QString::fromStdString(first->FName));
    QVERIFY(browser.ActiveItemList().Count() >= 1);
    QCOMPARE(list->model()->rowCount(), browser.ActiveItemList().Count());
    for (const TVaruneItem* item : browser.ActiveItemList()) QVERIFY(item->FName.find(first->FName) != std::string::npos);

    // A double-click equips: the cell and the character change.
    const TBitmap32 panelBefore = window->Buffer();
    const QPoint cell = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(chara.GetEquipObj(kWeaponSlot), browser.ActiveItemList()[0]);
    auto differs = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
      for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
          if (window->Buffer().Pixel(x, y) != panelBefore.Pixel(x, y)) return true;
      return false;
    };
    QVERIFY(differs(112, 10, 144, 42));
    QVERIFY(differs(154, 2, 404, 252));

    // A right click on the cell takes it off again.
    QTest::mouseClick(panel, Qt::RightButton, {}, weaponCell);
    QCOMPARE(chara.GetEquipObj(kWeaponSlot), nullptr);

    // The female icon switches the gender and returns to the first slot.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(56 + 18, 154 + 18));
    QCOMPARE(chara.Gender(), gtFemale);
    QCOMPARE(browser.EquipListIndex(), 1);
    QVERIFY(Control<QComboBox>(window.get(), "cbHair")->count() > 0);
  }

  void hoveringAnItemShowsItsCard() {
    auto window = Open();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* list = Control<QListView>(window.get(), "lvItemList");
    auto* card = Control<QWidget>(window.get(), "FHintWindow");
    const TVaruneItemList& items = window->Browser()->ActiveItemList();
    QVERIFY(items.Count() > 1);

    // At once for the item under the pointer, following it from item to item.
    QTest::mouseMove(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    QTRY_VERIFY(card->isVisible());
    QVERIFY(card->isWindow());
    QVERIFY(card->width() >= 205 && card->height() >= 50);
    const QRect firstCard = card->geometry();
    const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
    QTest::mouseMove(list->viewport(), second);
    QTRY_VERIFY(card->geometry().topLeft() != firstCard.topLeft());
    QCOMPARE(card->geometry().topLeft(), list->viewport()->mapToGlobal(second) + QPoint(0, 20));

    // Leaving the list hides it, and so does a place without an item.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(list->viewport(), &leave);
    QVERIFY(!card->isVisible());
    QTest::mouseMove(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
    QTRY_VERIFY(card->isVisible());
    QTest::mouseMove(list->viewport(), QPoint(list->viewport()->width() - 2, list->viewport()->height() - 2));
    QTRY_VERIFY(!card->isVisible());

    // An equipped item's cell in the slot panel shows its card below the cell.
    auto* panel = Control<QWidget>(window.get(), "pbChara");
    window->EquipItem(items[0]);
    QTest::mouseMove(panel, QPoint(10 + 16, 10 + 16));
    QTRY_VERIFY(card->isVisible());
    QCOMPARE(card->geometry().topLeft(), panel->mapToGlobal(QPoint(26, 44)));
    QTest::mouseMove(panel, QPoint(300, 100));  // the character picture: no slot
    QTRY_VERIFY(!card->isVisible());
  }

  void appearanceSelectorsDressTheCharacter() {
    auto window = Open();
    TChara& chara = *window->Chara();
    auto* colours = Control<QComboBox>(window.get(), "cbHairColor");
    QVERIFY(colours->count() > 1);
    const TBitmap32 before = window->CharaBuffer();
    const TVaruneItem* hair = chara.GetBaseObj(bpHair);
    colours->setCurrentIndex(1);
    emit colours->activated(1);
    QVERIFY(chara.GetBaseObj(bpHair) != hair);
    QVERIFY(std::memcmp(before.Bits(), window->CharaBuffer().Bits(), 250 * 250 * 4) != 0);

    // Track bars put on the tops of their position, also when moved by the program.
    auto* tops = Control<QSlider>(window.get(), "tbTops");
    QVERIFY(tops->maximum() > 0);
    tops->setValue(1);
    QCOMPARE(chara.GetBaseObj(bpTops), window->DataBase()->GetTopsList(chara.Gender())[1]);

    // The job selector sets the job.
    auto* job = Control<QComboBox>(window.get(), "cbJob");
    job->setCurrentIndex(4);
    emit job->activated(4);
    QCOMPARE(chara.Job(), 5);
  }

  void aStartAfterASessionRestoresTheOutfitAndPlacement() {
    struct TSeen {
      int32_t Gender, Job;
      std::vector<int32_t> Equipped;
      std::vector<int32_t> Base;  // IDs: each window has a database of its own
      std::vector<int> Selected;
      QSize Size;
    };
    const auto seen = [](TfrmQuillon& window) {
      TChara& chara = *window.Chara();
      TSeen result{chara.Gender(), chara.Job(), chara.GetCurrentEquipIDList(), {}, {}, window.size()};
      for (TBasePosition position : {bpHair, bpFace, bpBody, bpTops, bpBottoms})
        result.Base.push_back(chara.GetBaseID(position));
      for (const char* name : {"cbHair", "cbHairColor", "cbFace", "cbEyeColor", "cbBody", "cbJob"})
        result.Selected.push_back(Control<QComboBox>(&window, name)->currentIndex());
      for (const char* name : {"tbTops", "tbBottom"}) result.Selected.push_back(Control<QSlider>(&window, name)->value());
      return result;
    };
    TSeen before;
    {
      auto window = Open();
      window->Chara()->SetGender(gtFemale);
      const auto choose = [&](const char* name, int index) {
        auto* combo = Control<QComboBox>(window.get(), name);
        QVERIFY(combo->count() > index);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
      };
      choose("cbJob", 6);
      choose("cbHair", 1);
      choose("cbHairColor", 1);
      choose("cbFace", 1);
      choose("cbEyeColor", 1);
      choose("cbBody", 1);
      for (int32_t pos : {1, 5}) {
        const TVaruneItemList& list = window->DataBase()->GetSpec(gtFemale, pos);
        QVERIFY(list.Count() > 0);
        window->EquipItem(list[list.Count() - 1]);
      }
      for (const char* name : {"tbTops", "tbBottom"}) {
        auto* slider = Control<QSlider>(window.get(), name);
        slider->setValue(slider->maximum());
      }
      window->resize(800, 600);
      before = seen(*window);
      QCOMPARE(before.Equipped.size(), size_t{2});
    }
    const TIniFile settings(SettingsFileName());
    QCOMPARE(settings.ReadInteger("Form", "Width", 0), 816);
    QCOMPARE(settings.ReadInteger("Form", "Height", 0), 638);

    auto window = Open();
    const TSeen after = seen(*window);
    QCOMPARE(after.Gender, before.Gender);
    QCOMPARE(after.Job, before.Job);
    QCOMPARE(after.Equipped, before.Equipped);
    QCOMPARE(after.Base, before.Base);
    QCOMPARE(after.Selected, before.Selected);
    QCOMPARE(after.Size, QSize(800, 600));
    QVERIFY(FMessages.empty());
  }

  void aPlacementOffEveryScreenFallsBackToTheDefault() {
    SavePlacement(100000, 100000, 900, 700);
    auto window = Open();
    QCOMPARE(window->pos(), QPoint(335, 133));
    QCOMPARE(window->size(), QSize(734, 496));
  }

  void theOptionBoxesTellOfTheNextStart() {
    auto window = Open();
    auto* cacheMode = Control<QCheckBox>(window.get(), "cbCacheMode");
    auto* disableCheck = Control<QCheckBox>(window.get(), "cbDisableCheck");
    QVERIFY(!disableCheck->isEnabled());
    cacheMode->click();
    QVERIFY(disableCheck->isEnabled());
    QCOMPARE(FMessages.size(), size_t{1});
    QCOMPARE(FMessages[0].second, QStringLiteral("変更は次回起動時に有効になります"));
    cacheMode->click();  // back to the mode in force: nothing to tell
    QCOMPARE(FMessages.size(), size_t{1});
    QVERIFY(!disableCheck->isEnabled());

    SetJapaneseUI(false);
    cacheMode->click();
    disableCheck->click();
    QCOMPARE(FMessages.size(), size_t{3});
    QCOMPARE(FMessages[2].second, QStringLiteral("This change will take effect at the next startup."));
    window.reset();
    const TIniFile settings(SettingsFileName());
    QVERIFY(settings.ReadBool("Data", "CacheMode", false));
    QVERIFY(settings.ReadBool("Data", "DisableCheck", false));
  }

  void cacheModeStartsFromItsOwnCopies() {
    TIniFile settings(SettingsFileName());
    settings.WriteBool("Data", "CacheMode", true);
    settings.Save();
    std::vector<std::vector<uint8_t>> before;
    for (const char* name : kArchives) before.push_back(ReadFile(ClientFolder() + name));

    auto window = Open();
    QVERIFY(!window->ErrorExit());
    QCOMPARE(window->DataBase()->Path(), CacheDir());
    for (size_t i = 0; i < std::size(kArchives); ++i) {
      QVERIFY(ReadFile(CacheDir() + kArchives[i]) == before[i]);
      QVERIFY(ReadFile(ClientFolder() + kArchives[i]) == before[i]);
    }
    QVERIFY(FMessages.empty());
  }

  void cacheModeEndsWhenAnArchiveIsMissing() {
    test::TempDir client;
    for (const char* name : kArchives)
      if (std::string_view(name) != "BARY.SPF") std::filesystem::copy_file(ClientFolder() + name, client.File(name));
    TIniFile settings(SettingsFileName());
    settings.WriteBool("Data", "CacheMode", true);
    settings.Save();
    const std::vector<uint8_t> settingsBefore = ReadFile(SettingsFileName());

    auto window = Open(client.Path() + "/");
    QVERIFY(window->ErrorExit());
    QCOMPARE(FMessages.size(), size_t{1});
    QCOMPARE(FMessages[0], std::make_pair(QStringLiteral("Varune Wardrobe"), QStringLiteral("クライアントが見つかりません")));
    QVERIFY(std::filesystem::exists(CacheDir() + "AJJIYA.SPF"));
    QVERIFY(std::filesystem::exists(CacheDir() + "BANX.SPF"));
    QVERIFY(!std::filesystem::exists(CacheDir() + "BARY.SPF"));
    window.reset();
    QVERIFY(ReadFile(SettingsFileName()) == settingsBefore);  // nothing saved after a failed start
  }

  void favouritesFromTheStarThePaletteAndTheFile() {
    const int32_t known = [] {
      const auto database = test::TDemoFixture::Get().Load();
      return database->GetSpec(gtMale, 1)[2]->FIndex;
    }();
    const std::string favFile = FAppDir->File("fav.dat");
    const std::string lines = "abc\r\n\r\n" + std::to_string(known) + "\r\n999999999\n";
    WriteWholeFile(favFile, lines.data(), lines.size());
    {
      auto window = Open();
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window.get()));
      QCOMPARE(window->FavoriteList().Count(), 1);
      auto* list = Control<QListView>(window.get(), "lvItemList");
      auto* star = Control<QWidget>(window.get(), "imgFavorite");
      const auto starIsYellow = [&] {
        const QColor centre = star->grab().toImage().pixelColor(star->width() / 2, 11);
        return centre.red() > centre.blue() + 100;
      };
      QVERIFY(!star->isVisible());
      list->setCurrentIndex(list->model()->index(0, 0));
      QVERIFY(star->isVisible());
      QVERIFY(!starIsYellow());
      QTest::mouseClick(star, Qt::LeftButton);
      QCOMPARE(window->FavoriteList().Count(), 2);
      QVERIFY(starIsYellow());

      // The palette shows the list, equips by double click and removes with Delete.
      auto* palette = Control<QWidget>(window.get(), "frmFav");
      QVERIFY(!palette->isVisible());
      QTest::mouseClick(Control<QWidget>(window.get(), "btnTogglePalette"), Qt::LeftButton);
      QVERIFY(palette->isVisible());
      auto* favList = Control<QListView>(palette, "lvFavList");
      QCOMPARE(favList->model()->rowCount(), 2);
      const QPoint first = favList->visualRect(favList->model()->index(0, 0)).center();
      QTest::mouseClick(favList->viewport(), Qt::LeftButton, {}, first);
      QTest::mouseDClick(favList->viewport(), Qt::LeftButton, {}, first);
      QCOMPARE(window->Chara()->GetEquipID(1), known);
      favList->setCurrentIndex(favList->model()->index(1, 0));
      QTest::keyClick(favList, Qt::Key_Escape);  // another key removes nothing
      QCOMPARE(window->FavoriteList().Count(), 2);
      QTest::keyClick(favList, Qt::Key_Delete);
      QCOMPARE(window->FavoriteList().Count(), 1);
      QCOMPARE(favList->model()->rowCount(), 1);
      QVERIFY(favList->selectionModel()->selectedIndexes().isEmpty());  // not past the end
      QVERIFY(!starIsYellow());
      window->close();
    }
    const std::vector<uint8_t> written = ReadFile(favFile);
    QCOMPARE(std::string(written.begin(), written.end()), std::to_string(known) + "\r\n");
    QVERIFY(TIniFile(SettingsFileName()).ReadBool("Palette", "Visible", false));

    auto window = Open();
    auto* palette = Control<QWidget>(window.get(), "frmFav");
    QVERIFY(palette->isVisible());
    QCOMPARE(Control<QListView>(palette, "lvFavList")->model()->rowCount(), 1);
  }

  // Answers the save slot dialog once it is open: the rows it lists, then a
  // choice of row (-1 for none) and of button.
  void AnswerSlotDialog(QStringList& Rows, bool& ApplyEnabled, int Row, bool Apply) {
    QTimer::singleShot(0, [&Rows, &ApplyEnabled, Row, Apply] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) qFatal("no slot dialog");
      auto* list = Control<QListWidget>(dialog, "lbStateList");
      Rows.clear();
      for (int i = 0; i < list->count(); ++i) Rows << list->item(i)->text();
      if (Row >= 0) list->setCurrentRow(Row);
      auto* apply = Control<QPushButton>(dialog, "btnApply");
      ApplyEnabled = apply->isEnabled();
      (Apply && ApplyEnabled ? apply : Control<QPushButton>(dialog, "btnCancel"))->click();
    });
  }

  void saveSlotsKeepWholeOutfits() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* load = Control<QWidget>(window.get(), "imgLoadButton");
    auto* save = Control<QWidget>(window.get(), "imgSaveButton");
    QStringList rows;
    bool applyEnabled = true;

    // Without save.dat: nothing to load, only the new slot to save into.
    AnswerSlotDialog(rows, applyEnabled, -1, true);
    QTest::mouseClick(load, Qt::LeftButton);
    QVERIFY(rows.isEmpty());
    QVERIFY(!applyEnabled);

    TChara& chara = *window->Chara();
    chara.SetGender(gtFemale);
    chara.SetJob(7);
    const TVaruneItemList& tops = window->DataBase()->GetSpec(gtFemale, 1);
    window->EquipItem(tops[tops.Count() - 1]);
    const std::vector<int32_t> outfit = chara.GetCurrentEquipIDList();
    const int32_t hair = chara.GetBaseID(bpHair);
    AnswerSlotDialog(rows, applyEnabled, 0, true);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(rows, QStringList{QStringLiteral("------- NEW -------")});
    QVERIFY(std::filesystem::exists(FAppDir->File("save.dat")));

    // Another outfit, then the slot brings the first back with its selectors.
    chara.SetGender(gtMale);
    chara.Clear();
    AnswerSlotDialog(rows, applyEnabled, 0, true);
    QTest::mouseClick(load, Qt::LeftButton);
    QCOMPARE(rows.size(), 1);
    QVERIFY(rows[0].startsWith(QStringLiteral("0: ")));
    QCOMPARE(chara.Gender(), gtFemale);
    QCOMPARE(chara.Job(), 7);
    QCOMPARE(chara.GetCurrentEquipIDList(), outfit);
    QCOMPARE(chara.GetBaseID(bpHair), hair);
    QCOMPARE(Control<QComboBox>(window.get(), "cbJob")->currentIndex(), 6);

    // Saving again into the slot's row keeps one slot; the new row adds one.
    AnswerSlotDialog(rows, applyEnabled, 0, true);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(rows.size(), 2);
    AnswerSlotDialog(rows, applyEnabled, 1, true);
    QTest::mouseClick(save, Qt::LeftButton);
    AnswerSlotDialog(rows, applyEnabled, -1, false);
    QTest::mouseClick(load, Qt::LeftButton);
    QCOMPARE(rows.size(), 2);
    QVERIFY(FMessages.empty());

    // Delete in the save dialog, then Cancel: the file stays as it was.
    const std::vector<uint8_t> before = ReadFile(FAppDir->File("save.dat"));
    int rowsAfterDelete = -1;
    QTimer::singleShot(0, [&rowsAfterDelete] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) qFatal("no slot dialog");
      auto* list = Control<QListWidget>(dialog, "lbStateList");
      list->setCurrentRow(0);
      QTest::keyClick(list, Qt::Key_Delete);
      rowsAfterDelete = list->count();
      Control<QPushButton>(dialog, "btnCancel")->click();
    });
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(rowsAfterDelete, 2);
    QVERIFY(ReadFile(FAppDir->File("save.dat")) == before);

    // An outfit code goes round; one that does not read changes nothing.
    const std::string code = chara.Code();
    chara.Clear();
    window->PasteOutfitCode(QStringLiteral("not a code"));
    QCOMPARE(FMessages.size(), size_t{1});
    QVERIFY(chara.GetCurrentEquipIDList().empty());
    window->PasteOutfitCode(QString::fromStdString(code));
    QCOMPARE(chara.GetCurrentEquipIDList(), outfit);
  }

  void theHiddenKeySequenceShowsTheHideBoxesOnce() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* list = Control<QListView>(window.get(), "lvItemList");
    list->setFocus();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down,
                        Qt::Key_Down, Qt::Key_A, Qt::Key_B, Qt::Key_Left})
      QTest::keyClick(list, key);
    QCOMPARE(FMessages.size(), size_t{1});
    QCOMPARE(FMessages[0].second, QStringLiteral("どう見ても変態です\n本当にありがとうございました"));
    for (const char* name : {"cbHideHair", "cbHideFace", "cbHideBody", "cbHideTops", "cbHideBottoms"})
      QVERIFY(Control<QWidget>(window.get(), name)->isVisibleTo(window.get()));
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down,
                        Qt::Key_Down, Qt::Key_A, Qt::Key_B})
      QTest::keyClick(list, key);
    QCOMPARE(FMessages.size(), size_t{1});
  }

  void sigtermClosesTheWindowAndSaves() {
    auto window = Open();
    app::TShutdownSignals shutdown(window.get());
    window->show();
    ::raise(SIGTERM);
    QTRY_VERIFY(!window->isVisible());
    window.reset();
    QCOMPARE(TIniFile(SettingsFileName()).ReadString("Data", "ClientPath", "?"), ClientFolder());
  }

  void aWholeSessionComesBackAndLeavesTheArchivesUnchanged() {
    std::vector<std::vector<uint8_t>> before;
    for (const char* name : kArchives) before.push_back(ReadFile(ClientFolder() + name));
    std::vector<int32_t> outfit;
    int32_t favourite = -1;
    {
      auto window = Open();
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window.get()));
      auto* aniType = Control<QComboBox>(window.get(), "cbAniType");
      emit aniType->activated(atNormalAttack01);
      Control<QCheckBox>(window.get(), "cbAnimation")->setChecked(true);
      for (int i = 0; i < 5; ++i) {
        gNow += 1000;
        window->AnimationIdle();
      }
      const TVaruneItemList& items = window->Browser()->ActiveItemList();
      window->EquipItem(items[1]);
      outfit = window->Chara()->GetCurrentEquipIDList();
      auto* list = Control<QListView>(window.get(), "lvItemList");
      list->setCurrentIndex(list->model()->index(3, 0));
      favourite = items[3]->FIndex;
      QTest::mouseClick(Control<QWidget>(window.get(), "imgFavorite"), Qt::LeftButton);
      QStringList rows;
      bool applyEnabled = false;
      AnswerSlotDialog(rows, applyEnabled, 0, true);
      QTest::mouseClick(Control<QWidget>(window.get(), "imgSaveButton"), Qt::LeftButton);
      QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("session.gif")), 4));
      window->close();
    }
    {
      auto window = Open();
      QCOMPARE(window->Chara()->GetCurrentEquipIDList(), outfit);
      QCOMPARE(window->FavoriteList().Count(), 1);
      QCOMPARE(window->FavoriteList()[0]->FIndex, favourite);
      TSaveData saved;
      saved.LoadData(FAppDir->File("save.dat"));
      QCOMPARE(saved.Count(), 1);
      QCOMPARE(saved.Items(0).EquipIDs, outfit);
    }
    QVERIFY(FMessages.empty());
    for (size_t i = 0; i < std::size(kArchives); ++i) QVERIFY(ReadFile(ClientFolder() + kArchives[i]) == before[i]);
  }

  // The warmer faults in heap pages the program may already be using: what
  // they hold comes through unchanged, and once it is done the heap's next
  // blocks are in memory before they are touched.
  void theViewAndTheListsShowTheirPicturesUntinted() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // The paint box shows the colours of its picture, and the character view
    // in it is exactly the exported picture of the same outfit: the shadow's
    // soft edge is not blended a second time over the window colour.
    const QImage shown = Control<QWidget>(window.get(), "pbChara")->grab().toImage();
    int32_t differing = 0;
    for (int32_t y = 0; y < window->Buffer().Height(); ++y)
      for (int32_t x = 0; x < window->Buffer().Width(); ++x)
        differing += (shown.pixel(x, y) & 0xFFFFFF) != (window->Buffer().Pixel(x, y) & 0xFFFFFF);
    QCOMPARE(differing, 0);
    const std::string exported = FAppDir->File("view.png");
    QVERIFY(window->ExportPicture(QString::fromStdString(exported), 2));
    const TBitmap32 picture = DecodePngToBitmap32(ReadFile(exported));
    for (int32_t y = 0; y < picture.Height(); ++y)
      for (int32_t x = 0; x < picture.Width(); ++x)
        differing += (shown.pixel(154 + x, 2 + y) & 0xFFFFFF) != (picture.Pixel(x, y) & 0xFFFFFF);
    QCOMPARE(differing, 0);

  }

  void theIconListBlendsOnceReflowsStartsNewSlotsAtTheTopAndSettles() {
    // Soft edges, the only pixels where blending twice shows.
    TBitmap32 sheet(32, 32);
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 32; ++x) sheet.Pixel(x, y) = Color32(200, 40, 90, static_cast<uint8_t>(x * 8 + 7));
    {
      auto window = Open(WriteIconClient(FAppDir->File("soft"), EncodePng(sheet, ppfRGBA), 300));
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window.get()));
      TBitmap32 icon(32, 32);
      icon.Clear(Color32(0x84, 0xBD, 0x80));
      TCanvas canvas(icon);
      QVERIFY(DrawItemIcon(canvas, 0, 0, *window->DataBase(), *window->Browser()->ActiveItemList()[0], false));
      auto* list = Control<QListView>(window.get(), "lvItemList");
      const auto cellMatches = [&] {
        const QRect cell = list->visualRect(list->model()->index(0, 0));
        const QPoint at(cell.left() + (cell.width() - 32) / 2, cell.top() + (cell.height() - 32) / 2);
        const QImage cells = list->viewport()->grab().toImage();
        for (int32_t y = 0; y < 32; ++y)
          for (int32_t x = 0; x < 32; ++x)
            if ((cells.pixel(at.x() + x, at.y() + y) & 0xFFFFFF) != (icon.Pixel(x, y) & 0xFFFFFF)) return false;
        return true;
      };
      QTRY_VERIFY(cellMatches());

      // Scrolled down in one slot, the next slot's list opens at its first item.
      QScrollBar* scroll = list->verticalScrollBar();
      QTRY_VERIFY(scroll->maximum() > 0);
      scroll->setValue(scroll->maximum());
      window->SelectEquipList(2);
      QCOMPARE(scroll->value(), 0);

      // A wider window puts more cells in a row.
      const auto perRow = [&] {
        const int top = list->visualRect(list->model()->index(0, 0)).top();
        int count = 0;
        while (list->visualRect(list->model()->index(count, 0)).top() == top) ++count;
        return count;
      };
      const int before = perRow();
      window->resize(window->width() + 200, window->height());
      QTRY_VERIFY(perRow() > before);
    }

    // A sheet in the archives that does not decode is asked for once per
    // showing, not on every turn of the event loop.
    const std::vector<uint8_t> damaged{0x89, 'P', 'N', 'G', 'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
    auto window = Open(WriteIconClient(FAppDir->File("damaged"), damaged, 2));
    QVERIFY(!window->ErrorExit());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* list = Control<QListView>(window.get(), "lvItemList");
    QCOMPARE(list->model()->rowCount(), 2);
    TPaintCounter counter;
    list->viewport()->installEventFilter(&counter);
    QTest::qWait(200);  // the first round asks for the sheet and paints once more
    counter.Paints = 0;
    QTest::qWait(200);
    QCOMPARE(counter.Paints, 0);
  }

  void dropDownEntriesShowAnAmpersandAsItIs() {
    auto window = Open();
    const auto lists = [&](const char* name, const char* text) {
      return Control<QComboBox>(window.get(), name)->findText(QString::fromUtf8(text), Qt::MatchExactly) >= 0;
    };
    QVERIFY(lists("cbJob", "料理人&パティシエ"));
    auto* face = Control<QComboBox>(window.get(), "cbFace");
    bool found = false;
    for (int index = 0; index < face->count() && !found; ++index) {
      face->setCurrentIndex(index);
      emit face->activated(index);
      found = lists("cbEyeColor", "紫&金の瞳");
    }
    QVERIFY(found);
    // The hand is for the filter buttons and the star, not LOAD and SAVE.
    QCOMPARE(Control<QWidget>(window.get(), "imgLoadButton")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(Control<QWidget>(window.get(), "imgSaveButton")->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(Control<QWidget>(window.get(), "imgFilter1")->cursor().shape(), Qt::PointingHandCursor);
  }

  void theBrowserFollowsTheJobSelectorSetByALoadedSlot() {
    auto window = Open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* job = Control<QComboBox>(window.get(), "cbJob");
    const auto chooseJob = [&](int entry) {
      job->setCurrentIndex(entry);
      emit job->activated(entry);
    };
    // A slot saved as an archer, loaded while the novice is chosen: the
    // selector shows the archer without its handler, and the next filtering
    // lists the archer's weapons.
    constexpr int kNovice = 0, kArcher = 8;
    QStringList rows;
    bool applyEnabled = false;
    chooseJob(kArcher);
    AnswerSlotDialog(rows, applyEnabled, 0, true);
    QTest::mouseClick(Control<QWidget>(window.get(), "imgSaveButton"), Qt::LeftButton);
    chooseJob(kNovice);
    AnswerSlotDialog(rows, applyEnabled, 0, true);
    QTest::mouseClick(Control<QWidget>(window.get(), "imgLoadButton"), Qt::LeftButton);
    QCOMPARE(job->currentIndex(), kArcher);
    auto* panel = Control<QWidget>(window.get(), "pbChara");
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(112 + 16, 10 + 16));  // the weapon cell
    const TVaruneItemList& weapons = window->Browser()->ActiveItemList();
    QVERIFY(weapons.Count() > 0);
    bool onlyTheArchers = false;
    for (const TVaruneItem* item : weapons) {
      QVERIFY(item->IsUsableJob(JobBitFlag(kArcher + 1)));
      onlyTheArchers |= !item->IsUsableJob(JobBitFlag(kNovice + 1));
    }
    QVERIFY(onlyTheArchers);
  }

  void savingAtExitKeepsWhatTheUserGaveTheFiles() {
    namespace fs = std::filesystem;
    const std::string favFile = FAppDir->File("fav.dat");
    // A client named for this run only leaves "ClientPath" as it was.
    const std::string kept = "[Data]\nClientPath=/kept/\n";
    WriteWholeFile(SettingsFileName(), kept.data(), kept.size());
    Open(ClientFolder(), true).reset();
    QCOMPARE(TIniFile(SettingsFileName()).ReadString("Data", "ClientPath", ""), std::string("/kept/"));
    QVERIFY(TIniFile(SettingsFileName()).ReadInteger("Form", "Width", 0) > 0);
    QVERIFY2(FMessages.empty(), qPrintable(FMessages.empty() ? QString() : FMessages[0].second));

    // A read-only settings file is not replaced, and the favourites still are.
    fs::remove(favFile);
    fs::permissions(SettingsFileName(), fs::perms(0444));
    const std::vector<uint8_t> protectedBytes = ReadFile(SettingsFileName());
    Open().reset();
    QCOMPARE(ReadFile(SettingsFileName()), protectedBytes);
    QVERIFY(fs::exists(favFile));
    QCOMPARE(FMessages.size(), size_t{1});
    QVERIFY(FMessages[0].second.startsWith(QStringLiteral("設定を保存できませんでした。")));

    // One that cannot be read at start is left alone for the whole run.
    fs::permissions(SettingsFileName(), fs::perms(0644));
    fs::resize_file(SettingsFileName(), 5 << 20);
    const std::vector<uint8_t> unreadable = ReadFile(SettingsFileName());
    QVERIFY(!CheckSettingsFile().empty());
    FMessages.clear();
    Open().reset();
    QCOMPARE(ReadFile(SettingsFileName()), unreadable);
    QVERIFY2(FMessages.empty(), qPrintable(FMessages.empty() ? QString() : FMessages[0].second));
  }

  void heapWarmerKeepsTheHeapsContents() {
    constexpr size_t kBlock = 64 << 10;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
    {
      const THeapWarmer warmer(8 << 20);
      for (int i = 0; i < 16; ++i) {
        blocks.emplace_back(new uint8_t[kBlock]);
        std::memset(blocks.back().get(), i + 1, kBlock);
      }
    }
    for (int i = 0; i < 16; ++i)
      QVERIFY(std::all_of(blocks[i].get(), blocks[i].get() + kBlock, [&](uint8_t b) { return b == i + 1; }));
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their allocators keep heaps of their own
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const std::unique_ptr<uint8_t[]> fresh(new uint8_t[1 << 20]);
    const auto first = (reinterpret_cast<uintptr_t>(fresh.get()) + page - 1) & ~(page - 1);
    std::vector<unsigned char> resident((1 << 20) / page - 1);
    QCOMPARE(mincore(reinterpret_cast<void*>(first), resident.size() * page, resident.data()), 0);
    QVERIFY(std::all_of(resident.begin(), resident.end(), [](unsigned char r) { return (r & 1) != 0; }));
#endif
  }
};

int main(int argc, char** argv) {
  app::TApplication application(argc, argv);
  TMainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
