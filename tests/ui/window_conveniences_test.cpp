// The main window's conveniences: undo and redo of setting changes (bursts, colour choices, an
// accepted character range, a project load, text boxes keeping their own Ctrl+Z), recent projects
// and the title, dialogs starting in the folder last used, and the font list's filter.

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "ui/colour_swatch.h"
#include "ui/font_filter.h"
#include "ui/range_editor_window.h"
#include "ui/recent_projects.h"
#include "ui/settings_undo.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

void Undo(TForm1& w) { QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier); }
void Redo(TForm1& w) { QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

// ---- undo and redo

TEST(WindowUndo, ABurstOfOneControlIsOneStepAndUndoWritesTheControlsBack) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  w.setFocus();
  const int before = w.ui.udSize->value();
  for (int size = before + 1; size <= before + 6; ++size) w.ui.udSize->setValue(size);  // held up-down
  EXPECT_EQ(w.undo().history().undoSteps(), 1u);
  Undo(w);
  EXPECT_EQ(w.ui.udSize->value(), before);
  EXPECT_EQ(w.state().settings.fontSize, before);
  EXPECT_FALSE(w.undo().undoAction()->isEnabled());
  Redo(w);
  EXPECT_EQ(w.ui.udSize->value(), before + 6);
  EXPECT_EQ(w.state().settings.fontSize, before + 6);
}

TEST(WindowUndo, EachColourChoiceIsAStepAndUndoArmsTheAutomaticGeneration) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  const uint32_t original = w.state().settings.textColour;
  for (uint32_t colour : {0x000000FFu, 0x0000FF00u}) {
    f.prompts.colours.push_back(colour);
    QTest::mouseClick(w.ui.shpTextCol, Qt::LeftButton);
  }
  ASSERT_EQ(w.state().settings.textColour, 0x0000FF00u);
  EXPECT_EQ(w.undo().history().undoSteps(), 2u);
  w.ui.CheckBox8->setChecked(true);  // "Auto Generate": undoing is a change like any other
  Undo(w);
  EXPECT_EQ(w.state().settings.textColour, 0x000000FFu);
  EXPECT_EQ(w.ui.shpTextCol->colour(), 0x000000FFu);
  EXPECT_TRUE(w.state().autoGenerateArmed);
  Undo(w);
  EXPECT_EQ(w.state().settings.textColour, original);
  EXPECT_EQ(w.ui.shpTextCol->colour(), original);
}

TEST(WindowUndo, AnAcceptedCharacterRangeIsOneStep) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  TForm2 editor(w.state(), &w);
  w.attachWindows(&editor, nullptr, nullptr);
  const CharacterSelection before = w.state().selection;
  ASSERT_NE(CountSelected(before), 0u);
  // "Select None", then "Accept", in the modal editor.
  QTimer::singleShot(0, &editor, [&editor] {
    editor.SpeedButton4Click();
    editor.SpeedButton1Click();
  });
  w.btnCharacterRangeClick();
  ASSERT_EQ(CountSelected(w.state().selection), 0u);
  const std::size_t steps = w.undo().history().undoSteps();
  ASSERT_GE(steps, 1u);
  // The modal editor had the focus last: the commands are used through the Edit menu here.
  w.undo().undoAction()->trigger();
  EXPECT_EQ(w.undo().history().undoSteps(), steps - 1);
  EXPECT_EQ(w.state().selection, before);
  EXPECT_EQ(w.state().tables.selectedCount, CountSelected(before));
  w.undo().redoAction()->trigger();
  EXPECT_EQ(CountSelected(w.state().selection), 0u);
  w.attachWindows(nullptr, nullptr, nullptr);
}

