// Generations run from the window: the whole road to a drawn preview, the progress bar over the
// text box, the cant-fit notice, the automatic generation after a burst, a superseding Generate,
// and the preview strip's background.

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include "app/status_texts.h"
#include "settings/generation_extras.h"
#include "ui/colour_swatch.h"
#include "ui/image_conversion.h"
#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui/system_colours.h"
#include "ui/texture_inspector.h"
#include "ui/texture_view.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

// A window that does not generate by itself: tests click "Generate" when they mean to.
void Manual(TForm1& w) {
  w.ui.CheckBox8->setChecked(false);
  w.ui.Timer2->stop();
  w.state().autoGenerateArmed = false;
}

// A size set by hand: the first start's fitted size off, then the two boxes and "Apply".
void ApplySize(TForm1& w, int width, int height) {
  w.ui.chkFitTexture->setChecked(false);
  w.ui.txtWidth->setEditText(QString::number(width));
  w.ui.txtHeight->setEditText(QString::number(height));
  w.ui.Button3->click();
}

int CountPixels(const Image24& image, const std::function<bool(Bgr)>& match) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += match(image.pixel(x, y));
  return n;
}

TEST(WindowGeneration, EndToEndHandsBackImagesTableAndDrawsThePreview) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 512, 512);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  EXPECT_EQ(w.ui.statBar->message(), status::kComplete);
  EXPECT_EQ(w.ui.statBar->characters(), status::CharacterCount(s.tables.selectedCount));
  EXPECT_GT(s.tables.selectedCount, 90u);  // 33..132, less what the font lacks
  ASSERT_EQ(s.result.chars.size(), s.tables.selectedCount);
  EXPECT_EQ(s.result.placedCount, kAllPlaced);
  EXPECT_EQ(s.result.colour.width(), 512);
  EXPECT_GT(CountPixels(s.result.colour, [](Bgr c) { return c == Bgr{255, 255, 255}; }), 200);  // white glyphs
  EXPECT_GT(CountPixels(s.result.mask, [](Bgr c) { return c.b == 255; }), 200);
  EXPECT_FALSE(w.ui.Bar->isVisible());
  EXPECT_TRUE(s.generationIdle);
  EXPECT_EQ(w.generationsStarted(), 1);
  // The preview strip is as high as the tallest cell and shows "Glyphmill 4.1" in white.
  ASSERT_GT(s.tallestCell, 0u);
  EXPECT_EQ(w.ui.Image3->height(), static_cast<int>(s.tallestCell));
  EXPECT_EQ(w.ui.Image3->bitmap().height(), static_cast<int>(s.tallestCell));
  EXPECT_EQ(w.ui.Image3->y() + w.ui.Image3->height() + 2, w.ui.Bar->y());
  EXPECT_EQ(w.ui.Tab->y() + w.ui.Tab->height() + 2, w.ui.Image3->y());
  EXPECT_TRUE(w.ui.Image3->previewDrawn());
  EXPECT_GT(CountPixels(w.ui.Image3->bitmap(), [](Bgr c) { return c == Bgr{255, 255, 255}; }), 50);
  // The view shows the handed-back texture.
  const QImage shown = w.ui.Tab->colourPicture()->image();
  EXPECT_EQ(shown.size(), QSize(512, 512));
  const Bgr corner = s.result.colour.pixel(3, 3);
  EXPECT_EQ(shown.pixelColor(3, 3), QColor(corner.r, corner.g, corner.b));
}

TEST(WindowGeneration, ProgressBarCoversTheTextBoxWithItsMaximumWhileItRuns) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 1024, 1024);
  w.ui.chkOutline->setChecked(true);
  w.ui.trkOutline->setValue(6);
  w.ui.chkDS->setChecked(true);
  w.ui.Button1->click();
  EXPECT_TRUE(w.ui.Bar->isVisible());
  EXPECT_EQ(w.ui.Bar->maximum(), 700);
  EXPECT_FALSE(w.state().generationIdle);
  // The bar lies over the text box and the "Preview" button and is what a click there reaches.
  EXPECT_TRUE(w.ui.Bar->geometry().contains(w.ui.Edit12->geometry()));
  EXPECT_TRUE(w.ui.Bar->geometry().contains(w.ui.Button4->geometry()));
  QWidget* client = w.centralWidget();
  EXPECT_EQ(client->childAt(w.ui.Edit12->geometry().center()), w.ui.Bar);
  EXPECT_FALSE(w.ui.Edit12->isEnabled());
  EXPECT_FALSE(w.ui.Button4->isEnabled());
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_FALSE(w.ui.Bar->isVisible());
  EXPECT_TRUE(w.ui.Edit12->isEnabled());
  EXPECT_TRUE(w.ui.Button4->isEnabled());

  w.ui.chkDS->setChecked(false);
  w.ui.Button1->click();
  EXPECT_EQ(w.ui.Bar->maximum(), 500);
  ASSERT_TRUE(WaitForGeneration(w));
  w.ui.chkOutline->setChecked(false);
  w.ui.Button1->click();
  EXPECT_EQ(w.ui.Bar->maximum(), 300);
  ASSERT_TRUE(WaitForGeneration(w));
}

