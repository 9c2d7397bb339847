// "TGA Image": the texture as an uncompressed TGA: 24-bit colour, 8-bit grey alpha, or 32-bit both.
#include "glyphmill/plugin.h"
#include "plugins/common/export_checks.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
#include "plugins/tga_image/tga_writer.h"

namespace glyphmill::plugins {
namespace {

void ExportTga(const TGraphicExportInfo* info) {
  if (info == nullptr) return;
  const char* fileName = FileNameOf(info->FileName);
  if (*fileName == '\0') return;
  const std::string bytes = EncodeTga(info->Width, info->Height, info->RGB, info->Alpha);
  PendingFile file(fileName);
  file.write(bytes);
  file.Commit();
}

}  // namespace
}  // namespace glyphmill::plugins

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "TGA Image", ptGraphicRGBOrAlpha, "tga");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GraphicExport(const TGraphicExportInfo* info) {
  glyphmill::plugins::RunExportEntry([info] { glyphmill::plugins::ExportTga(info); });
}
