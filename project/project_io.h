// Project commands over files: load with its notices, save with the ".gmp" extension forced, and
// the autosave.
//
// Refusals are shown through Dialogs (caption "File Error", error icon, owned by the main window);
// status notices go to the status callback. Applying a loaded project to the window (copying the
// record into the controls, applying the texture size, recounting the selection) is the caller's
// part: these functions only hand back what was read.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "export/dialogs.h"
#include "project/project_file.h"

namespace glyphmill {

using StatusCallback = std::function<void(const std::string&)>;

// What a load gave: the project when it was read, and whether it was refused or failed otherwise.
enum class LoadOutcome { Loaded, Refused, Failed, Absent };  // Absent: no autosave to load
struct ProjectLoad {
  LoadOutcome outcome = LoadOutcome::Failed;
  std::optional<ProjectData> project;  // set only for Loaded
};

// LoadProjectFile: opens and reads `path`. Loaded: status ".Project Loaded Succesfully."; a font
// file path of the extension block comes back absolute (a stored relative one against the
// project's folder).
// Refused: the refusal's message box. A failure while opening or reading: status
// "!Error while loading project! " + the failure's message. In every case the caller then writes
// its settings back to the controls and applies the texture size.
ProjectLoad LoadProjectFile(const std::string& path, const PluginNames& plugins, Dialogs& dialogs,
                            const StatusCallback& status);

// Writes a project file at `path` exactly as given, by ReplaceFileContents (safe_file_write.h):
// the old file is never cut short, a link is written through, permission bits are kept. Refreshes
// the jobs' plug-in names. A font file of `extensions` is stored relative to the project's folder
// when it lies in it or below it. The failure's message on failure.
Result<void> WriteProjectFile(const std::string& path, const GenerationSettings& settings,
                              const CharacterSelection& selection, ExportJobQueue& jobs, const PluginNames& plugins,
                              const ProjectExtensions& extensions = {});

// Saving under a chosen name (SaveFontProject1Click after its prompt): the path is the name with
// ".gmp" forced; status ".Project saved to PATH succesfully." or "!Error while saving: " + the
// failure's message. Returns the path written, or the failure's message.
Result<std::string> SaveProjectFile(const std::string& chosenPath, const GenerationSettings& settings,
                                    const CharacterSelection& selection, ExportJobQueue& jobs,
                                    const PluginNames& plugins, const StatusCallback& status,
                                    const ProjectExtensions& extensions = {});

// The save prompt of a project ("Save Glyphmill Project", "Glyphmill Project|*.gmp"): the chosen
// name, or nullopt when the prompt was cancelled.
std::optional<std::string> PromptProjectPath(Dialogs& dialogs);

// The path a project is saved under: the chosen name with its extension replaced by ".gmp"
// (added when it has none), by the same rule as the extensions of export files.
std::string ForceProjectExtension(const std::string& path);

// The save dialog's request for a project: its title and the ".gmp" filter.
SaveFileRequest ProjectSaveRequest();

// Writes the autosave at `path` (app/install_paths.h says where it lives), creating its folder
// when needed. The reason on failure: the caller reports it, because a lost autosave loses the
// user's session.
Result<void> WriteAutosave(const std::string& path, const GenerationSettings& settings,
                           const CharacterSelection& selection, ExportJobQueue& jobs, const PluginNames& plugins,
                           const ProjectExtensions& extensions = {});

// Loads the autosave at `path` when it exists (as LoadProjectFile, with the same notices);
// outcome Absent, with nothing shown, when there is none.
ProjectLoad LoadAutosave(const std::string& path, const PluginNames& plugins, Dialogs& dialogs,
                         const StatusCallback& status);

}  // namespace glyphmill
