// Saving and loading projects from the window, and the autosave.

#include <QCheckBox>
#include <QComboBox>

#include "app/font_file_commands.h"
#include "app/loaded_project.h"
#include "export/job_queue.h"
#include "project/project_io.h"
#include "project/project_messages.h"
#include "ui/main_window.h"
#include "ui/settings_undo.h"

namespace glyphmill {

std::string TForm1::autosavePath() const { return AutosavePath(options_.environment); }

// WriteProject: every setting is read from the controls first (which arms no generation), then the
// file is written.
Result<void> TForm1::WriteProjectFile(const std::string& path) {
  ReadAllSettings();
  return glyphmill::WriteProjectFile(path, state_.settings, state_.selection, state_.jobs,
                                     RegistryNames(state_.registry), ProjectExtensionsToSave(state_));
}

bool TForm1::WriteAutosaveFile() {
  const std::string path = autosavePath();
  ReadAllSettings();
  const Result<void> written = WriteAutosave(path, state_.settings, state_.selection, state_.jobs,
                                             RegistryNames(state_.registry), ProjectExtensionsToSave(state_));
  if (!written)
    dialogs_.showMessage({project_text::kAutosaveFailedCaption, project_text::AutosaveFailed(path, written.error()),
                          DialogIcon::Warning, DialogOwner::MainWindow});
  return written.has_value();
}

void TForm1::SaveFontProject1Click() {
  const std::optional<std::string> chosen = PromptProjectPath(dialogs_);
  if (!chosen) return;
  ReadAllSettings();
  const Result<std::string> saved = SaveProjectFile(
      *chosen, state_.settings, state_.selection, state_.jobs, RegistryNames(state_.registry),
      [this](const std::string& text) { SetStatus(text); }, ProjectExtensionsToSave(state_));
  if (saved) setProjectPath(*saved);
}

void TForm1::LoadProject1Click() {
  const std::optional<std::string> path =
      prompts_.openFile(project_text::kLoadDialogTitle, project_text::kLoadDialogFilter);
  if (path) LoadProjectFile(*path);
}

void TForm1::LoadProjectFile(const std::string& path) {
  // The whole load is one step to undo.
  const SettingsUndo::ActionGuard step(undo_);
  ProjectLoad load = glyphmill::LoadProjectFile(path, RegistryNames(state_.registry), dialogs_,
                                                [this](const std::string& text) { SetStatus(text); });
  TakeProjectLoad(load, path);
}

void TForm1::LoadAutosaveFile() {
  const std::string path = autosavePath();
  if (path.empty()) return;
  const SettingsUndo::ActionGuard step(undo_);
  ProjectLoad load = LoadAutosave(path, RegistryNames(state_.registry), dialogs_,
                                  [this](const std::string& text) { SetStatus(text); });
  if (load.outcome != LoadOutcome::Absent) TakeProjectLoad(load, path);
}

void TForm1::TakeProjectLoad(ProjectLoad& load, const std::string& path) {
  const StatusCallback status = [this](const std::string& text) { SetStatus(text); };
  AppliedProject applied;
  if (load.outcome == LoadOutcome::Loaded && load.project) {
    applied = ApplyLoadedProject(state_, *load.project, status);
    // The project's font file has joined the catalogue: the font list shows it.
    FillFontList();
  }
  // In every case: the record back into the controls, then the texture size applied. A refused
  // size goes into the boxes, where applying it reports the refusal.
  WriteSettingsToControls();
  if (applied.sizeOutOfRange) {
    ui.txtWidth->setEditText(QString::number(applied.loadedWidth));
    ui.txtHeight->setEditText(QString::number(applied.loadedHeight));
  }
  ReadSetting(SettingSelector::TextureSize);
  // The notice of limited values is shown last.
  if (applied.limitNotice && !applied.sizeOutOfRange) SetStatus(*applied.limitNotice);
  if (load.outcome == LoadOutcome::Loaded && path != autosavePath()) setProjectPath(path);
}

}  // namespace glyphmill
