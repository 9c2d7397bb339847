#include "cli/cli_run.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/generation_driver.h"
#include "app/texture_size.h"
#include "cli/char_ranges.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_front_end.h"
#include "cli/exit_status.h"
#include "export/job_queue.h"
#include "project/project_io.h"
#include "settings/font_catalogue.h"

namespace glyphmill::cli {
namespace {

void ListPlugins(const PluginRegistry& registry, std::ostream& out) {
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const TExportPlugin& p = registry.at(i);
    out << i << '\t' << p.Name << '\t' << static_cast<int>(p.pluginType()) << '\t'
        << (p.hasExtension() ? p.extension() : std::string()) << '\n';
  }
}

void ListFonts(std::ostream& out) {
  for (const FontCatalogueEntry& entry : BuildFontCatalogue().entries) out << entry.name << '\n';
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
    if (o.charsFile && !MarkFileCodeUnits(*o.charsFile, selection, &error)) {
      console.error("glyphmill-cli: " + error);
      return false;
    }
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

  if (o.listPlugins || o.listFonts) {
    if (o.listPlugins) {
      state.registry.Discover(dialogs, state.jobs, o.pluginsDir);
      ListPlugins(state.registry, out);
    }
    if (o.listFonts) ListFonts(out);
    return kExitSuccess;
  }

  CliFrontEnd frontEnd(console, o.guides);
  GenerationDriver driver(state, frontEnd, dialogs);
  const StatusCallback status = [&driver](const std::string& text) { driver.SetStatus(text); };

  // Start-up: the plug-ins first (discovery empties the job queue), then the settings.
  state.registry.Discover(dialogs, state.jobs, o.pluginsDir);
  const PluginNames pluginNames = RegistryNames(state.registry);
  state.settings = FirstStartSettings();
  SetDefaultSelection(state.selection);
  const uint16_t firstWidth = state.settings.textureWidth;
  const uint16_t firstHeight = state.settings.textureHeight;

  if (o.projectPath) {
    ProjectLoad load = LoadProjectFile(*o.projectPath, pluginNames, dialogs, status);
    if (load.outcome != LoadOutcome::Loaded) return kExitProjectRefused;
    state.settings = load.project->settings;
    state.selection = load.project->selection;
    state.jobs = std::move(load.project->jobs);
  } else if (!o.font) {
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
  if (!size.ok) driver.SetStatus("!" + size.error);

  bool failed = false;
  if (o.saveProject &&
      !SaveProjectFile(*o.saveProject, state.settings, state.selection, state.jobs, pluginNames, status))
    failed = true;

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

  dialogs.setOutput(o.output ? *o.output : DefaultOutputName(state.settings));
  const int errorsBefore = dialogs.errorMessages();
  std::string error;
  if (!driver.RequestExport(-1, FontRequestFromSettings(state.settings), &error)) {
    console.error(error);
    driver.Shutdown();
    return kExitExportFailed;
  }
  frontEnd.queue().runUntil([&driver] { return !driver.busy(); }, std::chrono::hours(24));
  driver.Shutdown();

  if (dialogs.fitDeclined()) return kExitDoesNotFit;
  if (failed || dialogs.errorMessages() > errorsBefore || dialogs.failedBatchJobs() > 0) return kExitExportFailed;
  return kExitSuccess;
}

}  // namespace glyphmill::cli
