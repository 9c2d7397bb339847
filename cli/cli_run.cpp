#include "cli/cli_run.h"

#include <algorithm>
#include <chrono>

#include "app/app_state.h"
#include "app/font_file_commands.h"
#include "app/generation_driver.h"
#include "app/install_paths.h"
#include "app/settings_ranges.h"
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
  if (!UseOnlyApplicationFonts(&error) || !OpenFontFile(state, *o.fontFile, o.faceIndex, family, &error)) {
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
  if (o.charRanges || o.charsFile) {
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
  }
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
  return true;
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
  state.programFolder = ProgramFolder();
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

  CliFrontEnd frontEnd(console, o.guides);
  GenerationDriver driver(state, frontEnd, dialogs);
  const StatusCallback status = [&driver](const std::string& text) { driver.SetStatus(text); };

  // Start-up: the plug-ins first (discovery empties the job queue), then the settings.
  state.registry.Discover(dialogs, state.jobs, PluginFolders(o));
  const PluginNames pluginNames = RegistryNames(state.registry);
  state.settings = FirstStartSettings();
  SetDefaultSelection(state.selection);
  const uint16_t firstWidth = state.settings.textureWidth;
  const uint16_t firstHeight = state.settings.textureHeight;

  if (o.projectPath) {
    ProjectLoad load = LoadProjectFile(*o.projectPath, pluginNames, dialogs, status);
    if (load.outcome != LoadOutcome::Loaded) return kExitProjectRefused;
    // A font file named on the command line replaces the project's own.
    TakeProjectExtensions(state, *load.project, status, !o.fontFile);
    state.settings = load.project->settings;
    state.selection = load.project->selection;
    state.jobs = std::move(load.project->jobs);
    if (const auto notice = LimitedFieldsNotice(LimitToOfferedRanges(state.settings))) driver.SetStatus(*notice);
  }
  if (o.fontFile) {
    state.settings.setFontName(fontFileFamily);
  } else if (!o.projectPath && !o.font) {
    // Only without a named font is the catalogue listed, for its first-start choice.
    const FontCatalogue catalogue = BuildFontCatalogue();
    state.settings.setFontName(catalogue.entries.empty()
                                   ? std::string(kDefaultFontName)
                                   : catalogue.entries[static_cast<std::size_t>(catalogue.preselectedIndex)].name);
  }
  state.fontChanged = true;

  if (!ApplyOverrides(o, state, console)) return kExitUsage;

  // The texture size goes through the same check as the window's "Apply"; a refused size leaves
  // the first-start size in place.
  const uint16_t wantedWidth = o.textureWidth.value_or(state.settings.textureWidth);
  const uint16_t wantedHeight = o.textureHeight.value_or(state.settings.textureHeight);
  state.settings.textureWidth = firstWidth;
  state.settings.textureHeight = firstHeight;
  const TextureSizeResult size = ApplyTextureSize(state, std::to_string(wantedWidth), std::to_string(wantedHeight));
  if (!size.ok) {
    // Only a project can carry such a size (--texture is checked when parsed): it is refused as a
    // whole rather than exported at another size.
    console.error("glyphmill-cli: \"" + o.projectPath.value_or("") + "\": " + size.error + " (it holds " +
                  std::to_string(wantedWidth) + "x" + std::to_string(wantedHeight) + ")");
    return kExitProjectRefused;
  }

  bool failed = false;
  if (o.saveProject) {
    std::string folderError;
    if (!CreateParentFolder(ForceProjectExtension(*o.saveProject), &folderError)) {
      console.error("glyphmill-cli: " + folderError);
      failed = true;
    } else if (!SaveProjectFile(*o.saveProject, state.settings, state.selection, state.jobs, pluginNames, status,
                                ProjectExtensionsToSave(state))) {
      failed = true;
    }
  }

  // What to export: the named plug-ins in order, each as a job with its type's defaults, or the
  // project's batch queue.
  if (!o.exports.empty()) {
    ExportJobQueue named;
    for (const std::string& name : o.exports) {
      const int32_t index = FindPlugin(state.registry, name);
      if (index < 0) {
        console.error("glyphmill-cli: no plug-in is named \"" + name + "\" (see --list-plugins)\n" + ShortUsage());
        return kExitUsage;
      }
      AppendJob(named, state.registry, index);
    }
    state.jobs = std::move(named);
  } else {
    // The export run skips a job whose plug-in is not loaded without a word; say so here.
    for (std::size_t i = 0; i < state.jobs.size(); ++i) {
      const TExportPlugin* plugin = JobPlugin(state.registry, state.jobs[i]);
      if (plugin == nullptr || !plugin->Usable) {
        console.error("Export job " + std::to_string(i + 1) + ": the plug-in \"" + state.jobs[i].pluginNameString() +
                      "\" is not loaded.");
        failed = true;
      }
    }
  }

  // The selection is pruned against the font before anything is exported, so that an export
  // left with no character at all is refused instead of writing an empty font. A font that cannot
  // be measured is reported by the export request below.
  const FontRequest font = FontRequestFromSettings(state.settings);
  std::string error;
  if (state.measurer.Measure(font, state.settings.kerning, state.selection, state.fontChanged, state.tables, &error) &&
      CountSelected(state.selection) == 0) {
    console.error("glyphmill-cli: no character is left to export: the font \"" + state.settings.fontNameString() +
                  "\" has none of the selected characters" + (o.force ? " (--force: exporting anyway)" : ""));
    if (!o.force) {
      driver.Shutdown();
      return kExitDoesNotFit;
    }
  }
  error.clear();

  dialogs.setOutput(o.output ? OutputPathFor(*o.output) : DefaultOutputName(state.settings));
  // An output folder that cannot be made cancels that export's prompt with a message: it counts
  // as a failed export for the exit status.
  const int promptErrorsBefore = dialogs.errorMessages();
  if (!driver.RequestExport(-1, font, &error)) {
    console.error(error);
    driver.Shutdown();
    return kExitExportFailed;
  }
  frontEnd.queue().runUntil([&driver] { return !driver.busy(); }, std::chrono::hours(24));
  driver.Shutdown();
  if (state.extras.fitTexture)
    console.info(
        TextureSizeLabel(std::to_string(state.settings.textureWidth), std::to_string(state.settings.textureHeight)));

  // The exit status follows what the exports came to.
  const ExportReport& report = driver.lastExport();
  if (report.outcome == ExportOutcome::Declined) return kExitDoesNotFit;
  if (failed || report.anyFailed() || dialogs.errorMessages() > promptErrorsBefore) return kExitExportFailed;
  return kExitSuccess;
}

}  // namespace glyphmill::cli
