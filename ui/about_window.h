// TForm5, "About Glyphmill": product name and version, the year-and-author line, a link to the
// maker's web page, the version history, and a picture that ripples while the window is open.
//
// Created once at start-up and shown modally any number of times. Each showing draws the next
// pattern from the window's unseeded generator (so the first opening of every run shows pattern 1)
// and restarts the swell from flat; hiding stops the timer, so no animation work runs while the
// window is closed.
#pragma once

#include <QDialog>
#include <QImage>

#include <cstdint>

#include "ui/about_pattern_generator.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace glyphmill {

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  // The pattern of the current or last showing (0, 1 or 2) and its start tick.
  int pattern() const { return pattern_; }
  uint32_t startTick() const { return t0_; }
  // The animated picture and the source it is drawn from.
  const QImage& picture() const { return picture_; }
  const QImage& sourcePicture() const { return source_; }
  bool animating() const;

  // Timer1Timer with an explicit tick count: draws the frame for `tick` and repaints.
  void animationStep(uint32_t tick);

 protected:
  void showEvent(QShowEvent* event) override;                  // FormShow
  void hideEvent(QHideEvent* event) override;                  // FormHide
  bool eventFilter(QObject* watched, QEvent* event) override;  // the link label's click

 private:
  void Timer1Timer();
  void Label3Click();

  QImage source_;   // bg
  QImage picture_;  // img's working copy
  QLabel* img_ = nullptr;
  QLabel* label5_ = nullptr;
  QLabel* link_ = nullptr;
  QTimer* timer1_ = nullptr;
  AboutPatternGenerator generator_;
  int pattern_ = 0;
  uint32_t t0_ = 0;
};

}  // namespace glyphmill
