#pragma once
// One program per folder of its own: a second start given an outfit link
// hands the link to the program already running, through a local socket in
// the user's runtime folder, and ends there.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace varune::app {

class TLinkServer : public QObject {
 public:
  // `OnLink` gets each link handed over, as it came.
  TLinkServer(QObject* Parent, std::function<void(const QString&)> OnLink);
  // Listens at `Path`, taking the place of a socket left by a program that
  // ended without closing it; false when another program listens there.
  bool Listen(const QString& Path);

 private:
  QLocalServer* FServer;
  std::function<void(const QString&)> FOnLink;
};

// The socket of the program keeping its files in AppDir(): in the user's
// runtime folder, named by that folder.
QString LinkSocketPath();
// Hands `Link` to the program listening at `Path`; false when none does.
bool HandOverLink(const QString& Path, const QString& Link);

}  // namespace varune::app
