#include "settings/coverage_field.h"

#include <algorithm>
#include <cmath>

#include FT_TRIGONOMETRY_H

namespace glyphmill {
namespace {

using Fixed = FT_Long;  // 16.16 fixed point, as FreeType computes the field
constexpr Fixed kOne = 65536;
// A pixel away from every edge starts with this distance and vector.
constexpr Fixed kFarDistance = 400 * kOne;
constexpr Fixed kFarComponent = 200 * kOne;
// FT_Vector_Length is within one unit of the exact length for every vector a field holds (its
// CORDIC stays under 0.8 units off up to lengths of 2^26); this many units bound it safely.
constexpr double kLengthSlack = 2.0;
// The weight of the gradient stencil's side neighbours: sqrt(2) in 16.16.
constexpr Fixed kSqrt2 = 92681;

Fixed LibraryLength(Fixed x, Fixed y) {
  FT_Vector v{x, y};
  return FT_Vector_Length(&v);
}

// A pixel of the distance map: the vector to the nearest edge found so far (16.16, y down) and its
// distance. FreeType's distance is the vector's FT_Vector_Length; it is measured only when a
// comparison cannot be settled from the exact length, and kept once measured.
struct Cell {
  Fixed x = 0;
  Fixed y = 0;
  double exact = 0;     // the Euclidean length of (x, y), or the distance itself once measured
  Fixed measured = -1;  // FreeType's distance; -1 until it is measured

