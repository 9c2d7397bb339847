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
  plugins_.clear();
  const std::string prefix = folder + "/";
  for (const std::string& name : ListLibraries(folder)) {
    TExportPlugin plugin(prefix + name, dialogs, limits_);
    if (!plugin.Usable) continue;
    if (plugin.pluginType() == ptSimple) hasSimpleExporter_ = true;
    plugins_.push_back(std::move(plugin));
  }
  if (plugins_.empty())
    dialogs.showMessage({export_text::kNoPluginsCaption, export_text::NoPlugins(prefix), DialogIcon::Warning,
                         DialogOwner::None});
}

void PluginRegistry::Release() {
  // Front to back, as the objects were made; the vector's own clear order is unspecified.
  while (!plugins_.empty()) plugins_.erase(plugins_.begin());
  hasSimpleExporter_ = false;
}

}  // namespace glyphmill
