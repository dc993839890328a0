// The main window used at random, offscreen: a seeded stream of clicks,
// double-clicks, right clicks, drags, wheel turns and keys over the main
// window, the favourites window and every menu and dialog they open, after
// which the program must still answer, its outfit must read back as a code,
// nothing may have been written outside its folder, and the client's
// archives must be as they were. VARUNE_RANDOM_SEED and VARUNE_RANDOM_COUNT
// give a longer or another run than CI's.

#include <QColorDialog>
#include <QDrag>
#include <QFileDialog>
#include <QWheelEvent>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "app/window_fixture.h"
#include "archive/stream.h"
#include "character/outfit.h"

using namespace varune;

namespace {

namespace fs = std::filesystem;

uint64_t FromEnvironment(const char* Name, uint64_t Default) {
  const char* value = std::getenv(Name);
  return value && *value ? std::strtoull(value, nullptr, 10) : Default;
}

// Every file under `Dir` with its bytes.
std::map<std::string, std::vector<uint8_t>> Files(const std::string& Dir) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(Dir))
    if (entry.is_regular_file()) files[entry.path().string()] = ReadWholeFile(entry.path().string());
  return files;
}

// Seeded choices. Menus and dialogs are tended by a timer whose ticks fall
// as time goes: they draw from a stream of their own, and only when there is
// something to tend, so that a seed gives the same run again.
class TChooser {
 public:
  explicit TChooser(uint64_t Seed) : FRandom(Seed) {}
  int32_t Below(int32_t N) { return std::uniform_int_distribution<int32_t>(0, std::max(0, N - 1))(FRandom); }
  bool Chance(int32_t Percent) { return Below(100) < Percent; }
  QPoint Inside(const QWidget* Widget) { return {Below(Widget->width()), Below(Widget->height())}; }

 private:
  std::mt19937_64 FRandom;
};

class TMonkey {
 public:
  explicit TMonkey(uint64_t Seed) : FActs(Seed), FTends(Seed + 1) {}

  // One action of a person's on a random visible, enabled widget of `Windows`.
  void Act(const std::vector<QWidget*>& Windows) { Act(FActs, Windows); }

  void Act(TChooser& Choose, const std::vector<QWidget*>& Windows) {
    std::vector<QWidget*> targets;
    for (QWidget* window : Windows) {
      if (!window->isVisible()) continue;
      targets.push_back(window);
      for (QWidget* child : window->findChildren<QWidget*>())
        if (child->isVisible() && child->isEnabled() && !child->isWindow()) targets.push_back(child);
    }
    QWidget* target = targets[static_cast<size_t>(Choose.Below(static_cast<int32_t>(targets.size())))];
    const QPoint at = Choose.Inside(target);
    switch (Choose.Below(7)) {
      case 0: QTest::mouseClick(target, Qt::LeftButton, {}, at); break;
      case 1: QTest::mouseDClick(target, Qt::LeftButton, {}, at); break;
      case 2: QTest::mouseClick(target, Qt::RightButton, {}, at); break;
      case 3: {
        const QPoint to = Choose.Inside(target);
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseMove(target, (at + to) / 2);
        QTest::mouseMove(target, to);
        QTest::mouseRelease(target, Qt::LeftButton, {}, to);
        break;
      }
      case 4: {
        QWheelEvent wheel(at, target->mapToGlobal(at), {}, {0, Choose.Chance(50) ? 120 : -120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        break;
      }
      default: Key(Choose, target); break;
    }
  }

  // What a person does with a menu or dialog that opened: chooses or closes
  // it. A file dialog is always cancelled, so that nothing is written
  // outside the program's folder.
  void Tend() {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      std::vector<QAction*> entries;
      for (QAction* action : menu->actions())
        if (action->isVisible() && action->isEnabled() && !action->isSeparator()) entries.push_back(action);
      if (entries.empty() || FTends.Chance(30)) {
        menu->close();
        return;
      }
      QAction* entry = entries[static_cast<size_t>(FTends.Below(static_cast<int32_t>(entries.size())))];
      menu->setActiveAction(entry);
      QTest::keyClick(menu, entry->menu() ? Qt::Key_Right : Qt::Key_Return);
    } else if (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();  // a drop-down list
    } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      if (qobject_cast<QFileDialog*>(dialog) || ++FDialogActions > 6) {
        FDialogActions = 0;
        FTends.Chance(50) && !qobject_cast<QFileDialog*>(dialog) ? dialog->accept() : dialog->reject();
        return;
      }
      Act(FTends, {dialog});
    } else if (QDrag* drag = QApplication::activeWindow() ? QApplication::activeWindow()->findChild<QDrag*>() : nullptr) {
      QTest::keyClick(QApplication::activeWindow(), Qt::Key_Escape);  // the drag ends
      drag->deleteLater();
    }
  }

