// Shared helpers of the export tests: a temporary working folder with a "plugins" folder holding
// chosen test plug-ins, report files the test plug-ins write, and a ready export context.
#pragma once

#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "export/export_run.h"
#include "scratch_folder.h"
#include "tests/support/scripted_dialogs.h"

namespace glyphmill::testing_support {

// Creates a temporary folder, a "plugins" folder in it holding copies of the named test plug-ins
// (stem of the built plug-in, file name in the folder), and makes it the current folder. The
// previous current folder comes back, and the folder is removed, on destruction.
class PluginFolder {
 public:
  using Entry = std::pair<std::string, std::string>;
  explicit PluginFolder(const std::vector<Entry>& plugins);
  ~PluginFolder();
  PluginFolder(const PluginFolder&) = delete;
  PluginFolder& operator=(const PluginFolder&) = delete;

  const std::string& root() const { return root_; }
  // Adds a file with arbitrary contents to the plugins folder.
  void addFile(const std::string& name, const std::string& contents);

 private:
  testing::ScratchFolder scratch_;
  std::string root_;
  std::string previous_;
};
// A plug-in copied under its own name.
inline PluginFolder::Entry Plugin(const std::string& stem) { return {stem, stem + ".so"}; }
inline PluginFolder::Entry PluginAs(const std::string& stem, const std::string& fileName) { return {stem, fileName}; }

// A report of a test plug-in: "key=value" lines; repeated keys keep every value in order.
struct Report {
  bool exists = false;
  std::map<std::string, std::vector<std::string>> values;
  std::string get(const std::string& key) const;  // first value, "" when missing
  const std::vector<std::string>& all(const std::string& key) const;
};
Report ReadReport(const std::string& path);

// Same checksum as the test plug-in computes over a buffer.
uint32_t Checksum(std::span<const uint8_t> bytes);

// Everything an export run needs, with a small generated texture.
struct ExportWorld {
  GenerationSettings settings;
  // Stands in for a job's result: context() gives it placement's order of its table.
  GenerationResult result;
  uint32_t selectedCount = 0;
  int32_t spaceAdvance = 7;
  PluginRegistry registry;
  ExportJobQueue jobs;
  ScriptedDialogs dialogs;
  ExportBuffers buffers;
  std::vector<std::string> statuses;

  // A width x height texture with a pattern, three characters 'A', 'B', 'C'.
  ExportWorld(int width = 64, int height = 32);
  ExportContext context();
  // Discovers the plug-ins of the current folder (dialogs of the discovery are cleared after).
  void discover();
  // The registry index of the plug-in with this name, -1 when none.
  int32_t indexOf(const std::string& name) const;
};

}  // namespace glyphmill::testing_support
