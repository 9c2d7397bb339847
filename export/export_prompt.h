// PromptExportFile: asks for a plug-in's output file, or skips the question when the plug-in
// wants none.
#pragma once

#include <string>
#include <string_view>

#include "export/dialogs.h"
#include "export/export_plugin.h"

namespace glyphmill {

// Longest extension forced onto a chosen file name: all that the plug-in's Extension field holds.
inline constexpr std::size_t kMaxForcedExtension = 4;

// The save dialog a plug-in's export shows: title "Export to: NAME" (plus " (SUFFIX)"), the
// extension filter or "All Files|*.*", initial folder ".", no default extension, no file name.
SaveFileRequest ExportFileRequest(const TExportPlugin& plugin, std::string_view suffix);

// The output path: "" when the plug-in does not ask for a file name, kCancelMarker when the person
// cancels, otherwise the chosen path with the plug-in's extension forced onto it.
std::string PromptExportFile(const TExportPlugin& plugin, std::string_view suffix, Dialogs& dialogs);

// Replaces whatever follows the last dot of the path's file name part by "." and the first four
// characters (at most) of `extension`, or appends them when the file name has no dot. Path
// separators and zero bytes of the extension are left out so it cannot send the file elsewhere.
std::string ForceExtension(const std::string& path, std::string_view extension);

}  // namespace glyphmill
