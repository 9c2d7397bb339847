#include "cli/cli_run.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "app/app_state.h"
#include "app/font_file_commands.h"
#include "app/generation_driver.h"
#include "app/install_paths.h"
#include "app/loaded_project.h"
#include "app/texture_size.h"
#include "cli/char_ranges.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_front_end.h"
#include "cli/exit_status.h"
#include "cli/output_path.h"
#include "cli/terminal_text.h"
#include "export/job_queue.h"
#include "project/project_io.h"
#include "settings/font_catalogue.h"
#include "settings/font_files.h"
#include "settings/text_characters.h"

namespace glyphmill::cli {
namespace {

// One line per plug-in: index, name, type, extension and the folder it was loaded from.
void ListPlugins(const PluginRegistry& registry, std::ostream& out) {
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const TExportPlugin& p = registry.at(i);
    const std::string::size_type slash = p.Path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : p.Path.substr(0, slash);
    out << i << '\t' << EscapeControls(p.Name) << '\t' << static_cast<int>(p.pluginType()) << '\t'
        << EscapeControls(p.hasExtension() ? p.extension() : std::string()) << '\t' << EscapeControls(folder) << '\n';
  }
}

// The folders searched for plug-ins: the one given with --plugins, else the usual search folders.
std::vector<std::string> PluginFolders(const CliOptions& o) {
  if (o.pluginsDir) return {*o.pluginsDir};
  return PluginSearchFolders(ProcessEnvironment());
}

void ListFonts(const AppState& state, std::ostream& out) {
  for (const FontCatalogueEntry& entry : BuildFontCatalogue(state.fontFiles.families()).entries)
    out << EscapeControls(entry.name) << '\n';
}

// --font-file: an empty fontconfig configuration (no system configuration, cache or font folder is
// read) holding only the file, and the family chosen from it (--font, else the face's family).
bool OpenNamedFontFile(const CliOptions& o, AppState& state, std::string* family, Console& console) {
  std::string error;
  // An installed family asked as a fallback needs the system's fonts beside the file.
  const bool needsInstalled =
      o.fallbacks && std::any_of(o.fallbacks->begin(), o.fallbacks->end(),
                                 [](const FallbackFont& f) { return f.kind == kFallbackFamily; });
  if ((!needsInstalled && !UseOnlyApplicationFonts(&error)) ||
      !OpenFontFile(state, *o.fontFile, o.faceIndex, family, &error)) {
    console.error("glyphmill-cli: " + error);
    return false;
  }
  if (!o.font) return true;
  const FontFile& file = state.fontFiles.files().back();
  if (file.faceOfFamily(*o.font) < 0) {
    std::string names;
    for (const std::string& name : file.families()) names += (names.empty() ? "\"" : ", \"") + name + "\"";
    console.error("glyphmill-cli: the font file \"" + file.path + "\" holds no family named \"" + *o.font +
                  "\" (it holds " + names + ")");
    return false;
  }
  *family = *o.font;
  return true;
}

// The first plug-in whose Name is `name`, or -1.
int32_t FindPlugin(const PluginRegistry& registry, const std::string& name) {
  for (std::size_t i = 0; i < registry.size(); ++i)
    if (registry.at(i).Name == name) return static_cast<int32_t>(i);
  return -1;
}

// --chars and --chars-from: the selection becomes the union of what they name.
bool ApplySelectionOverride(const CliOptions& o, AppState& state, Console& console) {
  CharacterSelection selection{};
  std::string error;
  if (o.charRanges && !MarkCharRanges(*o.charRanges, selection, &error)) {
    console.error("glyphmill-cli: " + error);
    return false;
  }
  TextCharacters found;
  if (o.charsFile && !MarkFileCharacters(*o.charsFile, selection, &found, &error)) {
    console.error("glyphmill-cli: " + error);
    return false;
  }
  for (uint32_t codePoint : found.notRepresentable)
    console.error("glyphmill-cli: \"" + *o.charsFile + "\": " + NotRepresentableNotice(codePoint));
  state.selection = selection;
  state.fontChanged = true;  // the new selection is pruned against the font by the measurement
  return true;
}

// The setting overrides, applied to the record and the selection in a fixed order.
bool ApplyOverrides(const CliOptions& o, AppState& state, Console& console) {
  GenerationSettings& s = state.settings;
  if (o.font) s.setFontName(*o.font);
  if (o.fontSize) s.fontSize = *o.fontSize;
  if (o.bold) s.setFlag(kStyleBold, *o.bold);
  if (o.italic) s.setFlag(kStyleItalic, *o.italic);
  if (o.antialiasMode) s.antialiasMode = *o.antialiasMode;
  if (o.sdfSpread) state.extras.sdfSpread = *o.sdfSpread;
  if (o.packOrigin) s.packOrigin = *o.packOrigin;
  if ((o.charRanges || o.charsFile) && !ApplySelectionOverride(o, state, console)) return false;
  if (o.outlineWidth) {
    s.setFlag(kStyleOutline, true);
    s.outlineWidth = *o.outlineWidth;
  }
  if (o.noOutline) s.setFlag(kStyleOutline, false);
  if (o.shadow) s.setFlag(kStyleDropShadow, true);
  if (o.noShadow) s.setFlag(kStyleDropShadow, false);
  if (o.cellMode) state.extras.cellMode = *o.cellMode;
  // Fitting: asked for, or the default of a run without a project and without a size.
  if (o.textureAuto || (!o.projectPath && !o.textureWidth)) state.extras.fitTexture = true;
  if (o.textureWidth) state.extras.fitTexture = false;
  if (o.textureMaxWidth) state.extras.fitMaxWidth = *o.textureMaxWidth;
  if (o.textureMaxHeight) state.extras.fitMaxHeight = *o.textureMaxHeight;
  if (o.pagePixels) state.extras.pagePixels = *o.pagePixels;
  if (o.maxPages) state.extras.maxPages = *o.maxPages;
  if (o.fallbacks) state.extras.fallbacks = *o.fallbacks;
  return true;
}

// The steps of one run after the listings, each a core operation or a check of its outcome. A
// step that ends the run returns its exit status; nullopt goes on.
class CliRun {
 public:
  CliRun(const CliOptions& o, Console& console, CliDialogs& dialogs, AppState& state)
      : o_(o),
        console_(console),
        dialogs_(dialogs),
        state_(state),
        frontEnd_(console, o.guides),
        driver_(state, frontEnd_, dialogs),
        status_([this](const std::string& text) { driver_.SetStatus(text); }) {
    // The command line shows nothing of the result and ends after its export.
    driver_.setExportIsLastUse(true);
  }

