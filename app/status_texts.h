// Status-line texts of the generation driver. The first character carries the kind: "." a success
// notice, "!" an error notice, anything else plain progress.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace glyphmill::status {

inline constexpr const char* kIdle = "Idle";
inline constexpr const char* kPreparingText = "Preparing text...";
inline constexpr const char* kCreatingThread = "Creating Thread";
inline constexpr const char* kGettingFontDimensions = "Getting Current Font Dimensions...";
inline constexpr const char* kComplete = ".Complete.";
inline constexpr const char* kCharactersSuffix = " Characters";  // second status panel

// "!Cant fit in the last N characters! Try increasing the Texture Size."
inline std::string CantFit(uint32_t missing) {
  return "!Cant fit in the last " + std::to_string(missing) + " characters! Try increasing the Texture Size.";
}

// A multi-channel field font with glyphs whose outline could not be read (bitmap-only glyphs):
// "!Complete, but N glyph(s) without a readable outline (the first U+XXXX) have single-channel
// fields."
inline std::string FieldFallback(int32_t count, uint16_t firstCodeUnit) {
  char code[8];
  std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(firstCodeUnit));
  return "!Complete, but " + std::to_string(count) + (count == 1 ? " glyph" : " glyphs") +
         " without a readable outline (the first U+" + code + ") " + (count == 1 ? "has" : "have") +
         " a single-channel field.";
}

// An error notice built from a failure's message.
inline std::string Error(const std::string& message) { return "!" + message; }

// Text of the second status panel.
inline std::string CharacterCount(uint32_t selectedCount) { return std::to_string(selectedCount) + kCharactersSuffix; }

}  // namespace glyphmill::status
