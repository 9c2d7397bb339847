// The window's Fallbacks page: adding an installed family and a font file, order, removal, a
// fallback that cannot be opened shown as missing and kept, undo, and a generation that draws a
// character the font lacks from the fallback.
#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "settings/fallback_fonts.h"
#include "ui/fallback_font_list.h"
#include "ui/main_window.h"
#include "ui/settings_undo.h"
#include "ui_test_support.h"

namespace glyphmill::testing {
namespace {

constexpr const char* kDroidFile = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";

void Click(TForm1& w, const char* button) {
  auto* b = w.findChild<QPushButton*>(QString::fromLatin1(button));
  ASSERT_NE(b, nullptr) << button;
  ASSERT_TRUE(b->isEnabled()) << button;
  QTest::mouseClick(b, Qt::LeftButton);
}

QListWidget* List(TForm1& w) { return w.findChild<QListWidget*>(QStringLiteral("lstFallbackFonts")); }

TEST(WindowFallbacks, TheListAddsOrdersRemovesAndKeepsWhatIsMissing) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);  // no automatic generation between the steps
  w.ui.PageControl1->setCurrentWidget(w.ui.fallbackFonts);
  f.prompts.choices.push_back("Droid Sans Fallback");
  Click(w, "btnAddFallbackFamily");
  ASSERT_EQ(f.prompts.offered.size(), 1u);
  const std::vector<std::string>& offered = f.prompts.offered.front();
  EXPECT_NE(std::find(offered.begin(), offered.end(), "DejaVu Sans"), offered.end());
  EXPECT_EQ(std::find(offered.begin(), offered.end(), std::string(kDefaultFontName)), offered.end());
  const std::string gone = f.path("moved/cjk.ttf");
  f.prompts.openPaths.push_back(gone);
  Click(w, "btnAddFallbackFile");
  f.prompts.openPaths.push_back(std::string(kDroidFile));
  Click(w, "btnAddFallbackFile");
  ASSERT_EQ(w.state().extras.fallbacks.size(), 3u);
  EXPECT_EQ(w.state().extras.fallbacks[0], (FallbackFont{kFallbackFamily, 0, "Droid Sans Fallback"}));
  EXPECT_EQ(w.state().extras.fallbacks[1], (FallbackFont{kFallbackFile, 0, gone}));
  // The missing file is shown as such, in red, and stays in the list.
  QListWidget* list = List(w);
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(1)->text().toStdString(), "cjk.ttf (missing)");
  EXPECT_EQ(list->item(1)->foreground().color(), QColor(Qt::red));
  EXPECT_EQ(list->item(2)->text().toStdString(), "DroidSansFallbackFull.ttf");
  // The last one added is selected: Down has nowhere to go, Up moves it above the missing file.
  EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("btnFallbackDown"))->isEnabled());
  Click(w, "btnFallbackUp");
  EXPECT_EQ(w.state().extras.fallbacks[1].name, kDroidFile);
  EXPECT_EQ(w.state().extras.fallbacks[2].name, gone);
  // The same font again is not asked twice.
  f.prompts.openPaths.push_back(std::string(kDroidFile));
  Click(w, "btnAddFallbackFile");
  EXPECT_EQ(w.state().extras.fallbacks.size(), 3u);
  list->setCurrentRow(0);
  Click(w, "btnRemoveFallback");
  ASSERT_EQ(w.state().extras.fallbacks.size(), 2u);
  EXPECT_EQ(w.state().extras.fallbacks[0].name, kDroidFile);
  // Each edit is a step of its own: undo brings the removed entry back into the settings and the list.
  w.undo().undo();
  ASSERT_EQ(w.state().extras.fallbacks.size(), 3u);
  EXPECT_EQ(List(w)->count(), 3);
  EXPECT_EQ(w.state().extras.fallbacks[0].name, "Droid Sans Fallback");
}

TEST(WindowFallbacks, AGenerationDrawsTheMissingCharacterFromTheFallback) {
  WindowFixture f;
  TForm1& w = *f.window;
  w.ui.CheckBox8->setChecked(false);
  ASSERT_TRUE(SelectFont(w, kDejaVuSans));
  CharacterSelection only{};
  only[0x4E2D] = 1;
  only['A'] = 1;
  w.state().selection = only;
  w.state().fontChanged = true;
  f.prompts.openPaths.push_back(std::string(kDroidFile));
  w.ui.PageControl1->setCurrentWidget(w.ui.fallbackFonts);
  Click(w, "btnAddFallbackFile");
  QTest::mouseClick(w.ui.Button1, Qt::LeftButton);
  ASSERT_TRUE(WaitForGeneration(w));
  const std::vector<PlacedCharacter>& chars = w.state().result.chars;
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].codeUnit, 'A');
  EXPECT_EQ(chars[0].font, 0);
  EXPECT_EQ(chars[1].codeUnit, 0x4E2D);
  EXPECT_EQ(chars[1].font, 1);
  ASSERT_EQ(w.state().result.fallbackFonts.size(), 1u);
  EXPECT_EQ(w.state().result.fallbackFonts[0].path, kDroidFile);
}

}  // namespace
}  // namespace glyphmill::testing
