// Millisecond tick count: steady_clock milliseconds as a 32-bit unsigned count, so differences are
// taken the way a wrapping system tick count's would be. The one clock of the program: the render
// job's progress throttle, the automatic generation timer, the undo history's grouping and the
// About window's animation read it.
#pragma once

#include <chrono>
#include <cstdint>

namespace glyphmill {

inline uint32_t TickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace glyphmill
