// The window program: the application titled "Glyphmill 4" and its four windows, created in this
// order: the main window, the character range editor, the advanced export window and the About
// window. It reads no command-line arguments; the message loop runs until the main window closes
// (status 0) or "Exit" ends it (status 1).

#include <QApplication>
#include <QScreen>

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
  return QApplication::exec();
}
