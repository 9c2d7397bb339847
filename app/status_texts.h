// Status-line texts of the generation driver. The first character carries the kind: "." a success
// notice, "!" an error notice, anything else plain progress.
#pragma once

#include <cstdint>
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

// An error notice built from a failure's message.
inline std::string Error(const std::string& message) { return "!" + message; }

// Text of the second status panel.
inline std::string CharacterCount(uint32_t selectedCount) { return std::to_string(selectedCount) + kCharactersSuffix; }

}  // namespace glyphmill::status
