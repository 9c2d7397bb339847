#include "settings/font_metrics.h"

#include <algorithm>
#include <atomic>
#include <thread>

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
  // Faces of the same file for the further measuring threads (FreeType allows one thread per
  // library), opened when a measurement first has enough glyphs for them.
  std::vector<std::unique_ptr<FontFace>> helperFaces;

  void measureInto(FontFace& with, uint32_t g) {
    MeasuredGlyph m;
    if (!with.measureGlyph(g, &m.abc, &m.ink)) m = {};
    byGlyph[g] = m;
    known[g] = 1;
  }

  // Measures the glyphs `wanted` (valid indices, none known yet) on several threads, each with a
  // face of its own; the results are the same as one face's.
  void measureAll(const std::vector<uint32_t>& wanted);

  const MeasuredGlyph& glyph(uint32_t g) {
    if (g >= byGlyph.size()) g = 0;
    if (!known[g]) measureInto(*face, g);
    return byGlyph[g];
  }
};

namespace {

// A further measuring thread (and its face) pays off only with this many glyphs for each thread.
constexpr std::size_t kMinGlyphsPerThread = 512;
constexpr std::size_t kGlyphsPerGrab = 64;

}  // namespace

void FontMeasurer::Cache::measureAll(const std::vector<uint32_t>& wanted) {
  const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
  const std::size_t threads = std::clamp<std::size_t>(wanted.size() / kMinGlyphsPerThread, 1, std::min(cores, 8u));
  while (helperFaces.size() + 1 < threads) {
    std::string error;
    std::unique_ptr<FontFace> helper = FontFace::OpenResolved(request, resolved, &error);
    if (!helper) break;  // fewer threads, the same metrics
    helperFaces.push_back(std::move(helper));
  }
  const std::size_t used = std::min(threads, helperFaces.size() + 1);
  // Glyphs are taken in small runs from a shared counter, so the threads finish together.
  std::atomic<std::size_t> next{0};
  auto work = [&](FontFace& with) {
    for (;;) {
      const std::size_t first = next.fetch_add(kGlyphsPerGrab);
      if (first >= wanted.size()) return;
      const std::size_t last = std::min(wanted.size(), first + kGlyphsPerGrab);
      for (std::size_t k = first; k < last; ++k) measureInto(with, wanted[k]);
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(used - 1);
  for (std::size_t t = 1; t < used; ++t) helpers.emplace_back(work, std::ref(*helperFaces[t - 1]));
  work(*face);
  for (std::thread& t : helpers) t.join();
}

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
  c.helperFaces.clear();
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
  // The glyphs of the selection that are not measured yet, each once, measured together first.
  std::vector<uint32_t> glyphOf(kCodeUnitCount, 0);
  std::vector<uint32_t> unknown;
  std::vector<uint8_t> listed(c.known.size(), 0);
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    if (selection[u] == 0 && u != 32) continue;
    uint32_t g = face.glyphIndex(static_cast<uint16_t>(u));
    if (g >= c.known.size()) g = 0;
    glyphOf[u] = g;
    if (!c.known[g] && !listed[g]) {
      listed[g] = 1;
      unknown.push_back(g);
    }
  }
  c.measureAll(unknown);
  const MeasuredGlyph missing = c.glyph(0);
  const int32_t lineHeight = face.lineHeight();
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    bool wanted = selection[u] != 0 || u == 32;
    if (wanted) {
      const uint32_t g = glyphOf[u];
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
