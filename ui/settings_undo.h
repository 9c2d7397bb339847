// Undo and redo in the main window: the Edit menu's two commands over a SettingsHistory of the
// settings record, the extra settings and the character selection.
//
// Every change the window reads (ReadSetting; not ReadAllSettings, which changes nothing shown) is
// recorded; changes of one control in quick
// succession are one step; a colour choice, an accepted character range and a project load are a
// step each. Undoing writes the snapshot back into the state and the controls the way a project
// load does, then runs the change notification, so the automatic generation follows as for any
// change. Ctrl+Z and Ctrl+Shift+Z are window shortcuts that a text box with the focus takes for
// its own text first.
#pragma once

#include <QObject>

#include "app/settings_history.h"
#include "settings/setting_selector.h"

class QAction;

namespace glyphmill {

class TForm1;

class SettingsUndo : public QObject {
  Q_OBJECT
 public:
  explicit SettingsUndo(TForm1& window);

  QAction* undoAction() const { return undo_; }
  QAction* redoAction() const { return redo_; }
  const SettingsHistory& history() const { return history_; }

  // Starts the history afresh from what the window holds now.
  void reset();
  // A setting was read from control `selector` (None: a change of no one control).
  void changed(SettingSelector selector);
  // A change that is one step of its own (a colour choice, a loaded project).
  void changedAsStep();

  void undo();
  void redo();

  // While an action runs (a project load), the settings it reads are not steps of their own; the
  // whole action becomes one step when the guard ends.
  class ActionGuard {
   public:
    explicit ActionGuard(SettingsUndo* undo) : undo_(undo) {
      if (undo_) ++undo_->paused_;
    }
    ~ActionGuard() {
      if (!undo_) return;
      --undo_->paused_;
      undo_->changedAsStep();
    }
    ActionGuard(const ActionGuard&) = delete;
    ActionGuard& operator=(const ActionGuard&) = delete;

   private:
    SettingsUndo* undo_;
  };

 private:
  SettingsSnapshot current() const;
  void apply(const SettingsSnapshot& snapshot);
  void updateActions();

  TForm1& window_;
  SettingsHistory history_;
  QAction* undo_;
  QAction* redo_;
  int paused_ = 0;
  bool applying_ = false;
};

}  // namespace glyphmill
