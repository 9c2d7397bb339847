// GenerationExtras: the settings that go beyond the fixed 124-byte record. Project files store
// them in their extension block, each only when it differs from its default, so a project that
// uses none of them stays a classic file byte for byte. Every default reproduces the classic
// behaviour.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "settings/fallback_font.h"

namespace glyphmill {

// Cell modes: how tall each character's cell is.
inline constexpr uint8_t kCellsLine = 0;     // every cell is a whole text line tall (classic)
inline constexpr uint8_t kCellsCompact = 1;  // every cell is as tall as its glyph's ink plus margins

// Distance-field spread in pixels: its default and the offered range.
inline constexpr uint16_t kDefaultSdfSpread = 8;
inline constexpr uint16_t kMinSdfSpread = 2;
inline constexpr uint16_t kMaxSdfSpread = 32;

// Page pixels: what the colour page handed to exporters holds.
inline constexpr uint8_t kPagePixelsClassic = 0;        // the colour image as drawn, blended with the background
inline constexpr uint8_t kPagePixelsStraight = 1;       // each pixel's own colour, bled into transparent pixels
inline constexpr uint8_t kPagePixelsPremultiplied = 2;  // the straight colour multiplied by alpha

// Texture pages: the most pages a generation may fill, its default and the offered range.
inline constexpr uint16_t kDefaultMaxPages = 1;  // one texture, as classic generations make
inline constexpr uint16_t kMinMaxPages = 1;
inline constexpr uint16_t kMaxMaxPages = 64;

// Largest texture a fitted size may choose, by default.
inline constexpr uint16_t kDefaultFitMaxSide = 4096;

struct GenerationExtras {
  uint8_t cellMode = kCellsLine;
  bool fitTexture = false;                    // choose the smallest size that holds every character
  uint16_t fitMaxWidth = kDefaultFitMaxSide;  // the largest size fitting may choose
  uint16_t fitMaxHeight = kDefaultFitMaxSide;
  uint16_t sdfSpread = kDefaultSdfSpread;   // used when antialiasMode is the distance field
  uint8_t pagePixels = kPagePixelsClassic;  // not used by distance fields, whose pages are data
  // The most texture pages a generation may fill: characters that fit no more on one page go on
  // to the next page of the same size.
  uint16_t maxPages = kDefaultMaxPages;
  std::vector<FallbackFont> fallbacks;  // asked in order for characters the chosen font lacks

  bool operator==(const GenerationExtras&) const = default;
};

// The most pages a generation with `extras` may fill: maxPages held to the offered range.
inline int32_t MaxPagesOf(const GenerationExtras& extras) {
  return std::clamp<int32_t>(extras.maxPages, kMinMaxPages, kMaxMaxPages);
}

}  // namespace glyphmill
