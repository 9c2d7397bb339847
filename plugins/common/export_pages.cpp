#include "plugins/common/export_pages.h"

#include <filesystem>

namespace glyphmill::plugins {

ExportPages QueryExportPages(uint32_t width, uint32_t height, const uint8_t* rgb, const uint8_t* alpha,
                             std::span<const TExportCharInfo> recordChars) {
  ExportPages out;
  out.host = QueryHostPages();
  if (out.host) {
    out.pages = out.host->pages;
    out.chars = out.host->chars;
    out.charPages = out.host->charPages;
    return out;
  }
  out.pages.push_back({width, height, rgb, alpha});
  out.chars.assign(recordChars.begin(), recordChars.end());
  out.charPages.assign(out.chars.size(), 0);
  return out;
}

std::string PageImagePath(const std::string& path, std::size_t page, std::size_t pageCount) {
  if (pageCount <= 1) return path;
  const std::filesystem::path file(path);
  const std::string name = file.stem().string() + "_" + std::to_string(page) + file.extension().string();
  return (file.parent_path() / name).string();
}

}  // namespace glyphmill::plugins
