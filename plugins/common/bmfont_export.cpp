#include "plugins/common/bmfont_export.h"

#include <memory>
#include <vector>

#include "plugins/common/export_checks.h"
#include "plugins/common/export_pages.h"
#include "plugins/common/host_font_info.h"
#include "plugins/common/page_file_name.h"
#include "plugins/common/pending_file.h"
#include "plugins/common/png_writer.h"

namespace glyphmill::plugins {

void RunBmFontExport(const TSimpleExportInfo* record, BmFontFormatter format) {
  if (record == nullptr) return;
  const std::string fileName = FileNameOf(record->FileName);
  if (fileName.empty()) return;
  RequireTexture(record->Width, record->Height);
  RequireBuffer(record->RGB, "colour");
  RequireBuffer(record->Alpha, "alpha");
  const auto chars = CharTable(record->Chars, record->CharCount);
  const ExportPages pages = QueryExportPages(record->Width, record->Height, record->RGB, record->Alpha, chars);
  auto host = QueryHostFontInfo(record->CharCount);
  if (host && pages.host) UsePagesTable(*host, *pages.host);

  // One page file at a time, each complete in its temporary before the next is encoded.
  std::vector<std::unique_ptr<PendingFile>> files;
  std::vector<std::string> pageNames;
  for (std::size_t k = 0; k < pages.count(); ++k) {
    const HostPage& page = pages.pages[k];
    RequireTexture(page.width, page.height);
    RequireBuffer(page.rgb, "colour");
    RequireBuffer(page.alpha, "alpha");
    const PageFile name = PageFileFor(fileName, k, pages.count());
    files.push_back(std::make_unique<PendingFile>(name.path));
    WritePng(*files.back(), page.width, page.height, page.rgb, page.alpha);
    pageNames.push_back(name.relativeName);
  }

  const BmFontDescription description = BuildBmFontDescription(
      record->Width, record->Height, record->SpaceAdvance, pages.chars, host, std::move(pageNames), pages.charPages);
  files.push_back(std::make_unique<PendingFile>(fileName));
  files.back()->write(format(description));

  CommitTogether(files);
}

}  // namespace glyphmill::plugins
