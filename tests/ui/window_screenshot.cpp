// Renders the main window after a generation into a PNG file (the README's screenshot):
//   glyphmill_window_screenshot OUTPUT.png [FONT_FILE [SECONDS]]
// With FONT_FILE, the file is dropped on the window first and its family generated; with SECONDS,
// the font list is then dropped down and the window stays on screen that long, for a screenshot of
// the whole screen (a drop-down list is a window of its own, which the window's image leaves out).
// The window is the program's own, with its plug-ins from the working folder; the generation uses
// DejaVu Sans at 26 points with an outline and a drop shadow on a 512 x 512 texture, shown on the
// Composite page (the colour blended by the mask over the checkerboard) at 200 %, with the cell
// of "H" framed as the pointer's inspection frames it.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "tests/support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/status_bar.h"
#include "ui/texture_inspector.h"
#include "ui/texture_view.h"

using namespace glyphmill;

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [FONT_FILE [SECONDS]]\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Glyphmill 4");
  ScriptedDialogs dialogs;  // no message box may wait for a person here
  QTemporaryDir folder;     // no autosave or preferences of the person's own are read or written
  MainWindowOptions options;
  // The person's own autosave and plug-ins stay out of it: home and XDG folders are scratch.
  options.environment.home = folder.path().toStdString();
  options.environment.xdgConfigHome = options.environment.home + "/config";
  options.environment.xdgDataHome = options.environment.home + "/data";
  options.preferencesFile = folder.path().toStdString() + "/preferences.ini";
  options.dialogs = &dialogs;
  TForm1 window(options);
  window.show();

  window.ui.CheckBox8->setChecked(false);
  const int font = window.ui.cmbFont->findText("DejaVu Sans", Qt::MatchExactly);
  if (font >= 0) window.ui.cmbFont->setCurrentIndex(font);
  if (argc >= 3) window.DropFiles({argv[2]});
  window.ui.txtWidth->setEditText("512");
  window.ui.txtHeight->setEditText("512");
  window.ui.Button3->click();
  window.ui.udSize->setValue(26);
  window.ui.chkOutline->setChecked(true);
  window.ui.trkOutline->setValue(2);
  window.ui.chkDS->setChecked(true);
  window.ui.Button1->click();
  QElapsedTimer clock;
  clock.start();
  while ((window.driver().busy() || !window.state().generationIdle) && clock.elapsed() < 60000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

  // The Composite page at 200 %, from the texture's top-left corner, one cell framed.
  window.ui.Tab->tabBar()->setCurrentIndex(TextureView::kCompositePage);
  window.ui.Tab->setZoom(2.0);
  window.ui.Tab->horizontalBar()->setValue(0);
  window.ui.Tab->verticalBar()->setValue(0);
  const std::vector<PlacedCharacter>& placed = window.state().result.chars;
  for (std::size_t i = 0; i < placed.size(); ++i)
    if (placed[i].codeUnit == u'H' && static_cast<int32_t>(i) < window.state().result.placedCount)
      window.ui.Tab->setMarkedCell(CellRect(placed[i]));
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

  const QImage shot = window.grab().toImage();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %dx%d, status \"%s\"\n", argv[1], shot.width(), shot.height(), window.ui.statBar->message().c_str());
  if (argc == 4) {
    std::fflush(stdout);
    window.ui.cmbFont->showPopup();
    clock.restart();
    while (clock.elapsed() < static_cast<qint64>(std::atof(argv[3]) * 1000))
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return 0;
}
