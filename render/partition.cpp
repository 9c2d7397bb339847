#include "render/partition.h"

#include <algorithm>
#include <vector>

namespace glyphmill {

TPartition::TPartition(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t mode)
    : Left(left),
      Top(top),
      Right(right),
      Bottom(bottom),
      Width(right - left),
      Height(bottom - top),
      Mode(mode),
      maxFreeWidth_(Width),
      maxFreeHeight_(Height) {}

TPartition::~TPartition() {
  std::vector<std::unique_ptr<TPartition>> pending;
  if (Adjacent) pending.push_back(std::move(Adjacent));
  if (Remainder) pending.push_back(std::move(Remainder));
  while (!pending.empty()) {
    std::unique_ptr<TPartition> node = std::move(pending.back());
    pending.pop_back();
    if (node->Adjacent) pending.push_back(std::move(node->Adjacent));
    if (node->Remainder) pending.push_back(std::move(node->Remainder));
  }
}

void TPartition::refreshFreeExtent() {
  maxFreeWidth_ = std::max(Adjacent->maxFreeWidth_, Remainder->maxFreeWidth_);
  maxFreeHeight_ = std::max(Adjacent->maxFreeHeight_, Remainder->maxFreeHeight_);
}

PackRect TPartition::Insert(int32_t w, int32_t h) {
  // The plain walk: at a used node try Adjacent, then Remainder; at a free leaf, fit or refuse.
  // A node whose largest free width or height is below the cell's is refused at once, without
  // visiting it, because every leaf below it would refuse. The walk keeps its own path instead of
  // recursing: degenerate cells (zero width) can chain the tree tens of thousands of levels deep.
  auto canHold = [w, h](const TPartition* n) { return w <= n->maxFreeWidth_ && h <= n->maxFreeHeight_; };
  std::vector<TPartition*> path;
  TPartition* node = this;
  for (;;) {
    if (canHold(node)) {
      if (!node->Used) break;  // a free leaf that is wide and tall enough
      path.push_back(node);
      node = node->Adjacent.get();
      continue;
    }
    // Refused: go on with the nearest Remainder not yet tried.
    for (;;) {
      if (path.empty()) return kNoRoomRect;
      TPartition* parent = path.back();
      if (node == parent->Adjacent.get()) {
        node = parent->Remainder.get();
        break;
      }
      node = parent;
      path.pop_back();
    }
  }
  const PackRect cell = node->split(w, h);
  for (auto it = path.rbegin(); it != path.rend(); ++it) (*it)->refreshFreeExtent();
  return cell;
}

PackRect TPartition::split(int32_t w, int32_t h) {
  // Reached only when w <= Width and h <= Height (the free-extent test above, on a leaf).
  Used = true;
  const int32_t dw = Width - w;
  const int32_t dh = Height - h;
  const bool cutAlongCell = dw >= dh;  // ties cut vertically: the big strip keeps the full height
  const int32_t L = Left, T = Top, R = Right, B = Bottom;
  PackRect cell;
  auto child = [this](int32_t l, int32_t t, int32_t r, int32_t b) {
    return std::make_unique<TPartition>(l, t, r, b, Mode);
  };
  switch (Mode) {
    case kPackTopRight:
      cell = {R - w, T, R, T + h};
      if (cutAlongCell) {
        Adjacent = child(R - w, T + h, R, B);
        Remainder = child(L, T, R - w, B);
      } else {
        Adjacent = child(L, T, R - w, T + h);
        Remainder = child(L, T + h, R, B);
      }
      break;
    case kPackBottomRight:
      cell = {R - w, B - h, R, B};
      if (cutAlongCell) {
        Adjacent = child(R - w, T, R, B - h);
        Remainder = child(L, T, R - w, B);
      } else {
        Adjacent = child(L, B - h, R - w, B);
        Remainder = child(L, T, R, B - h);
      }
      break;
    case kPackBottomLeft:
      cell = {L, B - h, L + w, B};
      if (cutAlongCell) {
        Adjacent = child(L, T, L + w, B - h);
        Remainder = child(L + w, T, R, B);
      } else {
        Adjacent = child(L + w, B - h, R, B);
        Remainder = child(L, T, R, B - h);
      }
      break;
    default:  // kPackTopLeft; the trees are only ever built with modes 0..3
      cell = {L, T, L + w, T + h};
      if (cutAlongCell) {
        Adjacent = child(L, T + h, L + w, B);
        Remainder = child(L + w, T, R, B);
      } else {
        Adjacent = child(L + w, T, R, T + h);
        Remainder = child(L, T + h, R, B);
      }
      break;
  }
  refreshFreeExtent();
  return cell;
}

}  // namespace glyphmill
