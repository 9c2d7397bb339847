// "BMFont Binary": the AngelCode BMFont binary descriptor, version 3 (.fnt), plus its RGBA PNG page.
#include "glyphmill/plugin.h"
#include "plugins/bmfont_binary/bmfont_binary_format.h"
#include "plugins/common/bmfont_export.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/plugin_info.h"

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "BMFont Binary", ptSimple, "fnt");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL SimpleExport(const TSimpleExportInfo* info) {
  glyphmill::plugins::RunExportEntry(
      [info] { glyphmill::plugins::RunBmFontExport(info, glyphmill::plugins::FormatBmFontBinary); });
}
