#include "app/program.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QIcon>
#include <cstdlib>
#include <iostream>

#include "app/application.h"
#include "app/heap_warmer.h"
#include "app/link_server.h"
#include "app/main_window.h"
#include "app/shutdown_signals.h"
#include "archive/error.h"
#include "database/language.h"
#include "viewer/app_options.h"
#include "viewer/client_location.h"
#include "viewer/ini_file.h"
#include "viewer/settings.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

// The client program chosen by the user; empty when cancelled.
std::string AskForClient() {
  QFileDialog dialog(nullptr, QString::fromUtf8(kClientDialogTitle));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("%1 (%1)").arg(QString::fromUtf8(kClientDialogFilter)));
  dialog.setDefaultSuffix(QString::fromUtf8(kClientDialogDefaultSuffix));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

// The icon of the desktop entry, built in (resource of dist/) so that the
// windows carry it wherever the program is installed.
QIcon ProgramIcon() {
  QIcon icon;
  for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
       it.hasNext();)
    icon.addFile(it.next());
  return icon;
}

}  // namespace

int RunProgram(int argc, char** argv, const std::function<void()>& OnFirstPaint) {
  TAppOptions options;
  try {
    options = ParseAppOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const Error& error) {
    std::cerr << "varune-wardrobe: " << error.what() << "\nTry 'varune-wardrobe --help'.\n";
    return 2;
  }
  if (options.Help) {
    std::cout << AppUsageText();
    return 0;
  }
  if (options.Version) {
    std::cout << AppVersionText() << '\n';
    return 0;
  }

  InitAppFolders(ProgramAppFolders());
  // The language chosen in the program wins over the locale's.
  if (const std::optional<bool> japanese = ReadLanguageSetting(TIniFile(SettingsFileName())))
    SetJapaneseUI(*japanese);
  else
    InitLanguage();
  TApplication application(argc, argv);
  application.setWindowIcon(ProgramIcon());
  const QString outfit = QString::fromStdString(options.Outfit);
  if (!outfit.isEmpty() && HandOverLink(LinkSocketPath(), outfit)) return 0;

  if (const std::string problem = CheckSettingsFile(); !problem.empty()) {
    ShowMessage(nullptr, QString(),
                QString::fromStdString(LangText("The settings file %1 cannot be read (%2). The program starts with "
                                                "its defaults and leaves the file as it is in this run.",
                                                "設定ファイル %1 を読めません (%2)。既定の設定で起動し、"
                                                "今回はこのファイルに書き込みません。"))
                    .arg(QString::fromStdString(SettingsFileName()), QString::fromStdString(problem)));
  }
  TLocatedClient client;
  if (!ClientLocationSkipped(IsCacheMode(), IsDisableCheck())) {
    const char* home = std::getenv("HOME");
    const std::string prefix = DefaultWinePrefix();
    client = LocateClient(
        {options.Client, ReadClientPath(), prefix, LauncherWinePrefixes(home ? home : "", prefix), AskForClient});
    if (client.Folder.empty()) {
      ShowMessage(nullptr, QString(), QString::fromUtf8(kClientNotFoundMessage));
      return 0;
    }
  }
  // A folder named on the command line is for this run only.
  SetClientDir(client.Folder, client.FromCommandLine);
  if (const std::optional<std::string> saved = ClientPathToSave()) {
    try {
      WriteClientPath(*saved);
    } catch (const Error& error) {
      std::cerr << "varune-wardrobe: " << error.what() << '\n';
    }
  }

  TfrmQuillon window;
  if (OnFirstPaint)
    QObject::connect(&window, &TfrmQuillon::CharaViewPainted, &window, OnFirstPaint, Qt::SingleShotConnection);
  // Faulting in the heap the load is about to use starts only now: while
  // Qt loads its plugins and fonts, the two would wait on each other.
  const THeapWarmer heapWarmer;
  try {
    if (!window.FormCreate()) return 0;
  } catch (const std::exception& error) {
    ShowMessage(nullptr, QString(), ErrorText(error));
    return 1;
  }
  TShutdownSignals shutdown(&window);
  // Later starts given a link hand it here.
  TLinkServer links(&window, [&window](const QString& Link) { window.OpenOutfitLink(Link); });
  links.Listen(LinkSocketPath());
  window.show();
  if (!outfit.isEmpty()) window.OpenOutfitLink(outfit);
  return application.exec();
}

}  // namespace varune::app
