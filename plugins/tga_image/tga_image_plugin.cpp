// "TGA Image": the texture as an uncompressed TGA: 24-bit colour, 8-bit grey alpha, or 32-bit both.
// A font of several pages gives one file per page, "name_K.tga", put in place together.
#include <memory>
#include <vector>

#include "glyphmill/plugin.h"
#include "plugins/common/export_checks.h"
#include "plugins/common/export_entry.h"
#include "plugins/common/export_pages.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/plugin_info.h"
#include "plugins/tga_image/tga_writer.h"

namespace glyphmill::plugins {
namespace {

void ExportTga(const TGraphicExportInfo* info) {
  if (info == nullptr) return;
  const char* fileName = FileNameOf(info->FileName);
  if (*fileName == '\0') return;
  const ExportPages pages = QueryExportPages(info->Width, info->Height, info->RGB, info->Alpha, {});
  std::vector<std::unique_ptr<PendingFile>> files;
  for (std::size_t k = 0; k < pages.count(); ++k) {
    const HostPage& page = pages.pages[k];
    files.push_back(std::make_unique<PendingFile>(PageImagePath(fileName, k, pages.count())));
    files.back()->write(
        EncodeTga(static_cast<uint16_t>(page.width), static_cast<uint16_t>(page.height), page.rgb, page.alpha));
  }
  CommitTogether(files);
}

}  // namespace
}  // namespace glyphmill::plugins

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GetPluginInfo(TPluginInfo* info) {
  glyphmill::plugins::FillPluginInfo(info, "TGA Image", ptGraphicRGBOrAlpha, "tga");
}

GLYPHMILL_PLUGIN_EXPORT void GLYPHMILL_CALL GraphicExport(const TGraphicExportInfo* info) {
  glyphmill::plugins::RunExportEntry([info] { glyphmill::plugins::ExportTga(info); });
}
