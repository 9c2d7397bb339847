#include "export/kerning_pairs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace glyphmill {
namespace {

const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

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

TEST(KerningPairs, UnreadableFontOrNoCharactersGiveNone) {
  EXPECT_TRUE(ComputeKerningPairs({"/nonexistent/font.ttf", 0, 32}, {'A', 'V'}).empty());
  EXPECT_TRUE(ComputeKerningPairs({kDejaVuSans, 0, 32}, {}).empty());
  EXPECT_TRUE(ComputeKerningPairs({"/etc/hostname", 0, 32}, {'A', 'V'}).empty());
}

}  // namespace
}  // namespace glyphmill
