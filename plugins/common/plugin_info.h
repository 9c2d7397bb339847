// Filling TPluginInfo: the one description a plug-in gives the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "glyphmill/plugin.h"

namespace glyphmill::plugins {

// Writes `text` as a short string into a field of `fieldSize` bytes: a length byte, then at most
// fieldSize - 1 bytes of text, cut before a UTF-8 sequence that would not fit whole. The rest of the
// field is zeroed. Returns the number of text bytes stored.
std::size_t WriteShortString(uint8_t* field, std::size_t fieldSize, std::string_view text);

// Fills `info` for a shipped exporter: every one of them asks for an output file and forces its
// extension (given without the dot).
void FillPluginInfo(TPluginInfo* info, std::string_view name, uint8_t pluginType, std::string_view extension);

}  // namespace glyphmill::plugins
