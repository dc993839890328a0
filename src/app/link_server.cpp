#include "app/link_server.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "viewer/startup.h"

namespace varune::app {
namespace {

// A link is short; a peer sending more is cut off there.
constexpr qint64 kMaxLinkBytes = 64 * 1024;
constexpr int kWaitMs = 2000;

}  // namespace

TLinkServer::TLinkServer(QObject* Parent, std::function<void(const QString&)> OnLink)
    : QObject(Parent), FServer(new QLocalServer(this)), FOnLink(std::move(OnLink)) {
  FServer->setSocketOptions(QLocalServer::UserAccessOption);
  connect(FServer, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = FServer->nextPendingConnection()) {
      peer->setReadBufferSize(kMaxLinkBytes);
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      // The link is the first line of what the peer wrote before it hung up.
      connect(peer, &QLocalSocket::readChannelFinished, this, [this, peer] {
        const QString link = QString::fromUtf8(peer->read(kMaxLinkBytes)).section('\n', 0, 0).trimmed();
        if (!link.isEmpty()) FOnLink(link);
      });
    }
  });
}

bool TLinkServer::Listen(const QString& Path) {
  QLocalSocket probe;
  probe.connectToServer(Path);
  if (probe.waitForConnected(kWaitMs)) return false;  // a running program answers there
  QLocalServer::removeServer(Path);  // what one that ended without closing left
  return FServer->listen(Path);
}

QString LinkSocketPath() {
  const QByteArray folder = QCryptographicHash::hash(QByteArray::fromStdString(AppDir()), QCryptographicHash::Sha1);
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/" + kProgramName + "-" +
         QString::fromLatin1(folder.toHex().left(16)) + ".sock";
}

bool HandOverLink(const QString& Path, const QString& Link) {
  QLocalSocket socket;
  socket.connectToServer(Path);
  if (!socket.waitForConnected(kWaitMs)) return false;
  socket.write(Link.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(kWaitMs)) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWaitMs);
  return true;
}

}  // namespace varune::app
