// How queued export jobs keep finding their plug-in: a job remembers both the registry index it
// was made with and the plug-in's name. Saving refreshes the name from the index; loading keeps the
// index when it still names the same plug-in and otherwise looks the name up.
//
// The plug-ins are given as their names in registry order (index = identity), so this code needs
// nothing of the registry itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_job.h"

namespace glyphmill {

using PluginNames = std::vector<std::string>;

// Writes `name` as a short string into `field`: the length byte and the name's bytes, cut to 255
// bytes without splitting a UTF-8 sequence. The bytes after the name are left as they were.
void SetShortString(std::array<uint8_t, 256>& field, std::string_view name);

// True when the short string `field` holds exactly `name` (as SetShortString would store it).
bool ShortStringEquals(const std::array<uint8_t, 256>& field, std::string_view name);

// Before saving: each job whose index names a loaded plug-in takes that plug-in's name. A job whose
// index lies outside the list keeps the name it has, so that a later run can still find it.
void RefreshJobNames(ExportJobQueue& jobs, const PluginNames& plugins);

// After loading: a job whose index names a loaded plug-in of the same name stays as it is;
// otherwise it takes the index of the first plug-in with its name. When none has it, the job has no
// plug-in: an index outside the list stays as stored, one that names another plug-in becomes -1
// (the export run and the Advanced Export window treat both as no plug-in).
void MatchJobsToPlugins(ExportJobQueue& jobs, const PluginNames& plugins);

}  // namespace glyphmill