  static Cell Far() { return Cell{kFarComponent, kFarComponent, static_cast<double>(kFarDistance), kFarDistance}; }
  static Cell Unmeasured(Fixed x, Fixed y) {
    return Cell{x, y, std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y), -1};
  }
  // Bounds of FreeType's distance.
  double low() const { return measured >= 0 ? static_cast<double>(measured) : exact - kLengthSlack; }
  double high() const { return measured >= 0 ? static_cast<double>(measured) : exact + kLengthSlack; }
  Fixed distance() {
    if (measured < 0) {
      measured = LibraryLength(x, y);
      exact = static_cast<double>(measured);
    }
    return measured;
  }
};

// floor(sqrt(value)) in 16.16 for a non-negative 16.16 value.
Fixed SquareRoot(Fixed value) {
  const int64_t n = static_cast<int64_t>(value) << 16;
  auto q = static_cast<int64_t>(std::sqrt(static_cast<double>(n)));
  while (q > 0 && q * q > n) --q;
  while ((q + 1) * (q + 1) <= n) ++q;
  return static_cast<Fixed>(q);
}

// The gradient turned into a unit vector exactly as FreeType's internal normalisation does it
// (which the library does not export): the vector is shifted so that a rough length lies between
// 2/3 and 4/3 of 1.0, then Newton's iteration refines the reciprocal of its length in 32-bit
// arithmetic. The edge vectors are made from these bits, so they are reproduced, not approximated.
void UnitVector(Fixed& vx, Fixed& vy) {
  const auto ix = static_cast<int32_t>(vx), iy = static_cast<int32_t>(vy);
  auto x = static_cast<uint32_t>(ix), y = static_cast<uint32_t>(iy);
  int32_t sx = 1, sy = 1;
  if (ix < 0) {
    x = 0u - x;
    sx = -1;
  }
  if (iy < 0) {
    y = 0u - y;
    sy = -1;
  }
  if (x == 0) {
    if (y > 0) vy = sy * 0x10000;
    return;
  }
  if (y == 0) {
    vx = sx * 0x10000;
    return;
  }
  uint32_t rough = x > y ? x + (y >> 1) : y + (x >> 1);
  int shift = __builtin_clz(rough);
  shift -= 15 + (rough >= (0xAAAAAAAAUL >> shift) ? 1 : 0);
  if (shift > 0) {
    x <<= shift;
    y <<= shift;
    rough = x > y ? x + (y >> 1) : y + (x >> 1);
  } else {
    x >>= -shift;
    y >>= -shift;
    rough >>= -shift;
  }
  int32_t b = 0x10000 - static_cast<int32_t>(rough);  // the reciprocal length minus one
  const auto px = static_cast<int32_t>(x), py = static_cast<int32_t>(y);
  uint32_t u = 0, v = 0;
  int32_t z = 0;
  do {
    u = static_cast<uint32_t>(px + (px * b >> 16));
    v = static_cast<uint32_t>(py + (py * b >> 16));
    // u² + v² approaches 2^32; as a signed value it is the difference from 2^32, also when it wraps.
    z = -static_cast<int32_t>(u * u + v * v) / 0x200;
    z = z * ((0x10000 + b) >> 8) / 0x10000;
    b += z;
  } while (z > 0);
  vx = sx < 0 ? -static_cast<Fixed>(u) : static_cast<Fixed>(u);
  vy = sy < 0 ? -static_cast<Fixed>(v) : static_cast<Fixed>(v);
}

// The vector from an edge pixel's centre to the edge, estimated from the coverage around it: the
// direction of the coverage gradient (a Sobel-like stencil with sqrt(2) weights) and, along it, the
// distance at which a straight edge through the pixel would leave that much coverage. `a` points at
// the pixel in a map `w` pixels wide; the pixel is not on the map's border.
void EdgeVector(const uint8_t* a, int w, Fixed& outX, Fixed& outY) {
  auto at = [&](int dx, int dy) { return 256 * static_cast<Fixed>(a[dy * w + dx]); };
  Fixed gx =
      -at(-1, -1) - FT_MulFix(at(-1, 0), kSqrt2) - at(-1, 1) + at(1, -1) + FT_MulFix(at(1, 0), kSqrt2) + at(1, 1);
  Fixed gy =
      -at(-1, -1) - FT_MulFix(at(0, -1), kSqrt2) - at(1, -1) + at(-1, 1) + FT_MulFix(at(0, 1), kSqrt2) + at(1, 1);
  UnitVector(gx, gy);
  const Fixed alpha = at(0, 0);
  Fixed dist = 0;
  if (gx == 0 || gy == 0) {
    dist = kOne / 2 - alpha;
  } else {
    Fixed hi = gx < 0 ? -gx : gx, lo = gy < 0 ? -gy : gy;
    if (hi < lo) std::swap(hi, lo);
    const Fixed corner = FT_DivFix(lo, hi) / 2;  // the coverage at which the edge leaves the corner
    if (alpha < corner)
      dist = (hi + lo) / 2 - SquareRoot(2 * FT_MulFix(hi, FT_MulFix(lo, alpha)));
    else if (alpha < kOne - corner)
      dist = FT_MulFix(kOne / 2 - alpha, hi);
    else
      dist = -(hi + lo) / 2 + SquareRoot(2 * FT_MulFix(hi, FT_MulFix(lo, kOne - alpha)));
  }
  outX = FT_MulFix(gx, dist);
  outY = FT_MulFix(gy, dist);
}

// True for a pixel on the edge: partly covered, or covered next to an empty pixel or the border.
bool IsEdge(const uint8_t* alpha, int i, int j, int w, int r) {
  const uint8_t* a = alpha + static_cast<std::ptrdiff_t>(j) * w + i;
  if (*a == 0) return false;
  if (*a < 255) return true;
  if (i == 0 || j == 0 || i == w - 1 || j == r - 1) return true;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (a[dy * w + dx] == 0) return true;
  return false;
}

// The neighbour's vector plus the step to it, when that is shorter than the pixel's distance, both
// by FreeType's measure: first whether the neighbour is less than a pixel further away than the
// pixel, then whether the candidate is shorter. Each test is settled from the bounds when they
// decide it and from the measured distances when they do not.
inline void Offer(Cell& cell, Cell& neighbour, Fixed stepX, Fixed stepY) {
  constexpr auto one = static_cast<double>(kOne);
  const Fixed vx = neighbour.x + stepX, vy = neighbour.y + stepY;
  if (vx == cell.x && vy == cell.y) return;  // the same vector: as long, so not shorter
  if (neighbour.low() - one >= cell.high()) return;
  if (neighbour.high() - one >= cell.low() && neighbour.distance() - kOne >= cell.distance()) return;
  const Cell candidate = Cell::Unmeasured(vx, vy);
  if (candidate.low() >= cell.high()) return;
  if (candidate.high() < cell.low()) {
    cell = candidate;
    return;
  }
  const Fixed length = LibraryLength(candidate.x, candidate.y);
  if (length < cell.distance()) cell = Cell{candidate.x, candidate.y, static_cast<double>(length), length};
}

// The two sweeps: rows downwards taking from above and the left, then back along the row from the
// right; then rows upwards taking from below and the left, and again from the right.
void Sweep(std::vector<Cell>& map, int w, int r) {
  for (int j = 1; j < r; ++j) {
    Cell* row = map.data() + static_cast<std::ptrdiff_t>(j) * w;
    for (int i = 1; i < w - 1; ++i) {
      Cell& c = row[i];
      Offer(c, row[i - w - 1], -kOne, -kOne);
      Offer(c, row[i - w], 0, -kOne);
      Offer(c, row[i - w + 1], kOne, -kOne);
      Offer(c, row[i - 1], -kOne, 0);
    }
    for (int i = w - 2; i >= 0; --i) Offer(row[i], row[i + 1], kOne, 0);
  }
  for (int j = r - 2; j >= 0; --j) {
    Cell* row = map.data() + static_cast<std::ptrdiff_t>(j) * w;
    for (int i = 1; i < w - 1; ++i) {
      Cell& c = row[i];
      Offer(c, row[i + w - 1], -kOne, kOne);
      Offer(c, row[i + w], 0, kOne);
      Offer(c, row[i + w + 1], kOne, kOne);
      Offer(c, row[i - 1], -kOne, 0);
    }
    for (int i = w - 2; i >= 0; --i) Offer(row[i], row[i + 1], kOne, 0);
  }
}

// A distance as a field byte: 128 + distance / spread in steps of 1/128, negative outside. It
// grows with the distance inside and falls with it outside.
uint8_t FieldByte(Fixed dist, bool inside, Fixed spread) {
  if (dist < 0 || dist > spread) dist = spread;
  const Fixed q = FT_DivFix(inside ? dist : -dist, spread);
  Fixed steps = (q < 0 ? -q : q) >> 9;
  if (q > 0) steps = std::min<Fixed>(steps, 127);
  if (q < 0) steps = std::min<Fixed>(steps, 128);
  return static_cast<uint8_t>(q < 0 ? 128 - steps : 128 + steps);
}

}  // namespace

