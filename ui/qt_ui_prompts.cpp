#include "ui/qt_ui_prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

#include "ui/system_colours.h"

namespace glyphmill {

QString QtNameFilter(const std::string& filter) {
  QString f = QString::fromUtf8(filter.c_str());
  const int bar = f.indexOf('|');
  if (bar < 0) return f;
  QString caption = f.left(bar);
  const QString pattern = f.mid(bar + 1);
  if (caption.endsWith("(" + pattern + ")")) return caption;
  return caption + " (" + pattern + ")";
}

std::optional<uint32_t> QtUiPrompts::run(const QColor& preset) {
  const QColor chosen = QColorDialog::getColor(preset, owner_);
  if (!chosen.isValid()) return std::nullopt;
  held_ = chosen;
  return ColourRefFromQColor(chosen);
}

std::optional<uint32_t> QtUiPrompts::chooseColour(uint32_t initial) {
  held_ = ResolveColourRef(initial, owner_ ? owner_->palette() : QPalette());
  return run(held_);
}

std::optional<uint32_t> QtUiPrompts::chooseColourAgain() { return run(held_); }

std::optional<std::string> QtUiPrompts::chooseItem(const std::string& title, const std::string& label,
                                                   const std::vector<std::string>& items) {
  QStringList choices;
  for (const std::string& item : items) choices << QString::fromStdString(item);
  bool ok = false;
  const QString chosen = QInputDialog::getItem(owner_, QString::fromUtf8(title.c_str()),
                                               QString::fromUtf8(label.c_str()), choices, 0, false, &ok);
  if (!ok || chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> QtUiPrompts::openFile(const std::string& title, const std::string& filter) {
  return openFileIn(title, filter, {});
}

std::optional<std::string> QtUiPrompts::openFileIn(const std::string& title, const std::string& filter,
                                                   const std::string& folder) {
  const QString path = QFileDialog::getOpenFileName(owner_, QString::fromUtf8(title.c_str()),
                                                    QString::fromUtf8(folder.c_str()), QtNameFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace glyphmill
