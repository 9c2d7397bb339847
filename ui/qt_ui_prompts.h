// UiPrompts served with QColorDialog, QFileDialog and QInputDialog.
#pragma once

#include <QColor>
#include <QString>

#include "ui/ui_prompts.h"

class QWidget;

namespace glyphmill {

// A "Caption|pattern" filter as a Qt name filter: "Caption (pattern)", or the caption alone when it
// already ends with the pattern in parentheses.
QString QtNameFilter(const std::string& filter);

class QtUiPrompts : public UiPrompts {
 public:
  explicit QtUiPrompts(QWidget* owner) : owner_(owner) {}
  void setOwner(QWidget* owner) { owner_ = owner; }

  std::optional<uint32_t> chooseColour(uint32_t initial) override;
  std::optional<uint32_t> chooseColourAgain() override;
  std::optional<std::string> chooseItem(const std::string& title, const std::string& label,
                                        const std::vector<std::string>& items) override;
  std::optional<std::string> openFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> openFileIn(const std::string& title, const std::string& filter,
                                        const std::string& folder) override;

 private:
  std::optional<uint32_t> run(const QColor& preset);
  QWidget* owner_;
  QColor held_ = Qt::black;
};

}  // namespace glyphmill
