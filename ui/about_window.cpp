#include "ui/about_window.h"

#include <QDesktopServices>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

#include "app/app_state.h"
#include "render/tick_count.h"
#include "ui/about_picture.h"
#include "ui/about_ripple.h"

namespace glyphmill {

namespace {

constexpr const char* kCaption = "About Glyphmill";
constexpr const char* kProductName = "Glyphmill";
constexpr uint8_t kVersionRevision = 0;  // third number of the version triple 4.1.0
constexpr const char* kYearAndAuthor = "\u00A9 2024 the Glyphmill developers";
constexpr const char* kWebAddress = "https://glyphmill.example.org/";
constexpr const char* kPatternPrefix = "Pretty: ";
constexpr const char* kPatternSuffix = "/3";
constexpr const char* kIconCredit = "Application icon drawn for Glyphmill by its developers.";
constexpr const char* kTextControlsCredit = "Unicode text controls by the Qt 6 Widgets toolkit.";
// The version history below the inserted lines.
constexpr const char* kHistory =
    "4.01 - Added better cleartype control,\n"
    "better small font control, user defined texture size\n"
    "\n"
    "4.02 - XML Format fixed.\n"
    "\n"
    "4.10 - Plugins support added!";
constexpr int kAnimationIntervalMs = 5;
constexpr int kPatternCount = 3;

QFont Trebuchet(int points, bool bold = false) {
  QFont f(QStringLiteral("Trebuchet MS"));
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

QLabel* PlaceLabel(QWidget* parent, const char* objectName, const QString& text, const QFont& font, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(objectName));
  label->setFont(font);
  label->move(x, y);
  label->adjustSize();  // never clip the text, whatever the substitute font's width
  return label;
}

}  // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
  // FormCreate.
  setWindowTitle(QString::fromLatin1(kCaption));
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPointSize(8);
  setFont(tahoma);
  setFixedSize(428, 327);

  source_ = MakeAboutPicture();
  picture_ = source_.copy();
  img_ = new QLabel(this);
  img_->setObjectName(QStringLiteral("img"));
  img_->setGeometry(8, 8, source_.width(), source_.height());
  img_->setPixmap(QPixmap::fromImage(picture_));

  const QString title = QString::fromLatin1(kProductName) + ' ' + QString::number(kVersionMajor) + '.' +
                        QString::number(kVersionMinor) + QString::number(kVersionRevision);
  PlaceLabel(this, "Label1", title, Trebuchet(12, true), 152, 8);
  PlaceLabel(this, "Label4", QString::fromUtf8(kYearAndAuthor), Trebuchet(10), 152, 107);

  QLabel* link = PlaceLabel(this, "Label3", QString::fromLatin1(kWebAddress), Trebuchet(10), 152, 123);
  QFont linkFont = link->font();
  linkFont.setUnderline(true);
  link->setFont(linkFont);
  QPalette linkPalette = link->palette();
  linkPalette.setColor(QPalette::WindowText, Qt::blue);
  link->setPalette(linkPalette);
  link->setCursor(Qt::PointingHandCursor);
  link->adjustSize();
  link->installEventFilter(this);

  label5_ =
      PlaceLabel(this, "Label5", QString::fromLatin1(kPatternPrefix) + '1' + kPatternSuffix, Trebuchet(7), 8, 142);
  QPalette dim = label5_->palette();
  dim.setColor(QPalette::WindowText, palette().color(QPalette::Disabled, QPalette::WindowText));
  label5_->setPalette(dim);

  auto* memo = new QPlainTextEdit(this);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setGeometry(8, 174, 414, 111);
  memo->setReadOnly(true);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QPalette memoPalette = memo->palette();
  memoPalette.setColor(QPalette::Base, palette().color(QPalette::Button));
  memo->setPalette(memoPalette);
  memo->setPlainText(QString::fromStdString(VersionedName(kProductName)) + "\n\n" + kIconCredit + '\n' +
                     kTextControlsCredit + "\n\n" + kHistory);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK"));
  ok->setGeometry(333, 291, 89, 32);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  timer1_ = new QTimer(this);
  timer1_->setInterval(kAnimationIntervalMs);
  connect(timer1_, &QTimer::timeout, this, &TForm5::Timer1Timer);
  link_ = link;
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
  if (watched == link_ && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && link_->rect().contains(mouse->position().toPoint())) Label3Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

bool TForm5::animating() const { return timer1_->isActive(); }

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // the window system re-showing a minimised window is no new opening
  pattern_ = static_cast<int>(generator_.next(kPatternCount));
  label5_->setText(QString::fromLatin1(kPatternPrefix) + QString::number(pattern_ + 1) + kPatternSuffix);
  label5_->adjustSize();
  // Each opening starts from the still picture rather than the last frame of the previous one.
  picture_ = source_.copy();
  img_->setPixmap(QPixmap::fromImage(picture_));
  t0_ = TickCount();
  timer1_->start();
}

void TForm5::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) timer1_->stop();
}

void TForm5::Timer1Timer() { animationStep(TickCount()); }

void TForm5::animationStep(uint32_t tick) {
  ConstRippleSurface from{source_.constBits(), source_.width(), source_.height(),
                          static_cast<int>(source_.bytesPerLine())};
  RippleSurface to{picture_.bits(), picture_.width(), picture_.height(), static_cast<int>(picture_.bytesPerLine())};
  RippleFrame(from, to, pattern_, tick, t0_);
  img_->setPixmap(QPixmap::fromImage(picture_));
}

void TForm5::Label3Click() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebAddress))); }

}  // namespace glyphmill