  int run(const std::string& fontFileFamily);

 private:
  std::optional<int> startUp();
  void chooseFont(const std::string& fontFileFamily);
  std::optional<int> applyTextureSize();
  bool saveProject();
  std::optional<int> chooseExports(bool* failed);
  std::optional<int> refuseEmptySelection(const FontRequest& font);
  int exportAndFinish(const FontRequest& font, bool failed);

  const CliOptions& o_;
  Console& console_;
  CliDialogs& dialogs_;
  AppState& state_;
  CliFrontEnd frontEnd_;
  GenerationDriver driver_;
  StatusCallback status_;
  PluginNames pluginNames_;
  uint16_t firstWidth_ = 0;
  uint16_t firstHeight_ = 0;
  AppliedProject applied_;  // what taking the project came to (nothing without a project)
};

// Start-up: the plug-ins first (discovery empties the job queue), then the settings, then the
// project when one is named.
std::optional<int> CliRun::startUp() {
  state_.registry.Discover(dialogs_, state_.jobs, PluginFolders(o_));
  pluginNames_ = RegistryNames(state_.registry);
  state_.settings = FirstStartSettings();
  SetDefaultSelection(state_.selection);
  firstWidth_ = state_.settings.textureWidth;
  firstHeight_ = state_.settings.textureHeight;
  if (!o_.projectPath) return std::nullopt;
  ProjectLoad load = LoadProjectFile(*o_.projectPath, pluginNames_, dialogs_, status_);
  if (load.outcome != LoadOutcome::Loaded) return kExitProjectRefused;
  // A font file named on the command line replaces the project's own.
  applied_ = ApplyLoadedProject(state_, *load.project, status_, !o_.fontFile);
  if (applied_.limitNotice) driver_.SetStatus(*applied_.limitNotice);
  return std::nullopt;
}

void CliRun::chooseFont(const std::string& fontFileFamily) {
  if (o_.fontFile) {
    state_.settings.setFontName(fontFileFamily);
  } else if (!o_.projectPath && !o_.font) {
    // Only without a named font is the catalogue listed, for its first-start choice.
    const FontCatalogue catalogue = BuildFontCatalogue();
    state_.settings.setFontName(catalogue.entries.empty()
                                    ? std::string(kDefaultFontName)
                                    : catalogue.entries[static_cast<std::size_t>(catalogue.preselectedIndex)].name);
  }
  state_.fontChanged = true;
}

// The texture size goes through the same check as the window's "Apply". A project's size that no
// texture can have is refused as a whole rather than exported at another size, unless the command
// line replaces it (--texture WIDTHxHEIGHT) or the texture is fitted.
std::optional<int> CliRun::applyTextureSize() {
  if (applied_.sizeOutOfRange && !o_.textureWidth && !state_.extras.fitTexture) {
    console_.error("glyphmill-cli: \"" + o_.projectPath.value_or("") + "\": " + TextureSideRangeError() +
                   " (it holds " + std::to_string(applied_.loadedWidth) + "x" + std::to_string(applied_.loadedHeight) +
                   ")");
    return kExitProjectRefused;
  }
  const uint16_t wantedWidth = o_.textureWidth.value_or(state_.settings.textureWidth);
  const uint16_t wantedHeight = o_.textureHeight.value_or(state_.settings.textureHeight);
  state_.settings.textureWidth = firstWidth_;
  state_.settings.textureHeight = firstHeight_;
  const TextureSizeResult size =
      ApplyTextureSize(state_, std::to_string(wantedWidth), std::to_string(wantedHeight), TextureImages::LeaveToJob);
  if (size.ok) return std::nullopt;
  console_.error("glyphmill-cli: " + size.error);
  return kExitProjectRefused;
}

bool CliRun::saveProject() {
  if (const Result<void> folder = CreateParentFolder(ForceProjectExtension(*o_.saveProject)); !folder) {
    console_.error("glyphmill-cli: " + folder.error());
    return false;
  }
  return SaveProjectFile(*o_.saveProject, state_.settings, state_.selection, state_.jobs, pluginNames_, status_,
                         ProjectExtensionsToSave(state_))
      .has_value();
}

// What to export: the named plug-ins in order, each as a job with its type's defaults, or the
// project's batch queue. A queue job whose plug-in is not loaded is skipped by the export run
// without a word; it is named here and counts as a failure.
std::optional<int> CliRun::chooseExports(bool* failed) {
  if (!o_.exports.empty()) {
    ExportJobQueue named;
    for (const std::string& name : o_.exports) {
      const int32_t index = FindPlugin(state_.registry, name);
      if (index < 0) {
        console_.error("glyphmill-cli: no plug-in is named \"" + name + "\" (see --list-plugins)\n" + ShortUsage());
        return kExitUsage;
      }
      AppendJob(named, state_.registry, index);
    }
    state_.jobs = std::move(named);
    return std::nullopt;
  }
  for (std::size_t i = 0; i < state_.jobs.size(); ++i) {
    const TExportPlugin* plugin = JobPlugin(state_.registry, state_.jobs[i]);
    if (plugin != nullptr && plugin->Usable) continue;
    console_.error("Export job " + std::to_string(i + 1) + ": the plug-in \"" + state_.jobs[i].pluginNameString() +
                   "\" is not loaded.");
    *failed = true;
  }
  return std::nullopt;
}

// The selection is pruned against the font before anything is exported, so that an export left
// with no character at all is refused instead of writing an empty font. A font that cannot be
// measured is reported by the export request.
std::optional<int> CliRun::refuseEmptySelection(const FontRequest& font) {
  std::string error;
  if (!state_.measurer.Measure(font, state_.extras.fallbacks, state_.settings.kerning, state_.selection,
                               state_.fontChanged, state_.tables, &error) ||
      CountSelected(state_.selection) != 0)
    return std::nullopt;
  console_.error("glyphmill-cli: no character is left to export: the font \"" + state_.settings.fontNameString() +
                 "\" has none of the selected characters" + (o_.force ? " (--force: exporting anyway)" : ""));
  if (o_.force) return std::nullopt;
  driver_.Shutdown();
  return kExitDoesNotFit;
}

// The export request generates the font and runs the exports in its completion; the exit status
// follows what they came to.
int CliRun::exportAndFinish(const FontRequest& font, bool failed) {
  dialogs_.setOutput(o_.output ? OutputPathFor(*o_.output) : DefaultOutputName(state_.settings));
  // An output folder that cannot be made cancels that export's prompt with a message: it counts
  // as a failed export for the exit status.
  const int promptErrorsBefore = dialogs_.errorMessages();
  std::string error;
  if (!driver_.RequestExport(-1, font, &error)) {
    console_.error(error);
    driver_.Shutdown();
    return kExitExportFailed;
  }
  frontEnd_.queue().runUntil([this] { return !driver_.busy(); }, std::chrono::hours(24));
  driver_.Shutdown();
  if (state_.extras.fitTexture)
    console_.info(
        TextureSizeLabel(std::to_string(state_.settings.textureWidth), std::to_string(state_.settings.textureHeight)));
  const ExportReport& report = driver_.lastExport();
  if (report.outcome == ExportOutcome::Declined) return kExitDoesNotFit;
  if (failed || report.anyFailed() || dialogs_.errorMessages() > promptErrorsBefore) return kExitExportFailed;
  return kExitSuccess;
}

int CliRun::run(const std::string& fontFileFamily) {
  if (const auto exit = startUp()) return *exit;
  chooseFont(fontFileFamily);
  if (!ApplyOverrides(o_, state_, console_)) return kExitUsage;
  if (const auto exit = applyTextureSize()) return *exit;
  bool failed = o_.saveProject && !saveProject();
  if (const auto exit = chooseExports(&failed)) return *exit;
  const FontRequest font = FontRequestFromSettings(state_.settings);
  if (const auto exit = refuseEmptySelection(font)) return *exit;
  return exportAndFinish(font, failed);
}

}  // namespace

