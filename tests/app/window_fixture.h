#pragma once
// What the desktop program's widget tests share: a program folder of their
// own for each test, message boxes and questions answered by the test, the
// main window opened on the demo client with a clock of the test's, and
// ways to reach its controls, its menus and its dialogs.

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QClipboard>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "database/language.h"
#include "demo/demo_fixture.h"
#include "viewer/ini_file.h"
#include "support/temp_dir.h"
#include "viewer/startup.h"

// The windows' clock in the tests: they move it by hand.
inline uint32_t gNow = 1000;

inline std::string ClientFolder() { return varune::test::TDemoFixture::Get().Dir.Path() + "/"; }

class TWindowFixture : public QObject {
 protected:
  using TfrmQuillon = varune::app::TfrmQuillon;

  // From initTestCase: the demo client made, boxes answered by the test.
  void InstallSinks() {
    varune::test::TDemoFixture::Get();
    varune::app::SetMessageSink([this](QWidget*, const QString& caption, const QString& text) {
      FMessages.emplace_back(caption, text);
    });
    varune::app::SetQuestionSink([this](QWidget*, const QString&, const QString& text) {
      FQuestions.push_back(text);
      return FAnswer;
    });
  }

  // From init: Japanese, a new program folder, nothing told yet, the clock at its start.
  void FreshFolder() {
    varune::SetJapaneseUI(true);
    FAppDir = std::make_unique<varune::test::TempDir>();
    const std::string dir = FAppDir->Path() + "/";
    varune::InitAppFolders({dir, dir + "cache/", dir + "varune-wardrobe.ini"});
    FMessages.clear();
    FQuestions.clear();
    gNow = 1000;
  }

  std::unique_ptr<varune::test::TempDir> FAppDir;
  std::vector<std::pair<QString, QString>> FMessages;
  std::vector<QString> FQuestions;
  bool FAnswer = false;

  std::unique_ptr<TfrmQuillon> Open(const std::string& clientDir = ClientFolder(), bool forThisRunOnly = false) {
    varune::SetClientDir(clientDir, forThisRunOnly);
    auto window = std::make_unique<TfrmQuillon>([] { return gNow; });
    window->FormCreate();
    return window;
  }

  template <class T>
  static T* Control(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (!control) qFatal("no control %s", name);
    return control;
  }

  // Opens the character picture's menu as a right click there does and
  // chooses the entry `Path` names, through its submenus.
  static void ChooseInViewMenu(TfrmQuillon* window, const QStringList& Path) {
    QTimer::singleShot(0, [Path] {
      for (const QString& text : Path) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) qFatal("no menu for %s", qPrintable(text));
        QAction* entry = nullptr;
        for (QAction* action : menu->actions())
          if (action->text() == text) entry = action;
        if (!entry) qFatal("no entry %s", qPrintable(text));
        menu->setActiveAction(entry);
        QTest::keyClick(menu, entry->menu() ? Qt::Key_Right : Qt::Key_Return);
      }
    });
    emit Control<QWidget>(window, "pbChara")->customContextMenuRequested(QPoint(300, 100));
  }

  // Runs `Answer` on the next modal dialog as soon as it shows.
  static void WhenModal(std::function<void(QDialog*)> Answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, Answer] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      poll->stop();
      poll->deleteLater();
      Answer(dialog);
    });
    poll->start(10);
  }

  // The main window's placement as an earlier run left it in the settings.
  static void SavePlacement(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
    varune::TIniFile settings(varune::SettingsFileName());
    settings.WriteInteger("Form", "Left", Left);
    settings.WriteInteger("Form", "Top", Top);
    settings.WriteInteger("Form", "Width", Width);
    settings.WriteInteger("Form", "Height", Height);
    settings.Save();
  }

  static QImage ClipboardPicture(TfrmQuillon& window) {
    QGuiApplication::clipboard()->clear();
    window.CopyToClipboard();
    return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
  }
};
