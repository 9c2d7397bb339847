#include "render/field_edge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace glyphmill {

namespace {

Vec2 Lerp(Vec2 a, Vec2 b, double t) { return a + t * (b - a); }

// Splits a Bezier at t by de Casteljau's construction.
void Split(const FieldEdge& e, double t, FieldEdge& left, FieldEdge& right) {
  std::array<Vec2, 4> work = e.p;
  left = e;
  right = e;
  const int n = e.degree;
  left.p[0] = work[0];
  right.p[n] = work[n];
  for (int level = 1; level <= n; ++level) {
    for (int i = 0; i <= n - level; ++i) work[i] = Lerp(work[i], work[i + 1], t);
    left.p[level] = work[0];
    right.p[n - level] = work[n - level];
  }
}

// |cos| between an edge's direction and the way from its nearest point to q: the tie-breaker.
double EndDot(Vec2 direction, Vec2 toPoint) {
  const double lengths = std::sqrt(Dot(direction, direction) * Dot(toPoint, toPoint));
  return lengths > 0 ? std::fabs(Dot(direction, toPoint)) / lengths : 0;
}

}  // namespace

Vec2 FieldEdge::point(double t) const {
  const double s = 1 - t;
  switch (degree) {
    case 2: return (s * s) * p[0] + (2 * s * t) * p[1] + (t * t) * p[2];
    case 3: return (s * s * s) * p[0] + (3 * s * s * t) * p[1] + (3 * s * t * t) * p[2] + (t * t * t) * p[3];
    default: return Lerp(p[0], p[1], t);
  }
}

Vec2 FieldEdge::derivative(double t) const {
  const double s = 1 - t;
  switch (degree) {
    case 2: return (2 * s) * (p[1] - p[0]) + (2 * t) * (p[2] - p[1]);
    case 3: return (3 * s * s) * (p[1] - p[0]) + (6 * s * t) * (p[2] - p[1]) + (3 * t * t) * (p[3] - p[2]);
    default: return p[1] - p[0];
  }
}

Vec2 FieldEdge::direction(double t) const {
  Vec2 d = derivative(t);
  if (Length(d) > 1e-12) return d;
  // A control point on an end: the tangent there is the way to the next distinct point.
  if (t <= 0.5) {
    for (int i = 1; i <= degree; ++i)
      if (Length(p[i] - p[0]) > 1e-12) return p[i] - p[0];
  } else {
    for (int i = degree - 1; i >= 0; --i)
      if (Length(p[degree] - p[i]) > 1e-12) return p[degree] - p[i];
  }
  return end() - start();
}

double FieldEdge::curvature(double t) const {
  if (degree == 1) return 0;
  const Vec2 d1 = derivative(t);
  Vec2 d2;
  if (degree == 2) {
    d2 = 2.0 * (p[2] - 2.0 * p[1] + p[0]);
  } else {
    d2 = (6 * (1 - t)) * (p[2] - 2.0 * p[1] + p[0]) + (6 * t) * (p[3] - 2.0 * p[2] + p[1]);
  }
  const double len = Length(d1);
  if (len < 1e-9) return 0;
  return Cross(d1, d2) / (len * len * len);
}

