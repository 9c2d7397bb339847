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
#include "render/texture_page.h"
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
  // Pages 1.. when the characters filled more than one page (each record says its page), each kept
  // with a one-byte mask (texture_page.h); `colour`, `mask` and `page` above are page 0, the
  // texture a one-page generation makes.
  std::vector<TexturePage> morePages;
};

// The number of texture pages of a result: 1 plus its further pages.
inline int32_t PageCount(const GenerationResult& result) { return 1 + static_cast<int32_t>(result.morePages.size()); }

// The texture of page `page` (0 .. PageCount - 1).
inline const Image24& PageColour(const GenerationResult& result, int32_t page) {
  return page == 0 ? result.colour : result.morePages[static_cast<std::size_t>(page - 1)].colour;
}
// The mask of page `page` as an image: page 0's own, a later page's expanded into `expanded`
// (which the caller keeps while it reads the answer).
const Image24& PageMask(const GenerationResult& result, int32_t page, Image24& expanded);

// The colour image exporters receive: `page` when the job made one, else the texture.
inline const Image24& ExportedColour(const GenerationResult& result) {
  return result.page.width() > 0 ? result.page : result.colour;
}
// The same for page `page`.
inline const Image24& ExportedColour(const GenerationResult& result, int32_t page) {
  if (page == 0) return ExportedColour(result);
  const TexturePage& p = result.morePages[static_cast<std::size_t>(page - 1)];
  return p.page.width() > 0 ? p.page : p.colour;
}

// True when exporters receive an alpha of 255 everywhere: an MSDF page, whose fields are all in
// the colour channels (engines read its alpha as fully opaque).
bool ExportsOpaqueAlpha(const GenerationResult& result);

// One flag per table record: 1 when it found room in the texture.
std::vector<uint8_t> PlacedFlags(const GenerationResult& result);

}  // namespace glyphmill
