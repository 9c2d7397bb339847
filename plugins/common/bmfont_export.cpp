#include "plugins/common/bmfont_export.h"

#include "plugins/common/export_checks.h"
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
  const auto host = QueryHostFontInfo(record->CharCount);

  const PageFile page = PageFileFor(fileName);
  PendingFile pageFile(page.path);
  WritePng(pageFile, record->Width, record->Height, record->RGB, record->Alpha);

  const BmFontDescription description =
      BuildBmFontDescription(record->Width, record->Height, record->SpaceAdvance, chars, host, page.relativeName);
  PendingFile descriptorFile(fileName);
  descriptorFile.write(format(description));

  PendingFile* const both[] = {&pageFile, &descriptorFile};
  CommitTogether(both);
}

}  // namespace glyphmill::plugins