std::string DefaultOutputName(const GenerationSettings& settings) {
  std::string name = settings.fontNameString();
  std::replace(name.begin(), name.end(), '/', '_');
  if (name.empty() || name == "." || name == "..") name = "glyphmill";
  return name;
}

int RunCli(const CliOptions& o, std::ostream& out, Console& console) {
  CliDialogs dialogs(console, o.force);
  AppState state;
  state.registry.setInfoCacheFile(PluginInfoCachePath(ProcessEnvironment()));
  if (o.pluginTimeoutSeconds) {
    const std::chrono::milliseconds limit = std::chrono::seconds(*o.pluginTimeoutSeconds);
    state.registry.setCallLimits({limit, limit});
  }

  std::string fontFileFamily;
  if (o.fontFile && !OpenNamedFontFile(o, state, &fontFileFamily, console)) return kExitUsage;

  if (o.listPlugins || o.listFonts) {
    if (o.listPlugins) {
      state.registry.Discover(dialogs, state.jobs, PluginFolders(o));
      ListPlugins(state.registry, out);
    }
    if (o.listFonts) ListFonts(state, out);
    return kExitSuccess;
  }
  CliRun run(o, console, dialogs, state);
  return run.run(fontFileFamily);
}

}  // namespace glyphmill::cli
