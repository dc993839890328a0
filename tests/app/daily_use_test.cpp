// The main window for daily use, offscreen: undo and redo of every kind of
// step, the recently worn list, the search of every slot, outfit links from
// a second start, the clipboard and drops, the picture dragged out, the
// language chosen for the next start, and a placement brought back on screen.

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/link_server.h"
#include "app/window_fixture.h"
#include "archive/stream.h"
#include "character/outfit.h"
#include "viewer/ini_file.h"
#include "viewer/item_browser.h"
#include "viewer/outfit_link.h"
#include "viewer/settings.h"

using namespace varune;

class TDailyUseTest : public TWindowFixture {
  Q_OBJECT

  static void Key(QWidget* Target, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::ControlModifier) {
    QTest::keyClick(Target, Key, Modifiers);
  }

  std::unique_ptr<TfrmQuillon> OpenActive() {
    auto window = Open();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qFatal("the window did not become active");
    return window;
  }

 private slots:
  void initTestCase() { InstallSinks(); }
  void init() { FreshFolder(); }

  void everyKindOfStepIsUndoneAndRedoneOnce() {
    auto window = OpenActive();
    TChara& chara = *window->Chara();
    auto* job = Control<QComboBox>(window.get(), "cbJob");
    job->setFocus();
    const TVaruneItemList& weapons = window->DataBase()->GetSpec(chara.Gender(), kWeaponSlot);
    auto* panel = Control<QWidget>(window.get(), "pbChara");
    auto* tops = Control<QSlider>(window.get(), "tbTops");
    auto* hair = Control<QComboBox>(window.get(), "cbHair");
    const auto code = [&] { return chara.Code(); };

    // Each action of the user's, and what it changed.
    const std::vector<std::pair<const char*, std::function<void()>>> actions = {
        {"equip", [&] { window->EquipItem(weapons[0]); }},
        {"take off", [&] { QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(112 + 16, 10 + 16)); }},
        {"base part", [&] { emit hair->activated((hair->currentIndex() + 1) % hair->count()); }},
        {"track bar drag",
         [&] {
           // A press, several positions and the release are one step.
           emit tops->sliderPressed();
           for (int position = 1; position <= tops->maximum(); ++position) tops->setValue(position);
           emit tops->sliderReleased();
         }},
        {"gender", [&] { QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(56 + 18, 154 + 18)); }},
        {"job",
         [&] {
           job->setCurrentIndex(6);
           emit job->activated(6);
         }},
        {"pasted code", [&] { window->PasteOutfitCode(QString::fromStdString(FemaleCode(*window))); }},
        {"random outfit", [&] { window->RandomOutfit(); }},
    };
    std::vector<std::pair<std::string, int32_t>> states = {{code(), chara.Job()}};
    for (const auto& [name, act] : actions) {
      act();
      QVERIFY2(code() != states.back().first || chara.Job() != states.back().second, name);
      states.emplace_back(code(), chara.Job());
    }
    QVERIFY(FMessages.empty());
    // Back step by step to the start, with the selectors following, then forward again.
    for (size_t i = states.size() - 1; i-- > 0;) {
      Key(job, Qt::Key_Z);
      QCOMPARE(code(), states[i].first);
      QCOMPARE(chara.Job(), states[i].second);
      QCOMPARE(job->currentIndex(), chara.Job() - 1);
    }
    QVERIFY(!window->UndoOutfit());
    for (size_t i = 1; i < states.size(); ++i) {
      Key(job, i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
      QCOMPARE(code(), states[i].first);
    }
    // A new step drops what could be redone; the search box keeps its own undo.
    Key(job, Qt::Key_Z);
    const TVaruneItem* other = nullptr;
    for (const TVaruneItem* item : window->DataBase()->GetSpec(chara.Gender(), kWeaponSlot))
      if (item->IsUsableJob(JobBitFlag(chara.Job())) && item->FIndex != chara.GetEquipID(kWeaponSlot)) other = item;
    QVERIFY(other);
    window->EquipItem(other);
    QVERIFY(code() != states[states.size() - 2].first);
    QVERIFY(!window->RedoOutfit());
    auto* search = Control<QLineEdit>(window.get(), "edFilter");
    search->setFocus();
    const std::string before = code();
    Key(search, Qt::Key_Z);
    QCOMPARE(code(), before);
  }

  void recentlyWornNewestFirstInThePaletteAndAfterARestart() {
    std::vector<int32_t> worn;
    {
      auto window = Open();
      const TVaruneItemList& weapons = window->DataBase()->GetSpec(window->Chara()->Gender(), kWeaponSlot);
      QVERIFY(weapons.Count() >= 3);
      for (const int i : {0, 1, 2, 0}) window->EquipItem(weapons[i]);
      for (const TVaruneItem* item : window->RecentList()) worn.push_back(item->FIndex);
      QCOMPARE(worn, (std::vector<int32_t>{weapons[0]->FIndex, weapons[2]->FIndex, weapons[1]->FIndex}));

      // The palette lists them below the favourites; a double click there puts one on.
      QTest::mouseClick(Control<QWidget>(window.get(), "btnTogglePalette"), Qt::LeftButton);
      auto* recent = Control<QListView>(Control<QWidget>(window.get(), "frmFav"), "lvRecentList");
      QCOMPARE(recent->model()->rowCount(), 3);
      const QPoint last = recent->visualRect(recent->model()->index(2, 0)).center();
      QTest::mouseClick(recent->viewport(), Qt::LeftButton, {}, last);
      QTest::mouseDClick(recent->viewport(), Qt::LeftButton, {}, last);
      QCOMPARE(window->Chara()->GetEquipID(kWeaponSlot), worn[2]);
      QCOMPARE(window->RecentList()[0]->FIndex, worn[2]);
      worn = {worn[2], worn[0], worn[1]};
    }
    const std::vector<uint8_t> file = ReadWholeFile(FAppDir->File("recent.dat"));
    QCOMPARE(std::string(file.begin(), file.end()), std::to_string(worn[0]) + "\r\n" + std::to_string(worn[1]) +
                                                        "\r\n" + std::to_string(worn[2]) + "\r\n");
    auto window = Open();
    QCOMPARE(window->RecentList().Count(), 3);
    QCOMPARE(window->RecentList()[0]->FIndex, worn[0]);
  }

  void enterSearchesEverySlotAndASlotLeavesIt() {
    auto window = OpenActive();
    TItemBrowser& browser = *window->Browser();
    auto* search = Control<QLineEdit>(window.get(), "edFilter");
    auto* list = Control<QListView>(window.get(), "lvItemList");
    // A text in the names of items of several slots.
    QTest::keyClicks(search, QStringLiteral("("));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(browser.EquipListIndex(), kEverySlot);
    std::set<int32_t> slotsListed;
    int32_t previous = 0;
    for (const TVaruneItem* item : browser.ActiveItemList()) {
      QVERIFY(item->FName.find('(') != std::string::npos);
      QVERIFY(item->FPosID1 >= previous);  // slot by slot
      previous = item->FPosID1;
      slotsListed.insert(item->FPosID1);
    }
    QVERIFY(slotsListed.size() >= 3);
    QCOMPARE(list->model()->rowCount(), browser.ActiveItemList().Count());

    // Each item goes into its own slot.
    const int row = browser.ActiveItemList().Count() - 1;
    const TVaruneItem* item = browser.ActiveItemList()[row];
    list->scrollTo(list->model()->index(row, 0));
    const QPoint cell = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(window->Chara()->GetEquipObj(item->FPosID1), item);

    QTest::mouseClick(Control<QWidget>(window.get(), "pbChara"), Qt::LeftButton, {}, QPoint(10 + 16, 10 + 16));
    QCOMPARE(browser.EquipListIndex(), 1);
    for (const TVaruneItem* each : browser.ActiveItemList()) QCOMPARE(each->FPosID1, 1);
  }

  void aSecondStartHandsItsLinkToTheFirst() {
    auto window = Open();
    const std::string socket = FAppDir->File("link.sock");
    std::ofstream(socket) << "left by a program that crashed";
    app::TLinkServer first(window.get(), [&](const QString& Link) { window->OpenOutfitLink(Link); });
    QVERIFY(first.Listen(QString::fromStdString(socket)));
    app::TLinkServer second(window.get(), [](const QString&) {});
    QVERIFY(!second.Listen(QString::fromStdString(socket)));

    const std::string code = FemaleCode(*window);
    QVERIFY(app::HandOverLink(QString::fromStdString(socket), QString::fromStdString(OutfitLink(code))));
    QTRY_COMPARE(window->Chara()->Code(), code);
    QVERIFY(window->UndoOutfit());  // one step
    QVERIFY(window->Chara()->Code() != code);
    QVERIFY(!app::HandOverLink(QString::fromStdString(FAppDir->File("nobody.sock")), QStringLiteral("x")));
    QVERIFY(app::HandOverLink(QString::fromStdString(socket), QStringLiteral("varune:outfit/damaged")));
    QTRY_COMPARE(FMessages.size(), size_t{1});
    QVERIFY(window->Chara()->Code() != code);
  }

  void ctrlVAndDropsPutOnAnOutfitFromText() {
    auto window = OpenActive();
    auto* job = Control<QComboBox>(window.get(), "cbJob");
    job->setFocus();
    const std::string code = FemaleCode(*window);
    const std::string start = window->Chara()->Code();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromStdString("https://wardrobe.example.org/#" + UrlSafeOutfitCode(code) + "&anim=Move"));
    Key(job, Qt::Key_V);
    QCOMPARE(window->Chara()->Code(), code);
    clipboard->setText(QStringLiteral("no outfit here"));
    Key(job, Qt::Key_V);
    QCOMPARE(window->Chara()->Code(), code);
    QCOMPARE(FMessages.size(), size_t{1});
    auto* search = Control<QLineEdit>(window.get(), "edFilter");
    search->setFocus();
    Key(search, Qt::Key_V);
    QCOMPARE(search->text(), QStringLiteral("no outfit here"));
    QCOMPARE(FMessages.size(), size_t{1});

    // A dropped link puts its outfit on; other drops are let go by.
    auto* view = Control<QWidget>(window.get(), "pbChara");
    const auto drop = [&](QMimeData& data) {
      QDragEnterEvent enter(QPoint(300, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(view, &enter);
      QDropEvent event(QPointF(300, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(view, &event);
    };
    QMimeData picture;
    picture.setImageData(QImage(8, 8, QImage::Format_RGB32));
    window->UndoOutfit();
    window->UndoOutfit();
    QCOMPARE(window->Chara()->Code(), start);
    drop(picture);
    QCOMPARE(window->Chara()->Code(), start);
    QMimeData link;
    link.setText(QString::fromStdString(OutfitLink(code)));
    drop(link);
    QCOMPARE(window->Chara()->Code(), code);
    QCOMPARE(FMessages.size(), size_t{1});
  }

  void theDraggedPictureIsTheExportedPng() {
    auto window = Open();
    window->EquipItem(window->DataBase()->GetSpec(window->Chara()->Gender(), kWeaponSlot)[0]);
    std::unique_ptr<QMimeData> data(window->PictureDragData());
    QVERIFY(data);
    QCOMPARE(data->urls().size(), 1);
    const QString file = data->urls()[0].toLocalFile();
    QVERIFY(std::filesystem::exists(file.toStdString()));
    QVERIFY(!qvariant_cast<QImage>(data->imageData()).isNull());
    QVERIFY(window->ExportPicture(QString::fromStdString(FAppDir->File("saved.png")), 2));
    QCOMPARE(ReadWholeFile(file.toStdString()), ReadWholeFile(FAppDir->File("saved.png")));
    // The folder goes with the window.
    window.reset();
    QVERIFY(!std::filesystem::exists(file.toStdString()));
  }

  void theLanguageChosenHoldsFromTheNextStart() {
    {
      auto window = Open();
      QVERIFY(!window->LanguageChoice());
      ChooseInViewMenu(window.get(), {QStringLiteral("言語"), QStringLiteral("English")});
      QCOMPARE(window->LanguageChoice(), std::optional<bool>(false));
      QCOMPARE(FMessages.size(), size_t{1});
      QVERIFY(FMessages[0].second.contains(QStringLiteral("次回起動時")));
      QVERIFY(IsJapaneseUI());  // from the next start only
    }
    QCOMPARE(ReadLanguageSetting(TIniFile(SettingsFileName())), std::optional<bool>(false));
  }

  void aPlacementPartlyOffTheScreensComesBackOnTheNearest() {
    SavePlacement(1500, 900, 900, 700);
    auto window = Open();
    // Whole on the 1920 x 1080 screen, the size kept.
    QCOMPARE(window->size(), QSize(900 - 16, 700 - 38));
    QCOMPARE(window->pos(), QPoint(1920 - 900, 1080 - 700));
  }

 private:
  // A female outfit with a weapon, as a code.
  static std::string FemaleCode(TfrmQuillon& Window) {
    TChara chara(*Window.DataBase());
    chara.SetGender(gtFemale);
    chara.Equip(Window.DataBase()->GetSpec(gtFemale, kWeaponSlot)[0]);
    return chara.Code();
  }
};

int main(int argc, char** argv) {
  app::TApplication application(argc, argv);
  TDailyUseTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "daily_use_test.moc"
