#include "export/export_prompt.h"

#include "export/export_messages.h"

namespace glyphmill {

SaveFileRequest ExportFileRequest(const TExportPlugin& plugin, std::string_view suffix) {
  SaveFileRequest request;
  request.title = export_text::PromptTitle(plugin.Name, suffix);
  if (plugin.hasExtension()) {
    const std::string ext = plugin.extension();
    request.filter = export_text::ExtensionFilter(plugin.Name, ext);
  } else {
    request.filter = export_text::kAllFilesFilter;
  }
  const std::size_t bar = request.filter.find('|');
  request.filterCaption = request.filter.substr(0, bar);
  request.filterPattern = bar == std::string::npos ? std::string() : request.filter.substr(bar + 1);
  return request;
}

std::string ForceExtension(const std::string& path, std::string_view extension) {
  // The whole extension field (up to four characters) is used: cutting "json" to "jso" would give
  // a file of the wrong type.
  std::string ext;
  for (char c : extension) {
    if (ext.size() == kMaxForcedExtension) break;
    if (c == '/' || c == '\0') continue;
    ext.push_back(c);
  }
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  const std::string stem = (dot != std::string::npos && dot >= nameStart) ? path.substr(0, dot) : path;
  return stem + "." + ext;
}

std::string PromptExportFile(const TExportPlugin& plugin, std::string_view suffix, Dialogs& dialogs) {
  if (!plugin.askFileName()) return std::string();
  std::string path = dialogs.promptSaveFile(ExportFileRequest(plugin, suffix));
  if (path == kCancelMarker) return path;
  if (plugin.hasExtension()) path = ForceExtension(path, plugin.extension());
  return path;
}

}  // namespace glyphmill
