// ExportPages: the texture pages one export writes and the character table that goes with them.
//
// A host with the pages service (glyphmill.pages/1) gives every page and the whole table; without
// it the export record's own texture is the only page and its table the whole table, exactly as
// a one-page export has always been.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glyphmill/plugin.h"
#include "plugins/common/host_font_info.h"

namespace glyphmill::plugins {

struct ExportPages {
  std::vector<HostPage> pages;         // page 0 first; never empty
  std::vector<TExportCharInfo> chars;  // the whole table, table order
  std::vector<uint32_t> charPages;     // one per record of `chars`
  std::optional<HostPages> host;       // what the host said, when it offers the service

  std::size_t count() const { return pages.size(); }
};

// The pages of the export call being served: the record's texture (width x height, its colour and
// alpha buffers) and table, or what the host's pages service gives. Call only from inside an
// export entry point.
ExportPages QueryExportPages(uint32_t width, uint32_t height, const uint8_t* rgb, const uint8_t* alpha,
                             std::span<const TExportCharInfo> recordChars);

// The file page `page` of an image export goes to: `path` itself when there is one page, else
// "dir/name_K.ext" for "dir/name.ext" (no extension: "dir/name_K").
std::string PageImagePath(const std::string& path, std::size_t page, std::size_t pageCount);

}  // namespace glyphmill::plugins
