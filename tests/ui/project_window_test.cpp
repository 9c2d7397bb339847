// Projects from the window: save and load restoring every control, the notices on the status
// line, refusals, the autosave on close and at start, and none after "Exit".

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/status_texts.h"
#include "project/project_file.h"
#include "ui/colour_swatch.h"
#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

// Every control that carries a setting, as the record sees it.
struct ControlValues {
  std::string font;
  int size, vpad, leading, trailing, kerning, genpad, aa, part, outline, hardness, opacity, smooth, offset, dsOpacity;
  bool bold, italic, outlineOn, shadowOn;
  uint32_t text, back, outlineColour;
  QString width, height, label;
  bool operator==(const ControlValues&) const = default;
};

ControlValues Read(TForm1& w) {
  const MainWindowControls& c = w.ui;
  return ControlValues{c.cmbFont->currentText().toStdString(),
                       c.udSize->value(),
                       c.udVPad->value(),
                       c.udLeading->value(),
                       c.udTrailing->value(),
                       c.udKerning->value(),
                       c.udGenPad->value(),
                       c.cmbAA->currentIndex(),
                       c.cmbPart->currentIndex(),
                       c.trkOutline->value(),
                       c.trkOutSmooth->value(),
                       c.trkOutOpacity->value(),
                       c.trkDSSmooth->value(),
                       c.trkDSOffset->value(),
                       c.trkDSOpacity->value(),
                       c.chkBold->isChecked(),
                       c.chkItalic->isChecked(),
                       c.chkOutline->isChecked(),
                       c.chkDS->isChecked(),
                       c.shpTextCol->colour(),
                       c.shpBGCol->colour(),
                       c.shpOutlineCol->colour(),
                       c.txtWidth->currentText(),
                       c.txtHeight->currentText(),
                       c.Label4->text()};
}

void ChangeEverything(WindowFixture& f) {
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, "Liberation Serif"));
  w.ui.udSize->setValue(21);
  w.ui.udVPad->setValue(3);
  w.ui.udLeading->setValue(-2);
  w.ui.udTrailing->setValue(4);
  w.ui.udKerning->setValue(-9);
  w.ui.udGenPad->setValue(1);
  w.ui.cmbAA->setCurrentIndex(1);
  w.ui.cmbPart->setCurrentIndex(3);
  w.ui.chkBold->setChecked(false);
  w.ui.chkItalic->setChecked(true);
  w.ui.chkOutline->setChecked(true);
  w.ui.trkOutline->setValue(5);
  w.ui.trkOutSmooth->setValue(-4);
  w.ui.trkOutOpacity->setValue(70);
  w.ui.chkDS->setChecked(true);
  w.ui.trkDSSmooth->setValue(3);
  w.ui.trkDSOffset->setValue(11);
  w.ui.trkDSOpacity->setValue(45);
  for (auto [swatch, colour] : {std::pair{w.ui.shpTextCol, 0x00112233u}, std::pair{w.ui.shpBGCol, 0x00445566u},
                                std::pair{w.ui.shpOutlineCol, 0x00778899u}}) {
    f.prompts.colours.push_back(colour);
    QTest::mouseClick(swatch, Qt::LeftButton);
  }
  w.ui.chkFitTexture->setChecked(false);  // the first start fits; a size typed by hand needs it off
  w.ui.txtWidth->setEditText("512");
  w.ui.txtHeight->setEditText("256");
  w.ui.Button3->click();
  f.prompts.colours.push_back(0x00ABCDEFu);
  QTest::mouseClick(w.ui.Image3, Qt::LeftButton);
}

TEST(ProjectsFromTheWindow, SavedAndLoadedBackRestoresEveryControlAndThePreviewColour) {
  WindowFixture first;
  ChangeEverything(first);
  TForm1& w = *first.window;
  const ControlValues saved = Read(w);
  ASSERT_EQ(saved.label, "Texture Size: 512x256");
  const GenerationSettings savedSettings = w.state().settings;
  ASSERT_EQ(savedSettings.previewBackColour, 0x00ABCDEFu);

  // A name ending in .txt is saved with the extension .gmp instead.
  const std::string chosen = first.path("mine.txt");
  const std::string written = first.path("mine.gmp");
  first.dialogs.queueSavePath(chosen);
  w.SaveFontProject1Click();
  EXPECT_TRUE(QFile::exists(QString::fromStdString(written)));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(chosen)));
  EXPECT_EQ(w.ui.statBar->message(), ".Project saved to " + written + " succesfully.");
  EXPECT_FALSE(w.ui.CheckBox8->isChecked());  // given its state back
  const auto prompts = first.dialogs.entries(ScriptedDialogs::Kind::SaveFile);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].request.title, "Save Glyphmill Project");
  EXPECT_EQ(prompts[0].request.filter, "Glyphmill Project|*.gmp");

  WindowFixture second;
  TForm1& v = *second.window;
  ASSERT_NE(Read(v), saved);
  second.prompts.openPaths.push_back(written);
  v.LoadProject1Click();
  EXPECT_EQ(Read(v), saved);
  EXPECT_EQ(v.state().settings, savedSettings);
  EXPECT_EQ(v.state().settings.previewBackColour, 0x00ABCDEFu);
  EXPECT_EQ(v.state().selection, w.state().selection);
  EXPECT_EQ(v.state().result.colour.width(), 512);
  EXPECT_EQ(v.state().result.colour.height(), 256);
  // The loaded notice is followed at once by the change notification's "Idle", which arms the
  // automatic generation.
  EXPECT_EQ(v.ui.statBar->message(), status::kIdle);
  EXPECT_TRUE(v.ui.Timer2->isActive());
}

