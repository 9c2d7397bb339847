// Helpers shared by the project tests: a recognisable project and a scratch folder.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "project/job_plugin_names.h"
#include "project/project_file.h"

namespace glyphmill::testing_util {

inline TExportJob MakeJob(int32_t index, const std::string& name, bool rgb, bool data, bool alpha) {
  TExportJob job;
  job.UseRGB = rgb;
  job.UseData = data;
  job.UseAlpha = alpha;
  job.PluginIndex = index;
  SetShortString(job.PluginName, name);
  return job;
}

// A project whose every field differs from the zero record.
inline ProjectData SampleProject() {
  ProjectData p;
  p.settings = FirstStartSettings();
  p.settings.setFontName("DejaVu Sans");
  p.settings.fontSize = 24;
  p.settings.packOrigin = 3;
  p.settings.styleFlags = kStyleItalic | kStyleDropShadow;
  p.settings.textColour = 0x00112233;
  p.settings.verticalPad = -7;
  p.settings.kerning = -1000;
  p.settings.textureWidth = 512;
  p.settings.textureHeight = 2048;
  p.settings.shadowOffset = 50;
  p.settings.padding = {0xAB, 0xCD};
  for (std::size_t u = 0; u < p.selection.size(); u += 7) p.selection[u] = 1;
  p.selection[65535] = 1;
  p.jobs.push_back(MakeJob(0, "PNG image", true, false, true));
  p.jobs.push_back(MakeJob(2, "BMFont text", false, true, false));
  return p;
}

// A fresh folder below the system's temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "glyphmill-project-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace glyphmill::testing_util
