#include "export/export_buffers.h"

#include <gtest/gtest.h>

namespace glyphmill {
namespace {

TEST(ExportBuffers, SizesAndByteOrderOfA256By128Texture) {
  Image24 colour(256, 128);
  Image24 mask(256, 128);
  colour.setPixel(0, 0, Bgr{1, 2, 3});
  colour.setPixel(255, 127, Bgr{7, 8, 9});
  colour.setPixel(1, 1, Bgr{4, 5, 6});
  mask.setPixel(0, 0, Bgr{200, 0, 0});  // only the first (blue) byte counts
  mask.setPixel(3, 2, Bgr{77, 77, 77});

  ExportBuffers b;
  BuildExportBuffers(colour, mask, b);
  ASSERT_EQ(b.rgb.size(), 98304u);
  ASSERT_EQ(b.alpha.size(), 32768u);
  EXPECT_TRUE(b.hasSize(256, 128));
  EXPECT_FALSE(b.hasSize(128, 256));
  // Top-left pixel first, blue green red.
  EXPECT_EQ(b.rgb[0], 1);
  EXPECT_EQ(b.rgb[1], 2);
  EXPECT_EQ(b.rgb[2], 3);
  // Row 1 follows row 0 with no gap.
  EXPECT_EQ(b.rgb[(256 + 1) * 3 + 0], 4);
  EXPECT_EQ(b.rgb[(256 + 1) * 3 + 2], 6);
  EXPECT_EQ(b.rgb[98304 - 1], 9);
  EXPECT_EQ(b.alpha[0], 200);
  EXPECT_EQ(b.alpha[2 * 256 + 3], 77);
  EXPECT_EQ(b.alpha[1], 0);
}

TEST(ExportBuffers, RebuildReplacesTheLastContents) {
  Image24 big(32, 32), bigMask(32, 32);
  big.fill(9, 9, 9);
  ExportBuffers b;
  BuildExportBuffers(big, bigMask, b);
  Image24 small(4, 2), smallMask(4, 2);
  small.fill(1, 2, 3);
  BuildExportBuffers(small, smallMask, b);
  EXPECT_EQ(b.rgb.size(), 24u);
  EXPECT_EQ(b.alpha.size(), 8u);
  EXPECT_EQ(b.rgb[21], 1);
  EXPECT_TRUE(b.hasSize(4, 2));
}

TEST(ExportBuffers, MaskOfAnotherSizeIsNotTakenForTheTexture) {
  Image24 colour(8, 8), mask(4, 4);
  ExportBuffers b;
  BuildExportBuffers(colour, mask, b);
  EXPECT_EQ(b.alpha.size(), 16u);
  EXPECT_FALSE(b.hasSize(8, 8));
}

TEST(ExportBuffers, ALaterPagesAlphaIsItsKeptMaskOrOpaque) {
  TexturePage page;
  page.colour.resize(5, 3);
  Image24 mask(5, 3);
  mask.setPixel(4, 2, Bgr{91, 91, 91});
  mask.setPixel(0, 1, Bgr{3, 3, 3});
  KeepMask(mask, page);
  std::vector<uint8_t> alpha(15, 7);
  WriteAlphaBuffer(page, alpha.data());
  std::vector<uint8_t> fromImage(15, 7);
  WriteAlphaBuffer(mask, fromImage.data());
  EXPECT_EQ(alpha, fromImage);
  EXPECT_EQ(alpha[14], 91);
  EXPECT_EQ(alpha[5], 3);
  WriteAlphaBuffer(page, alpha.data(), true);
  EXPECT_EQ(alpha, std::vector<uint8_t>(15, 255));
  // A released page leaves no stale bytes behind in a buffer of its old size.
  std::vector<uint8_t> after(15, 7);
  page.mask.clear();
  WriteAlphaBuffer(page, after.data());
  EXPECT_EQ(after, std::vector<uint8_t>(15, 0));
}

TEST(CharTable, CopiesSevenFieldsInTableOrder) {
  std::vector<PlacedCharacter> chars(2);
  chars[0] = {11, 22, 33, 44, 5, 6, -3, 17, 0x41};
  chars[1] = {1, 2, 0, 0, 9, 9, 4, 5, 0xFFFF};
  std::vector<TExportCharInfo> t = BuildCharTable(chars, 2);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].Width, 11u);
  EXPECT_EQ(t[0].Height, 22u);
  EXPECT_EQ(t[0].X, 33);
  EXPECT_EQ(t[0].Y, 44);
  EXPECT_EQ(t[0].PreAdvance, -3);  // a negative A width stays negative
  EXPECT_EQ(t[0].PostAdvance, 17);
  EXPECT_EQ(t[0].Code, 0x41u);
  EXPECT_EQ(t[1].Code, 0xFFFFu);  // zero-extended, not sign-extended
  EXPECT_EQ(t[1].X, 0);
}

TEST(CharTable, CountIsHeldToTheTable) {
  std::vector<PlacedCharacter> chars(3);
  EXPECT_TRUE(BuildCharTable(chars, 0).empty());
  EXPECT_EQ(BuildCharTable(chars, 2).size(), 2u);
  EXPECT_EQ(BuildCharTable(chars, 10).size(), 3u);  // a count above the table never reads past it
  EXPECT_EQ(ExportCharCount(chars, 10), 3u);
  EXPECT_EQ(ExportCharCount({}, 5), 0u);
}

}  // namespace
}  // namespace glyphmill
