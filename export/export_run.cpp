#include "export/export_run.h"

#include <algorithm>

#include "export/export_messages.h"
#include "export/export_prompt.h"

namespace glyphmill {

namespace {

HostFontInfoInput FontInfoInput(const ExportContext& c) {
  HostFontInfoInput in;
  in.settings = &c.settings;
  in.result = &c.result;
  in.spentResult = c.spentResult;
  in.charCount = ExportCharCount(c.result.chars, c.metrics.selectedCount);
  in.ascent = c.metrics.ascent;
  in.descent = c.metrics.descent;
  return in;
}

void SetStatus(const ExportContext& c, const std::string& text) {
  if (c.setStatus) c.setStatus(text);
}

// What happened to an export of the plug-in at `pluginIndex` (null when the index names none).
ExportResult ResultOf(int32_t pluginIndex, const TExportPlugin* plugin, ExportResult::Status status,
                      std::string message) {
  ExportResult r;
  r.pluginIndex = pluginIndex;
  if (plugin != nullptr) r.pluginName = plugin->Name;
  r.status = status;
  r.message = std::move(message);
  return r;
}

}  // namespace

ExportFontMetrics ExportFontMetrics::Of(const FontTables& tables) {
  return ExportFontMetrics{tables.selectedCount, tables.spaceAdvance, tables.ascent, tables.descent};
}

ExportRun::ExportRun(ExportContext& context) : context_(context), fontInfo_(FontInfoInput(context)) {}

bool ExportRun::spent() const { return context_.spentResult != nullptr && context_.spentResult == &context_.result; }

void ExportRun::buildBuffers() {
  const Image24& colour = ExportedColour(context_.result);
  const Image24& mask = context_.result.mask;
  // Each buffer has the size of the image it is made from.
  firstPageSize_.rgbWidth = colour.width();
  firstPageSize_.rgbHeight = colour.height();
  firstPageSize_.alphaWidth = mask.width();
  firstPageSize_.alphaHeight = mask.height();
  if (!spent()) BuildExportBuffers(colour, mask, context_.buffers, ExportsOpaqueAlpha(context_.result));
}

// A spent result's first page is in the shared memory now, and nothing reads its images again.
void ExportRun::releaseFirstPage() {
  GenerationResult& result = *context_.spentResult;
  std::scoped_lock lock(result.colour.lock(), result.mask.lock(), result.page.lock());
  result.colour = Image24();
  result.mask = Image24();
  result.page = Image24();
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

Result<void> ExportRun::stage() {
  if (staged_) return {};
  // Once per run: the buffers and the font information (its kerning computed here) go into the
  // shared memory every call of the run reads; the later pages' buffers are written there straight
  // from the job's images, one page after another.
  const FontInfoImage image = fontInfo_.imageParts();
  PluginHostProcess& host = context_.registry.host();
  Result<StagedExport> staged = [&] {
    if (!spent()) return host.stageParts(context_.buffers.rgb, context_.buffers.alpha, image);
    const Image24& colour = ExportedColour(context_.result);
    const Image24& mask = context_.result.mask;
    const StagedBuffer rgb{static_cast<std::size_t>(colour.width()) * colour.height() * 3, ColourBufferWriter(colour)};
    const StagedBuffer alpha{static_cast<std::size_t>(mask.width()) * mask.height(),
                             AlphaBufferWriter(mask, ExportsOpaqueAlpha(context_.result))};
    Result<StagedExport> written = host.stageParts(rgb, alpha, image);
    if (written) releaseFirstPage();  // a failed staging is tried again by the next call
    return written;
  }();
  if (!staged) return Fail(export_text::PluginCallNotStarted(staged.error()));
  stagedExport_ = *staged;
  staged_ = true;
  return {};
}

Result<void> ExportRun::callPlugin(const TExportPlugin& plugin, const HostExportCall& call) {
  if (Result<void> staged = stage(); !staged) return staged;
  const HostCall result = context_.registry.host().callExport(plugin.hostSlot, call, stagedExport_,
                                                              context_.registry.callLimits().exportCall);
  if (!result.ok) return Fail(result.failure);
  return {};
}

bool ExportRun::record(const TExportPlugin& plugin, ExportResult::Status status, std::string message) {
  int32_t index = -1;
  for (std::size_t i = 0; i < context_.registry.size(); ++i)
    if (&context_.registry.at(i) == &plugin) index = static_cast<int32_t>(i);
  results_.push_back(ResultOf(index, &plugin, status, std::move(message)));
  return status != ExportResult::Status::Failed;
}

Result<void> ExportRun::requireBufferSize() const {
  // The records announce the settings' texture size; a plug-in reads that many bytes.
  if (!firstPageSize_.hasSize(context_.settings.textureWidth, context_.settings.textureHeight))
    return Fail(export_text::kBufferSizeMismatch);
  return {};
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
  const auto failed = [&](const std::string& message) {
    reportCallFailure(traits.kindWord, plugin, message);
    return record(plugin, ExportResult::Status::Failed, message);
  };
  if (!plugin.Usable) return failed(export_text::kPluginNotUsable);
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
  if (!HasEntry(plugin, what.entry)) return failed(traits.notFound);
  if (what.buffers.colour || what.buffers.alpha) {
    if (Result<void> sized = requireBufferSize(); !sized) return failed(sized.error());
  }
  if (Result<void> called = callPlugin(plugin, call); !called) return failed(called.error());
  return record(plugin, ExportResult::Status::Ran);
}

bool ExportRun::RunSimpleExport(TExportPlugin& plugin) {
  return RunPluginExport(plugin, ExportCallForType(ptSimple, true, true));
}

bool ExportRun::RunJob(const TExportJob& job) {
  TExportPlugin* plugin = context_.registry.find(job.PluginIndex);
  // A job whose plug-in is not loaded fails without a message of its own.
  if (plugin == nullptr || !plugin->Usable) {
    results_.push_back(ResultOf(job.PluginIndex, plugin, ExportResult::Status::Failed, export_text::kPluginNotUsable));
    return false;
  }
  return RunPluginExport(*plugin, ExportCallForType(plugin->pluginType(), job.UseRGB, job.UseAlpha));
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
    report.results.push_back(
        ResultOf(pluginIndex, nullptr, ExportResult::Status::Failed, export_text::kPluginNotUsable));
  }
  // Every call of the run has returned: what it staged is read no more.
  context.registry.host().releaseStaged();
  SetStatus(context, export_text::kExportComplete);
  report.outcome = ExportOutcome::Ran;
  report.results.insert(report.results.begin(), run.results().begin(), run.results().end());
  return report;
}

}  // namespace glyphmill
