#include "render/progress_reporter.h"

namespace glyphmill {

int32_t PercentOf(int64_t part, int64_t whole, int32_t scale) {
  // Exact rational rounding: a quotient of real numbers would turn some exact halves (2.5 from
  // 1/40) into near-halves and round them the wrong way.
  if (whole == 0) return 0;
  if (whole < 0) {
    whole = -whole;
    part = -part;
  }
  const int64_t num = part * scale;
  int64_t q = num / whole;
  int64_t r = num % whole;
  if (r < 0) {
    r += whole;
    --q;
  }
  if (2 * r > whole || (2 * r == whole && (q & 1) != 0)) ++q;
  return static_cast<int32_t>(q);
}

}  // namespace glyphmill