SignedDistance FieldEdge::distance(Vec2 q, double* param) const {
  if (degree == 1) {
    // A line: the projection of q, held to the segment.
    const Vec2 ab = p[1] - p[0], aq = q - p[0];
    const double len2 = Dot(ab, ab);
    double t = len2 > 0 ? Dot(aq, ab) / len2 : 0;
    t = t <= 0 ? 0 : t >= 1 ? 1 : t;
    const Vec2 toQ = aq - t * ab;
    const double dist = Length(toQ);
    SignedDistance out;
    out.distance = Cross(ab, toQ) >= 0 ? dist : -dist;
    out.dot = (t == 0 || t == 1) ? EndDot(ab, toQ) : 0;
    if (param) *param = t;
    return out;
  }
  // The nearest of the ends and of the interior stationary points of |B(t) - q|^2, with B in the
  // power basis B(t) = ((c3 t + c2) t + c1) t + p0, which is cheaper to evaluate than Bernstein's.
  const Vec2 c1 = static_cast<double>(degree) * (p[1] - p[0]);
  const Vec2 c2 = degree == 2 ? p[2] - 2.0 * p[1] + p[0] : 3.0 * (p[2] - 2.0 * p[1] + p[0]);
  const Vec2 c3 = degree == 2 ? Vec2{} : p[3] - 3.0 * p[2] + 3.0 * p[1] - p[0];
  auto at = [&](double t) { return t * (t * (t * c3 + c2) + c1) + p[0]; };
  double bestT = 0, best2 = Dot(p[0] - q, p[0] - q);
  Vec2 nearest = p[0];
  auto candidate = [&](double t, Vec2 point) {
    if (!(t > 0 && t < 1)) return;  // also rejects NaN; the ends are in already
    const Vec2 v = point - q;
    const double d2 = Dot(v, v);
    if (d2 < best2) {
      best2 = d2;
      bestT = t;
      nearest = point;
    }
  };
  {
    const Vec2 v = p[degree] - q;
    if (Dot(v, v) < best2) {
      best2 = Dot(v, v);
      bestT = 1;
      nearest = p[degree];
    }
  }
  if (degree == 2) {
    const Vec2 qa = p[0] - q, ab = p[1] - p[0], br = p[2] - p[1] - ab;
    double roots[3];
    const int k = SolveCubic(roots, Dot(br, br), 3 * Dot(ab, br), 2 * Dot(ab, ab) + Dot(qa, br), Dot(qa, ab));
    for (int i = 0; i < k; ++i) candidate(roots[i], at(roots[i]));
  } else {
    // The nearest of five evenly spread inner points, refined by Newton's method on
    // (B(t) - q) . B'(t) = 0; the ends are candidates of their own.
    double t = 0, nearest2 = 1e300;
    Vec2 sampled;
    for (int s = 1; s < 6; ++s) {
      const Vec2 point = at(s / 6.0);
      const Vec2 v = point - q;
      const double d2 = Dot(v, v);
      if (d2 < nearest2) {
        nearest2 = d2;
        t = s / 6.0;
        sampled = point;
      }
    }
    candidate(t, sampled);
    Vec2 point = sampled;
    for (int it = 0; it < 5; ++it) {
      const Vec2 bq = point - q, d1 = t * ((3 * t) * c3 + 2.0 * c2) + c1, d2 = (6 * t) * c3 + 2.0 * c2;
      const double f = Dot(bq, d1), df = Dot(d1, d1) + Dot(bq, d2);
      if (df <= 0) break;  // not heading for a minimum: keep the best sample
      const double next = std::clamp(t - f / df, 0.0, 1.0);
      if (std::fabs(next - t) < 1e-12) break;
      t = next;
      point = at(t);
    }
    candidate(t, point);
  }
  // An end wins only where no interior point is nearer; report it as exactly 0 or 1.
  if (bestT < 1e-12) {
    bestT = 0;
    nearest = p[0];
  }
  if (bestT > 1 - 1e-12) {
    bestT = 1;
    nearest = p[degree];
  }
  const Vec2 toQ = q - nearest, dir = direction(bestT);
  const double dist = std::sqrt(best2);
  SignedDistance out;
  out.distance = Cross(dir, toQ) >= 0 ? dist : -dist;
  out.dot = (bestT == 0 || bestT == 1) ? EndDot(dir, toQ) : 0;
  if (param) *param = bestT;
  return out;
}

void FieldEdge::toPseudoDistance(SignedDistance& d, Vec2 q, double param) const {
  if (param <= 0) {
    const Vec2 dir = Normalized(direction(0)), aq = q - start();
    if (Dot(aq, dir) < 0) {
      const double pd = Cross(dir, aq);
      if (std::fabs(pd) <= std::fabs(d.distance)) d = {pd, 0};
    }
  } else if (param >= 1) {
    const Vec2 dir = Normalized(direction(1)), bq = q - end();
    if (Dot(bq, dir) > 0) {
      const double pd = Cross(dir, bq);
      if (std::fabs(pd) <= std::fabs(d.distance)) d = {pd, 0};
    }
  }
}

void FieldEdge::bounds(double& left, double& bottom, double& right, double& top) const {
  left = right = p[0].x;
  bottom = top = p[0].y;
  for (int i = 1; i <= degree; ++i) {
    left = std::min(left, p[i].x);
    right = std::max(right, p[i].x);
    bottom = std::min(bottom, p[i].y);
    top = std::max(top, p[i].y);
  }
}

