#pragma once
// The desktop program's QApplication: the fonts the window asks for by their
// Windows names, and the rule that no exception ever leaves an event handler.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <type_traits>

class QWidget;

namespace varune::app {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  // Delivers events; an exception from a handler is shown and the program goes on.
  bool notify(QObject* Receiver, QEvent* Event) override;
};

// Maps the Windows font names of the interface to installed fonts and sets
// the window font ("ＭＳ Ｐゴシック" at 12 pixels). Needs a QApplication.
void InstallInterfaceFonts();
QFont InterfaceFont();

// How the program speaks to the user in a message box. Tests replace it so
// that no modal box waits for a click.
using TMessageSink = std::function<void(QWidget* Parent, const QString& Caption, const QString& Text)>;
void SetMessageSink(TMessageSink Sink);
// An information box; CR LF line breaks of the system's texts become lines.
void ShowMessage(QWidget* Parent, const QString& Caption, const QString& Text);
// A question with Yes and No; true for Yes.
bool AskYesNo(QWidget* Parent, const QString& Caption, const QString& Text);
// Tests answer the questions instead of a person.
using TQuestionSink = std::function<bool(QWidget* Parent, const QString& Caption, const QString& Text)>;
void SetQuestionSink(TQuestionSink Sink);
// The text of an exception for a message box.
QString ErrorText(const std::exception& Error);

// Wraps a slot: an exception it raises is shown in a message box with the
// program's title and the program goes on. The slot takes all of the
// signal's arguments or none.
template <class F>
auto Guarded(QWidget* Parent, F Slot) {
  return [Parent, Slot = std::move(Slot)](auto&&... Args) {
    try {
      if constexpr (std::is_invocable_v<const F&, decltype(Args)...>)
        Slot(std::forward<decltype(Args)>(Args)...);
      else
        Slot();
    } catch (const std::exception& error) {
      ShowMessage(Parent, QString(), ErrorText(error));
    }
  };
}

}  // namespace varune::app
