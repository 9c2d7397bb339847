// The About window's pattern chooser: a linear congruential generator that is never seeded, so
// every run shows the same sequence of ripple patterns (0, 0, 2, 0, 0, 2, 0, 0, 1, 1, ...).
//
// Plain logic without window code. The About window owns the one instance of a run.
#pragma once

#include <cstdint>

namespace glyphmill {

class AboutPatternGenerator {
 public:
  // One draw in 0 .. range-1: state := state * 134775813 + 1 (mod 2^32), then
  // (state * range) div 2^32. A range of 0 gives 0.
  uint32_t next(uint32_t range);

  uint32_t state() const { return state_; }

 private:
  uint32_t state_ = 0;
};

}  // namespace glyphmill
