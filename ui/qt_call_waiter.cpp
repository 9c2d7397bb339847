#include "ui/qt_call_waiter.h"

#include <poll.h>

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace glyphmill {

namespace {

// Below this a call is waited for without running the event loop.
constexpr std::chrono::milliseconds kQuickCall{20};

// Swallows user input and close requests while installed.
class InputBlocker : public QObject {
 public:
  InputBlocker() {
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~InputBlocker() override {
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop: return true;
      case QEvent::Close: event->ignore(); return true;
      default: return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void QtCallWaiter::waitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  const auto quick = std::min(timeout, kQuickCall);
  if (::poll(&p, 1, static_cast<int>(quick.count())) != 0 || timeout <= kQuickCall) return;

  const InputBlocker blocker;
  QEventLoop loop;
  QSocketNotifier notifier(fd, QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  limit.start(static_cast<int>(std::min<long long>((timeout - quick).count(), 86'400'000)));
  loop.exec();
}

}  // namespace glyphmill
