// FreeType's error codes by name. Debian's FreeType is built without error strings, so
// FT_Error_String gives nothing; the names come from FreeType's own error list instead.
#pragma once

#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphmill {

// "FT_Err_Unknown_File_Format (unknown file format)" for a known code, else
// "FreeType error 0x1234".
std::string FreeTypeErrorName(FT_Error error);

}  // namespace glyphmill
