// Forcing a file extension onto a path the person chose.
#pragma once

#include <string>
#include <string_view>

namespace glyphmill {

// Replaces whatever follows the last dot of the path's file-name part by `extension` (given
// without its dot), or appends "." + extension when the file name has none. Dots in folder names
// do not count, and neither does the leading dot of a hidden file's name (".fonts" has no
// extension and becomes ".fonts.gmp").
std::string ReplaceFileExtension(std::string_view path, std::string_view extension);

// The path a project is saved under: the chosen name with the ".gmp" extension.
std::string ForceProjectExtension(std::string_view path);

}  // namespace glyphmill
