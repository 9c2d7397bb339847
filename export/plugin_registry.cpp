#include "export/plugin_registry.h"

#include <dirent.h>
#include <fnmatch.h>

#include <set>

#include "export/export_messages.h"
#include "export/plugin_info_cache.h"

namespace glyphmill {

namespace {

// Entry names of `folder` matching "*.so", in listing order; none when the folder is missing.
std::vector<std::string> ListLibraries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (fnmatch("*.so", name.c_str(), 0) == 0) names.push_back(std::move(name));
  }
  closedir(dir);
  return names;
}

}  // namespace

void PluginRegistry::Discover(Dialogs& dialogs, ExportJobQueue& jobs, const std::string& folder) {
  Discover(dialogs, jobs, std::vector<std::string>{folder});
}

void PluginRegistry::Discover(Dialogs& dialogs, ExportJobQueue& jobs, const std::vector<std::string>& folders) {
  hasSimpleExporter_ = false;
  jobs.clear();
  for (const TExportPlugin& plugin : plugins_) host_->unload(plugin.hostSlot);
  plugins_.clear();
  std::set<std::string> found;  // file names seen so far: they hide later ones
  PluginInfoCache cache(infoCacheFile_);
  for (const std::string& folder : folders) {
    const std::string prefix = folder + "/";
    for (const std::string& name : ListLibraries(folder)) {
      if (!found.insert(name).second) continue;
      const std::string path = prefix + name;
      LibraryIdentity library;
      const bool identified = !infoCacheFile_.empty() && IdentifyLibrary(path, &library);
      if (const CachedPluginInfo* answer = identified ? cache.find(library) : nullptr) {
        TExportPlugin plugin(path, *answer, dialogs, *host_, limits_);
        if (plugin.Usable) keep(std::move(plugin));
        continue;
      }
      const bool usable = LoadLibrary(path, dialogs);
      if (!identified) continue;
      if (usable) {
        cache.store(library, plugins_.back().answer());
      } else {
        cache.forget(library.path);
      }
    }
  }
  cache.save();
  if (plugins_.empty()) {
    const std::string shown = (folders.empty() ? std::string(kPluginFolder) : folders.front()) + "/";
    dialogs.showMessage(
        {export_text::kNoPluginsCaption, export_text::NoPlugins(shown), DialogIcon::Warning, DialogOwner::None});
  }
}

bool PluginRegistry::LoadLibrary(const std::string& path, Dialogs& dialogs) {
  TExportPlugin plugin(path, dialogs, *host_, limits_);
  if (!plugin.Usable) return false;
  keep(std::move(plugin));
  return true;
}

void PluginRegistry::keep(TExportPlugin plugin) {
  if (plugin.pluginType() == ptSimple) hasSimpleExporter_ = true;
  plugins_.push_back(std::move(plugin));
}

void PluginRegistry::Release() {
  // Front to back, as the objects were made; the vector's own clear order is unspecified.
  while (!plugins_.empty()) plugins_.erase(plugins_.begin());
  hasSimpleExporter_ = false;
}

}  // namespace glyphmill
