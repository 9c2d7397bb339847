#include "export/plugin_registry.h"

#include <dirent.h>
#include <fnmatch.h>

#include "export/export_messages.h"

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
  hasSimpleExporter_ = false;
  jobs.clear();
  for (const TExportPlugin& plugin : plugins_) host_->unload(plugin.hostSlot);
  plugins_.clear();
  const std::string prefix = folder + "/";
  for (const std::string& name : ListLibraries(folder)) LoadLibrary(prefix + name, dialogs);
  if (plugins_.empty())
    dialogs.showMessage({export_text::kNoPluginsCaption, export_text::NoPlugins(prefix), DialogIcon::Warning,
                         DialogOwner::None});
}

bool PluginRegistry::LoadLibrary(const std::string& path, Dialogs& dialogs) {
  TExportPlugin plugin(path, dialogs, *host_, limits_);
  if (!plugin.Usable) return false;
  if (plugin.pluginType() == ptSimple) hasSimpleExporter_ = true;
  plugins_.push_back(std::move(plugin));
  return true;
}

void PluginRegistry::Release() {
  // Front to back, as the objects were made; the vector's own clear order is unspecified.
  while (!plugins_.empty()) plugins_.erase(plugins_.begin());
  hasSimpleExporter_ = false;
}

}  // namespace glyphmill
