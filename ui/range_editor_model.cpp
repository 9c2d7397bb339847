#include "ui/range_editor_model.h"

#include <algorithm>

#include "settings/text_characters.h"
#include "settings/unicode_blocks.h"

namespace glyphmill {

namespace {

constexpr int32_t kLastCodeUnit = 65535;
constexpr const char* kSelectedSuffix = " Characters Selected.";
constexpr uint32_t kWhite = 0xFFFFFF;  // the tint of "Basic Latin", used when colour is off

int32_t ClampToCodeUnit(int64_t cellIndex) {
  return static_cast<int32_t>(std::clamp<int64_t>(cellIndex, 0, kLastCodeUnit));
}

}  // namespace

std::string SelectionCountText(uint32_t selectedCount) { return std::to_string(selectedCount) + kSelectedSuffix; }

void RangeEditorModel::layout(int gridWidth) {
  columns_ = std::max(1, gridWidth / kRangeCellSize - 1);
  rows_ = viewCount() / columns_ + 1;
}

int32_t RangeEditorModel::viewCount() const {
  if (showEntireRange_) return static_cast<int32_t>(kCodeUnitCount);
  return std::clamp<int32_t>(tables_.supportedCount, 0, static_cast<int32_t>(kCodeUnitCount));
}

std::optional<uint16_t> RangeEditorModel::codeUnitAt(int64_t cellIndex) const {
  if (cellIndex < 0 || cellIndex >= viewCount()) return std::nullopt;
  if (showEntireRange_) return static_cast<uint16_t>(cellIndex);
  const uint32_t c = tables_.supportedList[static_cast<size_t>(cellIndex)];
  if (c > static_cast<uint32_t>(kLastCodeUnit)) return std::nullopt;
  return static_cast<uint16_t>(c);
}

uint32_t RangeEditorModel::backgroundOf(uint16_t codeUnit) const {
  if (selection_[codeUnit]) return kHighlight;
  return useColour_ ? BlockTint(BlockOf(codeUnit)) : kWhite;
}

void RangeEditorModel::press(int64_t cellIndex, bool leftButton) {
  dragAnchor_ = ClampToCodeUnit(cellIndex);
  dragCurrent_ = dragAnchor_;
  dragMode_ = leftButton ? DragMode::Select : DragMode::Deselect;
}

bool RangeEditorModel::move(int64_t cellIndex) {
  if (dragMode_ == DragMode::None) return false;
  dragCurrent_ = ClampToCodeUnit(cellIndex);
  // A run in reading order, not a rectangle; earlier cells of the drag keep what it set.
  const int32_t from = std::min(dragAnchor_, dragCurrent_);
  const int32_t to = std::max(dragAnchor_, dragCurrent_);
  for (int32_t p = from; p <= to; ++p) apply(p);
  return true;
}

void RangeEditorModel::apply(int32_t p) {
  const uint8_t value = dragMode_ == DragMode::Select ? 1 : 0;
  if (showEntireRange_) {
    // Only code units the font has can be selected; any can be cleared.
    if (value == 0 || tables_.fontSupport[static_cast<size_t>(p)]) selection_[static_cast<size_t>(p)] = value;
    return;
  }
  if (auto c = codeUnitAt(p)) selection_[*c] = value;
}

void RangeEditorModel::selectAll() {
  for (size_t c = 0; c < kCodeUnitCount; ++c) selection_[c] = tables_.fontSupport[c] ? 1 : 0;
  RecountSelection(selection_, tables_);
}

void RangeEditorModel::selectNone() {
  selection_.fill(0);
  RecountSelection(selection_, tables_);
}

std::string RangeEditorModel::updateSelectionLabel() {
  RecountSelection(selection_, tables_);
  return SelectionCountText(tables_.selectedCount);
}

std::optional<CharacterInfo> RangeEditorModel::characterInfo(int64_t cellIndex) const {
  const std::optional<uint16_t> c = codeUnitAt(cellIndex);
  if (!c) return std::nullopt;
  CharacterInfo info;
  info.unicode = CodePointNotation(*c);
  info.codepage = std::string(BlockName(BlockOf(*c)));
  info.supported = tables_.fontSupport[*c] != 0;
  const uint8_t font = tables_.glyphFont[*c];
  if (info.supported && font > 0 && font <= tables_.fallbacks.labels.size())
    info.fallbackFont = tables_.fallbacks.labels[font - 1];
  return info;
}

std::optional<int32_t> RangeEditorModel::jumpCell(int blockIndex) const {
  if (!showEntireRange_) return std::nullopt;
  const int32_t first = JumpTarget(blockIndex);
  if (first < 0) return std::nullopt;
  return first;  // in the entire-range view a cell's index is its code unit
}

void SyncSupportedList(FontTables& tables) {
  int32_t marked = 0;
  for (uint8_t s : tables.fontSupport) marked += s != 0;
  bool consistent = tables.supportedCount == marked;
  for (int32_t i = 0; consistent && i < tables.supportedCount; ++i) {
    const uint32_t c = tables.supportedList[static_cast<size_t>(i)];
    consistent =
        c < kCodeUnitCount && tables.fontSupport[c] && (i == 0 || c > tables.supportedList[static_cast<size_t>(i - 1)]);
  }
  if (consistent) return;
  tables.supportedCount = 0;
  for (size_t c = 0; c < kCodeUnitCount; ++c)
    if (tables.fontSupport[c])
      tables.supportedList[static_cast<size_t>(tables.supportedCount++)] = static_cast<uint32_t>(c);
}

}  // namespace glyphmill
