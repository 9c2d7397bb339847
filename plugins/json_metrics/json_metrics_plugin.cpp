// "JSON Metrics": texture size, space advance and the character table as JSON (a data exporter).
#include "glyphmill/plugin.h"
#include "plugins/common/export_checks.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/export_pages.h"
#include "plugins/common/host_font_info.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
#include "plugins/json_metrics/json_metrics_format.h"

namespace glyphmill::plugins {
namespace {

void ExportJson(const TDataExportInfo* info) {
  if (info == nullptr) return;
  const char* fileName = FileNameOf(info->FileName);
  if (*fileName == '\0') return;
  const auto chars = CharTable(info->Chars, info->CharCount);
  const ExportPages pages = QueryExportPages(info->Width, info->Height, nullptr, nullptr, chars);
  auto host = QueryHostFontInfo(info->CharCount);
  if (host && pages.host) UsePagesTable(*host, *pages.host);
  PendingFile file(fileName);
  file.write(FormatJsonMetrics(info->Width, info->Height, info->SpaceAdvance, pages.chars, host, pages.pages,
                               pages.charPages));
  file.Commit();
}

}  // namespace
}  // namespace glyphmill::plugins

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "JSON Metrics", ptData, "json");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL DataExport(const TDataExportInfo* info) {
  glyphmill::plugins::RunExportEntry([info] { glyphmill::plugins::ExportJson(info); });
}
