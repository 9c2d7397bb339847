#include "export/kerning_pairs.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <memory>

#include "export/harfbuzz_handles.h"
#include "export/kerning_pairs_candidates.h"
#include "settings/rounding.h"

namespace glyphmill {

namespace {

struct Entry {
  uint16_t codeUnit;
  hb_codepoint_t glyph;
};

// Shapes two-character strings the way the pairs are defined: default positioning, no ligatures
// and no contextual alternates.
class PairShaper {
 public:
  explicit PairShaper(hb_font_t* font) : font_(font), buffer_(hb_buffer_create()) {}

  // The pair's adjustment in 26.6 pixels, or nothing when the shaping replaced either glyph.
  bool adjustment(const Entry& a, const Entry& b, hb_position_t* delta) {
    hb_buffer_clear_contents(buffer_.get());
    const uint16_t text[2] = {a.codeUnit, b.codeUnit};
    hb_buffer_add_utf16(buffer_.get(), text, 2, 0, 2);
    hb_buffer_set_direction(buffer_.get(), HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer_.get());
    hb_shape(font_, buffer_.get(), kFeatures, sizeof kFeatures / sizeof kFeatures[0]);
    unsigned int n = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer_.get(), &n);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer_.get(), nullptr);
    if (n != 2 || info[0].codepoint != a.glyph || info[1].codepoint != b.glyph) return false;
    // Where the second glyph lands relative to the first, against the first's plain advance.
    *delta = pos[0].x_advance + pos[1].x_offset - pos[0].x_offset - hb_font_get_glyph_h_advance(font_, a.glyph);
    return true;
  }

 private:
  static constexpr hb_feature_t kFeatures[] = {
      {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('c', 'a', 'l', 't'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('d', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
  };
  hb_font_t* font_;
  HbBufferPtr buffer_;
};

}  // namespace

std::vector<GlyphmillKerningPair> ComputeKerningPairs(const KerningSource& source,
                                                      const std::vector<uint16_t>& codeUnits, std::size_t limit) {
  std::vector<GlyphmillKerningPair> pairs;
  if (codeUnits.empty() || source.emPixels <= 0) return pairs;
  HbBlobPtr blob(hb_blob_create_from_file_or_fail(source.fontPath.c_str()));
  if (!blob) return pairs;
  HbFacePtr face(hb_face_create(blob.get(), static_cast<unsigned>(source.faceIndex)));
  HbFontPtr font(hb_font_create(face.get()));
  // 26.6 fixed point at the em size; the pixels per em also select device-table adjustments.
  const int scale = source.emPixels * 64;
  hb_font_set_scale(font.get(), scale, scale);
  hb_font_set_ppem(font.get(), static_cast<unsigned>(source.emPixels), static_cast<unsigned>(source.emPixels));

  std::vector<Entry> entries;
  std::vector<hb_codepoint_t> entryGlyphs;
  const std::size_t count = std::min(limit, codeUnits.size());
  for (std::size_t i = 0; i < count; ++i) {
    hb_codepoint_t glyph = 0;
    if (!hb_font_get_nominal_glyph(font.get(), codeUnits[i], &glyph)) continue;
    entries.push_back({codeUnits[i], glyph});
    entryGlyphs.push_back(glyph);
  }
  const SelectedGlyphs selected(hb_face_get_glyph_count(face.get()), entryGlyphs);
  KerningCandidates candidates = FindKerningCandidates(face.get(), selected);
  if (candidates.everyPair) {
    for (hb_codepoint_t a : selected.glyphs())
      for (hb_codepoint_t b : selected.glyphs()) candidates.pairs.emplace_back(a, b);
  }

  PairShaper shaper(font.get());
  for (const auto& pair : candidates.pairs) {
    const hb_codepoint_t second = pair.second;
    selected.forEachEntry(pair.first, [&](uint32_t i) {
      selected.forEachEntry(second, [&](uint32_t j) {
        hb_position_t delta = 0;
        if (!shaper.adjustment(entries[i], entries[j], &delta)) return;
        const int32_t amount = RoundHalfEven32(delta / 64.0);
        if (amount != 0) pairs.push_back({entries[i].codeUnit, entries[j].codeUnit, amount});
      });
    });
  }
  std::sort(pairs.begin(), pairs.end(), [](const GlyphmillKerningPair& x, const GlyphmillKerningPair& y) {
    return x.first != y.first ? x.first < y.first : x.second < y.second;
  });
  return pairs;
}

}  // namespace glyphmill
