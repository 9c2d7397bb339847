// TExportPlugin: one loaded export plug-in library and what it said about itself.
//
// Loading: dlopen the library (RTLD_NOW | RTLD_LOCAL); a library that cannot be loaded is skipped
// without a message. Its GetPluginInfo runs once, in a child process (export/isolated_call.h), on a
// zeroed TPluginInfo whose bytes come back through the child's reply. Then the one entry point the
// plug-in's type requires is looked up; the others are not. Any failure is shown in a message box
// and leaves the object unusable, with its library unloaded and every entry pointer cleared.
//
// Destroying a usable object does not unload its library: plug-ins stay loaded until the process
// ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "export/dialogs.h"
#include "glyphmill/plugin.h"

namespace glyphmill {

// How long one plug-in call may take before it is stopped and reported as a failure. Generous: a
// large texture written as a compressed image can take many seconds.
struct PluginCallLimits {
  std::chrono::milliseconds info{20000};         // GetPluginInfo
  std::chrono::milliseconds exportCall{120000};  // SimpleExport, GraphicExport, DataExport
};

class TExportPlugin {
 public:
  TExportPlugin() = default;
  // Loads the library at `path` (relative to the current folder, "plugins/NAME.so") and reports a
  // failure through `dialogs`.
  TExportPlugin(const std::string& path, Dialogs& dialogs, const PluginCallLimits& limits = {});
  TExportPlugin(TExportPlugin&&) noexcept = default;
  TExportPlugin& operator=(TExportPlugin&&) noexcept = default;
  TExportPlugin(const TExportPlugin&) = delete;
  TExportPlugin& operator=(const TExportPlugin&) = delete;
  ~TExportPlugin() = default;

  // The fields, in their documented order.
  GetPluginInfoProc GetPluginInfo = nullptr;
  SimpleExportProc SimpleExport = nullptr;    // only for ptSimple
  GraphicExportProc GraphicExport = nullptr;  // only for the graphic types
  DataExportProc DataExport = nullptr;        // only for ptData
  std::string FileName;                       // output path of the latest export
  TPluginInfo Info{};                         // as the plug-in filled it
  void* libraryHandle = nullptr;              // nullptr when loading failed
  std::string Name;                           // Info.Name as text
  std::string Path;                           // "plugins/" + the file name
  bool CanRGB = false;
  bool CanAlpha = false;
  bool CanData = false;
  bool Usable = false;

  uint8_t pluginType() const { return Info.PluginType; }
  bool askFileName() const { return Info.AskFileName != 0; }
  bool hasExtension() const { return Info.HasExtension != 0; }
  // Info.Extension as text; a length byte above the field's 4 characters counts as 4.
  std::string extension() const;

 private:
  void load(Dialogs& dialogs, const PluginCallLimits& limits);
};

// The option flags of a plug-in type: which of the colour, alpha and data options apply.
struct PluginOptionFlags {
  bool rgb = false;
  bool alpha = false;
  bool data = false;
};
PluginOptionFlags OptionFlagsForType(uint8_t pluginType);

// "Simple", "Data" or "Graphic": the word naming the entry point a type requires.
const char* EntryTypeWord(uint8_t pluginType);

}  // namespace glyphmill
