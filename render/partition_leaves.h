// PartitionLeaves: every leaf of one packer tree, in depth-first order, for the packer's search.
//
// The first leaf of a depth-first walk (Adjacent before Remainder) that is wide and tall enough is
// the first such leaf of this sequence: splitting a leaf puts its two children, Adjacent first,
// where it stood, so the sequence stays in the walk's order. Asking the sequence gives the walk's
// answer without descending the tree, whose Remainder chains run hundreds of levels deep.
//
// The sequence is cut into blocks of a few hundred leaves. Each block keeps the staircase of its
// leaves' sizes (those no other leaf exceeds both ways), so "does any leaf of this block hold
// w x h" is one short search and exact: a block is entered only when it holds a fitting leaf.
// Leaves of zero or negative size are kept too, so cells without positive size (which fit such
// leaves) get the same answer as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace glyphmill {

class TPartition;

class PartitionLeaves {
 public:
  // Where a leaf stands in the sequence: its block and its place inside the block.
  struct Slot {
    std::size_t block = 0;
    std::size_t pos = 0;
  };

  // Adds a leaf after the present last one (building the sequence in depth-first order).
  void append(TPartition* leaf);

  // The first leaf with w <= Width and h <= Height (signed), or nothing.
  std::optional<Slot> firstFit(int32_t w, int32_t h) const;

  // The slot of a given leaf (a scan of the whole sequence), or nothing if it is not listed.
  std::optional<Slot> find(const TPartition* leaf) const;

  TPartition* at(Slot s) const { return blocks_[s.block].leaves[s.pos].node; }

  // The leaf at `s` was split: its children take its place, `adjacent` first.
  void replace(Slot s, TPartition* adjacent, TPartition* remainder);

  std::size_t size() const { return count_; }

 private:
  struct Leaf {
    TPartition* node;
    int32_t width;
    int32_t height;
  };
  struct Size {
    int32_t width;
    int32_t height;
  };
  struct Block {
    std::vector<Leaf> leaves;  // depth-first order
    std::vector<Size> bySize;  // the same leaves' sizes, widest first
    // The sizes no other leaf of the block exceeds in both width and height: widest first,
    // heights rising. Some leaf holds w x h exactly when the last step at least w wide is at
    // least h tall.
    std::vector<Size> steps;
  };
  // A block's widest and tallest leaf, kept apart from the blocks for a compact first pass.
  struct Bound {
    int32_t widest;
    int32_t tallest;
  };

  static bool holds(const Block& b, int32_t w, int32_t h);
  static void addSize(Block& b, int32_t width, int32_t height);
  static void removeSize(Block& b, int32_t width, int32_t height);
  void refresh(std::size_t block);
  void splitBlock(std::size_t block);

  std::vector<Block> blocks_;
  std::vector<Bound> bounds_;
  std::size_t count_ = 0;
};

}  // namespace glyphmill
