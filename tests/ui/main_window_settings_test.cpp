// The controls and the settings record: first-start values, the change events and their
// notification, the reverse copy after a load, the texture size boxes, the menus' check marks,
// the colour swatches and the shortcuts.

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/status_texts.h"
#include "ui/colour_swatch.h"
#include "ui/settings_undo.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

TEST(FirstStart, ReadAllSettingsGivesTheDefaults) {
  WindowFixture f;
  TForm1& w = *f.window;
  const GenerationSettings& s = w.state().settings;
  ASSERT_FALSE(w.state().catalogue.entries.empty());
  EXPECT_EQ(s.fontNameString(), w.state().catalogue.entries.front().name);
  EXPECT_EQ(s.fontSize, 32);
  EXPECT_EQ(s.styleFlags, kStyleBold);
  EXPECT_EQ(s.packOrigin, 0);
  EXPECT_EQ(s.antialiasMode, 0);
  EXPECT_EQ(s.textureWidth, 128);
  EXPECT_EQ(s.textureHeight, 128);
  EXPECT_EQ(s.outlineOpacity, 100);
  EXPECT_EQ(s.outlineWidth, 1);
  EXPECT_EQ(s.outlineHardness, 0);
  EXPECT_EQ(s.shadowSmoothing, 1);
  EXPECT_EQ(s.shadowOffset, 2);
  EXPECT_EQ(s.shadowOpacity, 100);
  EXPECT_EQ(s.textColour, 0x00FFFFFFu);
  EXPECT_EQ(s.backColour, 0x00C0C0C0u);
  EXPECT_EQ(s.outlineColour, 0u);
  EXPECT_EQ(s.previewBackColour, 0xFF00000Fu);
  EXPECT_EQ(s.verticalPad, 0);
  EXPECT_EQ(s.kerning, 0);
  EXPECT_EQ(w.state().result.colour.width(), 128);
  EXPECT_EQ(w.state().result.mask.height(), 128);

  EXPECT_EQ(w.windowTitle(), "Glyphmill 4.1");
  EXPECT_EQ(w.ui.Edit12->text(), "Glyphmill 4.1");
  EXPECT_EQ(w.ui.Label4->text(), "Texture Size: 128x128");
  EXPECT_EQ(w.ui.statBar->message(), status::kIdle);
  EXPECT_EQ(w.ui.statBar->characters(), status::CharacterCount(w.state().tables.selectedCount));
  // "Auto Generate" is on and nothing runs yet: the first texture is on its way.
  EXPECT_TRUE(w.state().autoGenerateArmed);
  EXPECT_TRUE(w.ui.Timer2->isActive());
  EXPECT_FALSE(w.ui.Bar->isVisible());
}

// Nothing armed and the status reading "before": what ExpectNoChangeNotice then checks.
void Quieten(TForm1& w) {
  w.ui.Timer2->stop();
  w.state().autoGenerateArmed = false;
  w.state().lastSettingChange = 0;
  w.SetStatus("before");
}

// No change notification ran since Quieten: no "Idle" and no automatic generation armed.
void ExpectNoChangeNotice(TForm1& w) {
  EXPECT_FALSE(w.state().autoGenerateArmed);
  EXPECT_FALSE(w.ui.Timer2->isActive());
  EXPECT_EQ(w.state().lastSettingChange, 0u);
  EXPECT_EQ(w.ui.statBar->message(), "before");
}

TEST(ChangeEvents, DuringWriteSettingsToControlsReadNothingAndArmNothing) {
  WindowFixture f;
  TForm1& w = *f.window;
  Quieten(w);
  // Values the controls cannot hold: if a change event read its control back, the record would
  // take the control's clamped value.
  w.state().settings.verticalPad = 500;
  w.state().settings.kerning = -5000;
  w.state().settings.outlineWidth = 40;
  w.state().settings.setFlag(kStyleOutline, true);
  w.state().settings.shadowOffset = 7;
  const GenerationSettings expected = w.state().settings;
  w.WriteSettingsToControls();
  EXPECT_EQ(w.ui.udVPad->value(), 100);
  EXPECT_EQ(w.ui.udKerning->value(), -1000);
  EXPECT_TRUE(w.ui.chkOutline->isChecked());
  EXPECT_EQ(w.ui.trkDSOffset->value(), 7);
  EXPECT_EQ(w.state().settings, expected);
  EXPECT_FALSE(w.updatingControls());
  ExpectNoChangeNotice(w);
}