TEST(WindowGeneration, AFirstStartFitsTheTextureAndPlacesEveryCharacter) {
  WindowFixture f;
  TForm1& w = *f.window;
  EXPECT_TRUE(w.ui.chkFitTexture->isChecked());
  EXPECT_TRUE(w.state().extras.fitTexture);
  EXPECT_EQ(w.state().extras.maxPages, 1);
  // The armed first generation, as a new user sees it.
  QElapsedTimer clock;
  clock.start();
  while (w.generationsStarted() == 0 && clock.elapsed() < 5000) QTest::qWait(20);
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  EXPECT_EQ(w.ui.statBar->message(), status::kComplete);
  EXPECT_EQ(s.result.placedCount, kAllPlaced);
  EXPECT_GT(s.settings.textureWidth, 128);
  EXPECT_LE(s.settings.textureWidth, 4096);
  EXPECT_EQ(PageCount(s.result), 1);
}

TEST(WindowGeneration, AnAutosaveKeepsItsOwnHandSetSize) {
  WindowFixture f;
  {
    TForm1& first = *f.window;
    Manual(first);
    ApplySize(first, 64, 64);
    ASSERT_TRUE(first.WriteAutosaveFile());
  }
  f.open();
  TForm1& w = *f.window;
  EXPECT_FALSE(w.ui.chkFitTexture->isChecked());
  EXPECT_FALSE(w.state().extras.fitTexture);
  EXPECT_EQ(w.state().settings.textureWidth, 64);
  EXPECT_EQ(w.state().settings.textureHeight, 64);
}

TEST(WindowGeneration, SeveralPagesAreCountedShownOneAtATimeAndNamedByTheInspection) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 128, 128);
  w.ui.udPages->setValue(16);
  EXPECT_EQ(w.state().extras.maxPages, 16);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  const int32_t pages = PageCount(s.result);
  ASSERT_GT(pages, 1);
  EXPECT_EQ(s.result.placedCount, kAllPlaced);
  EXPECT_EQ(w.ui.statBar->message(), ".Complete. " + std::to_string(pages) + " pages");
  EXPECT_EQ(w.ui.statBar->pageText(), "Page 1 of " + std::to_string(pages));
  QSpinBox* selector = w.ui.Tab->pageSelector();
  EXPECT_TRUE(selector->isVisibleTo(w.ui.Tab));
  EXPECT_EQ(selector->maximum(), pages);
  EXPECT_EQ(w.ui.Tab->colourPicture()->image(), ToQImage(PageColour(s.result, 0)));

  // The second page, picked beside the zoom.
  selector->setValue(2);
  EXPECT_EQ(w.ui.statBar->pageText(), "Page 2 of " + std::to_string(pages));
  EXPECT_EQ(w.ui.Tab->colourPicture()->image(), ToQImage(PageColour(s.result, 1)));
  Image24 expanded;
  EXPECT_EQ(w.ui.Tab->maskPicture()->image(), ToQImage(PageMask(s.result, 1, expanded)));
  const auto onSecond =
      std::find_if(s.result.chars.begin(), s.result.chars.end(), [](const PlacedCharacter& c) { return c.page == 1; });
  ASSERT_NE(onSecond, s.result.chars.end());
  emit w.ui.Tab->pointerOverPixel(QPoint(onSecond->cellX + 1, onSecond->cellY + 1));
  EXPECT_EQ(w.ui.Tab->markedCell(), CellRect(*onSecond));
  EXPECT_TRUE(w.ui.Tab->hoverText().endsWith(QString::fromStdString(" page 2 of " + std::to_string(pages))))
      << w.ui.Tab->hoverText().toStdString();

  // The preview strip cuts cells out of the first page only: a character of the second is left out
  // rather than cut from the wrong page.
  w.ui.Edit12->setText(QString(QChar(onSecond->codeUnit)));
  w.DrawPreview();
  const Image24& strip = w.ui.Image3->bitmap();
  EXPECT_EQ(CountPixels(strip, [&](Bgr p) { return p != strip.pixel(0, 0); }), 0);

  // Back to one page: the selector and the page panel go, the texts are the classic ones.
  w.ui.udPages->setValue(1);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_EQ(PageCount(s.result), 1);
  EXPECT_FALSE(selector->isVisibleTo(w.ui.Tab));
  EXPECT_EQ(w.ui.statBar->pageText(), "");
  EXPECT_EQ(w.ui.statBar->message().rfind("!Cant fit in the last ", 0), 0u);
}

