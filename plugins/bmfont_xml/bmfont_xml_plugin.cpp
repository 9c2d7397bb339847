// "BMFont XML": the AngelCode BMFont descriptor in XML form (.fnt) plus its RGBA PNG page.
#include "glyphmill/plugin.h"
#include "plugins/bmfont_xml/bmfont_xml_format.h"
#include "plugins/common/bmfont_export.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/plugin_info.h"

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "BMFont XML", ptSimple, "fnt");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL SimpleExport(const TSimpleExportInfo* info) {
  glyphmill::plugins::RunExportEntry(
      [info] { glyphmill::plugins::RunBmFontExport(info, glyphmill::plugins::FormatBmFontXml); });
}
