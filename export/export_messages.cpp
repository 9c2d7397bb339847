#include "export/export_messages.h"

#include <cstring>

namespace glyphmill::export_text {

namespace {
std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (std::string_view p : parts) s.append(p);
  return s;
}
const std::string_view kCrs(&kCr, 1);
}  // namespace

std::string MissingEntryPoint(std::string_view pluginName, std::string_view typeWord) {
  return Cat({"There was an error while trying to load the \"", pluginName, "\" plugin:", kCrs, kCrs,
              "The plugin was supposed to be of the ", typeWord, " type,", kCrs,
              "but the correct export function couldn't be found in this plugin."});
}

std::string MissingGetPluginInfo(std::string_view path) {
  return Cat(
      {"Could not load plugin: ", path, kCrs, "This plugin does not have the required GetPluginInfo procedure."});
}

std::string LoadFailed(std::string_view path, std::string_view message) {
  return Cat({"Failed to load plugin: ", path, kCrs, kCrs, message});
}

std::string NoPlugins(std::string_view folderShown) {
  return Cat({"Warning! No valid export plugins were found in the \"", folderShown, "\" directory!", kCrs,
              "There is not really any point to running Glyphmill now, unless you just messing around..."});
}

std::string FitWarning() {
  return Cat({"Warning! the font doesnt fit properly in this texture size.", kCrs, kCrs,
              "Are you sure sure you want to export anyway?"});
}

std::string ExportCallFailed(std::string_view kindWord, std::string_view pluginName, std::string_view message) {
  return Cat({"There was an error while executing the ", kindWord, " export function of the ", pluginName, " plugin.",
              kCrs, "The error was:", kCrs, message});
}

std::string JobFailed(std::string_view message) {
  return Cat({"There was an error while exporting!", kCrs, kCrs, message});
}

std::string PromptTitle(std::string_view pluginName, std::string_view suffix) {
  if (suffix.empty()) return Cat({"Export to: ", pluginName});
  return Cat({"Export to: ", pluginName, " (", suffix, ")"});
}

std::string ExtensionFilter(std::string_view pluginName, std::string_view extension) {
  return Cat({pluginName, " (*.", extension, ")|*.", extension});
}

std::string PluginCrashed(int signalNumber) {
  const char* name = strsignal(signalNumber);
  return "The plugin crashed (signal " + std::to_string(signalNumber) + ": " + (name ? name : "unknown") + ").";
}

std::string PluginTimedOut(long long seconds) {
  return "The plugin did not return within " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
         " and was stopped.";
}

std::string PluginExited(int status) {
  return "The plugin ended its process with exit status " + std::to_string(status) + ".";
}

std::string PluginCallNotStarted(std::string_view reason) {
  return Cat({"The plugin could not be called in a separate process: ", reason});
}

std::string PluginHostRefused(std::string_view reason) { return Cat({"The plugin host refused the call: ", reason}); }

}  // namespace glyphmill::export_text