TEST(ChangeEvents, EachControlReadsItsSettingAndNotifies) {
  WindowFixture f;
  TForm1& w = *f.window;
  GenerationSettings& s = w.state().settings;
  w.SetStatus("x");
  w.ui.udKerning->setValue(-7);
  EXPECT_EQ(s.kerning, -7);
  EXPECT_EQ(w.ui.statBar->message(), status::kIdle);
  w.ui.udLeading->setValue(3);
  w.ui.udTrailing->setValue(-4);
  w.ui.udGenPad->setValue(5);
  w.ui.udVPad->setValue(-2);
  w.ui.udSize->setValue(40);
  w.ui.chkItalic->setChecked(true);
  w.ui.chkBold->setChecked(false);
  w.ui.chkDS->setChecked(true);
  w.ui.trkDSSmooth->setValue(4);
  w.ui.trkDSOffset->setValue(9);
  w.ui.trkDSOpacity->setValue(50);
  w.ui.trkOutSmooth->setValue(-3);
  w.ui.trkOutOpacity->setValue(60);
  w.ui.cmbAA->setCurrentIndex(2);
  w.ui.cmbPart->setCurrentIndex(4);
  EXPECT_EQ(s.leading, 3);
  EXPECT_EQ(s.trailing, -4);
  EXPECT_EQ(s.generalPadding, 5);
  EXPECT_EQ(s.verticalPad, -2);
  EXPECT_EQ(s.fontSize, 40);
  EXPECT_EQ(s.styleFlags, kStyleItalic | kStyleDropShadow);
  EXPECT_EQ(s.shadowSmoothing, 4);
  EXPECT_EQ(s.shadowOffset, 9);
  EXPECT_EQ(s.shadowOpacity, 50);
  EXPECT_EQ(s.outlineHardness, -3);
  EXPECT_EQ(s.outlineOpacity, 60);
  EXPECT_EQ(s.antialiasMode, kAntialiasNone);
  EXPECT_EQ(s.packOrigin, kOriginMiddle);
}

TEST(ReadAllSettings, TakesEveryControlWithoutANoticeOrAStepToUndo) {
  WindowFixture f;
  TForm1& w = *f.window;
  Quieten(w);
  // Controls moved without their events being read, as the record and the controls part after a
  // direct change of the record.
  {
    const QSignalBlocker a(w.ui.udKerning), b(w.ui.trkDSOpacity), c(w.ui.chkCompactCells), d(w.ui.udSize);
    w.ui.udKerning->setValue(-9);
    w.ui.trkDSOpacity->setValue(40);
    w.ui.chkCompactCells->setChecked(true);
    w.ui.udSize->setValue(20);
  }
  ASSERT_FALSE(w.undo().undoAction()->isEnabled());
  w.ReadAllSettings();
  EXPECT_EQ(w.state().settings.kerning, -9);
  EXPECT_EQ(w.state().settings.shadowOpacity, 40);
  EXPECT_EQ(w.state().extras.cellMode, kCellsCompact);
  EXPECT_EQ(w.state().settings.fontSize, 20);
  // "Auto Generate" is on, yet nothing is armed, the status keeps its text and nothing can be undone.
  ASSERT_TRUE(w.ui.CheckBox8->isChecked());
  ExpectNoChangeNotice(w);
  EXPECT_EQ(w.undo().history().undoSteps(), 0u);
  EXPECT_FALSE(w.undo().undoAction()->isEnabled());

  // Saving reads every setting the same way: the file holds the controls' values, and still
  // nothing is armed or recorded.
  const std::string path = f.path("read-all.gmp");
  {
    const QSignalBlocker e(w.ui.udLeading);
    w.ui.udLeading->setValue(6);
  }
  const Result<void> written = w.WriteProjectFile(path);
  ASSERT_TRUE(written) << written.error();
  EXPECT_EQ(w.state().settings.leading, 6);
  EXPECT_FALSE(w.state().autoGenerateArmed);
  EXPECT_EQ(w.undo().history().undoSteps(), 0u);
}

TEST(ChangeEvents, SwitchingTheOutlineOnReReadsItsWidth) {
  WindowFixture f;
  TForm1& w = *f.window;
  // The track bar moves without its event being read (as during a load), then the outline is on.
  {
    const QSignalBlocker unread(w.ui.trkOutline);
    w.ui.trkOutline->setValue(7);
  }
  EXPECT_EQ(w.state().settings.outlineWidth, 1);
  w.ui.chkOutline->setChecked(true);
  EXPECT_TRUE(w.state().settings.outline());
  EXPECT_EQ(w.state().settings.outlineWidth, 7);
}