TEST(WindowGeneration, CantFitNoticeCountsTheCharactersLeftOver) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 64, 64);
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  ASSERT_LT(s.result.placedCount, static_cast<int32_t>(s.tables.selectedCount));
  const uint32_t missing = s.tables.selectedCount - static_cast<uint32_t>(s.result.placedCount);
  EXPECT_EQ(w.ui.statBar->message(),
            "!Cant fit in the last " + std::to_string(missing) + " characters! Try increasing the Texture Size.");
  EXPECT_FALSE(w.ui.Bar->isVisible());
  // Drawn on the error gradient.
  const QImage shot = w.ui.statBar->grab().toImage();
  const QRect panel = w.ui.statBar->panelRect(0);
  EXPECT_EQ(shot.pixelColor(panel.left() + 1, panel.center().y()), QColor(255, 180, 180));
}

TEST(WindowGeneration, ABurstOfChangesGeneratesOnceAfterTheLast) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.CheckBox8->setChecked(true);
  const int before = w.generationsStarted();
  QElapsedTimer clock;
  for (int i = 1; i <= 6; ++i) {
    w.ui.udKerning->setValue(i);
    clock.start();
    Pump(100);
    EXPECT_EQ(w.generationsStarted(), before) << "generated during the burst, change " << i;
  }
  // Quiet from now on: one generation between 500 and 600 ms after the last change.
  while (w.generationsStarted() == before && clock.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(w.generationsStarted(), before + 1);
  EXPECT_GE(clock.elapsed(), 450);
  ASSERT_TRUE(WaitForGeneration(w));
  Pump(800);
  EXPECT_EQ(w.generationsStarted(), before + 1);
  EXPECT_FALSE(w.ui.Timer2->isActive());
  EXPECT_EQ(w.state().settings.kerning, 6);
}

TEST(WindowGeneration, ChangesWhileAJobRunsArmNothing) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.CheckBox8->setChecked(true);
  ApplySize(w, 1024, 1024);
  w.ui.Timer2->stop();
  w.state().autoGenerateArmed = false;
  w.ui.Button1->click();
  w.ui.udLeading->setValue(2);  // stored, but no job running is required to arm
  EXPECT_EQ(w.state().settings.leading, 2);
  EXPECT_FALSE(w.ui.Timer2->isActive());
  ASSERT_TRUE(WaitForGeneration(w));
  Pump(700);
  EXPECT_EQ(w.generationsStarted(), 1);
}

TEST(WindowGeneration, ASupersedingGenerateBeepsAndOnlyTheNewerJobCounts) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 2048, 2048);
  w.ui.chkOutline->setChecked(true);
  w.ui.trkOutline->setValue(20);
  f.prompts.colours.push_back(0x000000FFu);  // red glyphs for the first job
  QTest::mouseClick(w.ui.shpTextCol, Qt::LeftButton);
  w.ui.Button1->click();
  f.prompts.colours.push_back(0x0000FF00u);  // green for the second
  QTest::mouseClick(w.ui.shpTextCol, Qt::LeftButton);
  w.ui.chkOutline->setChecked(false);
  w.ui.Button1->click();
  EXPECT_EQ(w.frontEnd().beeps(), 1);
  ASSERT_TRUE(WaitForGeneration(w, 60000));
  EXPECT_EQ(w.ui.statBar->message(), status::kComplete);
  const Image24& img = w.state().result.colour;
  EXPECT_GT(CountPixels(img, [](Bgr c) { return c == Bgr{0, 255, 0}; }), 100);
  EXPECT_EQ(CountPixels(img, [](Bgr c) { return c == Bgr{0, 0, 255}; }), 0);
  // No outline of the first job (the texture's last row and column are not part of the fill).
  int black = 0;
  for (int y = 0; y + 1 < img.height(); ++y)
    for (int x = 0; x + 1 < img.width(); ++x) black += img.pixel(x, y) == Bgr{0, 0, 0};
  EXPECT_EQ(black, 0);
  EXPECT_EQ(w.generationsStarted(), 2);
}