bool ReproducesLibraryField(FT_Library library) {
  FT_Int major = 0, minor = 0, patch = 0;
  FT_Library_Version(library, &major, &minor, &patch);
  return major == 2 && minor == 12 && patch == 1;
}

std::vector<uint8_t> CoverageDistanceField(const uint8_t* coverage, int width, int rows, int spread) {
  const int w = width + 2 * spread, r = rows + 2 * spread;
  const auto cells = static_cast<std::size_t>(w) * static_cast<std::size_t>(r);
  std::vector<uint8_t> alpha(cells, 0);
  for (int y = 0; y < rows; ++y)
    std::copy_n(coverage + static_cast<std::ptrdiff_t>(y) * width, width,
                alpha.begin() + static_cast<std::ptrdiff_t>(y + spread) * w + spread);

  std::vector<Cell> map(cells, Cell::Far());
  for (int j = 0; j < r; ++j)
    for (int i = 0; i < w; ++i) {
      if (!IsEdge(alpha.data(), i, j, w, r)) continue;
      Fixed x = 0, y = 0;
      if (i > 0 && j > 0 && i < w - 1 && j < r - 1)
        EdgeVector(alpha.data() + static_cast<std::ptrdiff_t>(j) * w + i, w, x, y);
      map[static_cast<std::size_t>(j) * w + i] = Cell::Unmeasured(x, y);
    }
  Sweep(map, w, r);

  // A byte the bounds of a distance agree on needs no measurement (FreeType's lengths are never
  // negative).
  std::vector<uint8_t> field(cells);
  const Fixed spreadFixed = spread * kOne;
  for (std::size_t k = 0; k < cells; ++k) {
    Cell& c = map[k];
    const bool inside = alpha[k] >= 127;
    const uint8_t low = FieldByte(static_cast<Fixed>(std::floor(std::max(0.0, c.low()))), inside, spreadFixed);
    const uint8_t high = FieldByte(static_cast<Fixed>(std::ceil(c.high())), inside, spreadFixed);
    field[k] = low == high ? low : FieldByte(c.distance(), inside, spreadFixed);
  }
  return field;
}

}  // namespace glyphmill