TEST(ChangeEvents, TypedListTextMatchingNoEntryStoresIndexMinusOne) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.cmbAA->setEditText("Sharp");
  w.ui.cmbPart->setEditText("Top");
  EXPECT_EQ(w.state().settings.antialiasMode, 0xFFFF);  // -1 in 16 bits
  EXPECT_EQ(w.state().settings.packOrigin, 0xFF);       // -1 in 8 bits
  w.ui.cmbAA->setEditText("Cleartype");
  EXPECT_EQ(w.state().settings.antialiasMode, kAntialiasCleartype);
}

TEST(TextureSize, TypedSizeIsTakenOnlyByApply) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.chkFitTexture->setChecked(false);  // the first start fits; typing needs it off
  w.ui.txtWidth->setEditText("300");
  EXPECT_EQ(w.state().settings.textureWidth, 128);
  EXPECT_EQ(w.state().result.colour.width(), 128);
  QTest::mouseClick(w.ui.Button3, Qt::LeftButton);
  EXPECT_EQ(w.state().settings.textureWidth, 300);
  EXPECT_EQ(w.state().settings.textureHeight, 128);
  EXPECT_EQ(w.state().result.colour.width(), 300);
  EXPECT_EQ(w.state().result.mask.width(), 300);
  EXPECT_EQ(w.ui.Label4->text(), "Texture Size: 300x128");
}

TEST(TextureSize, LettersAreRefusedAndTheOldSizeKept) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.chkFitTexture->setChecked(false);  // the first start fits; typing needs it off
  w.ui.txtWidth->setEditText("256");
  QTest::mouseClick(w.ui.Button3, Qt::LeftButton);
  ASSERT_EQ(w.state().settings.textureWidth, 256);
  w.ui.txtHeight->setEditText("12a");
  QTest::mouseClick(w.ui.Button3, Qt::LeftButton);
  EXPECT_EQ(w.state().settings.textureWidth, 256);
  EXPECT_EQ(w.state().settings.textureHeight, 128);
  EXPECT_EQ(w.state().result.colour.width(), 256);
  EXPECT_EQ(w.state().result.colour.height(), 128);
  EXPECT_EQ(w.ui.txtWidth->currentText(), "256");
  EXPECT_EQ(w.ui.txtHeight->currentText(), "128");
  EXPECT_EQ(w.ui.Label4->text(), "Texture Size: 256x128");
  // The refusal stays readable on the status line, as an error notice naming the text.
  const std::string shown = w.ui.statBar->message();
  EXPECT_EQ(StatusKindOf(shown), StatusKind::Error);
  EXPECT_NE(shown.find("12a"), std::string::npos);
}

TEST(TextureSize, SizesNoTextureCanHaveAreRefused) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.chkFitTexture->setChecked(false);  // the first start fits; typing needs it off
  for (const char* width : {"0", "16385", "-5"}) {
    w.ui.txtWidth->setEditText(width);
    QTest::mouseClick(w.ui.Button3, Qt::LeftButton);
    EXPECT_EQ(w.state().settings.textureWidth, 128) << width;
    EXPECT_EQ(w.state().result.colour.width(), 128) << width;
    EXPECT_EQ(w.ui.txtWidth->currentText(), "128") << width;
    EXPECT_EQ(StatusKindOf(w.ui.statBar->message()), StatusKind::Error) << width;
  }
}

TEST(WriteSettingsToControls, AnUnknownFontNameKeepsTheListAndTheName) {
  WindowFixture f;
  TForm1& w = *f.window;
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  const int selected = w.ui.cmbFont->currentIndex();
  w.state().settings.setFontName("No Such Family Anywhere");
  w.WriteSettingsToControls();
  EXPECT_EQ(w.ui.cmbFont->currentIndex(), selected);
  EXPECT_EQ(w.state().settings.fontNameString(), "No Such Family Anywhere");
}

