#include "ui/qt_front_end.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include "ui/main_window.h"
#include "ui/status_bar.h"

namespace glyphmill {

QtFrontEnd::~QtFrontEnd() { RestoreCursor(); }

void QtFrontEnd::ShowStatus(const std::string& text, const std::string& characters) {
  window_.ui.statBar->setPanelTexts(text, characters);
  window_.ui.statBar->repaint();  // at once, not deferred: long steps follow
}

void QtFrontEnd::ShowProgress(int32_t maximum) {
  QProgressBar* bar = window_.ui.Bar;
  bar->setRange(0, maximum);
  bar->setValue(0);
  bar->raise();  // over the preview text box and the "Preview" button
  bar->show();
  // Covered, they cannot be reached by the keyboard either.
  window_.ui.Edit12->setEnabled(false);
  window_.ui.Button4->setEnabled(false);
}

void QtFrontEnd::SetProgress(int32_t position) {
  QProgressBar* bar = window_.ui.Bar;
  bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
  bar->repaint();
}

void QtFrontEnd::HideProgress() {
  window_.ui.Bar->hide();
  window_.ui.Edit12->setEnabled(true);
  window_.ui.Button4->setEnabled(true);
}

void QtFrontEnd::SetBusyCursor(BusyCursor kind) {
  const Qt::CursorShape shape = kind == BusyCursor::Exporting ? Qt::WaitCursor : Qt::BusyCursor;
  if (cursorSet_) {
    QApplication::changeOverrideCursor(QCursor(shape));
  } else {
    QApplication::setOverrideCursor(QCursor(shape));
    cursorSet_ = true;
  }
}

void QtFrontEnd::RestoreCursor() {
  if (!cursorSet_) return;
  QApplication::restoreOverrideCursor();
  cursorSet_ = false;
}

void QtFrontEnd::Beep() {
  ++beeps_;
  QApplication::beep();
}

void QtFrontEnd::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void QtFrontEnd::ImagesChanged() {
  // The texture reaches the view in an event of its own, so that the completion's hand-back and
  // the view's copy do not hold the event loop up together.
  window_.ShowImagesSoon();
}

void QtFrontEnd::LayoutAfterGenerate() {
  window_.LayoutMainWindow();
  window_.ShowTextureSize();  // a fitted size was chosen by this generation
}

bool QtFrontEnd::AutoPreviewEnabled() const { return window_.ui.CheckBox9->isChecked(); }

void QtFrontEnd::DrawPreview() { window_.DrawPreview(); }

bool QtFrontEnd::ShowGuidesEnabled() const { return window_.ui.chkShowGuides->isChecked(); }

void QtFrontEnd::RunOnMainThreadBlocking(const std::function<void()>& call) {
  if (QThread::currentThread() == window_.thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(
      &window_, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

void QtFrontEnd::PostToMainThread(std::function<void()> call) {
  QMetaObject::invokeMethod(
      &window_, [call = std::move(call)] { call(); }, Qt::QueuedConnection);
}

}  // namespace glyphmill