 private:
  static void Key(TChooser& Choose, QWidget* Target) {
    static constexpr Qt::Key kKeys[] = {Qt::Key_A,     Qt::Key_B,      Qt::Key_1,     Qt::Key_Left,   Qt::Key_Right,
                                        Qt::Key_Up,    Qt::Key_Down,   Qt::Key_Return, Qt::Key_Escape, Qt::Key_Delete,
                                        Qt::Key_Tab,   Qt::Key_Space,  Qt::Key_Home,  Qt::Key_End,    Qt::Key_Backspace};
    static constexpr Qt::Key kShortcuts[] = {Qt::Key_C, Qt::Key_V, Qt::Key_Z, Qt::Key_Y};
    if (Choose.Chance(25)) {
      const Qt::KeyboardModifiers modifiers =
          Choose.Chance(30) ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
      QTest::keyClick(Target, kShortcuts[Choose.Below(std::size(kShortcuts))], modifiers);
    } else {
      QTest::keyClick(Target, kKeys[Choose.Below(std::size(kKeys))]);
    }
  }

  TChooser FActs, FTends;
  int32_t FDialogActions = 0;
};

}  // namespace

class TRandomUseTest : public TWindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallSinks(); }
  void init() { FreshFolder(); }

  void thousandsOfRandomActionsLeaveTheProgramWhole() {
    const uint64_t seed = FromEnvironment("VARUNE_RANDOM_SEED", 20261211);
    const uint64_t count = FromEnvironment("VARUNE_RANDOM_COUNT", 2500);
    // Everything the program may write elsewhere lands in folders of the test's.
    test::TempDir elsewhere;
    for (const char* folder : {"home", "tmp", "work"}) fs::create_directories(elsewhere.File(folder));
    qputenv("HOME", QByteArray::fromStdString(elsewhere.File("home")));
    qputenv("TMPDIR", QByteArray::fromStdString(elsewhere.File("tmp")));
    const fs::path working = fs::current_path();
    fs::current_path(elsewhere.File("work"));
    const auto client = Files(ClientFolder());
    FAnswer = true;

    TMonkey monkey(seed);
    QTimer tending;
    QObject::connect(&tending, &QTimer::timeout, [&] { monkey.Tend(); });
    tending.start(5);
    {
      auto window = Open();
      window->show();
      QVERIFY(QTest::qWaitForWindowExposed(window.get()));
      QWidget* palette = window->findChild<QWidget*>(QStringLiteral("frmFav"));
      for (uint64_t i = 0; i < count; ++i) {
        if (!window->isVisible()) window->show();  // Escape or the close box closed it
        monkey.Act({window.get(), palette});
        if (i % 100 == 0) QCoreApplication::processEvents();
      }
      tending.stop();
      // Still answering, and what it wears still reads back as a code.
      bool answered = false;
      QTimer::singleShot(0, [&] { answered = true; });
      QTRY_VERIFY(answered);
      const std::string code = window->Chara()->Code();
      QCOMPARE(EncodeOutfitCode(DecodeOutfitCode(code)), code);
      qInfo("seed %llu, %llu actions, %zu messages", static_cast<unsigned long long>(seed),
            static_cast<unsigned long long>(count), FMessages.size());
    }
    fs::current_path(working);
    // Qt's file dialog keeps its own history there, as in every Qt program.
    auto written = Files(elsewhere.Path());
    written.erase(elsewhere.File("home/.config/QtProject.conf"));
    for (const auto& [name, bytes] : written) qWarning("written outside the program's folder: %s", name.c_str());
    QVERIFY(written.empty());
    QVERIFY(Files(ClientFolder()) == client);
  }
};

int main(int argc, char** argv) {
  app::TApplication application(argc, argv);
  TRandomUseTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "random_use_test.moc"
