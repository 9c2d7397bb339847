// What the character range editor shows and does, without window code: which code unit a grid
// cell holds, the selection painting of a drag, "Select All" / "Select None", the character info
// of a cell and the jump targets. It edits the application's CharacterSelection in place and
// keeps selectedCount current through RecountSelection.
//
// Cells are numbered in reading order: cell (column x, row y) is y * columns + x. With the entire
// range shown, cell i holds code unit i (cells past 65,535 are empty); otherwise cell i holds
// SupportedList[i] for i below supportedCount and later cells are empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/character_selection.h"
#include "settings/font_metrics.h"

namespace glyphmill {

inline constexpr int kRangeCellSize = 32;  // pixels a side, not counting the grid line

// The drag modes of the selection painting.
enum class DragMode : int32_t { None = 0, Select = 1, Deselect = 2 };

// ShowCharacterInfo's three values for one code unit.
struct CharacterInfo {
  std::string unicode;       // "U+" and four upper-case hexadecimal digits
  std::string codepage;      // the block's name, empty outside every block
  bool supported = false;    // shown as "yes" (green) or "no" (red)
  std::string fallbackFont;  // the fallback it is drawn from; empty for the chosen font's own
};

class RangeEditorModel {
 public:
  RangeEditorModel(CharacterSelection& selection, FontTables& tables) : selection_(selection), tables_(tables) {}

  bool showEntireRange() const { return showEntireRange_; }
  void setShowEntireRange(bool on) { showEntireRange_ = on; }
  bool useColour() const { return useColour_; }
  void setUseColour(bool on) { useColour_ = on; }

  // FormResize: columns := trunc(width / 32) - 1, at least 1 so that a grid narrower than two
  // cells still shows one column; rows := trunc(N / columns) + 1, N the code units in view.
  void layout(int gridWidth);
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // Code units the view shows: 65,536, or supportedCount (limited to the table) without the entire range.
  int32_t viewCount() const;

  // The code unit of a cell, or nullopt for an empty cell (or a negative index).
  std::optional<uint16_t> codeUnitAt(int64_t cellIndex) const;
  // The background of a cell's code unit: highlight (selected), block tint or white; 0xRRGGBB,
  // with kHighlight standing for the system highlight colour.
  static constexpr uint32_t kHighlight = 0xFF000000u;
  uint32_t backgroundOf(uint16_t codeUnit) const;

  // Mouse: a press on a cell starts a drag (left button selects, any other deselects); a move
  // over a cell paints the run from the anchor to it (true when a drag is on: the caller repaints
  // and updates the count line); a release is handled as a move at the release point and then
  // ends the drag.
  void press(int64_t cellIndex, bool leftButton);
  bool move(int64_t cellIndex);
  void endDrag() { dragMode_ = DragMode::None; }
  DragMode dragMode() const { return dragMode_; }
  int32_t dragAnchor() const { return dragAnchor_; }
  int32_t dragCurrent() const { return dragCurrent_; }

  // "Select All": exactly the supported code units. "Select None": nothing. Both recount.
  void selectAll();
  void selectNone();
  // UpdateSelectionLabel: RecountSelection, then the count line.
  std::string updateSelectionLabel();

  // ShowCharacterInfo for a cell; nullopt when the cell holds no code unit (nothing changes then).
  std::optional<CharacterInfo> characterInfo(int64_t cellIndex) const;

  // The jump list: the cell index of a block's first code unit (its row becomes the top row);
  // nullopt outside the table.
  std::optional<int32_t> jumpCell(int blockIndex) const;

 private:
  void apply(int32_t cellIndex);

  CharacterSelection& selection_;
  FontTables& tables_;
  bool showEntireRange_ = false;
  bool useColour_ = true;
  int columns_ = 1;
  int rows_ = 1;
  DragMode dragMode_ = DragMode::None;
  int32_t dragAnchor_ = 0;
  int32_t dragCurrent_ = 0;
};

// The count line: "N Characters Selected.".
std::string SelectionCountText(uint32_t selectedCount);

// Keeps the supported-only view to real code units: when SupportedList and supportedCount do not
// describe exactly the code units FontSupport marks (a font whose Unicode ranges could not be
// read marks every code unit and leaves the list as it was), the list is rebuilt from FontSupport
// in ascending order.
void SyncSupportedList(FontTables& tables);

}  // namespace glyphmill
