// The window program: the application titled "Glyphmill 4" and its four windows, created in this
// order: the main window, the character range editor, the advanced export window and the About
// window. The message loop runs until the main window closes (status 0) or "Exit" ends it
// (status 1).
//
// One argument, a project file, is loaded after the autosave as "Load Project..." would: that is
// how a desktop opens a .gmp file with the program (the desktop entry's "Exec=glyphmill %f").
// Without an argument the program starts exactly as before.
//
// GLYPHMILL_CLOSE_AFTER_START=1 in the environment closes the main window as soon as the message
// loop runs, through the ordinary close handling (so the autosave is written): the installation
// tests start the installed program that way, with no one to close it.

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <cstring>

#include "ui/about_window.h"
#include "ui/advanced_export_window.h"
#include "ui/main_window.h"
#include "ui/range_editor_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Glyphmill 4");

  glyphmill::TForm1 form1;
  glyphmill::TForm2 form2(form1.state(), &form1);
  glyphmill::TForm3 form3(form1.state(), &form1);
  glyphmill::TForm5 form5(&form1);
  form1.attachWindows(&form2, &form3, &form5);

  // Centred on the screen at start.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = form1.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form1.move(frame.topLeft());
  }
  form1.show();
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() > 1) form1.LoadProjectFile(QFile::encodeName(arguments.at(1)).toStdString());
  if (const char* close = std::getenv("GLYPHMILL_CLOSE_AFTER_START"); close != nullptr && std::strcmp(close, "1") == 0)
    QTimer::singleShot(0, &form1, &QWidget::close);
  return QApplication::exec();
}
