// PluginRegistry: the export plug-ins found at start-up, in discovery order. A plug-in's position
// in the registry is its identity everywhere else (export menu, job queue, Advanced Export list).
//
// Discovery takes every entry matching "*.so" of each folder in turn (a relative folder is relative
// to the current working folder; entries in the order the directory listing returns; any kind of
// entry matches, a directory simply fails to load), loads it as a TExportPlugin and keeps the
// usable ones. A file name already found in an earlier folder hides a later file of that name, so
// a user's copy of an exporter replaces the installed one. The registry is filled once and does
// not change afterwards.
//
// The libraries are loaded, and their entry points called, in the registry's plug-in host process
// (export/plugin_host_process.h), never in the program itself. The host is started at the first
// load and ends with the registry.
//
// With an information cache file (setInfoCacheFile), a library whose answer the cache holds for
// exactly that file is registered from it without being loaded (export/plugin_info_cache.h): it
// takes the same place, index and name as if it had been loaded, and the host loads it only when
// one of its exports is called. Every other library is loaded as above, and the answer of a usable
// one is kept for the next discovery. Without the file every library is loaded.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/dialogs.h"
#include "export/export_job.h"
#include "export/export_plugin.h"

namespace glyphmill {

inline constexpr const char* kPluginFolder = "plugins";

class PluginRegistry {
 public:
  // Empties the registry and `jobs` (the job queue starts empty), then loads every "*.so" of
  // `folder`. Load failures are shown through `dialogs`; when no plug-in is usable, the
  // "No Plugins!" warning is shown.
  void Discover(Dialogs& dialogs, ExportJobQueue& jobs, const std::string& folder = kPluginFolder);
  // The same over several folders, searched in order; the "No Plugins!" warning names the first.
  void Discover(Dialogs& dialogs, ExportJobQueue& jobs, const std::vector<std::string>& folders);

  // Loads one library (a path as Discover builds it) and appends it when it is usable; true then.
  bool LoadLibrary(const std::string& path, Dialogs& dialogs);

  // Destroys every plug-in object in registry order (their libraries stay loaded in the host).
  void Release();

  std::size_t size() const { return plugins_.size(); }
  bool empty() const { return plugins_.empty(); }
  // The plug-in at a registry index; `contains` says whether an index (also a negative one or one
  // from a project saved with other plug-ins) names one.
  bool contains(int64_t index) const { return index >= 0 && static_cast<std::size_t>(index) < plugins_.size(); }
  TExportPlugin& at(std::size_t index) { return plugins_.at(index); }
  const TExportPlugin& at(std::size_t index) const { return plugins_.at(index); }
  // nullptr when the index names no plug-in.
  TExportPlugin* find(int64_t index) { return contains(index) ? &plugins_[static_cast<std::size_t>(index)] : nullptr; }
  const TExportPlugin* find(int64_t index) const {
    return contains(index) ? &plugins_[static_cast<std::size_t>(index)] : nullptr;
  }

  // True when at least one registered plug-in is a simple exporter.
  bool hasSimpleExporter() const { return hasSimpleExporter_; }

  // Where discovery keeps what usable libraries said about themselves; empty (the default): every
  // library is loaded and asked. Set before Discover.
  void setInfoCacheFile(std::string file) { infoCacheFile_ = std::move(file); }

  // Time limits of plug-in calls: set before Discover; the export run reads them.
  void setCallLimits(const PluginCallLimits& limits) { limits_ = limits; }
  const PluginCallLimits& callLimits() const { return limits_; }

  // The plug-in host the libraries live in; how the program waits for it is set here (null:
  // block).
  PluginHostProcess& host() { return *host_; }
  void setCallWaiter(CallWaiter* waiter) { host_->setWaiter(waiter); }

 private:
  void keep(TExportPlugin plugin);

  std::vector<TExportPlugin> plugins_;
  bool hasSimpleExporter_ = false;
  PluginCallLimits limits_;
  std::string infoCacheFile_;
  std::unique_ptr<PluginHostProcess> host_ = std::make_unique<PluginHostProcess>();
};

}  // namespace glyphmill
