// FieldEdge: one Bezier segment of a glyph's boundary as the multi-channel distance field sees it,
// with the colour (the channels) edge colouring gave it, and the geometry every field computation
// asks of it: closest point, signed distance, pseudo-distance, crossings of a horizontal line.
//
// Coordinates are pixels, y up. The inside of the shape lies to the left of every edge's
// direction, so a positive signed distance means inside.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace glyphmill {

struct Vec2 {
  double x = 0;
  double y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(double k, Vec2 a) { return {k * a.x, k * a.y}; }
inline double Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double Cross(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }
inline double Length(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
// The zero vector stays zero.
inline Vec2 Normalized(Vec2 a) {
  const double len = Length(a);
  return len > 0 ? Vec2{a.x / len, a.y / len} : Vec2{};
}

// Channel bits of an edge's colour.
inline constexpr uint8_t kRed = 1;
inline constexpr uint8_t kGreen = 2;
inline constexpr uint8_t kBlue = 4;
inline constexpr uint8_t kWhite = kRed | kGreen | kBlue;

// A distance with the tie-breaker for edges meeting at a shared end point: of two equally near
// edges, the one seen more squarely (smaller |cos| between its direction and the way to the point)
// is the nearer.
struct SignedDistance {
  double distance = -1e240;
  double dot = 1;
};
inline bool Nearer(const SignedDistance& a, const SignedDistance& b) {
  const double da = std::fabs(a.distance), db = std::fabs(b.distance);
  // Distances that differ only by rounding count as equal, so shared end points compare by angle.
  if (std::fabs(da - db) > 1e-9 * std::max(1.0, db)) return da < db;
  return a.dot < b.dot;
}

struct FieldEdge {
  uint8_t degree = 1;  // 1 line, 2 quadratic, 3 cubic
  std::array<Vec2, 4> p{};
  uint8_t colour = kWhite;

  Vec2 start() const { return p[0]; }
  Vec2 end() const { return p[degree]; }
  Vec2 point(double t) const;
  Vec2 derivative(double t) const;  // dB/dt
  // The direction at t, falling back to the chord where a control point coincides with an end.
  Vec2 direction(double t) const;
  // The signed curvature at t (1 / radius): positive where the edge turns left, towards the
  // inside; 0 for a line or where the derivative vanishes.
  double curvature(double t) const;

  // Signed distance from `q` to the nearest point of the edge; `param` gets its parameter, 0 or 1
  // when the nearest point is an end.
  SignedDistance distance(Vec2 q, double* param) const;
  // Turns a distance whose nearest point is an end (param 0 or 1) into the perpendicular distance
  // to the edge's tangent extended past that end, when `q` lies beyond it and that is nearer.
  void toPseudoDistance(SignedDistance& d, Vec2 q, double param) const;

  // The box of the control points, which holds the whole edge.
  void bounds(double& left, double& bottom, double& right, double& top) const;

  // Where the edge crosses the horizontal line y: appends (x, +1 going up / -1 going down).
  void crossings(double y, std::vector<std::pair<double, int>>& out) const;

  // The piece of the edge between parameters t0 < t1.
  FieldEdge piece(double t0, double t1) const;
  FieldEdge reversed() const;
};

// Real roots of a t^2 + b t + c = 0 and of a t^3 + b t^2 + c t + d = 0 (lower degrees when the
// leading coefficients vanish); returns how many were written to `roots`.
int SolveQuadratic(double roots[2], double a, double b, double c);
int SolveCubic(double roots[3], double a, double b, double c, double d);

}  // namespace glyphmill
