// Undo and redo of settings snapshots: steps, bursts of one control, separate actions, the redo
// branch dropped by a new change, and the depth limit.

#include <gtest/gtest.h>

#include "app/settings_history.h"

namespace glyphmill {
namespace {

SettingsSnapshot WithSize(int size) {
  SettingsSnapshot s;
  s.settings = FirstStartSettings();
  s.settings.fontSize = static_cast<uint8_t>(size);
  return s;
}

constexpr int kSize = 1;     // a control's number
constexpr int kKerning = 9;  // another control

TEST(SettingsHistorySteps, UndoAndRedoWalkTheRecordedStates) {
  SettingsHistory h;
  h.reset(WithSize(32));
  EXPECT_FALSE(h.canUndo());
  EXPECT_TRUE(h.record(WithSize(20), kSize, 0));
  SettingsSnapshot kerned = WithSize(20);
  kerned.settings.kerning = -5;
  EXPECT_TRUE(h.record(kerned, kKerning, 10));
  EXPECT_EQ(h.undoSteps(), 2u);

  ASSERT_EQ(h.undo(), WithSize(20));
  ASSERT_EQ(h.undo(), WithSize(32));
  EXPECT_FALSE(h.undo());
  EXPECT_EQ(h.redoSteps(), 2u);
  ASSERT_EQ(h.redo(), WithSize(20));
  ASSERT_EQ(h.redo(), kerned);
  EXPECT_FALSE(h.redo());
}

TEST(SettingsHistorySteps, UnchangedStateRecordsNothing) {
  SettingsHistory h;
  h.reset(WithSize(32));
  EXPECT_FALSE(h.record(WithSize(32), kSize, 0));
  EXPECT_FALSE(h.canUndo());
}

TEST(SettingsHistorySteps, ExtrasAndSelectionAreHistoryToo) {
  SettingsHistory h;
  h.reset(WithSize(32));
  SettingsSnapshot compact = WithSize(32);
  compact.extras.cellMode = kCellsCompact;
  EXPECT_TRUE(h.record(compact, SettingsHistory::kSeparateStep, 0));
  SettingsSnapshot ranged = compact;
  ranged.selection[0x20AC] = 1;
  EXPECT_TRUE(h.record(ranged, SettingsHistory::kSeparateStep, 1));
  EXPECT_EQ(h.undo(), compact);
  EXPECT_EQ(h.undo(), WithSize(32));
}

TEST(SettingsHistoryBursts, CloseChangesOfOneControlAreOneStep) {
  SettingsHistory h;
  h.reset(WithSize(32));
  // A track bar dragged, or digits typed: each change within the burst time of the last.
  uint32_t tick = 1000;
  for (int size = 31; size >= 12; --size, tick += SettingsHistory::kBurstMilliseconds / 2)
    h.record(WithSize(size), kSize, tick);
  EXPECT_EQ(h.undoSteps(), 1u);
  EXPECT_EQ(h.undo(), WithSize(32));
  EXPECT_EQ(h.redo(), WithSize(12));
}

TEST(SettingsHistoryBursts, PauseOtherControlOrUndoEndsTheBurst) {
  SettingsHistory h;
  h.reset(WithSize(32));
  h.record(WithSize(30), kSize, 0);
  h.record(WithSize(28), kSize, SettingsHistory::kBurstMilliseconds + 1);  // after a pause
  EXPECT_EQ(h.undoSteps(), 2u);

  SettingsSnapshot kerned = WithSize(28);
  kerned.settings.kerning = 3;
  h.record(kerned, kKerning, SettingsHistory::kBurstMilliseconds + 2);  // another control
  EXPECT_EQ(h.undoSteps(), 3u);

  h.endBurst();
  kerned.settings.kerning = 4;
  h.record(kerned, kKerning, SettingsHistory::kBurstMilliseconds + 3);
  EXPECT_EQ(h.undoSteps(), 4u);
}

TEST(SettingsHistoryBursts, SeparateStepsNeverMerge) {
  SettingsHistory h;
  h.reset(WithSize(32));
  SettingsSnapshot a = WithSize(32), b = WithSize(32);
  a.settings.textColour = 0x0000FF;
  b.settings.textColour = 0x00FF00;
  h.record(a, SettingsHistory::kSeparateStep, 0);
  h.record(b, SettingsHistory::kSeparateStep, 0);
  EXPECT_EQ(h.undoSteps(), 2u);
  EXPECT_EQ(h.undo(), a);
}

TEST(SettingsHistoryBranches, ChangeAfterUndoDropsTheRedoStates) {
  SettingsHistory h;
  h.reset(WithSize(32));
  h.record(WithSize(20), kSize, 0);
  h.endBurst();
  h.record(WithSize(10), kSize, 5000);
  h.undo();
  // Same control, within the burst time of its last change: still a new step, since the state
  // it would merge into was undone.
  EXPECT_TRUE(h.record(WithSize(15), kSize, 5001));
  EXPECT_FALSE(h.canRedo());
  EXPECT_EQ(h.undo(), WithSize(20));
  EXPECT_EQ(h.redo(), WithSize(15));
}

TEST(SettingsHistoryDepth, OldestStepsAreForgotten) {
  SettingsHistory h(3);
  h.reset(WithSize(1));
  for (int size = 2; size <= 6; ++size) h.record(WithSize(size), SettingsHistory::kSeparateStep, 0);
  EXPECT_EQ(h.undoSteps(), 3u);
  h.undo();
  h.undo();
  EXPECT_EQ(h.undo(), WithSize(3));
  EXPECT_FALSE(h.canUndo());
}

TEST(SettingsHistoryReset, ResetForgetsEverything) {
  SettingsHistory h;
  h.reset(WithSize(32));
  h.record(WithSize(20), kSize, 0);
  h.reset(WithSize(8));
  EXPECT_FALSE(h.canUndo());
  EXPECT_FALSE(h.canRedo());
  EXPECT_TRUE(h.record(WithSize(9), kSize, 0));
  EXPECT_EQ(h.undo(), WithSize(8));
}

}  // namespace
}  // namespace glyphmill
