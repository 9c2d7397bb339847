// UiPrompts: the window's own modal questions that are not part of the core's Dialogs seam: the one
// colour dialog (shared by the three swatches and the preview strip), the open dialogs and a
// choice from a list.
// The window program serves it with Qt dialogs (QtUiPrompts); the tests script it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glyphmill {

class UiPrompts {
 public:
  virtual ~UiPrompts() = default;

  // The colour dialog preset to `initial` (a colour reference); the chosen plain colour, or
  // nothing when cancelled. The dialog keeps the colour it last held.
  virtual std::optional<uint32_t> chooseColour(uint32_t initial) = 0;
  // The colour dialog preset to the colour it last held (the preview strip's double-click).
  virtual std::optional<uint32_t> chooseColourAgain() = 0;

  // A choice of one of `items` under a title and a label; the chosen item, or nothing when
  // cancelled.
  virtual std::optional<std::string> chooseItem(const std::string& title, const std::string& label,
                                                const std::vector<std::string>& items) = 0;

  // The open dialog with a title and a "Caption|pattern" filter; the chosen path, or nothing.
  virtual std::optional<std::string> openFile(const std::string& title, const std::string& filter) = 0;
  // The same, starting in `folder` (empty: wherever the dialog starts by itself). Prompts that
  // have no notion of a folder answer as openFile does.
  virtual std::optional<std::string> openFileIn(const std::string& title, const std::string& filter,
                                                const std::string& folder) {
    (void)folder;
    return openFile(title, filter);
  }
};

}  // namespace glyphmill
