#include "app/shutdown_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>

namespace varune::app {
namespace {

int gSignalSockets[2] = {-1, -1};

void OnShutdownSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gSignalSockets[0], &byte, 1);
}

void SetHandler(void (*Handler)(int)) {
  struct sigaction action {};
  action.sa_handler = Handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

TShutdownSignals::TShutdownSignals(QWidget* Window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalSockets) != 0) return;
  FNotifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, this);
  connect(FNotifier, &QSocketNotifier::activated, Window, [Window] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(gSignalSockets[1], &byte, 1);
    Window->close();
  });
  SetHandler(OnShutdownSignal);
}

TShutdownSignals::~TShutdownSignals() {
  if (!FNotifier) return;
  SetHandler(SIG_DFL);
  ::close(gSignalSockets[0]);
  ::close(gSignalSockets[1]);
  gSignalSockets[0] = gSignalSockets[1] = -1;
}

}  // namespace varune::app
