// Typed character sets in the character range editor with a real font (DejaVu Sans): "Add
// Characters..." with mixed scripts and an emoji, "Add From File..." with UTF-8 and UTF-16 files,
// and what the person is told.

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>
#include <fstream>

#include "app/app_state.h"
#include "ui/range_editor_text.h"
#include "ui/range_editor_window.h"

namespace glyphmill {
namespace {

class RangeEditorTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaultSelection(state_.selection);
    state_.fontChanged = true;
    font_.name = "DejaVu Sans";
    font_.pointSize = 32;
    editor_ = std::make_unique<TForm2>(state_);
    editor_->setReporter([this](const QString& report) { reports_.push_back(report); });
    std::string error;
    ASSERT_TRUE(editor_->beginEditing(font_, &error)) << error;
    editor_->show();
    editor_->SpeedButton4Click();  // "Select None"
  }
  void TearDown() override {
    if (editor_) editor_->hide();
  }
  bool selected(char16_t unit) const { return state_.selection[unit] != 0; }
  QString countLine() const { return editor_->findChild<QLabel*>("Label6")->text(); }

  AppState state_;
  FontRequest font_;
  std::unique_ptr<TForm2> editor_;
  std::vector<QString> reports_;
};

TEST_F(RangeEditorTextTest, AddCharactersSelectsMixedScriptsAndReportsTheEmoji) {
  // Through the "Add" button's menu and the text box, as a person pastes.
  QMenu* menu = editor_->addButton()->menu();
  ASSERT_NE(menu, nullptr);
  QAction* addCharacters = menu->actions().value(0);
  ASSERT_NE(addCharacters, nullptr);
  EXPECT_EQ(addCharacters->text(), "Add Characters...");
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<AddCharactersDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->textBox()->setPlainText(QString::fromUtf8("Grüße, Привет! Ελλάδα 😀\n€ 日本"));
    dialog->accept();
  });
  addCharacters->trigger();

  for (char16_t unit : {u'G', u'r', u'ü', u'ß', u'e', u',', u'П', u'р', u'и', u'в',
                        u'т', u'!', u'Ε', u'λ', u'ά', u'δ', u'α', u'€', u' ', char16_t(0x0435) /* Cyrillic е */})
    EXPECT_TRUE(selected(unit)) << static_cast<int>(unit);
  EXPECT_FALSE(selected(u'\n'));  // a line end is no character of the font
  EXPECT_EQ(CountSelected(state_.selection), 20u);
  EXPECT_EQ(countLine(), "20 Characters Selected.");
  // DejaVu Sans has no CJK ideographs; the emoji has no single UTF-16 code unit.
  ASSERT_EQ(reports_.size(), 1u);
  const QString& report = reports_[0];
  EXPECT_TRUE(report.startsWith("Added 20 characters.")) << report.toStdString();
  EXPECT_TRUE(report.contains(QString::fromUtf8("Not in the font (2): 日 U+65E5, 本 U+672C"))) << report.toStdString();
  EXPECT_TRUE(report.contains(QString::fromUtf8("Not representable as one UTF-16 code unit (1): 😀 U+1F600")))
      << report.toStdString();
}

TEST_F(RangeEditorTextTest, AddingAgainCountsWhatIsAlreadySelectedAndCancelAddsNothing) {
  CharacterAddition first, again;
  std::string error;
  ASSERT_TRUE(editor_->addTextCharacters("abc", &first, &error)) << error;
  ASSERT_TRUE(editor_->addTextCharacters("abcd", &again, &error)) << error;
  EXPECT_EQ(again.added, 1);
  EXPECT_EQ(again.alreadySelected, 3);
  EXPECT_EQ(AdditionReport(again), "Added 1 character (3 already selected).");
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<AddCharactersDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->textBox()->setPlainText("xyz");
    dialog->reject();
  });
  editor_->AddCharactersClick();
  EXPECT_FALSE(selected(u'x'));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(RangeEditorTextTest, AddFromFileReadsUtf8AndUtf16Files) {
  QTemporaryDir folder;
  const std::string utf8 = folder.filePath("lines.txt").toStdString();
  std::ofstream(utf8, std::ios::binary) << "\xEF\xBB\xBF"
                                           "Ärger\r\nÖl\n";
  const std::string utf16 = folder.filePath("wide.txt").toStdString();
  {
    std::ofstream out(utf16, std::ios::binary);
    out.write(
        "\xFF\xFE"
        "\xA9\x03"
        "\x3D\xD8\x00\xDE"
        "Z\x00",
        10);  // U+03A9 Ω, U+1F600, Z
  }
  std::vector<std::string> answers{utf8, utf16};
  editor_->setTextFilePrompt([&answers]() -> std::optional<std::string> {
    if (answers.empty()) return std::nullopt;
    std::string next = answers.front();
    answers.erase(answers.begin());
    return next;
  });
  editor_->AddFromFileClick();
  for (char16_t unit : {u'Ä', u'r', u'g', u'e', u'Ö', u'l'}) EXPECT_TRUE(selected(unit)) << static_cast<int>(unit);
  EXPECT_FALSE(selected(0xFEFF));
  EXPECT_EQ(CountSelected(state_.selection), 6u);
  editor_->AddFromFileClick();
  EXPECT_TRUE(selected(u'Ω'));
  EXPECT_TRUE(selected(u'Z'));
  EXPECT_FALSE(selected(0xD83D));  // no surrogate half is ever selected
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_TRUE(reports_[1].contains("U+1F600")) << reports_[1].toStdString();
  // Cancelled: nothing happens; unreadable: the reason is reported and nothing changes.
  editor_->AddFromFileClick();
  EXPECT_EQ(reports_.size(), 2u);
  answers.push_back(folder.filePath("absent.txt").toStdString());
  editor_->AddFromFileClick();
  ASSERT_EQ(reports_.size(), 3u);
  EXPECT_TRUE(reports_[2].contains("absent.txt"));
  EXPECT_EQ(CountSelected(state_.selection), 8u);
}

TEST_F(RangeEditorTextTest, CharactersTheFontLacksAreNotSelected) {
  CharacterAddition added;
  std::string error;
  ASSERT_TRUE(editor_->addTextCharacters("A\xE6\x97\xA5", &added, &error)) << error;  // A 日
  EXPECT_EQ(added.added, 1);
  EXPECT_EQ(added.notInFont, (std::vector<uint16_t>{0x65E5}));
  EXPECT_FALSE(selected(0x65E5));
}

TEST_F(RangeEditorTextTest, AFileInAnotherEncodingIsReportedAndAddsNothing) {
  // "Grüße" in Latin-1: the ü (FC) is no UTF-8 lead byte.
  QTemporaryDir folder;
  const std::string latin1 = folder.filePath("latin1.txt").toStdString();
  std::ofstream(latin1, std::ios::binary) << "Gr\xFC\xDF"
                                             "e";
  editor_->setTextFilePrompt([&latin1]() -> std::optional<std::string> { return latin1; });
  editor_->AddFromFileClick();
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(reports_[0].contains("latin1.txt")) << reports_[0].toStdString();
  EXPECT_TRUE(reports_[0].contains("malformed UTF-8 at byte 2")) << reports_[0].toStdString();
  EXPECT_EQ(CountSelected(state_.selection), 0u);
  EXPECT_EQ(countLine(), "0 Characters Selected.");
}

}  // namespace
}  // namespace glyphmill