TEST(ProjectsFromTheWindow, ACancelledSaveWritesNothing) {
  WindowFixture f;
  f.window->SetStatus("before");
  f.window->SaveFontProject1Click();  // the scripted prompt answers CANCEL!
  EXPECT_EQ(f.window->ui.statBar->message(), "before");
  EXPECT_TRUE(QDir(f.folder.path()).entryList(QDir::Files).isEmpty());
}

TEST(ProjectsFromTheWindow, ASaveThatFailsIsAnErrorNotice) {
  WindowFixture f;
  f.dialogs.queueSavePath(f.path("no/such/folder/p.gmp"));
  f.window->SaveFontProject1Click();
  EXPECT_EQ(f.window->ui.statBar->message().rfind("!Error while saving: ", 0), 0u);
}

TEST(ProjectsFromTheWindow, ARefusedFileIsShownAndChangesNothing) {
  WindowFixture f;
  TForm1& w = *f.window;
  const std::string path = f.path("bad.gmp");
  std::ofstream(path, std::ios::binary) << "xy";
  const GenerationSettings before = w.state().settings;
  f.prompts.openPaths.push_back(path);
  w.LoadProject1Click();
  const auto messages = f.dialogs.entries(ScriptedDialogs::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message.caption, "File Error");
  EXPECT_EQ(messages[0].message.icon, DialogIcon::Error);
  EXPECT_EQ(w.state().settings, before);
}

TEST(ProjectsFromTheWindow, AMissingFileIsAnErrorNoticeThatIdleFollows) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  std::vector<std::string> shown;
  f.window->LoadProjectFile(f.path("absent.gmp"));
  EXPECT_TRUE(f.dialogs.entries(ScriptedDialogs::Kind::Message).empty());
  EXPECT_EQ(w.ui.statBar->message(), status::kIdle);
}

TEST(ProjectsFromTheWindow, ATextureSizeNoTextureCanHaveIsRefusedWithTheOldSizeKept) {
  WindowFixture f;
  TForm1& w = *f.window;
  GenerationSettings s = w.state().settings;
  s.textureWidth = 0;
  s.textureHeight = 60000;
  const std::vector<uint8_t> bytes = ProjectToBytes(s, w.state().selection, {});
  const std::string path = f.path("huge.gmp");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  w.LoadProjectFile(path);
  EXPECT_EQ(w.state().settings.textureWidth, 128);
  EXPECT_EQ(w.state().settings.textureHeight, 128);
  EXPECT_EQ(w.state().result.colour.width(), 128);
  EXPECT_EQ(w.ui.txtWidth->currentText(), "128");
  EXPECT_EQ(StatusKindOf(w.ui.statBar->message()), StatusKind::Error);
}

TEST(Autosave, WrittenOnCloseAndLoadedAtTheNextStart) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.udKerning->setValue(17);
  w.ui.CheckBox8->setChecked(false);
  w.close();
  ASSERT_TRUE(QFile::exists(QString::fromStdString(w.autosavePath())));
  f.open();
  EXPECT_EQ(f.window->state().settings.kerning, 17);
  EXPECT_EQ(f.window->ui.udKerning->value(), 17);
  EXPECT_EQ(f.window->ui.statBar->message(), status::kIdle);
}

TEST(Autosave, LivesInTheConfigurationFolderWhichIsCreated) {
  WindowFixture f;
  const std::string expected = f.path("config/glyphmill/Autosave.gmp");
  EXPECT_EQ(f.window->autosavePath(), expected);
  ASSERT_FALSE(QDir(f.folder.path() + "/config").exists());
  f.window->close();
  EXPECT_TRUE(QFile::exists(QString::fromStdString(expected)));
  EXPECT_TRUE(f.dialogs.log().empty());
}

TEST(Autosave, AFailureIsReportedNotLost) {
  WindowFixture f;
  // The configuration "folder" is a plain file: nothing can be written below it.
  std::ofstream(f.path("config"), std::ios::binary) << "x";
  f.window->close();
  ASSERT_EQ(f.dialogs.log().size(), 1u);
  EXPECT_EQ(f.dialogs.log()[0].message.caption, "Autosave Error");
  EXPECT_NE(f.dialogs.log()[0].message.text.find(f.path("config/glyphmill/Autosave.gmp")), std::string::npos);
  EXPECT_NE(f.dialogs.log()[0].message.text.find("Not a directory"), std::string::npos)
      << f.dialogs.log()[0].message.text;
}

TEST(Autosave, ExitWritesNone) {
  WindowFixture f;
  f.window->ui.Exit1->trigger();
  EXPECT_EQ(f.exitStatus, 1);
  const std::string autosave = f.window->autosavePath();
  f.window.reset();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(autosave)));
}

}  // namespace
}  // namespace glyphmill::testing
