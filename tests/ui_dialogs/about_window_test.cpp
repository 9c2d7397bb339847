// The About window: its texts, the unseeded pattern sequence, the ripple and its timer.
#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/about_pattern_generator.h"
#include "ui/about_picture.h"
#include "ui/about_ripple.h"
#include "ui/about_window.h"

namespace glyphmill {
namespace {

QString LabelText(const QWidget& w, const char* name) {
  auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
  return label ? label->text() : QStringLiteral("<missing>");
}

TEST(AboutPatternGenerator, GivesTheSameSequenceOnEveryRun) {
  AboutPatternGenerator g;
  std::vector<uint32_t> drawn;
  for (int i = 0; i < 10; ++i) drawn.push_back(g.next(3));
  EXPECT_EQ(drawn, (std::vector<uint32_t>{0, 0, 2, 0, 0, 2, 0, 0, 1, 1}));
  // The state after the first two draws: 0 * a + 1 = 1, then 1 * 134775813 + 1.
  AboutPatternGenerator h;
  h.next(3);
  EXPECT_EQ(h.state(), 1u);
  h.next(3);
  EXPECT_EQ(h.state(), 134775814u);
  EXPECT_EQ(AboutPatternGenerator().next(0), 0u);
}

TEST(AboutPatternGenerator, StaysInRangeAndWrapsModulo2To32) {
  AboutPatternGenerator g;
  uint32_t expected = 0;
  for (int i = 0; i < 1000; ++i) {
    expected = static_cast<uint32_t>(static_cast<uint64_t>(expected) * 134775813u + 1u);
    EXPECT_LT(g.next(3), 3u);
    ASSERT_EQ(g.state(), expected);
  }
}

TEST(AboutWindow, ShowsNameVersionAndHistory) {
  TForm5 about;
  EXPECT_EQ(about.windowTitle(), "About Glyphmill");
  EXPECT_EQ(LabelText(about, "Label1"), "Glyphmill 4.10");
  EXPECT_FALSE(LabelText(about, "Label3").isEmpty());
  auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
  ASSERT_NE(memo, nullptr);
  const QStringList lines = memo->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 11);
  EXPECT_EQ(lines[0], "Glyphmill 4.1");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "4.01 - Added better cleartype control,");
  EXPECT_EQ(lines.last(), "4.10 - Plugins support added!");
  EXPECT_EQ(about.sourcePicture().size(), QSize(134, 133));
  EXPECT_EQ(about.sourcePicture().format(), QImage::Format_RGB888);
}

TEST(AboutWindow, EachOpeningDrawsTheNextPatternAndTheTimerRunsOnlyWhileShown) {
  TForm5 about;
  EXPECT_FALSE(about.animating());
  about.show();
  EXPECT_EQ(LabelText(about, "Label5"), "Pretty: 1/3");
  EXPECT_EQ(about.pattern(), 0);
  EXPECT_TRUE(about.animating());
  about.hide();
  EXPECT_FALSE(about.animating());
  about.show();
  EXPECT_EQ(LabelText(about, "Label5"), "Pretty: 1/3");
  about.hide();
  about.show();
  EXPECT_EQ(LabelText(about, "Label5"), "Pretty: 3/3");
  EXPECT_EQ(about.pattern(), 2);
  about.hide();
  EXPECT_FALSE(about.animating());
}

TEST(AboutWindow, RightAfterOpeningThePictureEqualsTheSource) {
  TForm5 about;
  about.show();
  about.animationStep(about.startTick());
  EXPECT_EQ(about.picture(), about.sourcePicture());
  // Three seconds later the swell is well under way and the picture has moved.
  about.animationStep(about.startTick() + 3000);
  EXPECT_NE(about.picture(), about.sourcePicture());
  about.hide();
  // The next opening starts from the still picture again.
  about.show();
  EXPECT_EQ(about.picture(), about.sourcePicture());
  about.hide();
}

// A source whose every pixel differs, so that any displacement shows.
QImage Ramp() {
  QImage img(kAboutPictureWidth, kAboutPictureHeight, QImage::Format_RGB888);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x, y, (x + y) / 2));
  return img;
}

QImage Frame(const QImage& source, int pattern, uint32_t tick, uint32_t startTick) {
  QImage out(source.size(), QImage::Format_RGB888);
  out.fill(Qt::black);
  RippleFrame({source.constBits(), source.width(), source.height(), static_cast<int>(source.bytesPerLine())},
              {out.bits(), out.width(), out.height(), static_cast<int>(out.bytesPerLine())}, pattern, tick, startTick);
  return out;
}

TEST(AboutRipple, IsFlatAtTheStartAndAgainAfterAFullSwell) {
  const QImage source = Ramp();
  EXPECT_EQ(Frame(source, 0, 123456, 123456), source);
  EXPECT_EQ(Frame(source, 1, 5000, 5000), source);
  EXPECT_EQ(Frame(source, 2, 0, 0), source);
  // The swell runs over 2030 * 2 pi ms; half-way it is at its full 20 pixels.
  EXPECT_NE(Frame(source, 0, 10000 + 6377, 10000), source);
}

TEST(AboutRipple, PatternsDifferAndAFlatSourceOnlyChangesInBrightness) {
  const QImage source = Ramp();
  const uint32_t start = 1000, tick = 1000 + 4000;
  const QImage p0 = Frame(source, 0, tick, start);
  const QImage p1 = Frame(source, 1, tick, start);
  const QImage p2 = Frame(source, 2, tick, start);
  EXPECT_NE(p0, p1);
  EXPECT_NE(p0, p2);
  EXPECT_NE(p1, p2);

  // On a single grey the sampled position does not matter: every channel of a pixel gets the
  // same shade, lighter and darker than the grey somewhere in the frame.
  QImage grey(kAboutPictureWidth, kAboutPictureHeight, QImage::Format_RGB888);
  grey.fill(QColor(128, 128, 128));
  const QImage g = Frame(grey, 0, tick, start);
  bool lighter = false, darker = false;
  for (int y = 0; y < g.height(); ++y) {
    for (int x = 0; x < g.width(); ++x) {
      const QRgb px = g.pixel(x, y);
      ASSERT_EQ(qRed(px), qGreen(px));
      ASSERT_EQ(qGreen(px), qBlue(px));
      lighter |= qRed(px) > 128;
      darker |= qRed(px) < 128;
      // The shade is bounded by the amplitude: |ox + oy| <= 20 * sqrt(2).
      ASSERT_LE(std::abs(qRed(px) - 128), 29);
    }
  }
  EXPECT_TRUE(lighter);
  EXPECT_TRUE(darker);
}

}  // namespace
}  // namespace glyphmill
