// The block table of the character range editor: lookup by code unit, names, tints and the
// targets of the "Jump To:" list.
#include "settings/unicode_blocks.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphmill {
namespace {

int BlockNamed(const std::string& name) {
  const auto& table = UnicodeBlockTable();
  for (int i = 0; i < kUnicodeBlockCount; ++i)
    if (table[i].name == name) return i;
  return -1;
}

TEST(UnicodeBlockLookup, FindsBlocksAtTheirEdges) {
  EXPECT_EQ(BlockOf(0x0000), 0);
  EXPECT_EQ(BlockOf(0x007F), 0);
  EXPECT_EQ(BlockOf(0x0080), 1);
  EXPECT_EQ(BlockName(BlockOf(0x00E9)), "Latin-1 Supplement");
  EXPECT_EQ(BlockName(BlockOf(0x03A9)), "Greek");
  EXPECT_EQ(BlockName(BlockOf(0x0416)), "Cyrillic");
  EXPECT_EQ(BlockName(BlockOf(0x20AC)), "Currency Symbols");
  EXPECT_EQ(BlockName(BlockOf(0x4E00)), "CJK Unified Ideographs");
  EXPECT_EQ(BlockName(BlockOf(0x9FFF)), "CJK Unified Ideographs");
  EXPECT_EQ(BlockName(BlockOf(0xD7A3)), "Hangul Syllables");
  EXPECT_EQ(BlockName(BlockOf(0xFFEF)), "Halfwidth and Fullwidth Forms");
}

TEST(UnicodeBlockLookup, CodeUnitsBetweenBlocksAreInNone) {
  // Gaps of the Unicode 2.0 list (Syriac and Thaana were not yet assigned; Specials is left out).
  for (uint16_t c : {0x0500, 0x052F, 0x0700, 0x08FF, 0x0FC0, 0x109F, 0x1200, 0x1DFF, 0x27C0, 0x2FFF,
                     0x3400, 0x4DFF, 0xA000, 0xABFF, 0xD7A4, 0xD7FF, 0xFE00, 0xFE1F, 0xFFF0, 0xFFFF}) {
    EXPECT_EQ(BlockOf(c), kNoBlock) << std::hex << c;
  }
  EXPECT_EQ(BlockName(BlockOf(0x0700)), "");
  EXPECT_EQ(BlockTint(BlockOf(0x0700)), 0xF0F0F0u);
}

TEST(UnicodeBlockLookup, AgreesWithALinearScanForEveryCodeUnit) {
  const auto& table = UnicodeBlockTable();
  int inBlocks = 0;
  for (uint32_t c = 0; c < 65536; ++c) {
    int expected = kNoBlock;
    for (int i = 0; i < kUnicodeBlockCount; ++i)
      if (c >= table[i].first && c <= table[i].last) expected = i;
    ASSERT_EQ(BlockOf(static_cast<uint16_t>(c)), expected) << c;
    inBlocks += expected != kNoBlock;
  }
  // Sum of the 67 inclusive ranges of the table.
  EXPECT_EQ(inBlocks, 49476);
}

TEST(UnicodeBlockTable, HasSixtySevenNamedBlocksInJumpListOrder) {
  const auto& table = UnicodeBlockTable();
  ASSERT_EQ(table.size(), 67u);
  EXPECT_EQ(table.front().name, "Basic Latin");
  EXPECT_EQ(table[26].name, "Latin Extended Additional");
  EXPECT_EQ(table.back().name, "Halfwidth and Fullwidth Forms");
  for (int i = 1; i < kUnicodeBlockCount; ++i) EXPECT_LT(table[i - 1].last, table[i].first) << i;
}

TEST(UnicodeBlockTable, TintsComeFromTheTable) {
  EXPECT_EQ(BlockTint(0), 0xFFFFFFu);
  EXPECT_EQ(BlockTint(BlockNamed("IPA Extensions")), 0xFFF0F0u);
  EXPECT_EQ(BlockTint(BlockNamed("Currency Symbols")), 0xE1F5E1u);
  EXPECT_EQ(BlockTint(BlockNamed("Hangul Syllables")), 0xDCDCDCu);
  EXPECT_EQ(BlockTint(kNoBlock), 0xF0F0F0u);
  EXPECT_EQ(BlockTint(-1), 0xF0F0F0u);
  EXPECT_EQ(BlockName(kNoBlock), "");
  EXPECT_EQ(BlockName(1000), "");
}

TEST(UnicodeBlockJump, LeadsToTheFirstCodeUnitOfTheChosenBlock) {
  EXPECT_EQ(JumpTarget(BlockNamed("Latin-1 Supplement")), 0x0080);
  EXPECT_EQ(JumpTarget(BlockNamed("Latin Extended Additional")), 0x1E00);
  EXPECT_EQ(JumpTarget(BlockNamed("Basic Latin")), 0x0000);
  EXPECT_EQ(JumpTarget(BlockNamed("Private Use")), 0xE000);
  EXPECT_EQ(JumpTarget(-1), -1);
  EXPECT_EQ(JumpTarget(kNoBlock), -1);
  for (int i = 0; i < kUnicodeBlockCount; ++i) EXPECT_EQ(BlockOf(static_cast<uint16_t>(JumpTarget(i))), i);
}

}  // namespace
}  // namespace glyphmill