TEST(MenuMarks, FollowTheirCheckBoxesBothWays) {
  WindowFixture f;
  TForm1& w = *f.window;
  EXPECT_TRUE(w.ui.mi2->isChecked());
  EXPECT_TRUE(w.ui.mi3->isChecked());
  EXPECT_FALSE(w.ui.mi4->isChecked());
  w.ui.mi2->trigger();  // "Automatic Mask Generation" with "Auto Generate" on: both off
  EXPECT_FALSE(w.ui.CheckBox8->isChecked());
  EXPECT_FALSE(w.ui.mi2->isChecked());
  w.ui.mi2->trigger();
  EXPECT_TRUE(w.ui.CheckBox8->isChecked());
  EXPECT_TRUE(w.ui.mi2->isChecked());
  QTest::mouseClick(w.ui.chkShowGuides, Qt::LeftButton, {}, QPoint(4, w.ui.chkShowGuides->height() / 2));
  EXPECT_TRUE(w.ui.chkShowGuides->isChecked());
  EXPECT_TRUE(w.ui.mi4->isChecked());
  w.ui.mi3->trigger();
  EXPECT_FALSE(w.ui.CheckBox9->isChecked());
  EXPECT_FALSE(w.ui.mi3->isChecked());
  w.ui.CheckBox9->setChecked(true);
  EXPECT_TRUE(w.ui.mi3->isChecked());
}

TEST(ColourSwatches, OpenTheDialogPresetAndTakeOnlyAnAnswer) {
  WindowFixture f;
  TForm1& w = *f.window;
  f.prompts.colours.push_back(0x00123456u);
  QTest::mouseClick(w.ui.shpTextCol, Qt::RightButton);  // any button
  ASSERT_EQ(f.prompts.presets.size(), 1u);
  EXPECT_EQ(f.prompts.presets[0], 0x00FFFFFFu);
  EXPECT_EQ(w.ui.shpTextCol->colour(), 0x00123456u);
  EXPECT_EQ(w.state().settings.textColour, 0x00123456u);
  w.SetStatus("kept");
  f.prompts.colours.push_back(std::nullopt);  // Cancel
  QTest::mouseClick(w.ui.shpBGCol, Qt::LeftButton);
  EXPECT_EQ(w.state().settings.backColour, 0x00C0C0C0u);
  EXPECT_EQ(w.ui.statBar->message(), "kept");  // no setting was read
  f.prompts.colours.push_back(0x000000FFu);
  QTest::mouseClick(w.ui.shpOutlineCol, Qt::LeftButton);
  EXPECT_EQ(w.state().settings.outlineColour, 0x000000FFu);
}

TEST(Shortcuts, CtrlXInATextBoxCutsAndKeepsTheProgramRunning) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.show();
  w.activateWindow();
  w.ui.Edit12->setFocus();
  w.ui.Edit12->selectAll();
  QTest::keyClick(w.ui.Edit12, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(f.exitStatus, -1);
  EXPECT_EQ(w.ui.Edit12->text(), "");  // cut
  // Ctrl+S still saves from a text box.
  EXPECT_EQ(w.ui.SaveFontProject1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

TEST(Shortcuts, CtrlXOutsideATextBoxExitsWithStatusOneAndNoAutosave) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.show();
  w.activateWindow();
  w.ui.Button1->setFocus();
  QTest::keyClick(w.ui.Button1, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(f.exitStatus, 1);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(w.autosavePath())));
}

TEST(HelpMenu, OpensTheWorkingFoldersHelpPageByItsAbsolutePath) {
  WindowFixture f;
  QDir(f.folder.path()).mkpath("share/doc/glyphmill");
  std::ofstream(f.path("share/doc/glyphmill/help.html")) << "<html>installed</html>";
  std::ofstream(f.path("help.html")) << "<html>local</html>";
  f.window->ui.HowtouseGlyphmill1->trigger();
  ASSERT_EQ(f.openedDocuments.size(), 1u);
  EXPECT_EQ(f.openedDocuments[0], f.path("help.html"));
  EXPECT_EQ(f.openedDocuments[0].front(), '/');
}

TEST(HelpMenu, FallsBackToTheInstalledHelpPage) {
  WindowFixture f;  // program folder <scratch>/bin: the installed page is <scratch>/share/doc/glyphmill
  QDir(f.folder.path()).mkpath("share/doc/glyphmill");
  std::ofstream(f.path("share/doc/glyphmill/help.html")) << "<html>installed</html>";
  f.window->ui.HowtouseGlyphmill1->trigger();
  ASSERT_EQ(f.openedDocuments.size(), 1u);
  EXPECT_EQ(f.openedDocuments[0], f.path("share/doc/glyphmill/help.html"));
}

TEST(HelpMenu, NoHelpPageAnywhereSaysSo) {
  WindowFixture f;
  f.window->ui.HowtouseGlyphmill1->trigger();
  EXPECT_TRUE(f.openedDocuments.empty());
  EXPECT_EQ(StatusKindOf(f.window->ui.statBar->message()), StatusKind::Error);
  EXPECT_NE(f.window->ui.statBar->message().find("help.html"), std::string::npos);
}

}  // namespace
}  // namespace glyphmill::testing
