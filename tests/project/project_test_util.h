// Helpers shared by the project tests: a recognisable project and a scratch folder.
#pragma once

#include <string>

#include "project/job_plugin_names.h"
#include "project/project_file.h"
#include "scratch_folder.h"

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

using glyphmill::testing::ScratchFolder;

}  // namespace glyphmill::testing_util
