// A plain guillotine packer written straight from the packing rules: depth-first search, Adjacent
// before Remainder, first fit, no shortcuts. The real packer must place every cell where this one
// does.
#pragma once

#include <cstdint>
#include <memory>

#include "render/partition.h"

namespace glyphmill::testing {

struct ReferenceNode {
  int32_t L, T, R, B, W, H, mode;
  bool used = false;
  std::unique_ptr<ReferenceNode> adjacent, remainder;

  ReferenceNode(int32_t l, int32_t t, int32_t r, int32_t b, int32_t m)
      : L(l), T(t), R(r), B(b), W(r - l), H(b - t), mode(m) {}

  PackRect insert(int32_t w, int32_t h) {
    if (used) {
      PackRect r = adjacent->insert(w, h);
      if (r.left <= kNoRoom && remainder) r = remainder->insert(w, h);
      return r;
    }
    if (w > W || h > H) return kNoRoomRect;
    used = true;
    const bool vertical = (W - w) >= (H - h);
    auto mk = [this](int32_t l, int32_t t, int32_t r, int32_t b) {
      return std::make_unique<ReferenceNode>(l, t, r, b, mode);
    };
    switch (mode) {
      case 0:
        adjacent = vertical ? mk(L, T + h, L + w, B) : mk(L + w, T, R, T + h);
        remainder = vertical ? mk(L + w, T, R, B) : mk(L, T + h, R, B);
        return {L, T, L + w, T + h};
      case 1:
        adjacent = vertical ? mk(R - w, T + h, R, B) : mk(L, T, R - w, T + h);
        remainder = vertical ? mk(L, T, R - w, B) : mk(L, T + h, R, B);
        return {R - w, T, R, T + h};
      case 2:
        adjacent = vertical ? mk(R - w, T, R, B - h) : mk(L, B - h, R - w, B);
        remainder = vertical ? mk(L, T, R - w, B) : mk(L, T, R, B - h);
        return {R - w, B - h, R, B};
      default:
        adjacent = vertical ? mk(L, T, L + w, B - h) : mk(L + w, B - h, R, B);
        remainder = vertical ? mk(L + w, T, R, B) : mk(L, T, R, B - h);
        return {L, B - h, L + w, B};
    }
  }
};

}  // namespace glyphmill::testing
