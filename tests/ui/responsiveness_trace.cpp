// Responsiveness trace of the window program (a measuring program, not a test):
//   - start-up: from the program's start to a shown window whose first texture (the automatic
//      generation of the default settings) is complete;
//   - the longest stall of the UI thread's event loop while the heaviest settings are generated
//      (2048 x 2048, outline 20, drop shadow with smoothing 10), measured as the longest gap
//      between the ticks of a 1 ms probe timer, with the events that exceeded 50 ms counted.
// Run from the build folder: QT_QPA_PLATFORM=offscreen tests/ui/glyphmill_ui_trace

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdio>

#include "ui/main_window.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

using namespace glyphmill;

namespace {

bool Idle(TForm1& w) { return !w.driver().busy() && w.driver().liveJobs() == 0 && w.state().generationIdle; }

// Gaps between the ticks of a 1 ms timer: how long the event loop was kept from running.
struct StallProbe {
  QTimer timer;
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  int over50 = 0, ticks = 0;
  void start() {
    timer.setInterval(1);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.nsecsElapsed();
      const qint64 gap = now - last;
      last = now;
      ++ticks;
      longest = std::max(longest, gap);
      over50 += gap > 50'000'000;
    });
    clock.start();
    last = 0;
    timer.start();
  }
};

// The longest single event the UI thread handled, with what it was: tells a handler that takes
// long apart from a thread that was merely not scheduled (gaps without a long event).
class TracingApplication : public QApplication {
 public:
  using QApplication::QApplication;
  qint64 longestNs = 0;
  QString longestWhat;
  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_++ > 0) {
      const bool r = QApplication::notify(receiver, event);
      --depth_;
      return r;
    }
    QElapsedTimer t;
    t.start();
    const int type = event->type();
    const QString what = QString("%1 to %2").arg(type).arg(receiver->metaObject()->className());
    const bool r = QApplication::notify(receiver, event);
    const qint64 ns = t.nsecsElapsed();
    if (ns > longestNs) {
      longestNs = ns;
      longestWhat = what;
    }
    --depth_;
    return r;
  }

 private:
  int depth_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  TracingApplication app(argc, argv);
  QApplication::setApplicationName("Glyphmill 4");
  ScriptedDialogs dialogs;
  glyphmill::testing::ScriptedPrompts prompts;
  QTemporaryDir folder;
  MainWindowOptions options;
  // The person's own autosave and plug-ins stay out of it: home and XDG folders are scratch.
  options.environment.home = folder.path().toStdString();
  options.environment.xdgConfigHome = options.environment.home + "/config";
  options.environment.xdgDataHome = options.environment.home + "/data";
  options.dialogs = &dialogs;
  options.prompts = &prompts;
  TForm1 window(options);
  window.show();
  const qint64 shownMs = sinceStart.elapsed();
  while (!(window.generationsStarted() > 0 && Idle(window)) && sinceStart.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const qint64 firstTextureMs = sinceStart.elapsed();
  std::printf("start-up: window shown after %lld ms, first texture complete after %lld ms (status \"%s\")\n",
              static_cast<long long>(shownMs), static_cast<long long>(firstTextureMs),
              window.ui.statBar->message().c_str());

  // The heaviest settings.
  window.ui.CheckBox8->setChecked(false);
  window.ui.txtWidth->setEditText("2048");
  window.ui.txtHeight->setEditText("2048");
  window.ui.Button3->click();
  window.ui.chkOutline->setChecked(true);
  window.ui.trkOutline->setValue(20);
  window.ui.chkDS->setChecked(true);
  window.ui.trkDSSmooth->setValue(10);
  QCoreApplication::processEvents();

  for (int run = 0; run < 3; ++run) {
    StallProbe probe;
    probe.start();
    app.longestNs = 0;
    QElapsedTimer generation;
    generation.start();
    QTimer::singleShot(5, &window, [&window] { window.ui.Button1->click(); });
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    while ((window.generationsStarted() == run + 1 || !Idle(window)) && generation.elapsed() < 120000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // A little more loop after the completion, so that its own handling is measured too.
    QElapsedTimer tail;
    tail.start();
    while (tail.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    probe.timer.stop();
    std::printf(
        "heavy generation %d: %lld ms, status \"%s\", longest event-loop stall %.1f ms, stalls over 50 ms: %d, "
        "probe ticks: %d; longest single event %.1f ms (%s)\n",
        run + 1, static_cast<long long>(generation.elapsed() - 100), window.ui.statBar->message().c_str(),
        static_cast<double>(probe.longest) / 1e6, probe.over50, probe.ticks, static_cast<double>(app.longestNs) / 1e6,
        app.longestWhat.toUtf8().constData());
  }
  // Where the UI thread's time goes: the Generate call itself and the texture's hand-over to
  // the view.
  QElapsedTimer step;
  step.start();
  window.Button1Click();
  const qint64 generateMs = step.elapsed();
  while (!Idle(window)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  step.restart();
  window.ShowImages();
  const qint64 showMs = step.elapsed();
  step.restart();
  window.DrawPreview();
  std::printf("UI thread steps: Generate %lld ms, showing the texture %lld ms, preview %lld ms\n",
              static_cast<long long>(generateMs), static_cast<long long>(showMs),
              static_cast<long long>(step.elapsed()));
  return 0;
}
