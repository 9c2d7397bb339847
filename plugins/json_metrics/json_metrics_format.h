// "JSON Metrics": the character table as JSON.
//
//   { "width": W, "height": H, "spaceAdvance": S,
//     "characters": [ { "code", "x", "y", "width", "height", "preAdvance", "postAdvance" }, ... ] }
//
// Every record of the table is listed, in table order. With the host's font information the
// document also has "font" (face, pointSize, pixelSize, lineHeight, base, ascent, descent, bold,
// italic, outlineWidth), "kernings" ([first, second, amount] triples) and a "placed" flag per
// character; without it those are absent, since only the host knows them. When the host gives each
// character's geometry (font-info version 2), "lineHeight" and "base" are the font's line height
// and ascent, and each character also has "xoffset", "yoffset" and "xadvance" with the meanings of
// the BMFont descriptors; with version 1 "lineHeight" and "base" describe the cells. A font of
// several pages adds "pages" ([{ "width", "height" }, ...], page 0 first) after "height" and a
// "page" per character, whose x and y lie in that page; one page writes neither. Keys keep this
// order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "glyphmill/plugin.h"
#include "plugins/common/host_font_info.h"

namespace glyphmill::plugins {

// `pages` (may be empty: one page) gives every page's size; `charPages` the page of each record.
std::string FormatJsonMetrics(uint16_t width, uint16_t height, int32_t spaceAdvance,
                              std::span<const TExportCharInfo> chars, const std::optional<HostFontInfo>& host,
                              std::span<const HostPage> pages = {}, std::span<const uint32_t> charPages = {});

}  // namespace glyphmill::plugins
