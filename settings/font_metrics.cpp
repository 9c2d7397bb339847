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

// One font of the measurement (the chosen one or a fallback): its opened face and the glyphs
// already measured for it, by glyph index, so that many code units sharing glyph 0 and repeated
// generations load each glyph once.
struct FaceCache {
  FontRequest request;
  ResolvedFont resolved;
  std::unique_ptr<FontFace> face;
  std::vector<MeasuredGlyph> byGlyph;
  std::vector<uint8_t> known;  // byGlyph[g] is valid
  // Faces of the same file for the further measuring threads (FreeType allows one thread per
  // library), opened when a measurement first has enough glyphs for them.
  std::vector<std::unique_ptr<FontFace>> helperFaces;

  // Takes a newly opened face; what was measured with another one is forgotten.
  void take(const FontRequest& r, const ResolvedFont& where, std::unique_ptr<FontFace> opened) {
    request = r;
    resolved = where;
    face = std::move(opened);
    helperFaces.clear();
    const auto glyphs = static_cast<std::size_t>(std::max<FT_Long>(face->face()->num_glyphs, 1));
    byGlyph.assign(glyphs, MeasuredGlyph{});
    known.assign(glyphs, 0);
  }

  // The same face, size and style as `where` at the size of `r`.
  bool holds(const FontRequest& r, const ResolvedFont& where) const {
    return face && where == resolved && EmPixels(r.pointSize) == face->emPixels();
  }

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

// The fonts of the last measurement, the chosen one first, and what is still to be measured.
struct FontMeasurer::Cache {
  std::vector<std::unique_ptr<FaceCache>> fonts = [] {
    std::vector<std::unique_ptr<FaceCache>> v;
    v.push_back(std::make_unique<FaceCache>());
    return v;
  }();
  ResolvedFallbacks fallbacks;    // what fonts[1..] were opened from, and the fallbacks skipped
  CodeUnitTable<uint8_t> fontOf;  // each code unit's font (an index into fonts), once support is known
  std::vector<uint8_t> pending;   // code units whose table entry was not measured yet

