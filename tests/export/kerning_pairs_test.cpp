#include "export/kerning_pairs.h"

#include <gtest/gtest.h>

#include <hb.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace glyphmill {
namespace {

const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* kLiberationSans = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// 300 code units: printable ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals and
// small letters, in ascending order as a selection holds them.
std::vector<uint16_t> LatinGreekCyrillic() {
  std::vector<uint16_t> units;
  auto add = [&units](uint16_t from, uint16_t to) {
    for (uint32_t u = from; u <= to; ++u) units.push_back(static_cast<uint16_t>(u));
  };
  add(0x21, 0x7E);    // 94
  add(0xC0, 0xFF);    // 64
  add(0x100, 0x12F);  // 48
  add(0x391, 0x3A9);  // 25 (0x3A2 unassigned: no glyph, no pairs)
  add(0x3B1, 0x3C9);  // 25
  add(0x410, 0x42B);  // 28
  add(0x430, 0x445);  // 22 -> 306
  units.resize(300);
  return units;
}

// The reference: every ordered pair of the selection shaped on its own with HarfBuzz, with the
// definition of a pair's amount (default positioning, no ligatures or contextual alternates; pairs
// whose glyphs the shaping replaced are left out).
std::map<std::pair<uint16_t, uint16_t>, int32_t> ShapeEveryPair(const char* path, int emPixels,
                                                                const std::vector<uint16_t>& units) {
  hb_blob_t* blob = hb_blob_create_from_file_or_fail(path);
  hb_face_t* face = hb_face_create(blob, 0);
  hb_font_t* font = hb_font_create(face);
  hb_font_set_scale(font, emPixels * 64, emPixels * 64);
  hb_font_set_ppem(font, emPixels, emPixels);
  hb_buffer_t* buffer = hb_buffer_create();
  const hb_feature_t off[] = {{HB_TAG('l', 'i', 'g', 'a'), 0, 0, ~0u},
                              {HB_TAG('c', 'l', 'i', 'g'), 0, 0, ~0u},
                              {HB_TAG('c', 'a', 'l', 't'), 0, 0, ~0u},
                              {HB_TAG('d', 'l', 'i', 'g'), 0, 0, ~0u}};
  std::map<std::pair<uint16_t, uint16_t>, int32_t> amounts;
  for (uint16_t a : units) {
    hb_codepoint_t ga = 0, gb = 0;
    if (!hb_font_get_nominal_glyph(font, a, &ga)) continue;
    for (uint16_t b : units) {
      if (!hb_font_get_nominal_glyph(font, b, &gb)) continue;
      hb_buffer_clear_contents(buffer);
      const uint16_t text[2] = {a, b};
      hb_buffer_add_utf16(buffer, text, 2, 0, 2);
      hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
      hb_buffer_guess_segment_properties(buffer);
      hb_shape(font, buffer, off, 4);
      unsigned n = 0;
      const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &n);
      const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);
      if (n != 2 || info[0].codepoint != ga || info[1].codepoint != gb) continue;
      const int delta = pos[0].x_advance + pos[1].x_offset - pos[0].x_offset - hb_font_get_glyph_h_advance(font, ga);
      const auto amount = static_cast<int32_t>(std::nearbyint(delta / 64.0));
      if (amount != 0) amounts[{a, b}] = amount;
    }
  }
  hb_buffer_destroy(buffer);
  hb_font_destroy(font);
  hb_face_destroy(face);
  hb_blob_destroy(blob);
  return amounts;
}

std::map<std::pair<uint16_t, uint16_t>, int32_t> AsMap(const std::vector<GlyphmillKerningPair>& pairs) {
  std::map<std::pair<uint16_t, uint16_t>, int32_t> amounts;
  for (const auto& p : pairs) amounts[{static_cast<uint16_t>(p.first), static_cast<uint16_t>(p.second)}] = p.amount;
  return amounts;
}

int32_t Amount(const std::vector<GlyphmillKerningPair>& pairs, uint16_t a, uint16_t b) {
  for (const auto& p : pairs)
    if (p.first == a && p.second == b) return p.amount;
  return 0;
}

