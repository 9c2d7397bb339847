// TExportPlugin: one export plug-in library, loaded in the plug-in host, and what it said about
// itself.
//
// Loading: the plug-in host (export/plugin_host_process.h) dlopens the library; a library that
// cannot be loaded (its constructors crash, exit or hang included) is skipped without a message.
// Its GetPluginInfo runs once in the host, on a zeroed TPluginInfo whose bytes come back in the
// reply. Then the one entry point the plug-in's type requires must be among the library's exports;
// the others do not matter. Any failure is shown in a message box and leaves the object unusable,
// with its library unloaded from the host.
//
// Destroying a usable object does not unload its library: plug-ins stay loaded in the host until
// the program ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "export/dialogs.h"
#include "export/plugin_host_process.h"
#include "export/plugin_info_cache.h"
#include "glyphmill/plugin.h"

namespace glyphmill {

// How long one plug-in call may take before it is stopped and reported as a failure. Generous: a
// large texture written as a compressed image can take many seconds.
struct PluginCallLimits {
  std::chrono::milliseconds info{20000};         // opening a library, and its GetPluginInfo
  std::chrono::milliseconds exportCall{120000};  // SimpleExport, GraphicExport, DataExport
};

class TExportPlugin {
 public:
  TExportPlugin() = default;
  // Loads the library at `path` (relative to the current folder, "plugins/NAME.so") in `host`
  // and reports a failure through `dialogs`.
  TExportPlugin(const std::string& path, Dialogs& dialogs, PluginHostProcess& host,
                const PluginCallLimits& limits = {});
  // Takes the description a library gave when it was loaded before (PluginInfoCache) without
  // loading it now: the host loads it, and asks it again, before its first export call.
  TExportPlugin(const std::string& path, const CachedPluginInfo& answer, Dialogs& dialogs, PluginHostProcess& host,
                const PluginCallLimits& limits = {});
  TExportPlugin(TExportPlugin&&) noexcept = default;
  TExportPlugin& operator=(TExportPlugin&&) noexcept = default;
  TExportPlugin(const TExportPlugin&) = delete;
  TExportPlugin& operator=(const TExportPlugin&) = delete;
  ~TExportPlugin() = default;

  // The fields, in their documented order. The entry points live in the host: these say which
  // ones were found there (only the one the type requires is looked for).
  bool GetPluginInfo = false;
  bool SimpleExport = false;   // only for ptSimple
  bool GraphicExport = false;  // only for the graphic types
  bool DataExport = false;     // only for ptData
  std::string FileName;        // output path of the latest export
  TPluginInfo Info{};          // as the plug-in filled it
  uint32_t hostSlot = 0;       // the library's slot in the plug-in host; 0 when not loaded
  std::string Name;            // Info.Name as text
  std::string Path;            // "plugins/" + the file name
  bool CanRGB = false;
  bool CanAlpha = false;
  bool CanData = false;
  bool Usable = false;

  uint8_t pluginType() const { return Info.PluginType; }
  bool askFileName() const { return Info.AskFileName != 0; }
  bool hasExtension() const { return Info.HasExtension != 0; }
  // Info.Extension as text; a length byte above the field's 4 characters counts as 4.
  std::string extension() const;
  // What a usable plug-in said about itself, as PluginInfoCache keeps it.
  CachedPluginInfo answer() const;

 private:
  // Takes what loading (or the cache) said: the description, the option flags, the entry point.
  void describe(const HostLoad& loaded, Dialogs& dialogs, PluginHostProcess& host);
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
