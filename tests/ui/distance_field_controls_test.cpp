// The distance-field antialiasing modes in the window: the fourth list entry (Distance Field) and
// the fifth and sixth (MSDF, MTSDF), the spread control, the effect controls they disable, the
// preview zoom, and a project that stores the mode.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <fstream>

#include "project/project_file.h"
#include "render/multi_channel_field.h"
#include "ui/colour_swatch.h"
#include "ui/preview_strip.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

std::vector<QWidget*> EffectControls(TForm1& w) {
  return {w.ui.chkOutline, w.ui.trkOutline,  w.ui.shpOutlineCol, w.ui.trkOutSmooth, w.ui.trkOutOpacity,
          w.ui.chkDS,      w.ui.trkDSSmooth, w.ui.trkDSOffset,   w.ui.trkDSOpacity};
}

TEST(DistanceFieldControls, TheFourthEntrySwitchesTheSpreadOnAndTheBakedEffectsOff) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_EQ(w.ui.cmbAA->count(), 6);
  EXPECT_EQ(w.ui.cmbAA->itemText(3), "Distance Field");
  // Smooth at start: the spread and the zoom wait, the effects are there.
  EXPECT_FALSE(w.ui.udSdfSpread->isEnabled());
  EXPECT_FALSE(w.ui.cmbPreviewZoom->isEnabled());
  for (QWidget* c : EffectControls(w)) EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
  EXPECT_EQ(w.ui.udSdfSpread->value(), kDefaultSdfSpread);
  EXPECT_EQ(w.ui.udSdfSpread->minimum(), kMinSdfSpread);
  EXPECT_EQ(w.ui.udSdfSpread->maximum(), kMaxSdfSpread);

  w.ui.cmbAA->setCurrentIndex(3);
  EXPECT_EQ(w.state().settings.antialiasMode, kAntialiasDistanceField);
  EXPECT_TRUE(w.ui.udSdfSpread->isEnabled());
  EXPECT_TRUE(w.ui.cmbPreviewZoom->isEnabled());
  for (QWidget* c : EffectControls(w)) EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();

  w.ui.udSdfSpread->setValue(12);
  EXPECT_EQ(w.state().extras.sdfSpread, 12);

  w.ui.cmbAA->setCurrentIndex(2);  // None
  EXPECT_EQ(w.state().settings.antialiasMode, kAntialiasNone);
  EXPECT_FALSE(w.ui.udSdfSpread->isEnabled());
  for (QWidget* c : EffectControls(w)) EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
  EXPECT_EQ(w.state().extras.sdfSpread, 12);  // kept for the next time
}

TEST(DistanceFieldControls, AProjectWithTheModeLoadsIntoTheListAndTheControls) {
  WindowFixture f;
  TForm1& w = *f.window;
  GenerationSettings s = w.state().settings;
  s.antialiasMode = kAntialiasDistanceField;
  s.setFlag(kStyleOutline, true);
  const std::vector<uint8_t> bytes = ProjectToBytes(s, w.state().selection, {});
  const std::string path = f.path("field.gmp");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  w.LoadProjectFile(path);
  EXPECT_EQ(w.state().settings.antialiasMode, kAntialiasDistanceField);
  EXPECT_EQ(w.ui.cmbAA->currentIndex(), 3);
  EXPECT_TRUE(w.ui.udSdfSpread->isEnabled());
  EXPECT_FALSE(w.ui.chkOutline->isEnabled());
  EXPECT_TRUE(w.ui.chkOutline->isChecked());  // the stored switch is kept, only not baked
  // Every setting read back from the controls keeps the mode.
  w.ReadAllSettings();
  EXPECT_EQ(w.state().settings.antialiasMode, kAntialiasDistanceField);
}

