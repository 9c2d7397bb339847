// The byte layout of a project file (".gmp"): little-endian, no compression, no checksum.
//
//   offset      size       field
//   0           4          signature, signed 32-bit 240
//   4           4          settings size, signed 32-bit 124 (the only version check)
//   8           124        GenerationSettings in its byte form (SettingsToBytes)
//   132         65,536     CharacterSelection, one byte per UTF-16 code unit, nonzero = selected
//   65,668      4          job count N
//   65,672      263 * N    job entries in queue order
//
// Job entry: UseRGB (1), UseAlpha (1), UseData (1) -- the file keeps UseAlpha before UseData, unlike
// the in-memory record -- PluginIndex (signed 32-bit), PluginName (256: length byte, then the name).
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphmill {

inline constexpr int32_t kProjectSignature = 240;
inline constexpr int32_t kProjectSettingsSize = 124;

inline constexpr std::size_t kProjectSignatureOffset = 0;
inline constexpr std::size_t kProjectSettingsSizeOffset = 4;
inline constexpr std::size_t kProjectSettingsOffset = 8;
inline constexpr std::size_t kProjectSelectionOffset = 132;
inline constexpr std::size_t kProjectJobCountOffset = 65668;
inline constexpr std::size_t kProjectJobsOffset = 65672;  // also the size of a file with no jobs

inline constexpr std::size_t kJobEntryBytes = 263;
inline constexpr std::size_t kJobUseRGBOffset = 0;
inline constexpr std::size_t kJobUseAlphaOffset = 1;
inline constexpr std::size_t kJobUseDataOffset = 2;
inline constexpr std::size_t kJobPluginIndexOffset = 3;
inline constexpr std::size_t kJobPluginNameOffset = 7;

inline constexpr const char* kProjectExtension = ".gmp";
inline constexpr const char* kAutosaveFileName = "Autosave.gmp";

}  // namespace glyphmill