void FieldEdge::crossings(double y, std::vector<std::pair<double, int>>& out) const {
  // The edge is cut where y(t) turns, so that each piece is monotone in y; a piece crosses the line
  // when it lies at y or below at its lower end and above at its upper end (half open, as for a
  // polygon's edges, so a crossing at a point pieces share is counted once).
  double breaks[4];
  int nb = 0;
  breaks[nb++] = 0;
  if (degree == 2) {
    const double denom = p[0].y - 2 * p[1].y + p[2].y;
    if (denom != 0) {
      const double t = (p[0].y - p[1].y) / denom;
      if (t > 0 && t < 1) breaks[nb++] = t;
    }
  } else if (degree == 3) {
    const double a = -p[0].y + 3 * p[1].y - 3 * p[2].y + p[3].y;
    const double b = 2 * (p[0].y - 2 * p[1].y + p[2].y);
    const double c = p[1].y - p[0].y;
    double roots[2];
    const int k = SolveQuadratic(roots, a, b, c);
    if (k == 2 && roots[1] < roots[0]) std::swap(roots[0], roots[1]);
    for (int i = 0; i < k; ++i)
      if (roots[i] > breaks[nb - 1] && roots[i] < 1) breaks[nb++] = roots[i];
  }
  breaks[nb++] = 1;
  for (int i = 0; i + 1 < nb; ++i) {
    double ta = breaks[i], tb = breaks[i + 1];
    const double ya = i == 0 ? p[0].y : point(ta).y;
    const double yb = i + 2 == nb ? end().y : point(tb).y;
    int dir = 0;
    if (ya <= y && y < yb) dir = 1;
    if (yb <= y && y < ya) dir = -1;
    if (dir == 0) continue;
    double x;
    if (degree == 1) {
      x = p[0].x + (y - ya) * (p[1].x - p[0].x) / (yb - ya);
    } else {
      // Bisection on the monotone piece: ta stays on the side of ya.
      Vec2 pa = point(ta), pb = point(tb);
      for (int it = 0; it < 16; ++it) {
        const double tm = 0.5 * (ta + tb);
        const Vec2 pm = point(tm);
        if ((pm.y <= y) == (dir > 0)) {
          ta = tm;
          pa = pm;
        } else {
          tb = tm;
          pb = pm;
        }
      }
      // The last bracket is short enough to be straight.
      x = pb.y != pa.y ? pa.x + (y - pa.y) * (pb.x - pa.x) / (pb.y - pa.y) : pa.x;
    }
    out.emplace_back(x, dir);
  }
}

FieldEdge FieldEdge::piece(double t0, double t1) const {
  FieldEdge left, right, mid, rest;
  if (t1 < 1) {
    Split(*this, t1, left, rest);
  } else {
    left = *this;
  }
  if (t0 <= 0) return left;
  Split(left, t0 / t1, rest, mid);
  return mid;
}

FieldEdge FieldEdge::reversed() const {
  FieldEdge r = *this;
  for (int i = 0; i <= degree; ++i) r.p[i] = p[degree - i];
  return r;
}

int SolveQuadratic(double roots[2], double a, double b, double c) {
  const double scale = std::max({std::fabs(b), std::fabs(c), 1e-300});
  if (std::fabs(a) <= 1e-12 * scale) {
    if (std::fabs(b) <= 1e-300) return 0;
    roots[0] = -c / b;
    return 1;
  }
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return 0;
  if (disc == 0) {
    roots[0] = -b / (2 * a);
    return 1;
  }
  // The form that avoids cancellation between b and the root of the discriminant.
  const double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
  roots[0] = q / a;
  roots[1] = q != 0 ? c / q : -roots[0];
  return 2;
}

int SolveCubic(double roots[3], double a, double b, double c, double d) {
  const double scale = std::max({std::fabs(b), std::fabs(c), std::fabs(d)});
  if (std::fabs(a) <= 1e-12 * scale || a == 0) return SolveQuadratic(roots, b, c, d);
  b /= a;
  c /= a;
  d /= a;
  // Cardano's method in its trigonometric form where there are three real roots.
  const double q = (b * b - 3 * c) / 9;
  const double r = (b * (2 * b * b - 9 * c) + 27 * d) / 54;
  const double r2 = r * r, q3 = q * q * q;
  const double shift = b / 3;
  if (r2 < q3) {
    const double theta = std::acos(std::clamp(r / std::sqrt(q3), -1.0, 1.0));
    const double m = -2 * std::sqrt(q);
    roots[0] = m * std::cos(theta / 3) - shift;
    roots[1] = m * std::cos((theta + 2 * std::numbers::pi) / 3) - shift;
    roots[2] = m * std::cos((theta - 2 * std::numbers::pi) / 3) - shift;
    return 3;
  }
  const double big = -std::copysign(std::cbrt(std::fabs(r) + std::sqrt(r2 - q3)), r);
  const double small = big != 0 ? q / big : 0;
  roots[0] = big + small - shift;
  if (std::fabs(big - small) < 1e-12 * std::max(1.0, std::fabs(big))) {
    roots[1] = -0.5 * (big + small) - shift;
    return 2;
  }
  return 1;
}

}  // namespace glyphmill
