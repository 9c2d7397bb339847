// FallbackFont: one entry of the fallback list a generation asks when the chosen font lacks a
// character (settings/fallback_fonts.h resolves them). A plain record: the project file and the
// window store it as given, whether or not the font can be opened today.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace glyphmill {

inline constexpr uint8_t kFallbackFamily = 0;  // `name` is an installed family
inline constexpr uint8_t kFallbackFile = 1;    // `name` is a font file's path, `faceIndex` its face

// The most fallbacks a generation asks; a character's font index then fits one byte.
inline constexpr std::size_t kMaxFallbackFonts = 32;

struct FallbackFont {
  uint8_t kind = kFallbackFamily;
  uint32_t faceIndex = 0;
  std::string name;
  bool operator==(const FallbackFont&) const = default;
};

}  // namespace glyphmill
