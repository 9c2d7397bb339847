#include "app/start_up.h"

namespace glyphmill {

bool FillFontCatalogue(AppState& state, int pointSize, bool bold, bool italic, std::string* error) {
  state.catalogue = BuildFontCatalogue(state.fontFiles.families());
  SetDefaultSelection(state.selection);
  state.fontChanged = true;
  if (state.catalogue.entries.empty()) return true;
  const std::string& name = state.catalogue.entries[static_cast<size_t>(state.catalogue.preselectedIndex)].name;
  return state.measurer.Measure(FontRequest{name, pointSize, bold, italic}, state.extras.fallbacks,
                                state.settings.kerning, state.selection, state.fontChanged, state.tables, error);
}

}  // namespace glyphmill