TEST(WindowGeneration, AFontSizeThatIsNotANumberIsReportedAndNothingStarts) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  w.ui.udSize->findChild<QLineEdit*>()->setText("");
  w.ui.Button1->click();
  const auto messages = f.dialogs.entries(ScriptedDialogs::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message.icon, DialogIcon::Error);
  EXPECT_FALSE(messages[0].message.text.empty());
  EXPECT_EQ(w.generationsStarted(), 0);
  EXPECT_TRUE(w.state().generationIdle);
  EXPECT_FALSE(w.ui.Bar->isVisible());
}

TEST(PreviewBackground, AClickTakesTheDialogsColourWithoutReadingASetting) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  w.SetStatus("unchanged");
  f.prompts.colours.push_back(std::nullopt);  // Cancel leaves the preview untouched
  QTest::mouseClick(w.ui.Image3, Qt::LeftButton, {}, QPoint(3, 1));
  EXPECT_EQ(w.state().settings.previewBackColour, kColourButtonFace);
  f.prompts.colours.push_back(0x00FF0000u);  // blue
  QTest::mouseClick(w.ui.Image3, Qt::LeftButton, {}, QPoint(3, 1));
  EXPECT_EQ(w.state().settings.previewBackColour, 0x00FF0000u);
  EXPECT_EQ(w.ui.Image3->bitmap().pixel(0, 0), (Bgr{255, 0, 0}));
  EXPECT_EQ(w.ui.statBar->message(), "unchanged");
  EXPECT_FALSE(w.ui.Timer2->isActive());
  // Later layouts keep the chosen background.
  w.resize(w.width() + 40, w.height());
  Pump(20);
  const Image24& strip = w.ui.Image3->bitmap();
  EXPECT_EQ(strip.pixel(strip.width() - 1, strip.height() - 1), (Bgr{255, 0, 0}));
}

TEST(TextureView, ScrollBarsOnlyForATextureLargerThanThePanelAndBothPicturesPan) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  TextureView* view = w.ui.Tab;
  EXPECT_FALSE(view->horizontalBar()->isEnabled());
  EXPECT_FALSE(view->verticalBar()->isEnabled());
  EXPECT_EQ(view->colourPicture()->pos(), QPoint(0, 0));
  ApplySize(w, 2048, 300);
  const QSize panel = view->panel()->size();
  ASSERT_LT(panel.width(), 2048);
  ASSERT_GT(panel.height(), 300);
  EXPECT_TRUE(view->horizontalBar()->isEnabled());
  EXPECT_EQ(view->horizontalBar()->maximum(), 2048 - panel.width());
  EXPECT_FALSE(view->verticalBar()->isEnabled());
  w.ui.Tab->tabBar()->setCurrentIndex(1);  // "Mask"
  EXPECT_TRUE(view->maskPicture()->isVisibleTo(view));
  EXPECT_FALSE(view->colourPicture()->isVisibleTo(view));
  view->horizontalBar()->setValue(50);
  EXPECT_EQ(view->maskPicture()->pos(), QPoint(-50, 0));
  EXPECT_EQ(view->colourPicture()->pos(), QPoint(-50, 0));
  ApplySize(w, 128, 128);
  EXPECT_FALSE(view->horizontalBar()->isEnabled());
  EXPECT_EQ(view->maskPicture()->pos(), QPoint(0, 0));
}

TEST(WindowGeneration, FitTextureShowsTheChosenSizeInReadOnlyBoxes) {
  WindowFixture f;
  TForm1& w = *f.window;
  Manual(w);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ApplySize(w, 128, 128);
  EXPECT_TRUE(w.ui.txtWidth->isEnabled());
  EXPECT_FALSE(w.ui.udFitWidth->isEnabled());
  w.ui.udFitWidth->setValue(2048);
  w.ui.udFitHeight->setValue(1024);
  w.ui.chkFitTexture->setChecked(true);
  EXPECT_TRUE(w.state().extras.fitTexture);
  EXPECT_EQ(w.state().extras.fitMaxWidth, 2048);
  EXPECT_EQ(w.state().extras.fitMaxHeight, 1024);
  EXPECT_FALSE(w.ui.txtWidth->isEnabled());
  EXPECT_FALSE(w.ui.txtHeight->isEnabled());
  EXPECT_FALSE(w.ui.Button3->isEnabled());
  EXPECT_TRUE(w.ui.udFitWidth->isEnabled());
  w.ui.Button1->click();
  ASSERT_TRUE(WaitForGeneration(w));
  const AppState& s = w.state();
  EXPECT_EQ(w.ui.statBar->message(), status::kComplete);
  EXPECT_GT(s.settings.textureWidth, 128);  // 32-point bold characters need more than 128 x 128
  EXPECT_EQ(w.ui.txtWidth->currentText(), QString::number(s.settings.textureWidth));
  EXPECT_EQ(w.ui.txtHeight->currentText(), QString::number(s.settings.textureHeight));
  EXPECT_EQ(w.ui.Label4->text(),
            QString("Texture Size: %1x%2").arg(s.settings.textureWidth).arg(s.settings.textureHeight));
  EXPECT_EQ(s.result.colour.width(), s.settings.textureWidth);
  EXPECT_EQ(w.ui.Tab->colourPicture()->image().size(), QSize(s.settings.textureWidth, s.settings.textureHeight));
  // Off again: the boxes take typing, and keep the chosen size until "Apply".
  w.ui.chkFitTexture->setChecked(false);
  EXPECT_FALSE(w.state().extras.fitTexture);
  EXPECT_TRUE(w.ui.txtWidth->isEnabled());
  EXPECT_TRUE(w.ui.Button3->isEnabled());
}

