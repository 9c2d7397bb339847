#include "ui/settings_undo.h"

#include <QAction>

#include "render/tick_count.h"
#include "ui/main_window.h"

namespace glyphmill {

SettingsUndo::SettingsUndo(TForm1& window) : QObject(&window), window_(window) {
  undo_ = new QAction("&Undo", this);
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_ = new QAction("&Redo", this);
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  for (QAction* action : {undo_, redo_}) action->setShortcutContext(Qt::WindowShortcut);
  connect(undo_, &QAction::triggered, this, &SettingsUndo::undo);
  connect(redo_, &QAction::triggered, this, &SettingsUndo::redo);
  updateActions();
}

SettingsSnapshot SettingsUndo::current() const {
  const AppState& state = window_.state();
  SettingsSnapshot snapshot;
  snapshot.settings = state.settings;
  snapshot.extras = state.extras;
  snapshot.selection = state.selection;
  return snapshot;
}

void SettingsUndo::reset() {
  history_.reset(current());
  updateActions();
}

void SettingsUndo::changed(SettingSelector selector) {
  if (paused_ > 0 || applying_) return;
  const int source = selector == SettingSelector::None || IsStepOfItsOwn(selector) ? SettingsHistory::kSeparateStep
                                                                                   : static_cast<int>(selector);
  history_.record(current(), source, TickCount());
  updateActions();
}

void SettingsUndo::changedAsStep() { changed(SettingSelector::None); }

void SettingsUndo::undo() {
  if (const std::optional<SettingsSnapshot> snapshot = history_.undo()) apply(*snapshot);
  updateActions();
}

void SettingsUndo::redo() {
  if (const std::optional<SettingsSnapshot> snapshot = history_.redo()) apply(*snapshot);
  updateActions();
}

void SettingsUndo::apply(const SettingsSnapshot& snapshot) {
  applying_ = true;
  AppState& state = window_.state();
  state.settings = snapshot.settings;
  state.extras = snapshot.extras;
  state.selection = snapshot.selection;
  // As after a project load: the selection is counted now and pruned against the font at the
  // next measurement.
  state.tables.selectedCount = CountSelected(state.selection);
  state.fontChanged = true;
  window_.WriteSettingsToControls();
  // The change notification of any change: "Idle" and, with "Auto Generate" on, the automatic
  // generation.
  window_.ReadSetting(SettingSelector::None);
  applying_ = false;
}

void SettingsUndo::updateActions() {
  undo_->setEnabled(history_.canUndo());
  redo_->setEnabled(history_.canRedo());
}

}  // namespace glyphmill
