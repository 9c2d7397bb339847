// ApplyLoadedProject: takes a project that was read into the application state, the same way for
// the window and the command-line tool.
//
// The project's extension block comes first (its font file joins the catalogue before the font
// name is looked up there), then the record, the selection and the job queue. Values no control
// offers are limited (app/settings_ranges.h). The selection is counted at once and pruned against
// the font at the next measurement, whether or not its font is installed, so the job table always
// matches the selection. A texture size no texture can have is never allocated: the previous size
// stays in the record, and the caller reports the refusal with the size the project holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "project/project_file.h"
#include "project/project_io.h"

namespace glyphmill {

// What taking a project came to, for the caller to show.
struct AppliedProject {
  std::optional<std::string> limitNotice;  // LimitedFieldsNotice of the fields that were limited
  bool sizeOutOfRange = false;             // the project's texture size was refused (kept previous)
  uint16_t loadedWidth = 0;                // the texture size the project holds
  uint16_t loadedHeight = 0;
};

// Takes `project` (its job queue is moved out) into `state`. `addFontFile` false takes the
// extension block without adding its font file (the command line named another one). Notices of
// the font file go to `status`.
AppliedProject ApplyLoadedProject(AppState& state, ProjectData& project, const StatusCallback& status,
                                  bool addFontFile = true);

}  // namespace glyphmill