TEST(WindowUndo, AProjectLoadIsOneStepBackToWhatWasShownBefore) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, "Liberation Serif"));
  w.ui.udKerning->setValue(-7);
  w.ui.chkItalic->setChecked(true);
  const Result<void> written = w.WriteProjectFile(f.path("saved.gmp"));
  ASSERT_TRUE(written) << written.error();
  // Something else on the screen, then the project loaded over it.
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  w.ui.udKerning->setValue(12);
  w.ui.chkItalic->setChecked(false);
  const std::size_t stepsBefore = w.undo().history().undoSteps();
  w.LoadProjectFile(f.path("saved.gmp"));
  EXPECT_EQ(w.undo().history().undoSteps(), stepsBefore + 1);
  EXPECT_EQ(w.ui.udKerning->value(), -7);
  Undo(w);
  EXPECT_EQ(w.ui.cmbFont->currentText().toStdString(), kDejaVuSans);
  EXPECT_EQ(w.ui.udKerning->value(), 12);
  EXPECT_FALSE(w.ui.chkItalic->isChecked());
  EXPECT_EQ(w.state().settings.kerning, 12);
  Redo(w);
  EXPECT_EQ(w.ui.cmbFont->currentText(), "Liberation Serif");
  EXPECT_EQ(w.state().settings.kerning, -7);
  EXPECT_TRUE(w.state().settings.italic());
}

TEST(WindowUndo, ATextBoxKeepsCtrlZForItsOwnText) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  w.ui.udKerning->setValue(5);
  ASSERT_EQ(w.undo().history().undoSteps(), 1u);
  w.activateWindow();
  w.ui.Edit12->setFocus();
  w.ui.Edit12->selectAll();
  QTest::keyClicks(w.ui.Edit12, "hello");
  ASSERT_EQ(w.ui.Edit12->text(), "hello");
  QTest::keyClick(w.ui.Edit12, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(w.ui.Edit12->text(), "hello");   // the text box undid its typing
  EXPECT_EQ(w.state().settings.kerning, 5);  // the settings were not touched
  EXPECT_EQ(w.undo().history().undoSteps(), 1u);
}

// ---- recent projects and the title

TEST(WindowRecentProjects, SavedAndLoadedProjectsComeFirstAndNameTheWindow) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  EXPECT_EQ(w.windowTitle(), "Glyphmill 4.1");
  for (const char* name : {"one.gmp", "two.gmp"}) {
    f.dialogs.queueSavePath(f.path(name));
    w.SaveFontProject1Click();
  }
  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Glyphmill 4.1 – two.gmp"));
  w.LoadProjectFile(f.path("one.gmp"));
  EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Glyphmill 4.1 – one.gmp"));
  const QStringList expected{QString::fromStdString(f.path("one.gmp")), QString::fromStdString(f.path("two.gmp"))};
  EXPECT_EQ(w.recentProjects().paths(), expected);
  // The menu lists them in that order, then "Clear List".
  const QList<QAction*> entries = w.ui.RecentProjects1->actions();
  ASSERT_GE(entries.size(), 4);
  EXPECT_TRUE(entries[0]->text().startsWith("&1 one.gmp"));
  EXPECT_TRUE(entries[1]->text().startsWith("&2 two.gmp"));
  // Kept for the next start, and opened from the menu.
  f.open();
  EXPECT_EQ(f.window->recentProjects().paths(), expected);
  EXPECT_EQ(f.window->windowTitle(), "Glyphmill 4.1");  // the autosave is nobody's project
  f.window->ui.RecentProjects1->actions()[1]->trigger();
  EXPECT_EQ(f.window->windowTitle(), QString::fromUtf8("Glyphmill 4.1 – two.gmp"));
  EXPECT_EQ(f.window->recentProjects().paths().front(), expected[1]);
}

