// UnicodeBlockTable: the 67 named blocks of the character range editor (the block list of Unicode
// 2.0 without Specials), each with its inclusive code-unit range and the background tint its
// cells get under "Use Colour". The block names are also the entries of the editor's "Jump To:"
// list, in table order.
//
// Plain data: no window code here, so the lookup is usable and testable on its own.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace glyphmill {

struct UnicodeBlock {
  std::string_view name;
  uint16_t first;  // inclusive
  uint16_t last;   // inclusive
  uint32_t tint;   // 0xRRGGBB
};

inline constexpr int kUnicodeBlockCount = 67;
// The index BlockOf gives a code unit in no block; its tint is kNoBlockTint.
inline constexpr int kNoBlock = 67;
inline constexpr uint32_t kNoBlockTint = 0xF0F0F0;

// The table, ascending by range.
const std::array<UnicodeBlock, kUnicodeBlockCount>& UnicodeBlockTable();

// Index of the block whose range holds `codeUnit`, or kNoBlock.
int BlockOf(uint16_t codeUnit);

// The block's name; empty for kNoBlock or any index outside the table.
std::string_view BlockName(int blockIndex);

// The block's tint (0xRRGGBB); kNoBlockTint for kNoBlock or any index outside the table.
uint32_t BlockTint(int blockIndex);

// Where the "Jump To:" entry `blockIndex` leads: the block's first code unit. -1 outside the table.
int32_t JumpTarget(int blockIndex);

}  // namespace glyphmill
