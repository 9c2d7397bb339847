// GenerationResult: what a finished render job hands on, moved out of the job at its completion:
// the texture and its alpha mask, the placed-character table, how many records found room and the
// order placement took them in. The window's preview and hover, and every export, read this one
// value; nothing of it is worked out again from the table.
#pragma once

#include <cstdint>
#include <vector>

#include "render/image24.h"
#include "render/multi_channel_field_drawing.h"
#include "render/placed_character.h"
#include "settings/font_face.h"

namespace glyphmill {

struct GenerationResult {
  Image24 colour;                      // the texture
  Image24 mask;                        // the alpha mask (distance fields when fieldSpread > 0)
  std::vector<PlacedCharacter> chars;  // the job table, table order, with the cells placement gave
  // Records whose position in sortOrder lies below placedCount found room (kAllPlaced: all).
  int32_t placedCount = kAllPlaced;
  std::vector<int32_t> sortOrder;  // indices into chars, in the order placement took them
  uint16_t fieldSpread = 0;        // the mask holds distance fields of this spread; 0: coverage
  // Multi-channel fields (antialiasing MSDF or MTSDF, else 0): the colour image's red, green and
  // blue are three fields; the mask holds their median (MSDF) or the true distance (MTSDF).
  uint16_t multiChannelMode = 0;
  FieldFallbacks fieldFallbacks;  // glyphs drawn with a single-channel field instead
  LineCell line;                  // the text line's cell, also when the cells are compact
  // The fallback fonts the records' fonts name (font k is fallbackFonts[k - 1]): where the
  // export's kerning of those records is read from.
  std::vector<ResolvedFont> fallbackFonts;
  // The colour page exporters receive when it is not the colour image itself: the straight or the
  // premultiplied colour (page_pixels.h), as `pagePixels` says. Empty for classic pages and for
  // distance fields, whose exporters receive `colour`.
  Image24 page;
  uint8_t pagePixels = 0;  // kPagePixels*: what `page` holds; classic when it is empty
};

// The colour image exporters receive: `page` when the job made one, else the texture.
inline const Image24& ExportedColour(const GenerationResult& result) {
  return result.page.width() > 0 ? result.page : result.colour;
}

// True when exporters receive an alpha of 255 everywhere: an MSDF page, whose fields are all in
// the colour channels (engines read its alpha as fully opaque).
bool ExportsOpaqueAlpha(const GenerationResult& result);

// One flag per table record: 1 when it found room in the texture.
std::vector<uint8_t> PlacedFlags(const GenerationResult& result);

}  // namespace glyphmill
