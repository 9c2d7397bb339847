// Font files in the window: "Open Font File..." and dropped files add the family to the font list,
// marked as coming from a file, select it, and draw exactly as the installed original; a dropped
// project loads; an unreadable file leaves a notice and changes nothing.
#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <filesystem>
#include <fstream>

#include "renamed_font.h"
#include "ui/status_bar.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

namespace fs = std::filesystem;

// The renamed font file, removed when the test program ends.
struct TemporaryFont {
  std::string path;
  ~TemporaryFont() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
};

std::string RenamedFontPath() {
  // One file for the whole test program: fontconfig keeps every application font of the process.
  static const TemporaryFont font = [] {
    const std::string p =
        (fs::temp_directory_path() / ("glyphmill-ui-font-" + std::to_string(::getpid()) + ".ttf")).string();
    WriteRenamedFont(kDejaVuSansFile, p, kRenamedFamily);
    return TemporaryFont{p};
  }();
  return font.path;
}

// Drops files on the window as a drag from a file manager arrives: a drag entering the central
// area (which does not take drops itself, so the event goes up to the window), then the drop.
// Both events go through QApplication's event delivery; the drop reaches only the widget that
// accepted the drag.
void Drop(TForm1& window, const std::vector<std::string>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
  data.setUrls(urls);
  QWidget* target = window.centralWidget();
  ASSERT_NE(target, nullptr);
  ASSERT_FALSE(target->acceptDrops());
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  ASSERT_TRUE(enter.isAccepted()) << "the window takes a drag of local files";
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());
}

std::vector<uint8_t> TextureAfterGenerating(TForm1& w) {
  w.Button1Click();
  EXPECT_TRUE(WaitForGeneration(w));
  std::lock_guard<std::mutex> guard(w.state().result.colour.lock());
  const Image24& img = w.state().result.colour;
  std::vector<uint8_t> bytes;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width() * 3; ++x) bytes.push_back(img.row(y)[x]);
  return bytes;
}

TEST(FontFileWindow, OpenFontFileAddsTheFamilyMarkedAndSelectsIt) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  w.ui.chkBold->setChecked(false);
  ASSERT_EQ(w.ui.cmbFont->findText(kRenamedFamily), -1);
  f.prompts.openPaths.push_back(RenamedFontPath());
  w.ui.OpenFontFile1->trigger();
  EXPECT_EQ(w.ui.cmbFont->currentText().toStdString(), kRenamedFamily);
  EXPECT_EQ(w.state().settings.fontNameString(), kRenamedFamily);
  const int row = w.ui.cmbFont->currentIndex();
  ASSERT_GE(row, 0);
  EXPECT_TRUE(w.state().catalogue.entries[static_cast<size_t>(row)].fromFile);
  EXPECT_EQ(w.ui.cmbFont->itemData(row, Qt::ToolTipRole).toString().toStdString(), RenamedFontPath());
  const std::vector<uint8_t> fromFile = TextureAfterGenerating(w);

  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  const int installed = w.ui.cmbFont->currentIndex();
  EXPECT_FALSE(w.state().catalogue.entries[static_cast<size_t>(installed)].fromFile);
  EXPECT_TRUE(TextureAfterGenerating(w) == fromFile) << "the file draws as the installed original";
}

TEST(FontFileWindow, DroppedFontFilesAreAddedAndAnUnreadableOneChangesNothing) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  const std::string fake = f.path("notes.ttf");
  std::ofstream(fake) << "not a font";
  Drop(w, {fake});
  EXPECT_EQ(w.state().settings.fontNameString(), kDejaVuSans);
  EXPECT_NE(w.state().statusText.find("FT_Err_Unknown_File_Format"), std::string::npos) << w.state().statusText;
  EXPECT_EQ(w.state().statusText[0], '!');

  Drop(w, {RenamedFontPath()});
  EXPECT_EQ(w.ui.cmbFont->currentText().toStdString(), kRenamedFamily);
  EXPECT_EQ(w.state().settings.fontNameString(), kRenamedFamily);
}

TEST(FontFileWindow, ADragWithoutLocalFilesIsRefused) {
  WindowFixture f;
  TForm1& w = *f.window;
  QMimeData data;
  data.setText("DejaVu Sans");
  data.setUrls({QUrl("https://example.org/font.ttf")});
  QDragEnterEvent enter(w.centralWidget()->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.centralWidget(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST(FontFileWindow, ADroppedProjectLoadsWithItsFontFile) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  f.prompts.openPaths.push_back(RenamedFontPath());
  w.ui.OpenFontFile1->trigger();
  const std::string project = f.path("with-font.gmp");
  const Result<void> written = w.WriteProjectFile(project);
  ASSERT_TRUE(written) << written.error();
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  Drop(w, {project});
  EXPECT_EQ(w.state().settings.fontNameString(), kRenamedFamily);
  EXPECT_EQ(w.ui.cmbFont->currentText().toStdString(), kRenamedFamily);
}

}  // namespace
}  // namespace glyphmill::testing
