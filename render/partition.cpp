#include "render/partition.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace glyphmill {

TPartition::TPartition(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t mode)
    : Left(left),
      Top(top),
      Right(right),
      Bottom(bottom),
      Width(right - left),
      Height(bottom - top),
      Mode(mode) {
  setLeafExtent();
}

void TPartition::setLeafExtent() {
  const bool live = Width > 0 && Height > 0;
  maxFreeWidth_ = live ? Width : INT32_MIN;
  maxFreeHeight_ = live ? Height : INT32_MIN;
}

bool TPartition::holdsNoLiveSpace() const { return maxFreeWidth_ == INT32_MIN; }

TPartition* TPartition::chainEnd() {
  // The first node along the Remainder chain that does not pass through; then every node passed
  // on the way points straight at it.
  TPartition* end = this;
  while (end->passesThrough()) end = end->jump_ ? end->jump_ : end->Remainder.get();
  for (TPartition* n = this; n != end;) {
    TPartition* next = n->jump_ ? n->jump_ : n->Remainder.get();
    n->jump_ = end;
    n = next;
  }
  return end;
}

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
  if (w <= 0 || h <= 0) return insertPlain(w, h);
  // The plain walk: at a used node try Adjacent, then Remainder; at a free leaf, fit or refuse.
  // Written with its own stack, as degenerate input can chain a tree thousands of levels deep.
  struct Frame {
    TPartition* node;
    TPartition* child;  // the child the walk went on with
    bool inRemainder;
  };
  auto canHold = [w, h](const TPartition* n) { return w <= n->maxFreeWidth_ && h <= n->maxFreeHeight_; };
  std::vector<Frame> path;
  TPartition* node = this;
  for (;;) {
    if (canHold(node)) {
      if (!node->Used) break;  // a free leaf wide and tall enough
      if (node->passesThrough()) {
        // Adjacent can hold no cell of positive size: straight on past the whole chain.
        TPartition* end = node->chainEnd();
        path.push_back({node, end, true});
        node = end;
      } else {
        path.push_back({node, node->Adjacent.get(), false});
        node = node->Adjacent.get();
      }
      continue;
    }
    // Refused: go on with the nearest Remainder not yet tried.
    for (;;) {
      if (path.empty()) return kNoRoomRect;
      Frame& top = path.back();
      if (!top.inRemainder) {
        top.inRemainder = true;
        top.child = top.node->Remainder.get();
        node = top.child;
        break;
      }
      path.pop_back();
    }
  }
  const PackRect cell = node->split(w, h);
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    TPartition* n = it->node;
    if (it->child != n->Adjacent.get() && it->child != n->Remainder.get()) {
      // Jumped over a chain whose Adjacent pieces are used up: its space is the chain end's.
      n->maxFreeWidth_ = it->child->maxFreeWidth_;
      n->maxFreeHeight_ = it->child->maxFreeHeight_;
    } else {
      n->refreshFreeExtent();
    }
  }
  return cell;
}

PackRect TPartition::insertPlain(int32_t w, int32_t h) {
  // Every node in depth-first order, no shortcuts: a cell without positive size also fits the
  // empty pieces the bounds leave out.
  std::vector<TPartition*> path;
  TPartition* node = this;
  for (;;) {
    if (node->Used) {
      path.push_back(node);
      node = node->Adjacent.get();
      continue;
    }
    if (w <= node->Width && h <= node->Height) break;
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
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    // A negative size can make children larger than their node and bring space back where a
    // jump pointer skips it; every jump across this leaf starts on this path.
    (*it)->jump_ = nullptr;
    (*it)->refreshFreeExtent();
  }
  return cell;
}

PackRect TPartition::split(int32_t w, int32_t h) {
  // Reached only when w <= Width and h <= Height.
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
