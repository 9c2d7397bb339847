// FallbackFontList: the window's ordered list of fallback fonts (the "Fallbacks" page of the
// settings column, under the font box), and its five buttons: "Add Font File..." (an open dialog), "Add Installed
// Family..." (a choice of the installed families), "Remove", "Up" and "Down". Each edit changes the list the widget
// holds and is announced by `edited`; the window takes the list into its settings from there.
//
// Each entry shows its name (FallbackLabel); one that cannot be opened now (a moved or damaged
// file, a family that is not installed) is shown in red with "(missing)" and stays in the list,
// as it stays in the project.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "settings/fallback_font.h"
#include "ui/ui_prompts.h"

class QListWidget;
class QPushButton;

namespace glyphmill {

class FallbackFontList : public QWidget {
  Q_OBJECT

 public:
  FallbackFontList(UiPrompts& prompts, QWidget* parent);

  // Shows `list` (nothing is announced); the selection moves to the first entry.
  void setFallbacks(const std::vector<FallbackFont>& list);
  const std::vector<FallbackFont>& fallbacks() const { return list_; }
  // The installed families "Add Installed Family..." offers.
  void setFamilies(std::vector<std::string> families) { families_ = std::move(families); }

  // The button handlers, as the buttons call them.
  void addFontFile();
  void addInstalledFamily();
  void removeSelected();
  void moveSelected(int by);

 signals:
  void edited();

 private:
  void refill(int selectRow);
  void updateButtons();
  void take(FallbackFont font);

  UiPrompts& prompts_;
  std::vector<FallbackFont> list_;
  std::vector<std::string> families_;
  QListWidget* view_;
  QPushButton* addFile_;
  QPushButton* addFamily_;
  QPushButton* remove_;
  QPushButton* up_;
  QPushButton* down_;
};

}  // namespace glyphmill
