#include "app/loaded_project.h"

#include <utility>

#include "app/font_file_commands.h"
#include "app/settings_ranges.h"
#include "app/texture_size.h"

namespace glyphmill {

AppliedProject ApplyLoadedProject(AppState& state, ProjectData& project, const StatusCallback& status,
                                  bool addFontFile) {
  AppliedProject applied;
  const uint16_t previousWidth = state.settings.textureWidth;
  const uint16_t previousHeight = state.settings.textureHeight;
  TakeProjectExtensions(state, project, status, addFontFile);
  state.settings = project.settings;
  state.selection = project.selection;
  state.jobs = std::move(project.jobs);
  applied.limitNotice = LimitedFieldsNotice(LimitToOfferedRanges(state.settings));
  state.tables.selectedCount = CountSelected(state.selection);
  state.fontChanged = true;
  applied.loadedWidth = state.settings.textureWidth;
  applied.loadedHeight = state.settings.textureHeight;
  applied.sizeOutOfRange = !IsTextureSide(applied.loadedWidth) || !IsTextureSide(applied.loadedHeight);
  if (applied.sizeOutOfRange) {
    state.settings.textureWidth = previousWidth;
    state.settings.textureHeight = previousHeight;
  }
  return applied;
}

}  // namespace glyphmill
