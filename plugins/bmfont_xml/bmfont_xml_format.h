// The AngelCode BMFont descriptor in its XML form: the elements and attributes of the text form,
// in the same order, inside <font>.
#pragma once

#include <string>

#include "plugins/common/bmfont_model.h"

namespace glyphmill::plugins {

std::string FormatBmFontXml(const BmFontDescription& font);

}  // namespace glyphmill::plugins
