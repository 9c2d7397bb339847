// The Distance Field antialiasing mode in the window: the fourth list entry, the spread control,
// the effect controls it disables, the preview zoom, and a project that stores the mode.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <fstream>

#include "project/project_file.h"
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
  ASSERT_EQ(w.ui.cmbAA->count(), 4);
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

}  // namespace
}  // namespace glyphmill::testing
