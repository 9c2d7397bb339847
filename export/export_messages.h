// Every caption and text that plug-in discovery and the export run show, built in one place.
// Lines are joined with a single carriage return (character 13), never a line feed.
#pragma once

#include <string>
#include <string_view>

namespace glyphmill::export_text {

inline constexpr char kCr = '\r';

// ---- discovery ----------------------------------------------------------------------------
inline constexpr const char* kPluginErrorCaption = "Plugin Error";
inline constexpr const char* kPluginLoadErrorCaption = "Plugin Load Error";
inline constexpr const char* kNoPluginsCaption = "No Plugins!";

// The entry point the plug-in's type requires is missing. `typeWord` is "Simple", "Data" or
// "Graphic".
std::string MissingEntryPoint(std::string_view pluginName, std::string_view typeWord);
// The failure's message for a library without GetPluginInfo.
std::string MissingGetPluginInfo(std::string_view path);
// Any failure while loading a plug-in, GetPluginInfo's own failures included.
std::string LoadFailed(std::string_view path, std::string_view message);
// No usable plug-in at all; `folderShown` is the plug-in folder with its trailing "/".
std::string NoPlugins(std::string_view folderShown);

// ---- export run -----------------------------------------------------------------------------
inline constexpr const char* kExporting = "Exporting...";
inline constexpr const char* kExportComplete = ".Export Complete!";

inline constexpr const char* kFitWarningCaption = "Warning";
std::string FitWarning();

inline constexpr const char* kErrorCaption = "Error";  // the platform's caption of error boxes
inline constexpr const char* kPluginNotUsable = "The plugin is not usable!";
inline constexpr const char* kSimpleExportNotFound = "the Simple Export function was not found in this DLL.";
inline constexpr const char* kDataExportNotFound = "the Data Export function was not found in this DLL.";
inline constexpr const char* kGraphicExportNotFound = "the Graphic Export function was not found in this DLL.";

// A failure of one export operation; `kindWord` is "simple", "data" or "graphic".
std::string ExportCallFailed(std::string_view kindWord, std::string_view pluginName, std::string_view message);
// A failure that escaped a batch job's export operation.
std::string JobFailed(std::string_view message);

inline constexpr const char* kAbortCaption = "Abort?";
inline constexpr const char* kAbortQuestion = "There were errors, do you want to halt rest of the export?";

// ---- save prompt ----------------------------------------------------------------------------
inline constexpr const char* kAllFilesFilter = "All Files|*.*";
// "Export to: NAME", plus " (SUFFIX)" when the suffix is not empty.
std::string PromptTitle(std::string_view pluginName, std::string_view suffix);
// "NAME (*.EXT)|*.EXT"
std::string ExtensionFilter(std::string_view pluginName, std::string_view extension);
inline constexpr const char* kSuffixRgb = "RGB";
inline constexpr const char* kSuffixAlpha = "Alpha";

// ---- quick export menu and plug-in list ---------------------------------------------------------
inline constexpr const char* kExportToPrefix = "Export to ";
inline constexpr const char* kMenuSeparator = "-";
inline constexpr const char* kAdvancedExport = "Advanced Export...";
inline constexpr const char* kSimpleExporters = "Simple Exporters";
inline constexpr const char* kGraphicExporters = "Graphic Exporters";
inline constexpr const char* kDataExporters = "Data Exporters";

// ---- failures of a plug-in call in the plug-in host (this program's own texts) -------------------
std::string PluginCrashed(int signalNumber);
std::string PluginTimedOut(long long seconds);
std::string PluginExited(int status);
inline constexpr const char* kPluginUnknownException =
    "The plugin raised an exception that is not a standard exception.";
inline constexpr const char* kPluginFailedWithoutReason = "The plugin reported a failure without saying why.";
std::string PluginCallNotStarted(std::string_view reason);
inline constexpr const char* kPluginReplyBroken = "The plugin's process ended without a complete reply.";
inline constexpr const char* kPluginLost =
    "The plugin could not be loaded again after its plugin host process had ended.";
inline constexpr const char* kPluginNotLoadable = "The plugin library could not be loaded.";
inline constexpr const char* kPluginHostBusy = "Another plugin call is still running.";
std::string PluginHostRefused(std::string_view reason);
inline constexpr const char* kBufferSizeMismatch =
    "The generated texture and mask do not have the texture size of the settings.";

}  // namespace glyphmill::export_text
