// "BMFont JSON": the BMFont descriptor in the JSON form JavaScript engines load (.json), plus its
// RGBA PNG page.
#include "glyphmill/plugin.h"
#include "plugins/bmfont_json/bmfont_json_format.h"
#include "plugins/common/bmfont_export.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/plugin_info.h"

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "BMFont JSON", ptSimple, "json");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL SimpleExport(const TSimpleExportInfo* info) {
  glyphmill::plugins::RunExportEntry(
      [info] { glyphmill::plugins::RunBmFontExport(info, glyphmill::plugins::FormatBmFontJson); });
}
