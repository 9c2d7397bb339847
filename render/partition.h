// TPartition: the guillotine packer. A binary tree of rectangles in which every free leaf is an empty
// rectangle and every used node holds one placed cell plus the two free pieces left beside it.
//
// The packer sees rectangles only. `Insert` searches depth first, `Adjacent` before `Remainder`, and
// the first free leaf that is large enough wins (first fit, no scoring). The packing mode (corner)
// decides where a cell goes inside the leaf and how the leftover space is cut.
//
// The search is kept exactly that of the plain depth-first walk while touching far fewer nodes:
// - each node keeps the largest width and height among the live free leaves of its subtree (a
//   live leaf has positive width and height). A subtree whose largest free width or height is below
//   a cell's cannot hold it and is passed over. Free space only ever shrinks, so a bound that is
//   not yet refreshed is too large, never too small: it can cost a visit, never a wrong answer.
// - a row of cells packs into a chain of used nodes whose Adjacent pieces are used up. Such a
//   node always sends a cell of positive size on to its Remainder, so the walk jumps over the
//   whole chain at once (jump pointers, shortened as they are followed).
// Cells with a zero or negative side can fit in empty pieces too; they take the plain walk.
#pragma once

#include <cstdint>
#include <memory>

namespace glyphmill {

// Packing modes: the corner of a free rectangle a cell is put in.
inline constexpr int32_t kPackTopLeft = 0;
inline constexpr int32_t kPackTopRight = 1;
inline constexpr int32_t kPackBottomRight = 2;
inline constexpr int32_t kPackBottomLeft = 3;

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

  // Largest Width / Height among the free leaves below (and including) this node.
  int32_t freeWidth() const { return maxFreeWidth_; }
  int32_t freeHeight() const { return maxFreeHeight_; }

 private:
  PackRect split(int32_t w, int32_t h);
  PackRect insertPlain(int32_t w, int32_t h);
  void refreshFreeExtent();
  void setLeafExtent();
  bool holdsNoLiveSpace() const;
  bool passesThrough() const { return Used && Adjacent->holdsNoLiveSpace(); }
  TPartition* chainEnd();

  int32_t maxFreeWidth_;
  int32_t maxFreeHeight_;
  TPartition* jump_ = nullptr;  // a later node of this pass-through chain
};

}  // namespace glyphmill
