// The AngelCode BMFont binary descriptor, version 3: "BMF", the version byte, then blocks of
// (type byte, 32-bit size of the block's data, data): 1 info, 2 common, 3 pages, 4 chars and, when
// there are kerning pairs, 5 kerning pairs. Little-endian, no padding.
#pragma once

#include <string>

#include "plugins/common/bmfont_model.h"

namespace glyphmill::plugins {

inline constexpr uint8_t kBmFontBinaryVersion = 3;

// The file's bytes. Throws std::runtime_error when a value does not fit its binary field (the
// binary form has 16-bit positions, sizes and advances).
std::string FormatBmFontBinary(const BmFontDescription& font);

}  // namespace glyphmill::plugins
