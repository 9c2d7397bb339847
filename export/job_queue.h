// The job queue as plain functions: jobs made with the defaults of their plug-in's type, removed
// by position, and the colour/alpha switches of the jobs whose type lets the person choose.
// The queue itself is an ExportJobQueue (export/export_job.h), in queue order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/plugin_registry.h"

namespace glyphmill {

// Switches on the options a new job of a plug-in type starts with: 2 data, 3 colour, 4 alpha,
// 5 colour, 6 and 7 colour and alpha, every other type none.
void ApplyJobDefaults(TExportJob& job, uint8_t pluginType);

// A new job for a registry index: every option off, then the type's defaults, and an empty name
// (the name is filled in when the queue is saved). False, nothing appended, when the index names
// no plug-in. The same plug-in may be queued any number of times.
bool AppendJob(ExportJobQueue& jobs, const PluginRegistry& registry, int32_t pluginIndex);

// Removes the job at `position` (later jobs move up). False when there is no such job.
bool RemoveJob(ExportJobQueue& jobs, std::size_t position);

// The plug-in a job names, or nullptr when its index lies outside the registry.
const TExportPlugin* JobPlugin(const PluginRegistry& registry, const TExportJob& job);

// The colour and alpha switches. Only jobs of types 5 (exactly one of the two) and 7 (at least one)
// change: turning one option off turns the other on, and for type 5 turning one on turns the other
// off. Returns whether the job changed.
bool ToggleJobColour(TExportJob& job, uint8_t pluginType);
bool ToggleJobAlpha(TExportJob& job, uint8_t pluginType);

// Rows of the queue grid: a header row plus one per job, never fewer than 2.
std::size_t QueueGridRows(const ExportJobQueue& jobs);

// The registry's plug-in names in registry order (what project files match jobs against).
std::vector<std::string> RegistryNames(const PluginRegistry& registry);

}  // namespace glyphmill
