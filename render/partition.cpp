#include "render/partition.h"

#include <optional>
#include <vector>

namespace glyphmill {

TPartition::TPartition(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t mode)
    : Left(left), Top(top), Right(right), Bottom(bottom), Width(right - left), Height(bottom - top), Mode(mode) {}

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

void TPartition::listSubtree() {
  // This node becomes the holder of its tree's sequence; a sequence held further down (built by an
  // earlier Insert on a node that was not yet part of this tree) is replaced by this one.
  ownLeaves_ = std::make_unique<PartitionLeaves>();
  std::vector<TPartition*> pending{this};
  while (!pending.empty()) {
    TPartition* node = pending.back();
    pending.pop_back();
    node->leaves_ = ownLeaves_.get();
    if (node != this) node->ownLeaves_.reset();
    if (!node->Used) {
      ownLeaves_->append(node);
      continue;
    }
    if (node->Remainder) pending.push_back(node->Remainder.get());  // after the Adjacent subtree
    if (node->Adjacent) pending.push_back(node->Adjacent.get());
  }
}

PackRect TPartition::Insert(int32_t w, int32_t h) {
  if (leaves_ && !ownLeaves_) {
    // Below the node that holds the sequence: only this subtree's leaves count.
    TPartition* leaf = plainFirstFit(w, h);
    if (!leaf) return kNoRoomRect;
    const std::optional<PartitionLeaves::Slot> slot = leaves_->find(leaf);
    const PackRect cell = leaf->split(w, h);
    if (slot) leaves_->replace(*slot, leaf->Adjacent.get(), leaf->Remainder.get());
    return cell;
  }
  if (!ownLeaves_) listSubtree();
  const std::optional<PartitionLeaves::Slot> slot = ownLeaves_->firstFit(w, h);
  if (!slot) return kNoRoomRect;
  TPartition* leaf = ownLeaves_->at(*slot);
  const PackRect cell = leaf->split(w, h);
  ownLeaves_->replace(*slot, leaf->Adjacent.get(), leaf->Remainder.get());
  return cell;
}

TPartition* TPartition::plainFirstFit(int32_t w, int32_t h) {
  // Every node in depth-first order, Adjacent before Remainder. Written with its own stack, as
  // degenerate input can chain a tree thousands of levels deep.
  std::vector<TPartition*> pending{this};
  while (!pending.empty()) {
    TPartition* node = pending.back();
    pending.pop_back();
    if (!node->Used) {
      if (w <= node->Width && h <= node->Height) return node;
      continue;
    }
    if (node->Remainder) pending.push_back(node->Remainder.get());
    if (node->Adjacent) pending.push_back(node->Adjacent.get());
  }
  return nullptr;
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
    auto node = std::make_unique<TPartition>(l, t, r, b, Mode);
    node->leaves_ = leaves_;  // joins the parent's sequence (the caller puts it in place)
    return node;
  };
  switch (Mode) {
    case kOriginTopRight:
      cell = {R - w, T, R, T + h};
      if (cutAlongCell) {
        Adjacent = child(R - w, T + h, R, B);
        Remainder = child(L, T, R - w, B);
      } else {
        Adjacent = child(L, T, R - w, T + h);
        Remainder = child(L, T + h, R, B);
      }
      break;
    case kOriginBottomRight:
      cell = {R - w, B - h, R, B};
      if (cutAlongCell) {
        Adjacent = child(R - w, T, R, B - h);
        Remainder = child(L, T, R - w, B);
      } else {
        Adjacent = child(L, B - h, R - w, B);
        Remainder = child(L, T, R, B - h);
      }
      break;
    case kOriginBottomLeft:
      cell = {L, B - h, L + w, B};
      if (cutAlongCell) {
        Adjacent = child(L, T, L + w, B - h);
        Remainder = child(L + w, T, R, B);
      } else {
        Adjacent = child(L + w, B - h, R, B);
        Remainder = child(L, T, R, B - h);
      }
      break;
    default:  // kOriginTopLeft; the trees are only ever built with modes 0..3
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
  return cell;
}

}  // namespace glyphmill
