#include "ui/about_ripple.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "settings/rounding.h"

namespace glyphmill {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Clamp(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

}  // namespace

void RippleFrame(const ConstRippleSurface& source, const RippleSurface& target, int pattern, uint32_t tick,
                 uint32_t startTick) {
  const int w = std::min(source.width, target.width);
  const int h = std::min(source.height, target.height);
  if (w <= 0 || h <= 0) return;
  const double t = tick;
  // The swell is measured from the opening with a wrapping 32-bit difference, like the tick count.
  const double sinceOpen = static_cast<uint32_t>(tick - startTick);

  // The animation's parameters are single precision; the phase and the angle stay double.
  const double phase = t / 650.0;
  const float amplitude = static_cast<float>(std::sin(sinceOpen / 2030.0 + 3.0 * kPi / 2.0) * 10.0 + 10.0);
  const float divisor = static_cast<float>(std::sin(t / 1830.0) * 5.0 + 10.1);
  const float cx = static_cast<float>(std::sin(t / 1000.0) * (source.width / 2.0) + source.width / 2.0);
  const float cy = static_cast<float>(std::cos(t / 1300.0) * (source.height / 2.0) + source.height / 2.0);

  for (int y = 0; y < h; ++y) {
    uint8_t* out = target.bits + static_cast<std::ptrdiff_t>(y) * target.stride;
    for (int x = 0; x < w; ++x) {
      const float dx = cx - static_cast<float>(x);
      const float dy = cy - static_cast<float>(y);
      float v;
      if (pattern == 2) {
        v = std::fabs(dx) + std::fabs(dy);
      } else {
        v = std::sqrt(dx * dx + dy * dy);
        if (pattern == 1) v += static_cast<float>(x) * static_cast<float>(y);
      }
      const double angle = static_cast<double>(v) / divisor + phase;
      const float ox = static_cast<float>(std::cos(angle) * amplitude);
      const float oy = static_cast<float>(std::sin(angle) * amplitude);
      const int sx = Clamp(RoundHalfEven(x + static_cast<double>(ox)), 0, w - 1);
      const int sy = Clamp(RoundHalfEven(y + static_cast<double>(oy)), 0, h - 1);
      const uint8_t* in = source.bits + static_cast<std::ptrdiff_t>(sy) * source.stride + sx * 3;
      // Displacement towards the lower right darkens, towards the upper left lightens.
      const double shade = static_cast<double>(ox) + static_cast<double>(oy);
      for (int b = 0; b < 3; ++b) out[x * 3 + b] = static_cast<uint8_t>(Clamp(RoundHalfEven(in[b] - shade), 0, 255));
    }
  }
}

}  // namespace glyphmill
