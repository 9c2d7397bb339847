// Saving and loading projects from the window, and the autosave.

#include <QCheckBox>
#include <QComboBox>

#include "app/font_file_commands.h"
#include "app/settings_ranges.h"
#include "app/texture_size.h"
#include "export/job_queue.h"
#include "project/project_io.h"
#include "project/project_messages.h"
#include "ui/main_window.h"
#include "ui/settings_undo.h"

namespace glyphmill {

std::string TForm1::autosavePath() const { return AutosavePath(options_.environment); }

bool TForm1::withSettingsRead(const std::function<bool()>& write) {
  // WriteProject: all settings are read first, with "Auto Generate" off so that reading them arms
  // no generation; the box gets its state back afterwards.
  const bool autoGenerate = ui.CheckBox8->isChecked();
  ui.CheckBox8->setChecked(false);
  ReadAllSettings();
  const bool ok = write();
  ui.CheckBox8->setChecked(autoGenerate);
  return ok;
}

bool TForm1::WriteProjectFile(const std::string& path, std::string* error) {
  return withSettingsRead([&] {
    return glyphmill::WriteProjectFile(path, state_.settings, state_.selection, state_.jobs,
                                       RegistryNames(state_.registry), error, ProjectExtensionsToSave(state_));
  });
}

bool TForm1::WriteAutosaveFile() {
  const std::string path = autosavePath();
  std::string error;
  const bool ok = withSettingsRead([&] {
    return WriteAutosave(path, state_.settings, state_.selection, state_.jobs, RegistryNames(state_.registry), &error,
                         ProjectExtensionsToSave(state_));
  });
  if (!ok)
    dialogs_.showMessage({project_text::kAutosaveFailedCaption, project_text::AutosaveFailed(path, error),
                          DialogIcon::Warning, DialogOwner::MainWindow});
  return ok;
}

void TForm1::SaveFontProject1Click() {
  const std::string chosen = dialogs_.promptSaveFile(ProjectSaveRequest());
  if (chosen == kCancelMarker) return;
  const std::string path = ForceProjectExtension(chosen);
  std::string error;
  if (WriteProjectFile(path, &error)) {
    SetStatus(project_text::Saved(path));
    setProjectPath(path);
  } else
    SetStatus(project_text::SaveFailed(error));
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
  const uint16_t previousWidth = state_.settings.textureWidth;
  const uint16_t previousHeight = state_.settings.textureHeight;
  bool sizeOutOfRange = false;
  std::optional<std::string> limitNotice;
  uint16_t loadedWidth = 0, loadedHeight = 0;
  if (load.outcome == LoadOutcome::Loaded && load.project) {
    // The project's font file joins the font list before its font name is looked up there.
    TakeProjectExtensions(state_, *load.project, [this](const std::string& text) { SetStatus(text); });
    FillFontList();
    state_.settings = load.project->settings;
    state_.selection = load.project->selection;
    state_.jobs = std::move(load.project->jobs);
    // Values no control offers are limited as the controls would; the notice is shown last.
    limitNotice = LimitedFieldsNotice(LimitToOfferedRanges(state_.settings));
    // The loaded selection is counted now and pruned against the font at the next measurement,
    // whether or not its font is installed, so the job table always matches the selection.
    uint32_t selected = 0;
    for (uint8_t flag : state_.selection) selected += flag != 0;
    state_.tables.selectedCount = selected;
    state_.fontChanged = true;
    // A size no texture can have is never allocated: the previous size stays in the record and
    // the loaded numbers go into the boxes, where applying them reports the refusal.
    loadedWidth = state_.settings.textureWidth;
    loadedHeight = state_.settings.textureHeight;
    sizeOutOfRange =
        loadedWidth < 1 || loadedWidth > kMaxTextureSide || loadedHeight < 1 || loadedHeight > kMaxTextureSide;
    if (sizeOutOfRange) {
      state_.settings.textureWidth = previousWidth;
      state_.settings.textureHeight = previousHeight;
    }
  }
  // In every case: the record back into the controls, then the texture size applied.
  WriteSettingsToControls();
  if (sizeOutOfRange) {
    ui.txtWidth->setEditText(QString::number(loadedWidth));
    ui.txtHeight->setEditText(QString::number(loadedHeight));
  }
  ReadSetting(10);
  if (limitNotice && !sizeOutOfRange) SetStatus(*limitNotice);
  if (load.outcome == LoadOutcome::Loaded && path != autosavePath()) setProjectPath(path);
}

}  // namespace glyphmill
