#include "ui/about_pattern_generator.h"

namespace glyphmill {

uint32_t AboutPatternGenerator::next(uint32_t range) {
  state_ = state_ * 134775813u + 1u;  // wraps modulo 2^32
  return static_cast<uint32_t>((static_cast<uint64_t>(state_) * range) >> 32);
}

}  // namespace glyphmill
