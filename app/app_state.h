// AppState: the one application state object. It holds what the main window owns for the whole
// run: the settings record, the character selection, the font catalogue with the font files added
// to it, the metric tables, the
// last job's result (texture, mask, placed-character table), the plug-in registry and the job
// queue, and the driver's flags. The window program, the command-line tool and the tests each own one.
//
// Threads: everything here belongs to the main (UI) thread. A render job works on its own copies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_buffers.h"
#include "export/export_job.h"
#include "export/plugin_registry.h"
#include "project/project_extensions.h"
#include "render/generation_result.h"
#include "settings/character_selection.h"
#include "settings/font_catalogue.h"
#include "settings/font_file_set.h"
#include "settings/font_metrics.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

inline constexpr uint8_t kVersionMajor = 4;
inline constexpr uint8_t kVersionMinor = 1;

struct AppState {
  GenerationSettings settings;
  GenerationExtras extras;  // what the fixed record cannot hold; defaults are the classic behaviour
  CharacterSelection selection{};
  FontCatalogue catalogue;
  FontFileSet fontFiles;  // font files added this session; their families are marked in the catalogue
  // The loaded project's extension block: entries this build does not know are written back.
  ProjectExtensions projectExtensions;
  FontMeasurer measurer;
  FontTables tables;

  // What the last completed job handed back: the texture and mask shown and exported (black, at the
  // settings' size, until a job completes or after the size changed), its table and its order.
  GenerationResult result;

  PluginRegistry registry;
  ExportJobQueue jobs;
  ExportBuffers exportBuffers;  // rebuilt at every export run, kept until the next

  bool fontChanged = true;     // the font name changed since the support table was refreshed
  bool generationIdle = true;  // no job between Generate and FinishGeneration
  bool exportAfterGenerate = false;
  int32_t exportPluginIndex = -1;  // registry index, or -1 for the job queue
  uint32_t lastSettingChange = 0;  // tick of the last change that armed the automatic generation
  bool autoGenerateArmed = false;  // the automatic generation timer runs
  uint32_t tallestCell = 0;
  std::string statusText;  // first status panel as last set
};

// The window's caption suffix and default preview text: "Glyphmill 4.1".
std::string VersionedName(const std::string& name);

}  // namespace glyphmill
