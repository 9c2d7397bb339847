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

// ".Complete." for one page; ".Complete. 3 pages" when the characters filled several.
inline std::string Complete(int32_t pageCount) {
  if (pageCount <= 1) return kComplete;
  return std::string(kComplete) + " " + std::to_string(pageCount) + " pages";
}

// "!Cant fit in the last N characters! Try increasing the Texture Size." When several pages were
// allowed, it says how many were filled: "!Cant fit in the last N characters in 4 pages! Try
// increasing the Texture Size or the Pages."
inline std::string CantFit(uint32_t missing, int32_t maxPages = 1) {
  if (maxPages <= 1)
    return "!Cant fit in the last " + std::to_string(missing) + " characters! Try increasing the Texture Size.";
  return "!Cant fit in the last " + std::to_string(missing) + " characters in " + std::to_string(maxPages) +
         " pages! Try increasing the Texture Size or the Pages.";
}

// "Page 2 of 3": which texture page the window shows, counted from 1.
inline std::string PageOfPages(int32_t page, int32_t pageCount) {
  return "Page " + std::to_string(page) + " of " + std::to_string(pageCount);
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