TEST(DistanceFieldControls, AGenerationPreviewsTheFieldAtTheChosenZoom) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_TRUE(SelectFont(w, "DejaVu Sans"));
  w.ui.udSize->setValue(12);
  w.ui.cmbAA->setCurrentIndex(3);
  w.ui.udSdfSpread->setValue(4);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_EQ(w.state().result.fieldSpread, 4);
  const int oneLine = w.ui.Image3->height();
  EXPECT_EQ(oneLine, static_cast<int>(w.state().tallestCell));
  w.ui.cmbPreviewZoom->setCurrentIndex(2);  // 4x
  EXPECT_EQ(w.ui.Image3->height(), 5 * oneLine);
  // The zoomed line shows ink (the text colour, white by default) below the 1x line.
  const Image24& strip = w.ui.Image3->bitmap();
  int inked = 0;
  for (int y = oneLine; y < strip.height(); ++y)
    for (int x = 0; x < strip.width(); ++x) inked += strip.pixel(x, y) == Bgr{255, 255, 255} ? 1 : 0;
  EXPECT_GT(inked, 100);
}

TEST(DistanceFieldControls, TheMultiChannelEntriesActAsTheDistanceFieldDoes) {
  WindowFixture f;
  TForm1& w = *f.window;
  EXPECT_EQ(w.ui.cmbAA->itemText(4), "MSDF");
  EXPECT_EQ(w.ui.cmbAA->itemText(5), "MTSDF");
  for (int index : {4, 5}) {
    w.ui.cmbAA->setCurrentIndex(index);
    EXPECT_EQ(w.state().settings.antialiasMode, index);
    EXPECT_TRUE(w.ui.udSdfSpread->isEnabled());
    EXPECT_TRUE(w.ui.cmbPreviewZoom->isEnabled());
    for (QWidget* c : EffectControls(w)) EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
    w.ui.cmbAA->setCurrentIndex(0);
    for (QWidget* c : EffectControls(w)) EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
  }
}

TEST(DistanceFieldControls, AnMsdfGenerationPreviewsTheMedianInTheTextColourAtEightTimes) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_TRUE(SelectFont(w, "DejaVu Sans"));
  w.ui.udSize->setValue(12);
  w.ui.cmbAA->setCurrentIndex(4);
  w.ui.udSdfSpread->setValue(4);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_EQ(w.state().result.multiChannelMode, kAntialiasMsdf);
  // The window's mask holds the median of the three fields in the colour image.
  const Image24& colour = w.state().result.colour;
  const Image24& mask = w.state().result.mask;
  for (int y = 0; y < mask.height(); y += 3)
    for (int x = 0; x < mask.width(); x += 3) {
      const Bgr c = colour.pixel(x, y);
      ASSERT_EQ(mask.pixel(x, y).b, Median3(c.r, c.g, c.b)) << x << "," << y;
    }
  const int oneLine = w.ui.Image3->height();
  ASSERT_EQ(w.ui.cmbPreviewZoom->count(), 4);
  w.ui.cmbPreviewZoom->setCurrentIndex(3);  // 8x
  EXPECT_EQ(w.ui.Image3->height(), 9 * oneLine);
  // Ink in the text colour (white by default) on both lines; never a channel's own colour.
  const Image24& strip = w.ui.Image3->bitmap();
  int inkedSmall = 0, inkedLarge = 0, coloured = 0;
  for (int y = 0; y < strip.height(); ++y)
    for (int x = 0; x < strip.width(); ++x) {
      const Bgr p = strip.pixel(x, y);
      if (p == Bgr{255, 255, 255}) ++(y < oneLine ? inkedSmall : inkedLarge);
      if (!(p.b == p.g && p.g == p.r)) ++coloured;
    }
  EXPECT_GT(inkedSmall, 10);
  EXPECT_GT(inkedLarge, 64 * inkedSmall / 4);
  EXPECT_EQ(coloured, 0);
}

TEST(MultiChannelCoverage, EasesTheRampWithASmoothstep) {
  EXPECT_FLOAT_EQ(MultiChannelCoverage(128.0f, 4, 1), 0.5f);
  EXPECT_FLOAT_EQ(MultiChannelCoverage(112.0f, 4, 1), 0.0f);
  EXPECT_FLOAT_EQ(MultiChannelCoverage(144.0f, 4, 1), 1.0f);
  EXPECT_FLOAT_EQ(MultiChannelCoverage(120.0f, 4, 1), 0.15625f);  // t = 0.25: 3t^2 - 2t^3
}

}  // namespace
}  // namespace glyphmill::testing
