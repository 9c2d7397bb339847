// The AngelCode BMFont text descriptor: one line per block, fields in BMFont's order, padded and
// quoted as BMFont writes them, so that positional readers find every field where they expect it.
#pragma once

#include <string>

#include "plugins/common/bmfont_model.h"

namespace glyphmill::plugins {

std::string FormatBmFontText(const BmFontDescription& font);

}  // namespace glyphmill::plugins
