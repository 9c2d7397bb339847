#include "app/settings_history.h"

#include <cstring>

namespace glyphmill {

bool SettingsSnapshot::operator==(const SettingsSnapshot& other) const {
  // The record is compared by its stored form, so padding and unused bytes never differ.
  return SettingsToBytes(settings) == SettingsToBytes(other.settings) && extras == other.extras &&
         selection == other.selection;
}

SettingsHistory::SettingsHistory(std::size_t depth) : depth_(depth < 1 ? 1 : depth) {}

void SettingsHistory::reset(const SettingsSnapshot& current) {
  states_.clear();
  states_.push_back(current);
  current_ = 0;
  burstOpen_ = false;
}

bool SettingsHistory::record(const SettingsSnapshot& after, int source, uint32_t tickMs) {
  if (states_.empty()) {
    reset(after);
    return false;
  }
  if (after == states_[current_]) return false;
  // A change after an undo drops what could have been redone.
  const bool redoDropped = canRedo();
  states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(current_) + 1, states_.end());
  const bool merges = !redoDropped && burstOpen_ && source != kSeparateStep && source == burstSource_ && current_ > 0 &&
                      tickMs - burstTick_ <= kBurstMilliseconds;
  burstOpen_ = source != kSeparateStep;
  burstSource_ = source;
  burstTick_ = tickMs;
  if (merges) {
    states_[current_] = after;
    return false;
  }
  states_.push_back(after);
  ++current_;
  while (states_.size() > depth_ + 1) {
    states_.pop_front();
    --current_;
  }
  return true;
}

std::optional<SettingsSnapshot> SettingsHistory::undo() {
  burstOpen_ = false;
  if (!canUndo()) return std::nullopt;
  --current_;
  return states_[current_];
}

std::optional<SettingsSnapshot> SettingsHistory::redo() {
  burstOpen_ = false;
  if (!canRedo()) return std::nullopt;
  ++current_;
  return states_[current_];
}

}  // namespace glyphmill
