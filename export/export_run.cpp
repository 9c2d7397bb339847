#include "export/export_run.h"

#include <stdexcept>

#include "export/export_messages.h"
#include "export/export_prompt.h"
#include "export/isolated_call.h"

namespace glyphmill {

namespace {

// A failure of one export operation; its message goes into the error box.
struct ExportFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

HostFontInfoInput FontInfoInput(const ExportContext& c) {
  HostFontInfoInput in;
  in.settings = &c.settings;
  in.chars = &c.chars;
  in.placedCount = c.placedCount;
  in.charCount = ExportCharCount(c.chars, c.selectedCount);
  in.ascent = c.ascent;
  in.descent = c.descent;
  in.sdfSpread = c.sdfSpread;
  return in;
}

void SetStatus(const ExportContext& c, const std::string& text) {
  if (c.setStatus) c.setStatus(text);
}

}  // namespace

ExportRun::ExportRun(ExportContext& context) : context_(context), fontInfo_(FontInfoInput(context)) {}

void ExportRun::buildBuffers() { BuildExportBuffers(context_.colour, context_.mask, context_.buffers); }

void ExportRun::callPlugin(const std::function<void()>& call) {
  HostServicesScope scope(fontInfo_);
  IsolatedCallResult result = RunIsolated(
      [&call]() {
        call();
        return std::string();
      },
      context_.registry.callLimits().exportCall);
  if (!result.ok) throw ExportFailure(result.failure);
}

void ExportRun::requireBufferSize() const {
  // The records announce the settings' texture size; a plug-in reads that many bytes.
  if (!context_.buffers.hasSize(context_.settings.textureWidth, context_.settings.textureHeight))
    throw ExportFailure(export_text::kBufferSizeMismatch);
}

void ExportRun::reportCallFailure(const char* kindWord, const TExportPlugin& plugin, const std::string& message) {
  context_.dialogs.showMessage({export_text::kErrorCaption, export_text::ExportCallFailed(kindWord, plugin.Name, message),
                                DialogIcon::Error, DialogOwner::MainWindow});
}

bool ExportRun::RunSimpleExport(TExportPlugin& plugin) {
  try {
    if (!plugin.Usable) throw ExportFailure(export_text::kPluginNotUsable);
    // The table lives exactly as long as this operation: freed after the call, also on failure.
    const std::vector<TExportCharInfo> table = BuildCharTable(context_.chars, context_.selectedCount);
    plugin.FileName = PromptExportFile(plugin, "", context_.dialogs);

    TSimpleExportInfo info{};
    info.FileName = plugin.FileName.c_str();
    info.Width = context_.settings.textureWidth;
    info.Height = context_.settings.textureHeight;
    info.RGB = context_.buffers.rgb.data();
    info.Alpha = context_.buffers.alpha.data();
    info.CharCount = static_cast<uint32_t>(table.size());
    info.SpaceAdvance = context_.spaceAdvance;
    info.Chars = table.empty() ? nullptr : table.data();

    if (plugin.FileName == kCancelMarker) return true;
    if (plugin.SimpleExport == nullptr) throw ExportFailure(export_text::kSimpleExportNotFound);
    requireBufferSize();
    const SimpleExportProc entry = plugin.SimpleExport;
    callPlugin([entry, &info]() { entry(&info); });
    return true;
  } catch (const std::exception& e) {
    reportCallFailure("simple", plugin, e.what());
    return false;
  }
}

bool ExportRun::RunDataExport(TExportPlugin& plugin) {
  try {
    if (!plugin.Usable) throw ExportFailure(export_text::kPluginNotUsable);
    const std::vector<TExportCharInfo> table = BuildCharTable(context_.chars, context_.selectedCount);
    plugin.FileName = PromptExportFile(plugin, "", context_.dialogs);

    TDataExportInfo info{};
    info.FileName = plugin.FileName.c_str();
    info.CharCount = static_cast<uint32_t>(table.size());
    info.SpaceAdvance = context_.spaceAdvance;
    info.Width = context_.settings.textureWidth;
    info.Height = context_.settings.textureHeight;
    info.Chars = table.empty() ? nullptr : table.data();

    if (plugin.FileName == kCancelMarker) return true;
    if (plugin.DataExport == nullptr) throw ExportFailure(export_text::kDataExportNotFound);
    const DataExportProc entry = plugin.DataExport;
    callPlugin([entry, &info]() { entry(&info); });
    return true;
  } catch (const std::exception& e) {
    reportCallFailure("data", plugin, e.what());
    return false;
  }
}

bool ExportRun::RunGraphicExport(TExportPlugin& plugin, bool useColour, bool useAlpha) {
  try {
    if (!plugin.Usable) throw ExportFailure(export_text::kPluginNotUsable);
    const char* suffix = "";
    if (useColour && !useAlpha) suffix = export_text::kSuffixRgb;
    if (useAlpha && !useColour) suffix = export_text::kSuffixAlpha;
    plugin.FileName = PromptExportFile(plugin, suffix, context_.dialogs);

    TGraphicExportInfo info{};
    info.FileName = plugin.FileName.c_str();
    info.Width = context_.settings.textureWidth;
    info.Height = context_.settings.textureHeight;
    info.RGB = useColour ? context_.buffers.rgb.data() : nullptr;
    info.Alpha = useAlpha ? context_.buffers.alpha.data() : nullptr;

    if (plugin.FileName == kCancelMarker) return true;
    if (plugin.GraphicExport == nullptr) throw ExportFailure(export_text::kGraphicExportNotFound);
    if (useColour || useAlpha) requireBufferSize();
    const GraphicExportProc entry = plugin.GraphicExport;
    callPlugin([entry, &info]() { entry(&info); });
    return true;
  } catch (const std::exception& e) {
    reportCallFailure("graphic", plugin, e.what());
    return false;
  }
}

bool ExportRun::RunJob(const TExportJob& job) {
  bool result = false;
  try {
    TExportPlugin* plugin = context_.registry.find(job.PluginIndex);
    // A job whose plug-in is not loaded fails without a message of its own.
    if (plugin != nullptr && plugin->Usable) {
      switch (plugin->pluginType()) {
        case ptData: result = RunDataExport(*plugin); break;
        case ptSimple: result = RunSimpleExport(*plugin); break;
        default: result = RunGraphicExport(*plugin, job.UseRGB, job.UseAlpha); break;
      }
    }
  } catch (const std::exception& e) {
    result = false;
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

ExportOutcome RunExport(ExportContext& context, int32_t pluginIndex) {
  if (static_cast<int64_t>(context.placedCount) < static_cast<int64_t>(context.selectedCount)) {
    const bool goOn = context.dialogs.askYesNo(
        {export_text::kFitWarningCaption, export_text::FitWarning(), DialogIcon::Warning, DialogOwner::MainWindow});
    if (!goOn) return ExportOutcome::Declined;
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
  }
  SetStatus(context, export_text::kExportComplete);
  return ExportOutcome::Ran;
}

}  // namespace glyphmill
