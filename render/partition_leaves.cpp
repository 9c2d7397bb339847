#include "render/partition_leaves.h"

#include <algorithm>

#include "render/partition.h"

namespace glyphmill {

namespace {

// A block is cut in two when it grows past this many leaves. Larger blocks mean fewer blocks to
// pass over per search but longer scans and moves inside the block found.
constexpr std::size_t kBlockSplitAt = 128;

}  // namespace

bool PartitionLeaves::holds(const Block& b, int32_t w, int32_t h) {
  // The steps at least w wide come first; the last of them is the tallest.
  const auto wideEnd =
      std::partition_point(b.steps.begin(), b.steps.end(), [w](const Size& s) { return s.width >= w; });
  return wideEnd != b.steps.begin() && std::prev(wideEnd)->height >= h;
}

void PartitionLeaves::addSize(Block& b, int32_t width, int32_t height) {
  // After the entries of the same width or wider: equal widths keep no particular order.
  const auto at =
      std::partition_point(b.bySize.begin(), b.bySize.end(), [width](const Size& s) { return s.width >= width; });
  b.bySize.insert(at, Size{width, height});
}

void PartitionLeaves::removeSize(Block& b, int32_t width, int32_t height) {
  auto it = std::partition_point(b.bySize.begin(), b.bySize.end(), [width](const Size& s) { return s.width > width; });
  while (it->width != width || it->height != height) ++it;  // the leaf is listed: its size is here
  b.bySize.erase(it);
}

void PartitionLeaves::refresh(std::size_t block) {
  Block& b = blocks_[block];
  b.steps.clear();
  for (const Size& s : b.bySize) {
    if (!b.steps.empty() && s.height <= b.steps.back().height) continue;  // a wider leaf is as tall
    if (!b.steps.empty() && s.width == b.steps.back().width) {
      b.steps.back().height = s.height;
    } else {
      b.steps.push_back(s);
    }
  }
  bounds_[block] = Bound{b.steps.front().width, b.steps.back().height};
}

void PartitionLeaves::append(TPartition* leaf) {
  if (blocks_.empty() || blocks_.back().leaves.size() >= kBlockSplitAt / 2) {
    blocks_.emplace_back();
    bounds_.emplace_back();
  }
  const std::size_t last = blocks_.size() - 1;
  Block& b = blocks_[last];
  b.leaves.push_back(Leaf{leaf, leaf->Width, leaf->Height});
  addSize(b, leaf->Width, leaf->Height);
  refresh(last);
  ++count_;
}

std::optional<PartitionLeaves::Slot> PartitionLeaves::firstFit(int32_t w, int32_t h) const {
  for (std::size_t i = 0; i < bounds_.size(); ++i) {
    if (w > bounds_[i].widest || h > bounds_[i].tallest || !holds(blocks_[i], w, h)) continue;
    const std::vector<Leaf>& leaves = blocks_[i].leaves;
    for (std::size_t pos = 0;; ++pos) {  // the block holds a fitting leaf: the scan ends on it
      if (w <= leaves[pos].width && h <= leaves[pos].height) return Slot{i, pos};
    }
  }
  return std::nullopt;
}

std::optional<PartitionLeaves::Slot> PartitionLeaves::find(const TPartition* leaf) const {
  for (std::size_t i = 0; i < blocks_.size(); ++i) {
    const std::vector<Leaf>& leaves = blocks_[i].leaves;
    for (std::size_t pos = 0; pos < leaves.size(); ++pos) {
      if (leaves[pos].node == leaf) return Slot{i, pos};
    }
  }
  return std::nullopt;
}

void PartitionLeaves::replace(Slot s, TPartition* adjacent, TPartition* remainder) {
  Block& b = blocks_[s.block];
  const Leaf old = b.leaves[s.pos];
  b.leaves[s.pos] = Leaf{adjacent, adjacent->Width, adjacent->Height};
  b.leaves.insert(b.leaves.begin() + static_cast<std::ptrdiff_t>(s.pos) + 1,
                  Leaf{remainder, remainder->Width, remainder->Height});
  removeSize(b, old.width, old.height);
  addSize(b, adjacent->Width, adjacent->Height);
  addSize(b, remainder->Width, remainder->Height);
  refresh(s.block);
  ++count_;
  if (b.leaves.size() > kBlockSplitAt) splitBlock(s.block);
}

void PartitionLeaves::splitBlock(std::size_t block) {
  Block second;
  {
    std::vector<Leaf>& leaves = blocks_[block].leaves;
    const auto half = leaves.begin() + static_cast<std::ptrdiff_t>(leaves.size() / 2);
    second.leaves.assign(half, leaves.end());
    leaves.erase(half, leaves.end());
  }
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(second));
  bounds_.insert(bounds_.begin() + static_cast<std::ptrdiff_t>(block) + 1, Bound{});
  for (std::size_t i : {block, block + 1}) {
    Block& b = blocks_[i];
    b.bySize.clear();
    for (const Leaf& leaf : b.leaves) b.bySize.push_back(Size{leaf.width, leaf.height});
    std::sort(b.bySize.begin(), b.bySize.end(), [](const Size& x, const Size& y) { return x.width > y.width; });
    refresh(i);
  }
}

}  // namespace glyphmill
