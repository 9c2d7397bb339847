#include "project/job_plugin_names.h"

#include <algorithm>

#include "settings/generation_settings.h"

namespace glyphmill {

void SetShortString(std::array<uint8_t, 256>& field, std::string_view name) {
  const std::string cut = CutUtf8(name, 255);
  field[0] = static_cast<uint8_t>(cut.size());
  std::copy(cut.begin(), cut.end(), field.begin() + 1);
}

bool ShortStringEquals(const std::array<uint8_t, 256>& field, std::string_view name) {
  const std::string cut = CutUtf8(name, 255);
  return field[0] == cut.size() && std::equal(cut.begin(), cut.end(), field.begin() + 1,
                                              [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

namespace {

bool NamesPlugin(int32_t index, const PluginNames& plugins) {
  return index >= 0 && static_cast<std::size_t>(index) < plugins.size();
}

}  // namespace

void RefreshJobNames(ExportJobQueue& jobs, const PluginNames& plugins) {
  for (TExportJob& job : jobs)
    if (NamesPlugin(job.PluginIndex, plugins)) SetShortString(job.PluginName, plugins[job.PluginIndex]);
}

void MatchJobsToPlugins(ExportJobQueue& jobs, const PluginNames& plugins) {
  for (TExportJob& job : jobs) {
    if (NamesPlugin(job.PluginIndex, plugins) && ShortStringEquals(job.PluginName, plugins[job.PluginIndex])) continue;
    bool found = false;
    for (std::size_t i = 0; i < plugins.size() && !found; ++i) {
      if (ShortStringEquals(job.PluginName, plugins[i])) {
        job.PluginIndex = static_cast<int32_t>(i);
        found = true;
      }
    }
    // A job whose plug-in is gone must not run whichever other plug-in now sits at its old index:
    // it becomes a job without a plug-in (shown as missing, failing when run). An index outside
    // the list already means that and is kept as stored.
    if (!found && NamesPlugin(job.PluginIndex, plugins)) job.PluginIndex = -1;
  }
}

}  // namespace glyphmill
