#include "ui/range_editor_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glyphmill {

namespace {
// At most this many characters are listed by name in a report; the rest are counted.
constexpr std::size_t kListedCharacters = 12;

QString Listed(const QString& glyphs, std::size_t total) {
  if (total <= kListedCharacters) return glyphs;
  return glyphs + QStringLiteral(" and %1 more").arg(total - kListedCharacters);
}

QString Named(uint32_t codePoint) {
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1) + ' ' +
         QString::fromStdString(CodePointNotation(codePoint));
}
}  // namespace

CharacterAddition AddTextCharacters(const TextCharacters& text, CharacterSelection& selection,
                                    std::span<const uint8_t> fontSupport) {
  CharacterAddition addition;
  for (uint16_t unit : text.codeUnits) {
    if (unit >= fontSupport.size() || fontSupport[unit] == 0) {
      addition.notInFont.push_back(unit);
    } else if (selection[unit]) {
      ++addition.alreadySelected;
    } else {
      selection[unit] = 1;
      ++addition.added;
    }
  }
  addition.notRepresentable = text.notRepresentable;
  return addition;
}

QString AdditionReport(const CharacterAddition& a) {
  QString report = QStringLiteral("Added %1 character%2").arg(a.added).arg(a.added == 1 ? "" : "s");
  if (a.alreadySelected > 0) report += QStringLiteral(" (%1 already selected)").arg(a.alreadySelected);
  report += '.';
  if (!a.notInFont.empty()) {
    QString names;
    for (std::size_t i = 0; i < a.notInFont.size() && i < kListedCharacters; ++i)
      names += (i ? ", " : "") + Named(a.notInFont[i]);
    report += QStringLiteral("\nNot in the font (%1): ").arg(a.notInFont.size()) + Listed(names, a.notInFont.size());
  }
  if (!a.notRepresentable.empty()) {
    QString names;
    for (std::size_t i = 0; i < a.notRepresentable.size() && i < kListedCharacters; ++i)
      names += (i ? ", " : "") + Named(a.notRepresentable[i]);
    report += QStringLiteral("\nNot representable as one UTF-16 code unit (%1): ").arg(a.notRepresentable.size()) +
              Listed(names, a.notRepresentable.size());
  }
  return report;
}

AddCharactersDialog::AddCharactersDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Add Characters");
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel("Paste or type the characters to select:", this);
  layout->addWidget(hint);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("addCharactersText");
  layout->addWidget(text_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Add");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(420, 240);
}

QString AddCharactersDialog::text() const { return text_->toPlainText(); }

}  // namespace glyphmill
