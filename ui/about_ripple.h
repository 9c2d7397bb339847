// One frame of the About window's ripple: every pixel of the picture is taken from a displaced
// position of the source picture and darkened or lightened by the displacement.
//
// Plain logic over 24-bit pixel rows, without window code. The three patterns differ only in the
// distance they measure from the moving centre: 0 round, 1 round plus x*y, 2 diamond.
#pragma once

#include <cstdint>

namespace glyphmill {

// A 24-bit picture: `height` rows of `width` three-byte pixels, rows `stride` bytes apart.
struct RippleSurface {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};
struct ConstRippleSurface {
  const uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// The frame at tick count `tick` (milliseconds) of an animation started at `startTick`, for
// pattern 0, 1 or 2 (any other value counts as 0). `source` and `target` have the same size and
// must not overlap. At `tick` == `startTick` the swell is flat and the frame equals the source.
void RippleFrame(const ConstRippleSurface& source, const RippleSurface& target, int pattern, uint32_t tick,
                 uint32_t startTick);

}  // namespace glyphmill
