// Checks of the export records that every shipped exporter makes before it writes anything.
#pragma once

#include <cstdint>
#include <span>

#include "glyphmill/plugin.h"

namespace glyphmill::plugins {

// The record's file name as a C string: "" when the host asked for no file (or passed none).
inline const char* FileNameOf(const char* fileName) { return fileName != nullptr ? fileName : ""; }

// Throws when the texture has no pixels.
void RequireTexture(uint32_t width, uint32_t height);
// Throws when a buffer the export needs is null; `bufferName` names it in the message.
void RequireBuffer(const uint8_t* buffer, const char* bufferName);
// The character table as a span; throws when CharCount promises records but Chars is null.
std::span<const TExportCharInfo> CharTable(const TExportCharInfo* chars, uint32_t charCount);

}  // namespace glyphmill::plugins
