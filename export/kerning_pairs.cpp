#include "export/kerning_pairs.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <memory>

#include "settings/rounding.h"

namespace glyphmill {

namespace {

template <typename T, void (*Destroy)(T*)>
struct HbDeleter {
  void operator()(T* p) const { Destroy(p); }
};
using BlobPtr = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using FacePtr = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using FontPtr = std::unique_ptr<hb_font_t, HbDeleter<hb_font_t, hb_font_destroy>>;
using BufferPtr = std::unique_ptr<hb_buffer_t, HbDeleter<hb_buffer_t, hb_buffer_destroy>>;
using SetPtr = std::unique_ptr<hb_set_t, HbDeleter<hb_set_t, hb_set_destroy>>;

struct Candidate {
  uint16_t codeUnit;
  hb_codepoint_t glyph;
  hb_position_t advance;
};

// Glyphs that take part in the font's GPOS "kern" lookups; nullptr when the font has no GPOS, in
// which case every glyph may be kerned (legacy 'kern' table, or AAT).
SetPtr KernedGlyphs(hb_face_t* face) {
  if (!hb_ot_layout_has_positioning(face)) return nullptr;
  SetPtr lookups(hb_set_create());
  const hb_tag_t features[] = {HB_TAG('k', 'e', 'r', 'n'), HB_TAG_NONE};
  hb_ot_layout_collect_lookups(face, HB_OT_TAG_GPOS, nullptr, nullptr, features, lookups.get());
  SetPtr glyphs(hb_set_create());
  hb_codepoint_t lookup = HB_SET_VALUE_INVALID;
  while (hb_set_next(lookups.get(), &lookup))
    hb_ot_layout_lookup_collect_glyphs(face, HB_OT_TAG_GPOS, lookup, glyphs.get(), glyphs.get(), glyphs.get(),
                                       nullptr);
  return glyphs;
}

}  // namespace

std::vector<GlyphmillKerningPair> ComputeKerningPairs(const KerningSource& source,
                                                      const std::vector<uint16_t>& codeUnits, std::size_t limit) {
  std::vector<GlyphmillKerningPair> pairs;
  if (codeUnits.empty() || source.emPixels <= 0) return pairs;
  BlobPtr blob(hb_blob_create_from_file_or_fail(source.fontPath.c_str()));
  if (!blob) return pairs;
  FacePtr face(hb_face_create(blob.get(), static_cast<unsigned>(source.faceIndex)));
  FontPtr font(hb_font_create(face.get()));
  // 26.6 fixed point at the em size; the pixels per em also select device-table adjustments.
  const int scale = source.emPixels * 64;
  hb_font_set_scale(font.get(), scale, scale);
  hb_font_set_ppem(font.get(), static_cast<unsigned>(source.emPixels), static_cast<unsigned>(source.emPixels));

  const SetPtr kerned = KernedGlyphs(face.get());
  std::vector<Candidate> candidates;
  const std::size_t count = std::min(limit, codeUnits.size());
  for (std::size_t i = 0; i < count; ++i) {
    hb_codepoint_t glyph = 0;
    if (!hb_font_get_nominal_glyph(font.get(), codeUnits[i], &glyph)) continue;
    if (kerned && !hb_set_has(kerned.get(), glyph)) continue;
    candidates.push_back({codeUnits[i], glyph, hb_font_get_glyph_h_advance(font.get(), glyph)});
  }

  const hb_feature_t features[] = {
      {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('c', 'a', 'l', 't'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
      {HB_TAG('d', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
  };
  BufferPtr buffer(hb_buffer_create());
  for (const Candidate& a : candidates) {
    for (const Candidate& b : candidates) {
      hb_buffer_clear_contents(buffer.get());
      const uint16_t text[2] = {a.codeUnit, b.codeUnit};
      hb_buffer_add_utf16(buffer.get(), text, 2, 0, 2);
      hb_buffer_set_direction(buffer.get(), HB_DIRECTION_LTR);
      hb_buffer_guess_segment_properties(buffer.get());
      hb_shape(font.get(), buffer.get(), features, sizeof features / sizeof features[0]);
      unsigned int n = 0;
      const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &n);
      const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer.get(), nullptr);
      if (n != 2 || info[0].codepoint != a.glyph || info[1].codepoint != b.glyph) continue;
      // Where the second glyph lands relative to the first, against the first's plain advance.
      const hb_position_t delta = pos[0].x_advance + pos[1].x_offset - pos[0].x_offset - a.advance;
      const int32_t amount = RoundHalfEven32(delta / 64.0);
      if (amount != 0) pairs.push_back({a.codeUnit, b.codeUnit, amount});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const GlyphmillKerningPair& x, const GlyphmillKerningPair& y) {
    return x.first != y.first ? x.first < y.first : x.second < y.second;
  });
  return pairs;
}

}  // namespace glyphmill
