// Rounding used throughout: to the nearest integer, halves to the even neighbour (the processor's
// default rounding mode), as the metrics and the pixel filters are defined with it.
#pragma once

#include <cmath>
#include <cstdint>

namespace glyphmill {

inline int64_t RoundHalfEven(double v) {
  double r = std::nearbyint(v);  // default FE_TONEAREST: halves to even
  return static_cast<int64_t>(r);
}

inline int32_t RoundHalfEven32(double v) { return static_cast<int32_t>(RoundHalfEven(v)); }

}  // namespace glyphmill
