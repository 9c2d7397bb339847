#include "settings/font_metrics.h"

#include <algorithm>

#include "settings/rounding.h"

namespace glyphmill {

// What one glyph measures: its ABC widths and its ink extent.
struct MeasuredGlyph {
  GlyphABC abc;
  GlyphInk ink;
};

// The opened face of the last measurement and the glyphs already measured for it, by glyph index,
// so that many code units sharing glyph 0 and repeated generations load each glyph once.
struct FontMeasurer::Cache {
  FontRequest request;
  ResolvedFont resolved;
  std::unique_ptr<FontFace> face;
  std::vector<MeasuredGlyph> byGlyph;
  std::vector<uint8_t> known;    // byGlyph[g] is valid
  std::vector<uint8_t> pending;  // code units whose table entry was not measured yet

  const MeasuredGlyph& glyph(uint32_t g) {
    if (g >= byGlyph.size()) g = 0;
    if (!known[g]) {
      MeasuredGlyph m;
      if (!face->measureGlyph(g, &m.abc, &m.ink)) m = {};
      byGlyph[g] = m;
      known[g] = 1;
    }
    return byGlyph[g];
  }
};

FontMeasurer::FontMeasurer() : cache_(std::make_unique<Cache>()) {}
FontMeasurer::~FontMeasurer() = default;

FontFace* FontMeasurer::face() const { return cache_->face.get(); }

bool FontMeasurer::openFace(const FontRequest& font, std::string* error) {
  Cache& c = *cache_;
  if (c.face && c.request == font) return true;
  ResolvedFont resolved;
  if (!ResolveFont(font, &resolved, error)) return false;
  if (c.face && resolved == c.resolved && EmPixels(font.pointSize) == c.face->emPixels()) {
    c.request = font;  // another name for the same face, size and style
    return true;
  }
  std::unique_ptr<FontFace> face = FontFace::OpenResolved(font, resolved, error);
  if (!face) return false;
  c.request = font;
  c.resolved = resolved;
  c.face = std::move(face);
  size_t glyphs = static_cast<size_t>(std::max<FT_Long>(c.face->face()->num_glyphs, 1));
  c.byGlyph.assign(glyphs, MeasuredGlyph{});
  c.known.assign(glyphs, 0);
  c.pending.assign(kCodeUnitCount, 1);
  return true;
}

bool FontMeasurer::RefreshFontSupport(const FontRequest& font, FontTables& tables, std::string* error) {
  if (!openFace(font, error)) return false;
  bool hasCharmap = false;
  std::vector<uint32_t> units = cache_->face->supportedCodeUnits(&hasCharmap);
  if (!hasCharmap) {
    std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 1);
    return true;
  }
  std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 0);
  tables.supportedCount = 0;
  for (uint32_t u : units) {
    tables.fontSupport[u] = 1;
    tables.supportedList[static_cast<size_t>(tables.supportedCount++)] = u;
  }
  return true;
}

void RecountSelection(CharacterSelection& selection, FontTables& tables) {
  uint32_t count = 0;
  for (size_t c = 0; c < kCodeUnitCount; ++c) {
    if (!selection[c]) continue;
    if (tables.fontSupport[c]) {
      ++count;
    } else {
      selection[c] = 0;
    }
  }
  tables.selectedCount = count;
}

bool FontMeasurer::Measure(const FontRequest& font, int32_t kerning, CharacterSelection& selection, bool& fontChanged,
                           FontTables& tables, std::string* error) {
  if (!openFace(font, error)) return false;
  Cache& c = *cache_;
  if (fontChanged) {
    if (!RefreshFontSupport(font, tables, error)) return false;
    RecountSelection(selection, tables);
    fontChanged = false;
  }
  FontFace& face = *c.face;
  const MeasuredGlyph missing = c.glyph(0);
  const int32_t lineHeight = face.lineHeight();
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    bool wanted = selection[u] != 0 || u == 32;
    if (wanted) {
      uint32_t g = face.glyphIndex(static_cast<uint16_t>(u));
      const MeasuredGlyph& m = g ? c.glyph(g) : missing;
      tables.glyphMetrics[u] = m.abc;
      if (selection[u]) tables.glyphInk[u] = m.ink;
      c.pending[u] = 0;
    } else if (!tables.fontSupport[u]) {
      // Not in the font's charmap: its glyph is glyph 0.
      tables.glyphMetrics[u] = missing.abc;
      c.pending[u] = 0;
    } else {
      // Supported but not selected: filled on demand (EnsureMetrics) to keep large fonts cheap.
      c.pending[u] = 1;
    }
    if (selection[u]) tables.glyphHeights[u] = lineHeight;
  }
  tables.ascent = face.ascent();
  tables.descent = face.descent();
  const GlyphABC& space = tables.glyphMetrics[32];
  int64_t bc = static_cast<int64_t>(space.abcB) + space.abcC;
  tables.spaceAdvance = static_cast<int32_t>(RoundHalfEven(static_cast<double>(bc) + kerning / 2.0));
  return true;
}

void FontMeasurer::EnsureMetrics(uint16_t codeUnit, FontTables& tables) {
  Cache& c = *cache_;
  if (!c.face || !c.pending[codeUnit]) return;
  tables.glyphMetrics[codeUnit] = c.glyph(c.face->glyphIndex(codeUnit)).abc;
  c.pending[codeUnit] = 0;
}

}  // namespace glyphmill
