// Status texts a render job reports while it works. Numbers are plain decimal, no padding.
#pragma once

#include <cstdint>
#include <string>

namespace glyphmill::render_text {

inline constexpr const char* kPreparingSurface = "Preparing Surface...";
inline constexpr const char* kSortingCharacters = "Sorting Characters...";
inline constexpr const char* kDrawingOutline = "Drawing Outline...";
inline constexpr const char* kDrawingDropshadow = "Drawing Dropshadow...";

// "Placing Character (k/n)", k counted from 0.
inline std::string PlacingCharacter(int32_t k, int32_t n) {
  return "Placing Character (" + std::to_string(k) + "/" + std::to_string(n) + ")";
}
// "Drawing Character (i/n)", i counted from 0.
inline std::string DrawingCharacter(int32_t i, int32_t n) {
  return "Drawing Character (" + std::to_string(i) + "/" + std::to_string(n) + ")";
}
inline std::string CalculatingOutline(int32_t percent) {
  return "Calculating Outline... (" + std::to_string(percent) + "%)";
}
inline std::string ApplyingOutline(int32_t percent) { return "Applying Outline... (" + std::to_string(percent) + "%)"; }
inline std::string CalculatingDropShadow(int32_t percent) {
  return "Calculating Drop Shadow... (" + std::to_string(percent) + "%)";
}
inline std::string ApplyingDropShadow(int32_t percent) {
  return "Applying Drop Shadow... (" + std::to_string(percent) + "%)";
}

}  // namespace glyphmill::render_text
