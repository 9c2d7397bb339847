// SettingsHistory: undo and redo of what a person changes in the window, as whole snapshots of the
// settings record, the extra settings and the character selection.
//
// The history is a list of states with a current position. Each change records the state after
// it; undo moves back one state, redo forward. A change after an undo drops the states that could
// have been redone. Changes of one control that follow each other closely (dragging a track bar,
// typing digits into a box, holding an up-down) form one burst and one step: the burst's state is
// replaced instead of a new one added. A change that is an action of its own (a colour choice, an
// accepted character range, a project load) is recorded with kSeparateStep and never merges.
//
// Plain data and no clock of its own: the caller passes each change's time in milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "settings/character_selection.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

struct SettingsSnapshot {
  GenerationSettings settings;
  GenerationExtras extras;
  CharacterSelection selection{};
  bool operator==(const SettingsSnapshot& other) const;
};

class SettingsHistory {
 public:
  // A change source that never merges with another change.
  static constexpr int kSeparateStep = -1;
  // Changes of one source closer together than this form one step.
  static constexpr uint32_t kBurstMilliseconds = 1000;
  // Steps kept; older ones are forgotten (each snapshot holds the 64 KB selection).
  static constexpr std::size_t kDefaultDepth = 100;

  explicit SettingsHistory(std::size_t depth = kDefaultDepth);

  // Forgets every step and starts from `current` (start-up, after the autosave is loaded).
  void reset(const SettingsSnapshot& current);

  // The state after one change made by `source` (a control's number, or kSeparateStep) at
  // `tickMs`. A state equal to the current one records nothing. Returns whether a new step was
  // added (false also when it merged into the running burst).
  bool record(const SettingsSnapshot& after, int source, uint32_t tickMs);

  // Ends the running burst: the next change starts a new step even from the same source.
  void endBurst() { burstOpen_ = false; }

  bool canUndo() const { return current_ > 0; }
  bool canRedo() const { return current_ + 1 < states_.size(); }
  // The state to show after undoing or redoing one step; nothing when there is none.
  std::optional<SettingsSnapshot> undo();
  std::optional<SettingsSnapshot> redo();

  // Steps that can be undone and redone.
  std::size_t undoSteps() const { return current_; }
  std::size_t redoSteps() const { return states_.empty() ? 0 : states_.size() - 1 - current_; }

 private:
  std::size_t depth_;
  std::deque<SettingsSnapshot> states_;  // states_[current_] is what the window shows
  std::size_t current_ = 0;
  bool burstOpen_ = false;
  int burstSource_ = kSeparateStep;
  uint32_t burstTick_ = 0;
};

}  // namespace glyphmill
