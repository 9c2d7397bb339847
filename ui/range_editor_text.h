// Typed character sets in the character range editor: "Add Characters..." (pasted or typed text)
// and "Add From File..." (a UTF-8 or UTF-16 text file) select the characters of a text. Only code
// units the font supports are selected, as a left-button drag selects them; the rest are counted
// for the report: characters the font lacks, and characters beyond U+FFFF, which no single UTF-16
// code unit can hold.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "settings/character_selection.h"
#include "settings/text_characters.h"

class QPlainTextEdit;

namespace glyphmill {

struct CharacterAddition {
  int added = 0;  // newly selected
  int alreadySelected = 0;
  std::vector<uint16_t> notInFont;         // code units the font does not support
  std::vector<uint32_t> notRepresentable;  // characters beyond U+FFFF, first-seen order
};

// Selects the text's code units that `fontSupport` (one flag per code unit) marks supported.
CharacterAddition AddTextCharacters(const TextCharacters& text, CharacterSelection& selection,
                                    std::span<const uint8_t> fontSupport);

// What the person is told: "Added 5 characters (2 already selected)." and, on lines of their
// own, the characters the font lacks and those not representable, each with its U+ notation.
QString AdditionReport(const CharacterAddition& addition);

// The text box of "Add Characters...": paste or type, then "Add".
class AddCharactersDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AddCharactersDialog(QWidget* parent = nullptr);
  QPlainTextEdit* textBox() const { return text_; }
  QString text() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace glyphmill
