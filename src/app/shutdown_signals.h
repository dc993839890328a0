#pragma once
// SIGTERM and SIGINT (a desktop logout, Ctrl+C in the terminal) close the
// main window as the user would, so that the settings are saved. The signal
// handler only writes a byte to a socket; the event loop does the rest.

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace varune::app {

class TShutdownSignals : public QObject {
 public:
  // Closes `Window` on either signal while this object lives.
  explicit TShutdownSignals(QWidget* Window);
  ~TShutdownSignals() override;

 private:
  QSocketNotifier* FNotifier = nullptr;
};

}  // namespace varune::app
