#include "export/export_run.h"

#include <algorithm>
#include <stdexcept>

#include "export/export_messages.h"
#include "export/export_prompt.h"

namespace glyphmill {

namespace {

// A failure of one export operation; its message goes into the error box.
struct ExportFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

HostFontInfoInput FontInfoInput(const ExportContext& c) {
  HostFontInfoInput in;
  in.settings = &c.settings;
  in.result = &c.result;
  in.charCount = ExportCharCount(c.result.chars, c.metrics.selectedCount);
  in.ascent = c.metrics.ascent;
  in.descent = c.metrics.descent;
  return in;
}

void SetStatus(const ExportContext& c, const std::string& text) {
  if (c.setStatus) c.setStatus(text);
}

}  // namespace

ExportFontMetrics ExportFontMetrics::Of(const FontTables& tables) {
  return ExportFontMetrics{tables.selectedCount, tables.spaceAdvance, tables.ascent, tables.descent};
}

ExportRun::ExportRun(ExportContext& context) : context_(context), fontInfo_(FontInfoInput(context)) {}

void ExportRun::buildBuffers() {
  BuildExportBuffers(ExportedColour(context_.result), context_.result.mask, context_.buffers);
}

bool ExportReport::anyFailed() const {
  return std::any_of(results.begin(), results.end(),
                     [](const ExportResult& r) { return r.status == ExportResult::Status::Failed; });
}

GraphicBuffers BuffersForType(uint8_t pluginType, bool useColour, bool useAlpha) {
  switch (pluginType) {
    case ptGraphicRGB: return {true, false};
    case ptGraphicAlpha: return {false, true};
    case ptGraphicRGBAndAlpha: return {true, true};
    case ptGraphicRGBXorAlpha:
      if (useColour == useAlpha) return {true, false};
      return {useColour, useAlpha};
    case ptGraphicRGBOrAlpha:
      if (!useColour && !useAlpha) return {true, true};
      return {useColour, useAlpha};
    default: return {false, false};
  }
}

void ExportRun::stage() {
  if (staged_) return;
  // Once per run: the buffers and the font information (its kerning computed here) go into the
  // shared memory every call of the run reads.
  const std::vector<uint8_t> image = fontInfo_.image();
  std::string error;
  if (!context_.registry.host().stage(context_.buffers.rgb, context_.buffers.alpha, image, &stagedExport_, &error))
    throw ExportFailure(export_text::PluginCallNotStarted(error));
  staged_ = true;
}

void ExportRun::callPlugin(const TExportPlugin& plugin, const HostExportCall& call) {
  stage();
  const HostCall result = context_.registry.host().callExport(plugin.hostSlot, call, stagedExport_,
                                                              context_.registry.callLimits().exportCall);
  if (!result.ok) throw ExportFailure(result.failure);
}

bool ExportRun::record(const TExportPlugin& plugin, ExportResult::Status status, std::string message) {
  ExportResult r;
  for (std::size_t i = 0; i < context_.registry.size(); ++i)
    if (&context_.registry.at(i) == &plugin) r.pluginIndex = static_cast<int32_t>(i);
  r.pluginName = plugin.Name;
  r.status = status;
  r.message = std::move(message);
  results_.push_back(std::move(r));
  return status != ExportResult::Status::Failed;
}

void ExportRun::requireBufferSize() const {
  // The records announce the settings' texture size; a plug-in reads that many bytes.
  if (!context_.buffers.hasSize(context_.settings.textureWidth, context_.settings.textureHeight))
    throw ExportFailure(export_text::kBufferSizeMismatch);
}

void ExportRun::reportCallFailure(const char* kindWord, const TExportPlugin& plugin, const std::string& message) {
  context_.dialogs.showMessage({export_text::kErrorCaption,
                                export_text::ExportCallFailed(kindWord, plugin.Name, message), DialogIcon::Error,
                                DialogOwner::MainWindow});
}

namespace {

// What differs between the three plug-in entries: the word of the failure message, whether the
// plug-in has the entry and the message when it has not, and whether the character table goes
// with the call.
struct EntryTraits {
  const char* kindWord;
  const char* notFound;
  bool passesTable;
};

EntryTraits TraitsOf(host_protocol::Entry entry) {
  switch (entry) {
    case host_protocol::Entry::Simple: return {"simple", export_text::kSimpleExportNotFound, true};
    case host_protocol::Entry::Data: return {"data", export_text::kDataExportNotFound, true};
    case host_protocol::Entry::Graphic: break;
  }
  return {"graphic", export_text::kGraphicExportNotFound, false};
}

bool HasEntry(const TExportPlugin& plugin, host_protocol::Entry entry) {
  switch (entry) {
    case host_protocol::Entry::Simple: return plugin.SimpleExport;
    case host_protocol::Entry::Data: return plugin.DataExport;
    case host_protocol::Entry::Graphic: return plugin.GraphicExport;
  }
  return false;
}

// The suffix of a file that holds one of the two images alone.
const char* FileSuffix(GraphicBuffers buffers) {
  if (buffers.colour && !buffers.alpha) return export_text::kSuffixRgb;
  if (buffers.alpha && !buffers.colour) return export_text::kSuffixAlpha;
  return "";
}

}  // namespace

ExportCall ExportCallForType(uint8_t pluginType, bool useColour, bool useAlpha) {
  switch (pluginType) {
    case ptSimple: return {host_protocol::Entry::Simple, {true, true}};
    case ptData: return {host_protocol::Entry::Data, {false, false}};
    default: return {host_protocol::Entry::Graphic, BuffersForType(pluginType, useColour, useAlpha)};
  }
}

bool ExportRun::RunPluginExport(TExportPlugin& plugin, const ExportCall& what) {
  const EntryTraits traits = TraitsOf(what.entry);
  try {
    if (!plugin.Usable) throw ExportFailure(export_text::kPluginNotUsable);
    // The table lives exactly as long as this operation: freed after the call, also on failure.
    std::vector<TExportCharInfo> table;
    if (traits.passesTable) table = BuildCharTable(context_.result.chars, context_.metrics.selectedCount);
    plugin.FileName = PromptExportFile(plugin, FileSuffix(what.buffers), context_.dialogs);

    HostExportCall call;
    call.entry = what.entry;
    call.fileName = plugin.FileName;
    call.width = context_.settings.textureWidth;
    call.height = context_.settings.textureHeight;
    call.passRgb = what.buffers.colour;
    call.passAlpha = what.buffers.alpha;
    if (traits.passesTable) {
      call.chars = table;
      call.spaceAdvance = context_.metrics.spaceAdvance;
    }

    if (plugin.FileName == kCancelMarker) return record(plugin, ExportResult::Status::Cancelled);
    if (!HasEntry(plugin, what.entry)) throw ExportFailure(traits.notFound);
    if (what.buffers.colour || what.buffers.alpha) requireBufferSize();
    callPlugin(plugin, call);
    return record(plugin, ExportResult::Status::Ran);
  } catch (const std::exception& e) {
    reportCallFailure(traits.kindWord, plugin, e.what());
    return record(plugin, ExportResult::Status::Failed, e.what());
  }
}

bool ExportRun::RunSimpleExport(TExportPlugin& plugin) {
  return RunPluginExport(plugin, ExportCallForType(ptSimple, true, true));
}

bool ExportRun::RunDataExport(TExportPlugin& plugin) {
  return RunPluginExport(plugin, ExportCallForType(ptData, false, false));
}

bool ExportRun::RunGraphicExport(TExportPlugin& plugin, bool useColour, bool useAlpha) {
  return RunPluginExport(plugin, {host_protocol::Entry::Graphic, {useColour, useAlpha}});
}

bool ExportRun::RunJob(const TExportJob& job) {
  bool result = false;
  try {
    TExportPlugin* plugin = context_.registry.find(job.PluginIndex);
    // A job whose plug-in is not loaded fails without a message of its own.
    if (plugin != nullptr && plugin->Usable) {
      result = RunPluginExport(*plugin, ExportCallForType(plugin->pluginType(), job.UseRGB, job.UseAlpha));
    } else {
      ExportResult r;
      r.pluginIndex = job.PluginIndex;
      r.pluginName = plugin != nullptr ? plugin->Name : std::string();
      r.message = export_text::kPluginNotUsable;
      results_.push_back(std::move(r));
    }
  } catch (const std::exception& e) {
    result = false;
    ExportResult r;
    r.pluginIndex = job.PluginIndex;
    r.message = e.what();
    results_.push_back(std::move(r));
    context_.dialogs.showMessage(
        {export_text::kErrorCaption, export_text::JobFailed(e.what()), DialogIcon::Error, DialogOwner::MainWindow});
  }
  return result;
}

void ExportRun::RunJobQueue() {
  const ExportJobQueue& jobs = context_.jobs;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (RunJob(jobs[i])) continue;
    if (i + 1 == jobs.size()) break;  // a failing last job asks nothing
    if (context_.dialogs.askYesNo(
            {export_text::kAbortCaption, export_text::kAbortQuestion, DialogIcon::Information, DialogOwner::None}))
      break;
  }
}

