#include "app/application.h"

#include <QFont>
#include <QMessageBox>
#include <QStyleFactory>

#include "imaging/font.h"
#include "viewer/startup.h"

namespace varune::app {
namespace {

TMessageSink& Sink() {
  static TMessageSink sink;
  return sink;
}

TQuestionSink& QuestionSink() {
  static TQuestionSink sink;
  return sink;
}

QString CaptionOrTitle(const QString& Caption) { return Caption.isEmpty() ? QString(kAppTitle) : Caption; }

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // No display name: X11 would append it to every caption ("Varune Wardrobe 1.9 — Varune Wardrobe").
  setApplicationName(kAppTitle);
  setDesktopFileName(kProgramName);  // matches the menu entry, for the taskbar's icon
  // The same look on every desktop: the window is laid out to the pixel.
  setStyle(QStyleFactory::create("Fusion"));
  InstallInterfaceFonts();
}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (const std::exception& error) {
    ShowMessage(nullptr, QString(), ErrorText(error));
  } catch (...) {
    ShowMessage(nullptr, QString(), QStringLiteral("Unknown error"));
  }
  return false;
}

void InstallInterfaceFonts() {
  // Qt's fonts and the pictures' come from one fontconfig configuration.
  ShareProcessFontConfig();
  // The interface names Windows fonts; IPAPGothic is the metric twin of the
  // Japanese ones, DejaVu Sans stands in for Tahoma.
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  QFont::insertSubstitutions(QStringLiteral("MS UI Gothic"), {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
  QApplication::setFont(InterfaceFont());
}

QFont InterfaceFont() {
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setPixelSize(12);
  return font;
}

void SetMessageSink(TMessageSink Value) { Sink() = std::move(Value); }

void ShowMessage(QWidget* Parent, const QString& Caption, const QString& Text) {
  QString text = Text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  const QString caption = CaptionOrTitle(Caption);
  if (Sink()) {
    Sink()(Parent, caption, text);
    return;
  }
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, Parent);
  box.exec();
}

void SetQuestionSink(TQuestionSink Value) { QuestionSink() = std::move(Value); }

bool AskYesNo(QWidget* Parent, const QString& Caption, const QString& Text) {
  if (QuestionSink()) return QuestionSink()(Parent, CaptionOrTitle(Caption), Text);
  return QMessageBox::question(Parent, CaptionOrTitle(Caption), Text) == QMessageBox::Yes;
}

QString ErrorText(const std::exception& Error) { return QString::fromUtf8(Error.what()); }

}  // namespace varune::app
