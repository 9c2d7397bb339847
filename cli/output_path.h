// Where the command line writes: --output naming a folder, and the folders an output path needs.
#pragma once

#include <string>

#include "settings/result.h"

namespace glyphmill::cli {

// The file name an output that names a folder gets inside it; the plug-in's extension is then
// forced onto it ("out/" -> "out/font" -> "out/font.fnt").
inline constexpr const char* kFolderOutputName = "font";

// The answer to the save prompts for --output `output`: a path ending in "/" or naming an existing
// folder gets kFolderOutputName inside that folder; any other path is kept as given.
std::string OutputPathFor(const std::string& output);

// Creates the folder `path` lies in, with its parents, as a save dialog could only answer with a
// folder that exists. Success when it exists afterwards; else "cannot create the folder "DIR":
// REASON" (a file in the way, no permission, ...).
Result<void> CreateParentFolder(const std::string& path);

}  // namespace glyphmill::cli
