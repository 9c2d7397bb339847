// The measurement of the chosen font: per-code-unit ABC widths, heights and ink extents, which
// code units the font supports, the pruned selection count and the space advance.
//
// MeasureFont keeps its opened face and a per-glyph cache between calls, so a measurement with the
// same face, size and style costs only a pass over the selection. Only the code units that are
// selected (and the space) are measured: entries of other code units are filled on demand by
// EnsureMetrics, with the metrics of glyph 0 where no font has the code unit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/character_selection.h"
#include "settings/fallback_fonts.h"
#include "settings/font_face.h"
#include "settings/zeroed_allocator.h"

namespace glyphmill {

// A table with an entry per code unit 0..65535, all zero until written (zeroed_allocator.h).
template <class T>
using CodeUnitTable = std::vector<T, ZeroedAllocator<T>>;

struct FontTables {
  CodeUnitTable<GlyphABC> glyphMetrics = CodeUnitTable<GlyphABC>(kCodeUnitCount);  // GlyphMetrics
  CodeUnitTable<int32_t> glyphHeights = CodeUnitTable<int32_t>(kCodeUnitCount);    // GlyphHeights
  // Each code unit's ink extent in the measuring mode (compact cells are built from it). Written for
  // the selected code units only, like the heights.
  CodeUnitTable<GlyphInk> glyphInk = CodeUnitTable<GlyphInk>(kCodeUnitCount);
  CodeUnitTable<uint8_t> fontSupport = CodeUnitTable<uint8_t>(kCodeUnitCount);      // FontSupport
  CodeUnitTable<uint32_t> supportedList = CodeUnitTable<uint32_t>(kCodeUnitCount);  // SupportedList
  int32_t supportedCount = 0;
  // Each code unit's font: 0 the chosen font, k the fallback fallbacks.fonts[k - 1]. A code unit
  // no font has counts as the chosen font's.
  CodeUnitTable<uint8_t> glyphFont = CodeUnitTable<uint8_t>(kCodeUnitCount);
  // The fallbacks the measurement opened, in order, and a notice for each one it skipped.
  ResolvedFallbacks fallbacks;
  uint32_t selectedCount = 0;
  int32_t spaceAdvance = 0;
  // Line metrics of the measured font, pixels.
  int32_t ascent = 0;
  int32_t descent = 0;
};

class FontMeasurer {
 public:
  FontMeasurer();
  ~FontMeasurer();

  // MeasureFont with the fallback list `fallbacks` (settings/fallback_fonts.h). When `fontChanged`
  // is set, or the fallbacks that can be opened are others than last time, refreshes the font
  // support, prunes `selection` to it (RecountSelection) and clears `fontChanged`. Then fills the
  // ABC widths of every selected code unit and the space, the heights and ink extents of the
  // selected ones (each from its own font), and spaceAdvance with `kerning`; the line metrics are
  // the chosen font's.
  // On failure (the chosen font unreadable) returns false with a message and changes nothing; a
  // fallback that cannot be opened is skipped with a notice in tables.fallbacks.
  bool Measure(const FontRequest& font, const std::vector<FallbackFont>& fallbacks, int32_t kerning,
               CharacterSelection& selection, bool& fontChanged, FontTables& tables, std::string* error);

  // RefreshFontSupport for a font and its fallbacks: FontSupport (a code unit any of them has),
  // SupportedList, supportedCount and each code unit's font. A chosen face without a Unicode
  // charmap marks every code unit supported (its own) and leaves the list as it was.
  bool RefreshFontSupport(const FontRequest& font, const std::vector<FallbackFont>& fallbacks, FontTables& tables,
                          std::string* error);

  // The fallbacks of the last measurement or support refresh.
  const ResolvedFallbacks& fallbacks() const;

  // Fills the ABC entry of one code unit that the last measurement did not cover.
  void EnsureMetrics(uint16_t codeUnit, FontTables& tables);

  // The face of the last successful measurement (nullptr before it). Valid until the next call.
  FontFace* face() const;

 private:
  struct Cache;
  bool openFace(const FontRequest& font, std::string* error);
  // Opens the fallbacks of `list` that can be opened, keeping those already open; true when they
  // are others than before.
  bool openFallbacks(const FontRequest& font, const std::vector<FallbackFont>& list);
  std::unique_ptr<Cache> cache_;
};

// RecountSelection: clears selected code units the font does not support and counts the rest into
// tables.selectedCount.
void RecountSelection(CharacterSelection& selection, FontTables& tables);

}  // namespace glyphmill
