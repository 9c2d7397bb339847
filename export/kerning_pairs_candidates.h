// The glyph pairs a font's kerning data can adjust, read from its tables with HarfBuzz's blob API
// (see kerning_pairs.h for which tables and lookups count). Only the glyphs of one selection take
// part, so the work grows with the kerning data and the pairs found, not with the square of the
// selection.
#pragma once

#include <hb.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace glyphmill {

// The selection's glyphs, each with the selection entries it stands for (several code units may
// map to one glyph).
class SelectedGlyphs {
 public:
  SelectedGlyphs(unsigned glyphCount, const std::vector<hb_codepoint_t>& entryGlyphs);
  bool contains(hb_codepoint_t glyph) const { return glyph < count_ && start_[glyph] != start_[glyph + 1]; }
  // The distinct selected glyphs, ascending.
  const std::vector<hb_codepoint_t>& glyphs() const { return distinct_; }
  template <typename F>
  void forEachEntry(hb_codepoint_t glyph, F&& f) const {
    if (glyph >= count_) return;
    for (uint32_t k = start_[glyph]; k < start_[glyph + 1]; ++k) f(entries_[k]);
  }

 private:
  unsigned count_;
  std::vector<uint32_t> start_;    // count_ + 1 offsets into entries_
  std::vector<uint32_t> entries_;  // selection entries grouped by glyph
  std::vector<hb_codepoint_t> distinct_;
};

// Ordered glyph pairs (first, second), both selected, that the font's kerning may adjust; sorted,
// each once. `everyPair` is set instead when the font kerns in a form this reader cannot take
// apart, so that every selected pair has to be considered.
struct KerningCandidates {
  std::vector<std::pair<hb_codepoint_t, hb_codepoint_t>> pairs;
  bool everyPair = false;
};

KerningCandidates FindKerningCandidates(hb_face_t* face, const SelectedGlyphs& selected);

}  // namespace glyphmill
