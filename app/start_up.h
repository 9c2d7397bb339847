// Start-up steps of the core that every front end runs.
#pragma once

#include <string>

#include "app/app_state.h"

namespace glyphmill {

// FillFontCatalogue: lists the installed families, sets the default selection (33..132), marks the
// font changed and takes the first measurement with the preselected entry ("Arial" when installed)
// at the given size and style. False with a message when that font cannot be measured (the
// catalogue and selection are filled either way).
bool FillFontCatalogue(AppState& state, int pointSize, bool bold, bool italic, std::string* error);

}  // namespace glyphmill
