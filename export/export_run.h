// The export run: turns an export request into plug-in calls, on the main thread, inside the
// completion of the generation that the request started.
//
// RunExport is the export branch of FinishGeneration: the fit warning, "Exporting...", the byte
// buffers, one quick export or the whole job queue, ".Export Complete!". The Run* operations are
// its steps; each returns true unless it reported a failure, and records what happened to its
// export as a value (ExportResult), which RunExport hands back. Every plug-in call runs in the
// registry's plug-in host process with the registry's time limit, so a plug-in that throws,
// crashes, exits or hangs is reported with its name and the run carries on.
//
// The buffers and the font information (its kerning pairs computed once per run) go into the
// host's shared memory once per run, before the run's first plug-in call; each call adds only its
// file name and character table. The shared memory's pages are given back when the run ends.
//
// The plug-in type decides which buffers a graphic export receives, whatever a job's options say:
// ptGraphicRGB always the colour buffer and never the alpha buffer, ptGraphicAlpha the reverse,
// ptGraphicRGBAndAlpha both, unknown types neither; ptGraphicRGBXorAlpha exactly one (the job's
// choice, the colour buffer when the job names both or neither) and ptGraphicRGBOrAlpha one or
// both (the job's choice, both when it names neither).
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
#include "export/plugin_host_process.h"
#include "export/plugin_registry.h"
#include "host/host_protocol.h"
#include "render/generation_result.h"
#include "settings/font_metrics.h"
#include "settings/generation_settings.h"
#include "settings/result.h"

namespace glyphmill {

// The measured font's numbers an export hands on beside the job's result.
struct ExportFontMetrics {
  uint32_t selectedCount = 0;  // characters in the table (CharCount)
  int32_t spaceAdvance = 0;
  int32_t ascent = 0;  // line metrics of the generated font, pixels
  int32_t descent = 0;
  static ExportFontMetrics Of(const FontTables& tables);
};

// Everything one export run reads, and the buffers it rebuilds. The references must outlive the
// run; `buffers` is the program's own pair of buffers, kept with their contents until the next run.
struct ExportContext {
  const GenerationSettings& settings;  // the generated job's settings (texture size, font)
  const GenerationResult& result;      // the job's images, placed-character table and order
  ExportFontMetrics metrics;
  PluginRegistry& registry;
  const ExportJobQueue& jobs;
  Dialogs& dialogs;
  ExportBuffers& buffers;
  std::function<void(const std::string&)> setStatus;  // SetStatus; may be empty
  // The same result when this run is its last use (the command line ends after its export): the
  // first page's images are released once the buffers hold them, and the later pages as they go
  // into the plug-in host's shared memory, so that no page is held twice; the result must not be
  // read again. Null: the result is left as it is.
  GenerationResult* spentResult = nullptr;
};

// What RunExport did.
enum class ExportOutcome {
  Declined,  // the font does not fit and the person answered No: nothing was exported
  Ran,       // the export ran (whatever its calls did); the status is ".Export Complete!"
};

// What happened to one export (a quick export or one batch job).
struct ExportResult {
  enum class Status {
    Ran,        // the plug-in was called and returned
    Cancelled,  // the save prompt was cancelled: the plug-in was not called
    Failed,     // not run, or the call failed; `message` says why
  };
  int32_t pluginIndex = -1;
  std::string pluginName;  // empty when the index names no plug-in
  Status status = Status::Failed;
  std::string message;
  bool operator==(const ExportResult&) const = default;
};

// What one RunExport did: declined, or ran with one result per export attempted, in order. A
// batch halted after "Abort?" lists only the jobs that ran.
struct ExportReport {
  ExportOutcome outcome = ExportOutcome::Ran;
  std::vector<ExportResult> results;
  bool anyFailed() const;
};

// The export branch of FinishGeneration for `pluginIndex` (a registry index for a quick export,
// -1 for the job queue). The caller has already cleared its export request.
ExportReport RunExport(ExportContext& context, int32_t pluginIndex);

// Which buffers a graphic export of `pluginType` receives for a job's colour and alpha options.
struct GraphicBuffers {
  bool colour = false;
  bool alpha = false;
};
GraphicBuffers BuffersForType(uint8_t pluginType, bool useColour, bool useAlpha);

// What one export hands a plug-in: the entry it calls and the buffers that go with it. The
// character table goes with the simple and the data entries.
struct ExportCall {
  host_protocol::Entry entry = host_protocol::Entry::Simple;
  GraphicBuffers buffers;
};
// The call a plug-in of `pluginType` gets for a job's colour and alpha options: ptSimple the
// simple entry with both buffers, ptData the data entry with neither, the graphic types the
// graphic entry with BuffersForType.
ExportCall ExportCallForType(uint8_t pluginType, bool useColour, bool useAlpha);

// The steps, for the driver's and the tests' use. A run's font information must be prepared
// (PrepareRun) before its plug-in calls; RunExport does that itself.
class ExportRun {
 public:
  explicit ExportRun(ExportContext& context);

  // BuildExportBuffers from the context's images. A spent result builds none: its first page is
  // written into the shared memory straight from its images when the run stages, and its images
  // are released then.
  void buildBuffers();

  // The one export routine: prompts for the file, checks the entry and the buffers, and calls the
  // plug-in with what `call` names. False when it reported a failure.
  bool RunPluginExport(TExportPlugin& plugin, const ExportCall& call);
  // The quick export: the simple entry, whatever the plug-in's type.
  bool RunSimpleExport(TExportPlugin& plugin);
  // One job of the queue: its plug-in's call for the job's options (ExportCallForType).
  bool RunJob(const TExportJob& job);
  void RunJobQueue();

  // What happened to each export of this run so far, in order.
  const std::vector<ExportResult>& results() const { return results_; }

 private:
  // Calls a plug-in entry in the plug-in host, with the run's data staged first; the failure's
  // message when the call failed.
  Result<void> callPlugin(const TExportPlugin& plugin, const HostExportCall& call);
  Result<void> stage();
  bool record(const TExportPlugin& plugin, ExportResult::Status status, std::string message = {});
  // A failure unless the buffers hold the texture size the records announce.
  Result<void> requireBufferSize() const;
  void reportCallFailure(const char* kindWord, const TExportPlugin& plugin, const std::string& message);

  // True when the result is spent: its first page goes from its images straight into the shared
  // memory as the run stages, without export buffers of its own.
  bool spent() const;
  void releaseFirstPage();

  ExportContext& context_;
  HostFontInfo fontInfo_;
  // The sizes of the first page's colour and alpha buffers, as the buffers or the images give them.
  ExportBuffers firstPageSize_;
  bool staged_ = false;
  StagedExport stagedExport_;
  std::vector<ExportResult> results_;
};

}  // namespace glyphmill