ExportReport RunExport(ExportContext& context, int32_t pluginIndex) {
  ExportReport report;
  if (static_cast<int64_t>(context.result.placedCount) < static_cast<int64_t>(context.metrics.selectedCount)) {
    const bool goOn = context.dialogs.askYesNo(
        {export_text::kFitWarningCaption, export_text::FitWarning(), DialogIcon::Warning, DialogOwner::MainWindow});
    if (!goOn) {
      report.outcome = ExportOutcome::Declined;
      return report;
    }
  }
  SetStatus(context, export_text::kExporting);
  ExportRun run(context);
  run.buildBuffers();
  if (pluginIndex == -1) {
    run.RunJobQueue();
  } else if (TExportPlugin* plugin = context.registry.find(pluginIndex)) {
    run.RunSimpleExport(*plugin);
  } else {
    // A quick export of an index that names no plug-in: say so rather than report success silently.
    context.dialogs.showMessage({export_text::kErrorCaption, export_text::JobFailed(export_text::kPluginNotUsable),
                                 DialogIcon::Error, DialogOwner::MainWindow});
    ExportResult r;
    r.pluginIndex = pluginIndex;
    r.message = export_text::kPluginNotUsable;
    report.results.push_back(std::move(r));
  }
  SetStatus(context, export_text::kExportComplete);
  report.outcome = ExportOutcome::Ran;
  report.results.insert(report.results.begin(), run.results().begin(), run.results().end());
  return report;
}

}  // namespace glyphmill
