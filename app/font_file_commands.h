// Font files in the application: opening one (window menu, drop, command line), the font file a
// loaded project names, and what a saved project stores about them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "project/project_file.h"
#include "project/project_io.h"

namespace glyphmill {

// Adds a font file to the session (settings/font_file_set.h) and rebuilds the catalogue with its
// families marked. `faceIndex` picks the face whose family is returned in `*family` (nullopt:
// the file's first family). False with a message naming the file when it cannot be read or has no
// such face; nothing changes then.
bool OpenFontFile(AppState& state, const std::string& path, std::optional<int32_t> faceIndex, std::string* family,
                  std::string* error);

// Lists the catalogue again, marking the families that came from files.
void RefreshFontCatalogue(AppState& state);

// Takes over a loaded project's extension block: entries of unknown types are kept for the next
// save, and the project's font file is added. When the file is missing or unreadable, a "!" notice
// names it, the stored font name stays, and the reference is remembered for the next save. When
// the file no longer carries the stored family, the family of the stored face is chosen.
// `addFontFile` false takes the block without adding the font file (another file was named).
void TakeProjectExtensions(AppState& state, ProjectData& project, const StatusCallback& status,
                           bool addFontFile = true);

// The extension block a project saved now stores: the kept unknown entries and the font file of
// the selected family, when it came from one.
ProjectExtensions ProjectExtensionsToSave(const AppState& state);

// The notice for a project's font file that cannot be added.
std::string FontFileMissingNotice(const std::string& path, const std::string& fontName, const std::string& why);

}  // namespace glyphmill
