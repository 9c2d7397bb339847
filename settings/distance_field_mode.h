// What the distance-field antialiasing modes (Distance Field, MSDF, MTSDF) change beyond the glyph
// rendering itself.
//
// Field kinds: Distance Field puts a single-channel field in the mask. MSDF puts three fields in
// the colour image's red, green and blue (their median is the shape) and the median in the mask,
// and exporters receive an alpha of 255; MTSDF adds the true signed distance in the mask, which
// exporters receive as alpha.
//
// Baked effects: a distance-field font leaves the outline and the drop shadow to the engine's
// shader (they are read from the field there), so in that mode the job skips both whatever their
// check boxes hold, and neither widens the cells nor fills the progress bar. Every place that asks
// "is the outline (shadow) drawn?" asks here; the outline drawing and the page pixels read the shadow switch
// only to choose how the outline colour is laid down (blended under a shadow, else flat).
//
// Spread: the distance in pixels the field covers on each side of the outline; what the job uses
// is the stored spread held to the offered range.
#pragma once

#include <algorithm>
#include <cstdint>

#include "settings/generation_extras.h"
#include "settings/generation_settings.h"

namespace glyphmill {

inline bool IsDistanceFieldMode(uint16_t antialiasMode) {
  return antialiasMode == kAntialiasDistanceField || antialiasMode == kAntialiasMsdf ||
         antialiasMode == kAntialiasMtsdf;
}
inline bool IsMultiChannelFieldMode(uint16_t antialiasMode) {
  return antialiasMode == kAntialiasMsdf || antialiasMode == kAntialiasMtsdf;
}
inline bool IsDistanceField(const GenerationSettings& s) { return IsDistanceFieldMode(s.antialiasMode); }
inline bool IsMultiChannelField(const GenerationSettings& s) { return IsMultiChannelFieldMode(s.antialiasMode); }
inline bool BakesOutline(const GenerationSettings& s) { return s.outline() && !IsDistanceField(s); }
inline bool BakesDropShadow(const GenerationSettings& s) { return s.dropShadow() && !IsDistanceField(s); }

inline uint16_t FieldSpread(const GenerationExtras& e) { return std::clamp(e.sdfSpread, kMinSdfSpread, kMaxSdfSpread); }

}  // namespace glyphmill