TEST(KerningPairs, KnownPairsOfARealFontAreFoundAndSorted) {
  const std::vector<uint16_t> chars = {' ', 'A', 'T', 'V', 'a', 'o', 'x'};
  const auto pairs = ComputeKerningPairs({kDejaVuSans, 0, 64}, chars);
  ASSERT_FALSE(pairs.empty());
  // DejaVu Sans pulls "AV", "VA" and "To" together; "xx" has no kerning.
  EXPECT_LT(Amount(pairs, 'A', 'V'), 0);
  EXPECT_LT(Amount(pairs, 'V', 'A'), 0);
  EXPECT_LT(Amount(pairs, 'T', 'o'), 0);
  EXPECT_EQ(Amount(pairs, 'x', 'x'), 0);
  for (const auto& p : pairs) {
    EXPECT_NE(p.amount, 0);
    EXPECT_NE(std::find(chars.begin(), chars.end(), p.first), chars.end());
    EXPECT_NE(std::find(chars.begin(), chars.end(), p.second), chars.end());
  }
  EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end(), [](const auto& x, const auto& y) {
    return x.first != y.first ? x.first < y.first : x.second < y.second;
  }));
}

TEST(KerningPairs, AmountsScaleWithThePixelSize) {
  const std::vector<uint16_t> chars = {'A', 'V'};
  const int32_t small = Amount(ComputeKerningPairs({kDejaVuSans, 0, 16}, chars), 'A', 'V');
  const int32_t large = Amount(ComputeKerningPairs({kDejaVuSans, 0, 160}, chars), 'A', 'V');
  EXPECT_LT(large, small * 5);  // about ten times the small amount, both negative
  EXPECT_LE(small, 0);
}

TEST(KerningPairs, OnlyTheFirstCharactersUpToTheLimitTakePart) {
  const std::vector<uint16_t> chars = {'A', 'T', 'V', 'o'};
  const auto limited = ComputeKerningPairs({kDejaVuSans, 0, 64}, chars, 2);  // 'A' and 'T' only
  for (const auto& p : limited) {
    EXPECT_TRUE(p.first == 'A' || p.first == 'T');
    EXPECT_TRUE(p.second == 'A' || p.second == 'T');
  }
  EXPECT_EQ(Amount(limited, 'A', 'V'), 0);
}

// The candidates read from the font's kerning lookups (class pairs included) miss no pair that
// shaping the pair on its own would kern, and add none it would not.
TEST(KerningPairs, EveryPairOfALatinGreekCyrillicSelectionMatchesPairShapingInDejaVuSans) {
  const auto units = LatinGreekCyrillic();
  for (int em : {19, 32}) {
    SCOPED_TRACE(em);
    const auto expected = ShapeEveryPair(kDejaVuSans, em, units);
    ASSERT_GT(expected.size(), 500u);
    EXPECT_EQ(AsMap(ComputeKerningPairs({kDejaVuSans, 0, em}, units)), expected);
  }
}

TEST(KerningPairs, EveryPairOfALatinGreekCyrillicSelectionMatchesPairShapingInLiberationSans) {
  const auto units = LatinGreekCyrillic();
  for (int em : {19, 32}) {
    SCOPED_TRACE(em);
    const auto expected = ShapeEveryPair(kLiberationSans, em, units);
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(AsMap(ComputeKerningPairs({kLiberationSans, 0, em}, units)), expected);
  }
}

// Pairs whose characters lie far into a large selection are found as well: the quotation marks
// at U+201x come after more than 8,000 characters here.
TEST(KerningPairs, CharactersAfterTheFirstThousandArePaired) {
  std::vector<uint16_t> units;
  for (uint16_t u = 0x21; u <= 0x2FFF; ++u) units.push_back(u);
  const auto pairs = ComputeKerningPairs({kDejaVuSans, 0, 32}, units);
  std::vector<uint16_t> sample;
  for (uint16_t u = 0x21; u <= 0x17F; ++u) sample.push_back(u);
  for (uint16_t u = 0x2010; u <= 0x201F; ++u) sample.push_back(u);
  const auto expected = ShapeEveryPair(kDejaVuSans, 32, sample);
  const auto late =
      std::count_if(expected.begin(), expected.end(), [](const auto& e) { return e.first.first >= 0x2010; });
  ASSERT_GT(late, 50);
  std::map<std::pair<uint16_t, uint16_t>, int32_t> found;
  for (const auto& [pair, amount] : AsMap(pairs)) {
    const bool inSample = std::binary_search(sample.begin(), sample.end(), pair.first) &&
                          std::binary_search(sample.begin(), sample.end(), pair.second);
    if (inSample) found[pair] = amount;
  }
  EXPECT_EQ(found, expected);
}

TEST(KerningPairs, UnreadableFontOrNoCharactersGiveNone) {
  EXPECT_TRUE(ComputeKerningPairs({"/nonexistent/font.ttf", 0, 32}, {'A', 'V'}).empty());
  EXPECT_TRUE(ComputeKerningPairs({kDejaVuSans, 0, 32}, {}).empty());
  EXPECT_TRUE(ComputeKerningPairs({"/etc/hostname", 0, 32}, {'A', 'V'}).empty());
}

}  // namespace
}  // namespace glyphmill