  FaceCache& chosen() { return *fonts.front(); }
  FaceCache& of(uint16_t codeUnit) {
    const std::size_t k = codeUnit < fontOf.size() ? fontOf[codeUnit] : 0;
    return *fonts[k < fonts.size() && fonts[k]->face ? k : 0];
  }
};

namespace {

// A further measuring thread (and its face) pays off only with this many glyphs for each thread.
constexpr std::size_t kMinGlyphsPerThread = 512;
constexpr std::size_t kGlyphsPerGrab = 64;

}  // namespace

void FaceCache::measureAll(const std::vector<uint32_t>& wanted) {
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

FontFace* FontMeasurer::face() const { return cache_->chosen().face.get(); }

bool FontMeasurer::openFace(const FontRequest& font, std::string* error) {
  Cache& c = *cache_;
  FaceCache& chosen = c.chosen();
  if (chosen.face && chosen.request == font) return true;
  ResolvedFont resolved;
  if (!ResolveFont(font, &resolved, error)) return false;
  if (chosen.holds(font, resolved)) {
    chosen.request = font;  // another name for the same face, size and style
    return true;
  }
  std::unique_ptr<FontFace> face = FontFace::OpenResolved(font, resolved, error);
  if (!face) return false;
  chosen.take(font, resolved, std::move(face));
  c.pending.assign(kCodeUnitCount, 1);
  return true;
}

bool FontMeasurer::openFallbacks(const FontRequest& font, const std::vector<FallbackFont>& list) {
  Cache& c = *cache_;
  ResolvedFallbacks wanted = ResolveFallbacks(list, font);
  ResolvedFallbacks opened;
  opened.notices = std::move(wanted.notices);
  std::vector<std::unique_ptr<FaceCache>> fonts;
  fonts.push_back(std::move(c.fonts.front()));
  for (std::size_t k = 0; k < wanted.fonts.size(); ++k) {
    const ResolvedFont& where = wanted.fonts[k];
    FontRequest request = font;
    request.name = where.path;
    // A fallback measured before at this size is kept with its glyphs.
    auto kept = std::find_if(c.fonts.begin() + 1, c.fonts.end(),
                             [&](const std::unique_ptr<FaceCache>& f) { return f && f->holds(font, where); });
    if (kept != c.fonts.end()) {
      fonts.push_back(std::move(*kept));
      opened.fonts.push_back(where);
      opened.labels.push_back(wanted.labels[k]);
      continue;
    }
    std::string error;
    std::unique_ptr<FontFace> face = FontFace::OpenResolved(request, where, &error);
    if (!face) {
      opened.notices.push_back(FallbackCannotOpen(where.path, error));
      continue;
    }
    auto cache = std::make_unique<FaceCache>();
    cache->take(request, where, std::move(face));
    fonts.push_back(std::move(cache));
    opened.fonts.push_back(where);
    opened.labels.push_back(wanted.labels[k]);
  }
  c.fonts = std::move(fonts);
  const bool changed = opened.fonts != c.fallbacks.fonts;
  c.fallbacks = std::move(opened);
  if (changed) c.pending.assign(kCodeUnitCount, 1);
  return changed;
}

const ResolvedFallbacks& FontMeasurer::fallbacks() const { return cache_->fallbacks; }

bool FontMeasurer::RefreshFontSupport(const FontRequest& font, const std::vector<FallbackFont>& fallbacks,
                                      FontTables& tables, std::string* error) {
  if (!openFace(font, error)) return false;
  openFallbacks(font, fallbacks);
  Cache& c = *cache_;
  tables.fallbacks = c.fallbacks;
  std::fill(tables.glyphFont.begin(), tables.glyphFont.end(), 0);
  bool hasCharmap = false;
  std::vector<uint32_t> units = c.chosen().face->supportedCodeUnits(&hasCharmap);
  c.fontOf.assign(kCodeUnitCount, 0);
  if (!hasCharmap) {
    std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 1);
    return true;
  }
  std::fill(tables.fontSupport.begin(), tables.fontSupport.end(), 0);
  for (uint32_t u : units) tables.fontSupport[u] = 1;
  // A code unit the chosen font lacks comes from the first fallback that has it.
  for (std::size_t k = 1; k < c.fonts.size(); ++k) {
    bool fallbackHasCharmap = false;
    for (uint32_t u : c.fonts[k]->face->supportedCodeUnits(&fallbackHasCharmap)) {
      if (tables.fontSupport[u]) continue;
      tables.fontSupport[u] = 1;
      tables.glyphFont[u] = static_cast<uint8_t>(k);
    }
  }
  c.fontOf = tables.glyphFont;
  tables.supportedCount = 0;
  for (std::size_t u = 0; u < kCodeUnitCount; ++u)
    if (tables.fontSupport[u])
      tables.supportedList[static_cast<std::size_t>(tables.supportedCount++)] = static_cast<uint32_t>(u);
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

bool FontMeasurer::Measure(const FontRequest& font, const std::vector<FallbackFont>& fallbacks, int32_t kerning,
                           CharacterSelection& selection, bool& fontChanged, FontTables& tables, std::string* error) {
  if (!openFace(font, error)) return false;
  Cache& c = *cache_;
  // Other fallbacks change which characters are supported as a font change does.
  if (openFallbacks(font, fallbacks)) fontChanged = true;
  if (fontChanged) {
    if (!RefreshFontSupport(font, fallbacks, tables, error)) return false;
    RecountSelection(selection, tables);
    fontChanged = false;
  }
  tables.fallbacks = c.fallbacks;
  // The glyphs of the selection that are not measured yet, each once per font, measured together
  // first.
  CodeUnitTable<uint32_t> glyphOf(kCodeUnitCount);
  std::vector<std::vector<uint32_t>> unknown(c.fonts.size());
  std::vector<std::vector<uint8_t>> listed(c.fonts.size());
  for (std::size_t k = 0; k < c.fonts.size(); ++k) listed[k].assign(c.fonts[k]->known.size(), 0);
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    if (selection[u] == 0 && u != 32) continue;
    const std::size_t k = u < c.fontOf.size() ? c.fontOf[u] : 0;
    FaceCache& f = c.of(static_cast<uint16_t>(u));
    uint32_t g = f.face->glyphIndex(static_cast<uint16_t>(u));
    if (g >= f.known.size()) g = 0;
    glyphOf[u] = g;
    if (!f.known[g] && !listed[k][g]) {
      listed[k][g] = 1;
      unknown[k].push_back(g);
    }
  }
  for (std::size_t k = 0; k < c.fonts.size(); ++k) c.fonts[k]->measureAll(unknown[k]);
  FaceCache& chosen = c.chosen();
  const MeasuredGlyph missing = chosen.glyph(0);
  const int32_t lineHeight = chosen.face->lineHeight();
  for (size_t u = 0; u < kCodeUnitCount; ++u) {
    bool wanted = selection[u] != 0 || u == 32;
    if (wanted) {
      const uint32_t g = glyphOf[u];
      const MeasuredGlyph& m = g ? c.of(static_cast<uint16_t>(u)).glyph(g) : missing;
      tables.glyphMetrics[u] = m.abc;
      if (selection[u]) tables.glyphInk[u] = m.ink;
      c.pending[u] = 0;
    } else {
      // Not selected: filled on demand (EnsureMetrics), glyph 0's metrics where no font has the
      // code unit. Writing the tens of thousands of entries a job never reads would cost a page
      // fault for every few hundred of them.
      c.pending[u] = 1;
    }
    if (selection[u]) tables.glyphHeights[u] = lineHeight;
  }
  // The line is the chosen font's whatever the fallbacks measure.
  tables.ascent = chosen.face->ascent();
  tables.descent = chosen.face->descent();
  const GlyphABC& space = tables.glyphMetrics[32];
  int64_t bc = static_cast<int64_t>(space.abcB) + space.abcC;
  tables.spaceAdvance = static_cast<int32_t>(RoundHalfEven(static_cast<double>(bc) + kerning / 2.0));
  return true;
}

void FontMeasurer::EnsureMetrics(uint16_t codeUnit, FontTables& tables) {
  Cache& c = *cache_;
  if (!c.chosen().face || !c.pending[codeUnit]) return;
  FaceCache& f = c.of(codeUnit);
  tables.glyphMetrics[codeUnit] = f.glyph(f.face->glyphIndex(codeUnit)).abc;
  c.pending[codeUnit] = 0;
}

}  // namespace glyphmill
