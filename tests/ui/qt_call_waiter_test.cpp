// The window's wait for a plug-in call: its event loop keeps serving timers and paint events,
// input and close requests are held back, and the wait ends when the host answers.
#include "ui/qt_call_waiter.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>

using namespace std::chrono_literals;

namespace glyphmill {
namespace {

struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() { EXPECT_EQ(::pipe(fds), 0); }
  ~Pipe() {
    ::close(fds[0]);
    ::close(fds[1]);
  }
};

class PaintCounter : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(QtCallWaiter, PaintsWhileWaitingAndEndsWhenTheHostAnswers) {
  Pipe pipe;
  PaintCounter window;
  window.resize(100, 100);
  window.show();
  QApplication::processEvents();
  const int paintsBefore = window.paints;
  bool timerRan = false;
  // Halfway through the call the window needs painting, then the host answers.
  QTimer::singleShot(40, [&] {
    timerRan = true;
    window.update();
  });
  QTimer::singleShot(120, [&] { EXPECT_EQ(::write(pipe.fds[1], "x", 1), 1); });
  QtCallWaiter waiter;
  // Each waitReadable may return early; the caller waits again until the answer is there.
  for (int i = 0; i < 100 && !timerRan; ++i) waiter.waitReadable(pipe.fds[0], 60s);
  EXPECT_TRUE(timerRan);
  for (int i = 0; i < 100; ++i) {
    pollfd p{pipe.fds[0], POLLIN, 0};
    if (::poll(&p, 1, 0) == 1) break;
    waiter.waitReadable(pipe.fds[0], 60s);
  }
  pollfd p{pipe.fds[0], POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 1);
  EXPECT_GT(window.paints, paintsBefore);
}

TEST(QtCallWaiter, InputAndClosingAreHeldBackWhileWaiting) {
  Pipe pipe;
  QLineEdit edit;
  edit.show();
  edit.activateWindow();
  edit.setFocus();
  QApplication::processEvents();
  QTimer::singleShot(30, [&] {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&edit, &press);
    QCloseEvent close;
    QApplication::sendEvent(&edit, &close);
  });
  QTimer::singleShot(80, [&] { EXPECT_EQ(::write(pipe.fds[1], "x", 1), 1); });
  QtCallWaiter waiter;
  for (int i = 0; i < 100; ++i) {
    pollfd p{pipe.fds[0], POLLIN, 0};
    if (::poll(&p, 1, 0) == 1) break;
    waiter.waitReadable(pipe.fds[0], 60s);
  }
  EXPECT_EQ(edit.text(), "");
  EXPECT_TRUE(edit.isVisible());
  // After the wait, input reaches the window again.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
  QApplication::sendEvent(&edit, &press);
  EXPECT_EQ(edit.text(), "b");
}

}  // namespace
}  // namespace glyphmill