// The armed automatic generation: waits for it to start, then to finish.
bool WaitForArmedGeneration(TForm1& w) {
  const int before = w.generationsStarted();
  QElapsedTimer clock;
  clock.start();
  while (w.generationsStarted() == before && clock.elapsed() < 5000) QTest::qWait(20);
  return WaitForGeneration(w);
}

TEST(WindowGeneration, CompactCellsAndFitTextureArmTheAutomaticGeneration) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ASSERT_TRUE(WaitForGeneration(w));
  // The first start fits the texture: off first, so that switching it on is a change.
  w.ui.chkFitTexture->setChecked(false);
  ASSERT_TRUE(WaitForArmedGeneration(w));
  for (QCheckBox* box : {w.ui.chkCompactCells, w.ui.chkFitTexture}) {
    w.state().autoGenerateArmed = false;
    w.ui.Timer2->stop();
    box->setChecked(true);
    EXPECT_TRUE(w.state().autoGenerateArmed) << box->objectName().toStdString();
    EXPECT_TRUE(w.ui.Timer2->isActive());
  }
  EXPECT_EQ(w.state().extras.cellMode, kCellsCompact);
  // The automatic generation runs with both: every cell shorter than a line, on a fitted texture.
  ASSERT_TRUE(WaitForArmedGeneration(w));
  const AppState& s = w.state();
  EXPECT_EQ(s.result.placedCount, kAllPlaced);
  const int32_t line = s.tables.ascent + s.tables.descent + 2 * 1 + 2 * 1;  // O = 1, bold d = 1
  for (const PlacedCharacter& c : s.result.chars) EXPECT_LT(static_cast<int32_t>(c.cellHeight), line) << c.codeUnit;
  // The preview sets the cells on one text line: the strip is the band's height.
  EXPECT_EQ(w.ui.Image3->height(), static_cast<int>(s.tallestCell));
}

TEST(WindowGeneration, PagePixelsMakeTheCompositeShowTheJobsOwnPage) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  ASSERT_TRUE(WaitForGeneration(w));
  EXPECT_EQ(w.state().result.page.width(), 0);  // classic: the texture is the page
  w.state().autoGenerateArmed = false;
  w.ui.cmbPagePixels->setCurrentIndex(kPagePixelsPremultiplied);
  EXPECT_EQ(w.state().extras.pagePixels, kPagePixelsPremultiplied);
  EXPECT_TRUE(w.state().autoGenerateArmed);
  ASSERT_TRUE(WaitForArmedGeneration(w));
  const AppState& s = w.state();
  ASSERT_EQ(s.result.page.width(), s.result.colour.width());
  // Over a black backdrop a premultiplied page composites to its own colour exactly.
  w.ui.Tab->setBackdrop(QColor(Qt::black));
  w.ui.Tab->showPage(TextureView::kCompositePage);
  const QImage shown = w.ui.Tab->compositePicture()->image();
  for (int y = 0; y < shown.height(); y += 3) {
    for (int x = 0; x < shown.width(); x += 3) {
      const Bgr p = s.result.page.pixel(x, y);
      ASSERT_EQ(shown.pixelColor(x, y), QColor(p.r, p.g, p.b)) << x << "," << y;
    }
  }
  // A distance field's page is data: the choice does not apply to it.
  w.ui.cmbAA->setCurrentIndex(kAntialiasDistanceField);
  EXPECT_FALSE(w.ui.cmbPagePixels->isEnabled());
}

}  // namespace
}  // namespace glyphmill::testing
