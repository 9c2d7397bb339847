// The font list's filter: when the list drops down, a box above its rows takes what the person
// types and narrows the rows to the fonts whose names contain it (without regard to case). The
// rows keep their own drawing; arrow keys, Enter and Escape still work the list.
#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QLineEdit;

namespace glyphmill {

class FontListFilter : public QObject {
  Q_OBJECT
 public:
  // Filters `list`; call attach() before each drop-down (FontListBox::droppingDown).
  explicit FontListFilter(QComboBox* list);

  // Puts the filter box into the list's drop-down and clears it, showing every font.
  void attach();
  // Narrows the rows to names containing `text`; the current row moves to the first shown one
  // when it is hidden. Returns the number of rows shown.
  int setFilter(const QString& text);
  QString filter() const;
  QLineEdit* box() const { return box_; }
  // Rows the filter shows now.
  int shownRows() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* list_;
  QLineEdit* box_ = nullptr;
};

}  // namespace glyphmill
