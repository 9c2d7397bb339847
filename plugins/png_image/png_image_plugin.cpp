// "PNG Image": the texture as a PNG. Colour only gives RGB, alpha only 8-bit grey, both RGBA.
#include "glyphmill/plugin.h"
#include "plugins/common/export_checks.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
#include "plugins/common/png_writer.h"

namespace glyphmill::plugins {
namespace {

void ExportPng(const TGraphicExportInfo* info) {
  if (info == nullptr) return;
  const char* fileName = FileNameOf(info->FileName);
  if (*fileName == '\0') return;
  PendingFile file(fileName);
  WritePng(file, info->Width, info->Height, info->RGB, info->Alpha);
  file.Commit();
}

}  // namespace
}  // namespace glyphmill::plugins

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "PNG Image", ptGraphicRGBOrAlpha, "png");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GraphicExport(const TGraphicExportInfo* info) {
  glyphmill::plugins::RunExportEntry([info] { glyphmill::plugins::ExportPng(info); });
}
