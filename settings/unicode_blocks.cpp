#include "settings/unicode_blocks.h"

#include <algorithm>

namespace glyphmill {

namespace {

constexpr std::array<UnicodeBlock, kUnicodeBlockCount> kBlocks{{
    {"Basic Latin", 0x0000, 0x007F, 0xFFFFFF},
    {"Latin-1 Supplement", 0x0080, 0x00FF, 0xF0F0F0},
    {"Latin Extended-A", 0x0100, 0x017F, 0xEBEBEB},
    {"Latin Extended-B", 0x0180, 0x024F, 0xE6E6E6},
    {"IPA Extensions", 0x0250, 0x02AF, 0xFFF0F0},
    {"Spacing Modifier Letters", 0x02B0, 0x02FF, 0xFFF0E6},
    {"Combining Diacritical Marks", 0x0300, 0x036F, 0xFFE6E6},
    {"Greek", 0x0370, 0x03FF, 0xF0FFF0},
    {"Cyrillic", 0x0400, 0x04FF, 0xFFFFF0},
    {"Armenian", 0x0530, 0x058F, 0xF0FFFF},
    {"Hebrew", 0x0590, 0x05FF, 0xF0F0FF},
    {"Arabic", 0x0600, 0x06FF, 0xFFF0F0},
    {"Devanagari", 0x0900, 0x097F, 0xFFFFF0},
    {"Bengali", 0x0980, 0x09FF, 0xF0FFF0},
    {"Gurmukhi", 0x0A00, 0x0A7F, 0xF0FFFF},
    {"Gujarati", 0x0A80, 0x0AFF, 0xF0F0FF},
    {"Oriya", 0x0B00, 0x0B7F, 0xE6F0FF},
    {"Tamil", 0x0B80, 0x0BFF, 0xFFF0E6},
    {"Telugu", 0x0C00, 0x0C7F, 0xE6FFF0},
    {"Kannada", 0x0C80, 0x0CFF, 0xE6FFE6},
    {"Malayalam", 0x0D00, 0x0D7F, 0xF0E6FF},
    {"Thai", 0x0E00, 0x0E7F, 0xFFFFE6},
    {"Lao", 0x0E80, 0x0EFF, 0xFFE6FF},
    {"Tibetan", 0x0F00, 0x0FBF, 0xE6F0E6},
    {"Georgian", 0x10A0, 0x10FF, 0xF0E6E6},
    {"Hangul Jamo", 0x1100, 0x11FF, 0xE6E6F0},
    {"Latin Extended Additional", 0x1E00, 0x1EFF, 0xFFE6F0},
    {"Greek Extended", 0x1F00, 0x1FFF, 0xF0FFF0},
    {"General Punctuation", 0x2000, 0x206F, 0xF0FFE6},
    {"Superscripts and Subscripts", 0x2070, 0x209F, 0xE6FFE6},
    {"Currency Symbols", 0x20A0, 0x20CF, 0xE1F5E1},
    {"Combining Marks for Symbols", 0x20D0, 0x20FF, 0xF0FFF0},
    {"Letterlike Symbols", 0x2100, 0x214F, 0xFFFFF0},
    {"Number Forms", 0x2150, 0x218F, 0xFFFFE6},
    {"Arrows", 0x2190, 0x21FF, 0xFFFFDC},
    {"Mathematical Operators", 0x2200, 0x22FF, 0xFFF0F0},
    {"Miscellaneous Technical", 0x2300, 0x23FF, 0xFFE6E6},
    {"Control Pictures", 0x2400, 0x243F, 0xFFDCDC},
    {"Optical Character Recognition", 0x2440, 0x245F, 0xF0F0FF},
    {"Enclosed Alphanumerics", 0x2460, 0x24FF, 0xE6E6FF},
    {"Box Drawing", 0x2500, 0x257F, 0xDCDCFF},
    {"Block Elements", 0x2580, 0x259F, 0xFFF0FF},
    {"Geometric Shapes", 0x25A0, 0x25FF, 0xFFE6FF},
    {"Miscellaneous Symbols", 0x2600, 0x26FF, 0xFFDCFF},
    {"Dingbats", 0x2700, 0x27BF, 0xFFE6F0},
    {"CJK Symbols and Punctuation", 0x3000, 0x303F, 0xFFF0F0},
    {"Hiragana", 0x3040, 0x309F, 0xFFFAF0},
    {"Katakana", 0x30A0, 0x30FF, 0xF0F0F0},
    {"Bopomofo", 0x3100, 0x312F, 0xFFFFFF},
    {"Hangul Compatibility Jamo", 0x3130, 0x318F, 0xF5F5F5},
    {"Kanbun", 0x3190, 0x319F, 0xF0F0F0},
    {"Enclosed CJK Letters and Months", 0x3200, 0x32FF, 0xEBEBEB},
    {"CJK Compatibility", 0x3300, 0x33FF, 0xE6E6E6},
    {"CJK Unified Ideographs", 0x4E00, 0x9FFF, 0xE1E1E1},
    {"Hangul Syllables", 0xAC00, 0xD7A3, 0xDCDCDC},
    {"High Surrogates", 0xD800, 0xDB7F, 0xDCE1DC},
    {"High Private Use Surrogates", 0xDB80, 0xDBFF, 0xDCE6DC},
    {"Low Surrogates", 0xDC00, 0xDFFF, 0xDCEBDC},
    {"Private Use", 0xE000, 0xF8FF, 0xDCF0DC},
    {"CJK Compatibility Ideographs", 0xF900, 0xFAFF, 0xDCFADC},
    {"Alphabetic Presentation Forms", 0xFB00, 0xFB4F, 0xFFFFFF},
    {"Arabic Presentation Forms-A", 0xFB50, 0xFDFF, 0xF0F0F0},
    {"Combining Half Marks", 0xFE20, 0xFE2F, 0xFFFFFF},
    {"CJK Compatibility Forms", 0xFE30, 0xFE4F, 0xF0F0F0},
    {"Small Form Variants", 0xFE50, 0xFE6F, 0xFFFFFF},
    {"Arabic Presentation Forms-B", 0xFE70, 0xFEFF, 0xF0F0F0},
    {"Halfwidth and Fullwidth Forms", 0xFF00, 0xFFEF, 0xFFFFFF},
}};

// Lookups binary-search on the ranges, so the table must stay sorted and without overlaps.
constexpr bool SortedWithoutOverlap() {
  for (size_t i = 0; i < kBlocks.size(); ++i) {
    if (kBlocks[i].first > kBlocks[i].last) return false;
    if (i > 0 && kBlocks[i - 1].last >= kBlocks[i].first) return false;
  }
  return true;
}
static_assert(SortedWithoutOverlap(), "block ranges ascend without overlapping");

bool InTable(int blockIndex) { return blockIndex >= 0 && blockIndex < kUnicodeBlockCount; }

}  // namespace

const std::array<UnicodeBlock, kUnicodeBlockCount>& UnicodeBlockTable() { return kBlocks; }

int BlockOf(uint16_t codeUnit) {
  // The first block that ends at or after the code unit is the only one that can hold it.
  auto it = std::lower_bound(kBlocks.begin(), kBlocks.end(), codeUnit,
                             [](const UnicodeBlock& b, uint16_t c) { return b.last < c; });
  if (it == kBlocks.end() || codeUnit < it->first) return kNoBlock;
  return static_cast<int>(it - kBlocks.begin());
}

std::string_view BlockName(int blockIndex) {
  return InTable(blockIndex) ? kBlocks[blockIndex].name : std::string_view{};
}

uint32_t BlockTint(int blockIndex) { return InTable(blockIndex) ? kBlocks[blockIndex].tint : kNoBlockTint; }

int32_t JumpTarget(int blockIndex) { return InTable(blockIndex) ? kBlocks[blockIndex].first : -1; }

}  // namespace glyphmill