TEST(WindowRecentProjects, AtMostEightAndAMissingOneIsDropped) {
  QTemporaryDir folder;
  QSettings preferences(folder.filePath("p.ini"), QSettings::IniFormat);
  RecentProjects recent(preferences);
  for (int i = 1; i <= 10; ++i) recent.add(folder.filePath(QString("p%1.gmp").arg(i)));
  recent.add(folder.filePath("p5.gmp"));
  QStringList names;
  for (const QString& path : recent.paths()) names << QFileInfo(path).fileName();
  EXPECT_EQ(names, (QStringList{"p5.gmp", "p10.gmp", "p9.gmp", "p8.gmp", "p7.gmp", "p6.gmp", "p4.gmp", "p3.gmp"}));

  WindowFixture f;
  TForm1& w = *f.window;
  w.recentProjects().add(QString::fromStdString(f.path("gone.gmp")));
  w.RebuildRecentMenu();
  w.ui.RecentProjects1->actions()[0]->trigger();
  EXPECT_TRUE(w.recentProjects().paths().isEmpty());
  const auto messages = f.dialogs.entries(ScriptedDialogs::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].message.text.find("gone.gmp"), std::string::npos);
}

// ---- dialog folders

TEST(WindowDialogFolders, ProjectDialogsStartWhereTheLastProjectWent) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(QDir(f.folder.path()).mkpath("deep/projects"));
  const std::string folder = f.path("deep/projects");
  f.dialogs.queueSavePath(folder + "/first.gmp");
  w.SaveFontProject1Click();
  EXPECT_EQ(f.dialogs.entries(ScriptedDialogs::Kind::SaveFile).back().request.initialFolder,
            ".");  // nothing remembered yet
  f.dialogs.queueSavePath(kCancelMarker);
  w.SaveFontProject1Click();
  EXPECT_EQ(f.dialogs.entries(ScriptedDialogs::Kind::SaveFile).back().request.initialFolder, folder);
  f.prompts.openPaths.push_back(std::nullopt);
  w.LoadProject1Click();
  ASSERT_FALSE(f.prompts.openFolders.empty());
  EXPECT_EQ(f.prompts.openFolders.back(), folder);
}

// ---- font list filter

TEST(WindowFontFilter, TypingNarrowsTheListAndKeepsItsRows) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  QComboBox* list = w.ui.cmbFont;
  list->showPopup();
  FontListFilter& filter = w.fontFilter();
  ASSERT_NE(filter.box(), nullptr);
  EXPECT_TRUE(filter.box()->isVisible());
  EXPECT_EQ(filter.shownRows(), list->count());
  // Keys typed on the list go into the box.
  QTest::keyClicks(list->view(), "dejavu s");
  EXPECT_EQ(filter.filter(), "dejavu s");
  auto* view = qobject_cast<QListView*>(list->view());
  int shown = 0;
  for (int row = 0; row < list->count(); ++row) {
    if (view->isRowHidden(row)) continue;
    ++shown;
    EXPECT_TRUE(list->itemText(row).contains("DejaVu S", Qt::CaseInsensitive)) << list->itemText(row).toStdString();
  }
  EXPECT_GE(shown, 1);
  EXPECT_EQ(shown, filter.shownRows());
  EXPECT_FALSE(view->isRowHidden(view->currentIndex().row()));
  // The rows keep the font list's own drawing.
  EXPECT_EQ(list->itemDelegate(), w.findChild<FontListDelegate*>());
  // The next drop-down starts unfiltered.
  list->hidePopup();
  list->showPopup();
  EXPECT_TRUE(filter.filter().isEmpty());
  EXPECT_EQ(filter.shownRows(), list->count());
  list->hidePopup();
}

TEST(WindowStart, ASecondStartTakesThePluginsFromTheCacheWithoutStartingTheHost) {
  WindowFixture f("plugins");
  PluginRegistry& first = f.window->state().registry;
  const std::size_t count = first.size();
  ASSERT_GT(count, 0u) << "the shipped exporters in the build folder";
  EXPECT_GE(first.host().starts(), 1);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.push_back(first.at(i).Name);

  f.open("plugins");  // the same folders, so the same cache file
  PluginRegistry& second = f.window->state().registry;
  ASSERT_EQ(second.size(), count);
  for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(second.at(i).Name, names[i]) << i;
  EXPECT_EQ(second.host().starts(), 0);
}

}  // namespace
}  // namespace glyphmill::testing
