// TPartition: the guillotine packer. A binary tree of rectangles in which every free leaf is an empty
// rectangle and every used node holds one placed cell plus the two free pieces left beside it.
//
// The packer sees rectangles only. `Insert` searches depth first, `Adjacent` before `Remainder`, and
// the first free leaf that is large enough wins (first fit, no scoring). The packing mode (corner)
// decides where a cell goes inside the leaf and how the leftover space is cut.
//
// The search gives exactly the plain depth-first walk's answer without walking: the node on which
// `Insert` is first called keeps every leaf of its tree in depth-first order (PartitionLeaves), and
// the first leaf of that sequence large enough is the walk's first fit. Nodes made by a split join
// their parent's sequence. `Insert` called on a node further down an indexed tree takes the plain
// walk over that subtree (the sequence answers for the whole tree only) and keeps the sequence up
// to date. A tree grows only through `Insert`: children attached by hand to a node after it (or an
// ancestor) was first asked for room are not seen.
#pragma once

#include <cstdint>
#include <memory>

#include "render/partition_leaves.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// A search result: edges of the placed cell, or the no-room result (left = kNoRoom).
struct PackRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const PackRect&) const = default;
};

inline constexpr int32_t kNoRoom = -123456;
inline constexpr PackRect kNoRoomRect{kNoRoom, kNoRoom, kNoRoom, kNoRoom};
// Callers test for a left value of kNoRoom or less.
inline bool IsNoRoom(const PackRect& r) { return r.left <= kNoRoom; }

class TPartition {
 public:
  // `mode`: the corner of a free rectangle a cell is put in, one of the four corner values of
  // packOrigin (kOriginTopLeft ... kOriginBottomLeft, settings/generation_settings.h).
  TPartition(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t mode);
  TPartition(const TPartition&) = delete;
  TPartition& operator=(const TPartition&) = delete;
  // Children are released iteratively, so a deep (degenerate) tree cannot exhaust the stack.
  ~TPartition();

  // Room for a cell of w x h (signed comparisons) in this subtree: marks the leaf used, splits the
  // leftover space and returns the cell's rectangle; or the no-room result, leaving the tree unchanged.
  PackRect Insert(int32_t w, int32_t h);

  int32_t Left, Top, Right, Bottom;
  int32_t Width, Height;  // Right - Left, Bottom - Top, fixed at construction
  int32_t Mode;
  bool Used = false;
  std::unique_ptr<TPartition> Adjacent;   // the piece beside the cell on its short side
  std::unique_ptr<TPartition> Remainder;  // the strip running the node's full length

 private:
  PackRect split(int32_t w, int32_t h);
  TPartition* plainFirstFit(int32_t w, int32_t h);
  void listSubtree();

  PartitionLeaves* leaves_ = nullptr;           // the sequence of the indexed tree this node is in
  std::unique_ptr<PartitionLeaves> ownLeaves_;  // held by the node whose Insert built it
};

}  // namespace glyphmill
