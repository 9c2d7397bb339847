// Project files: the byte form of the settings record, the character selection and the batch
// export queue (layout in project/project_layout.h), and the reader that refuses a file before
// anything of the caller's state is touched.
//
// Writing and reading here never shows anything: a refusal or a read failure comes back as a
// ProjectReadError, and the front ends (project/project_io.h) report it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "project/job_plugin_names.h"
#include "project/project_extensions.h"
#include "settings/character_selection.h"
#include "settings/generation_settings.h"
#include "settings/result.h"

namespace glyphmill {

// Everything a project file holds.
struct ProjectData {
  GenerationSettings settings;
  CharacterSelection selection{};
  ExportJobQueue jobs;
  ProjectExtensions extensions;  // the extension block after the jobs (project/project_extensions.h)
  bool operator==(const ProjectData&) const = default;
};

// Why a project was not read. Refused: the bytes are no project this program reads; `caption` and
// `text` go into a message box with an error icon. Unreadable: the source failed while reading;
// `text` is the failure's message (the front ends put it in the status line).
struct ProjectReadError {
  enum class Kind { Refused, Unreadable };
  Kind kind = Kind::Refused;
  std::string caption;
  std::string text;
};

// Where the reader takes its bytes from. read() fills up to `n` bytes and returns how many it
// gave; fewer than asked means the end was reached. A read failure comes back as its message.
class ProjectSource {
 public:
  virtual ~ProjectSource() = default;
  virtual Result<std::size_t> read(uint8_t* dst, std::size_t n) = 0;
};

// The complete byte form. Jobs are written as they stand: refresh their names first
// (RefreshJobNames) where the plug-in list is known. The extension block follows the jobs only when
// an addition differs from its default; paths in it are written as given.
std::vector<uint8_t> ProjectToBytes(const GenerationSettings& settings, const CharacterSelection& selection,
                                    const ExportJobQueue& jobs, const ProjectExtensions& extensions = {});

// Reads one project from `source`. Every part is checked before anything is handed back: a wrong
// signature or settings size, a file that ends early, a job count the file cannot hold, a font
// name without its terminating zero and a damaged extension block are refused. On success the
// jobs are matched to `plugins` by name (MatchJobsToPlugins).
Result<ProjectData, ProjectReadError> ParseProject(ProjectSource& source, const PluginNames& plugins);

// The same over bytes in memory.
Result<ProjectData, ProjectReadError> ParseProjectBytes(const uint8_t* data, std::size_t size,
                                                        const PluginNames& plugins);

// WriteProject over an open writable stream: refreshes the jobs' names from `plugins`, then writes
// the complete file. False when the stream failed.
bool WriteProject(std::ostream& stream, const GenerationSettings& settings, const CharacterSelection& selection,
                  ExportJobQueue& jobs, const PluginNames& plugins, const ProjectExtensions& extensions = {});

// Reads a project from an open readable stream (see ParseProject). A read failure the stream
// reports (as opposed to its end) comes back Unreadable.
Result<ProjectData, ProjectReadError> ReadProjectStream(std::istream& stream, const PluginNames& plugins);

}  // namespace glyphmill
