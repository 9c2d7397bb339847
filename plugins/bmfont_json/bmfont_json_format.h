// The BMFont descriptor as JSON, the form BMFont loaders for JavaScript engines read:
//
//   { "pages": ["NAME_0.png"],
//     "chars": [ { "id", "x", "y", "width", "height", "xoffset", "yoffset", "xadvance", "page",
//                  "chnl" }, ... ],
//     "info": { "face", "size", "bold", "italic", "charset", "unicode", "stretchH", "smooth", "aa",
//               "padding": [up, right, down, left], "spacing": [horizontal, vertical], "outline" },
//     "common": { "lineHeight", "base", "scaleW", "scaleH", "pages", "packed", "alphaChnl",
//                 "redChnl", "greenChnl", "blueChnl" },
//     "kernings": [ { "first", "second", "amount" }, ... ] }
//
// Field names and values are the text form's; flags are 0 or 1 as there, "kernings" is always
// present (empty when there are none). Keys keep this order.
#pragma once

#include <string>

#include "plugins/common/bmfont_model.h"

namespace glyphmill::plugins {

std::string FormatBmFontJson(const BmFontDescription& font);

}  // namespace glyphmill::plugins
