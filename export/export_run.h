// The export run: turns an export request into plug-in calls, on the main thread, inside the
// completion of the generation that the request started.
//
// RunExport is the export branch of FinishGeneration: the fit warning, "Exporting...", the byte
// buffers, one quick export or the whole job queue, ".Export Complete!". The Run* operations are
// its steps; each returns true unless it reported a failure. Every plug-in call runs isolated in
// a child process (export/isolated_call.h) with the registry's time limit, so a plug-in that
// throws, crashes or hangs is reported with its name and the run carries on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/dialogs.h"
#include "export/export_buffers.h"
#include "export/export_job.h"
#include "export/export_plugin.h"
#include "export/host_services.h"
#include "export/plugin_registry.h"
#include "render/image24.h"
#include "render/placed_character.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// Everything one export run reads, and the buffers it rebuilds. The references must outlive the
// run; `buffers` is the program's own pair of buffers, kept with their contents until the next run.
struct ExportContext {
  const GenerationSettings& settings;          // the generated job's settings (texture size, font)
  const std::vector<PlacedCharacter>& chars;   // the handed-back placed-character table
  int32_t placedCount = kAllPlaced;            // the job's placed count
  uint32_t selectedCount = 0;                  // characters in the table (CharCount)
  int32_t spaceAdvance = 0;
  const Image24& colour;                       // the colour image `img`
  const Image24& mask;                         // the alpha mask
  int32_t ascent = 0;                          // line metrics of the generated font, pixels
  int32_t descent = 0;
  PluginRegistry& registry;
  const ExportJobQueue& jobs;
  Dialogs& dialogs;
  ExportBuffers& buffers;
  std::function<void(const std::string&)> setStatus;  // SetStatus; may be empty
  uint16_t sdfSpread = kDefaultSdfSpread;              // the job's distance-field spread
};

// What RunExport did.
enum class ExportOutcome {
  Declined,  // the font does not fit and the person answered No: nothing was exported
  Ran,       // the export ran (whatever its calls did); the status is ".Export Complete!"
};

// The export branch of FinishGeneration for `pluginIndex` (a registry index for a quick export,
// -1 for the job queue). The caller has already cleared its export request.
ExportOutcome RunExport(ExportContext& context, int32_t pluginIndex);

// The steps, for the driver's and the tests' use. A run's font information must be prepared
// (PrepareRun) before its plug-in calls; RunExport does that itself.
class ExportRun {
 public:
  explicit ExportRun(ExportContext& context);

  // BuildExportBuffers from the context's images.
  void buildBuffers();

  bool RunSimpleExport(TExportPlugin& plugin);
  bool RunDataExport(TExportPlugin& plugin);
  bool RunGraphicExport(TExportPlugin& plugin, bool useColour, bool useAlpha);
  bool RunJob(const TExportJob& job);
  void RunJobQueue();

 private:
  // Calls a plug-in entry in a child process with the font information installed; throws the
  // failure's message.
  void callPlugin(const std::function<void()>& call);
  // Throws unless the buffers hold the texture size the records announce.
  void requireBufferSize() const;
  void reportCallFailure(const char* kindWord, const TExportPlugin& plugin, const std::string& message);

  ExportContext& context_;
  HostFontInfo fontInfo_;
};

}  // namespace glyphmill
