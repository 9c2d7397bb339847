// WOFF 1.0 files made by the tests: an sfnt font (TrueType or OpenType) wrapped as the web font
// format, each table compressed with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphmill::testing {

// The WOFF 1.0 form of the sfnt font `sfnt`: a 44-byte header, one 20-byte directory entry per
// table (in the font's tag order), then each table zlib-compressed (kept as it is when compressing
// does not make it smaller), every table starting on a 4-byte boundary. Nothing when `sfnt` is not
// a well-formed sfnt font.
std::vector<uint8_t> WoffFromSfnt(const std::vector<uint8_t>& sfnt);

// A renamed copy of the TrueType file `source` (renamed_font.h) written as WOFF to `target`.
bool WriteRenamedWoff(const std::string& source, const std::string& target, const std::string& family);

}  // namespace glyphmill::testing
