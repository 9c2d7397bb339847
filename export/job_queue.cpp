#include "export/job_queue.h"

#include <algorithm>

#include "glyphmill/plugin.h"

namespace glyphmill {

void ApplyJobDefaults(TExportJob& job, uint8_t pluginType) {
  switch (pluginType) {
    case ptData: job.UseData = true; break;
    case ptGraphicRGB: job.UseRGB = true; break;
    case ptGraphicAlpha: job.UseAlpha = true; break;
    case ptGraphicRGBXorAlpha: job.UseRGB = true; break;
    case ptGraphicRGBAndAlpha:
    case ptGraphicRGBOrAlpha:
      job.UseRGB = true;
      job.UseAlpha = true;
      break;
    default: break;
  }
}

bool AppendJob(ExportJobQueue& jobs, const PluginRegistry& registry, int32_t pluginIndex) {
  const TExportPlugin* plugin = registry.find(pluginIndex);
  if (plugin == nullptr) return false;
  TExportJob job;
  job.PluginIndex = pluginIndex;
  ApplyJobDefaults(job, plugin->pluginType());
  jobs.push_back(job);
  return true;
}

bool RemoveJob(ExportJobQueue& jobs, std::size_t position) {
  if (position >= jobs.size()) return false;
  jobs.erase(jobs.begin() + static_cast<std::ptrdiff_t>(position));
  return true;
}

const TExportPlugin* JobPlugin(const PluginRegistry& registry, const TExportJob& job) {
  return registry.find(job.PluginIndex);
}

namespace {
bool Toggle(bool& clicked, bool& other, uint8_t pluginType) {
  if (pluginType != ptGraphicRGBXorAlpha && pluginType != ptGraphicRGBOrAlpha) return false;
  clicked = !clicked;
  if (!clicked) other = true;
  if (clicked && other && pluginType == ptGraphicRGBXorAlpha) other = false;
  return true;
}
}  // namespace

bool ToggleJobColour(TExportJob& job, uint8_t pluginType) { return Toggle(job.UseRGB, job.UseAlpha, pluginType); }

bool ToggleJobAlpha(TExportJob& job, uint8_t pluginType) { return Toggle(job.UseAlpha, job.UseRGB, pluginType); }

std::size_t QueueGridRows(const ExportJobQueue& jobs) { return std::max<std::size_t>(2, jobs.size() + 1); }

std::vector<std::string> RegistryNames(const PluginRegistry& registry) {
  std::vector<std::string> names;
  names.reserve(registry.size());
  for (std::size_t i = 0; i < registry.size(); ++i) names.push_back(registry.at(i).Name);
  return names;
}

}  // namespace glyphmill
