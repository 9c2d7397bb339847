#include "render/edge_colouring.h"

#include <algorithm>
#include <cmath>

namespace glyphmill {

namespace {

constexpr uint8_t kCyan = kGreen | kBlue;
constexpr uint8_t kMagenta = kRed | kBlue;
constexpr uint8_t kYellow = kRed | kGreen;
constexpr uint8_t kPalette[3] = {kCyan, kMagenta, kYellow};

// Two sides are across from each other where the way from one to the other runs within this
// angle's cosine of the first side's normal (rather than along it).
constexpr double kFacingCosine = 0.7;
// Passes of the recolouring search at most.
constexpr int kSearchPasses = 8;

// True when the contour turns by more than `angle` between a and b (unit directions).
bool IsCorner(Vec2 a, Vec2 b, double angle) { return Dot(a, b) < std::cos(angle); }

double ControlLength(const FieldEdge& e) {
  double len = 0;
  for (int i = 0; i < e.degree; ++i) len += Length(e.p[i + 1] - e.p[i]);
  return len;
}

// The contour with each edge split into three pieces of equal parameter range.
FieldContour SplitInThirds(const FieldContour& contour) {
  FieldContour out;
  for (const FieldEdge& e : contour) {
    for (int k = 0; k < 3; ++k) {
      FieldEdge piece = e.piece(k / 3.0, (k + 1) / 3.0);
      if (k > 0) piece.p[0] = out.back().end();
      if (k == 2) piece.p[piece.degree] = e.end();
      out.push_back(piece);
    }
  }
  return out;
}

// A contour whose only corner is at the start of edge 0: its first third magenta, its middle white,
// its last third yellow, so the two edges at the corner differ.
void ColourTeardrop(FieldContour& contour) {
  const std::size_t n = contour.size();
  static constexpr uint8_t kThirds[3] = {kMagenta, kWhite, kYellow};
  for (std::size_t i = 0; i < n; ++i) contour[i].colour = kThirds[std::min<std::size_t>(3 * i / n, 2)];
}

// A run: the edges of one contour from one corner to the next, which share one colour. `prev` and
// `next` are the runs it meets at its corners (itself when the contour has no corner).
struct Run {
  std::size_t contour = 0;
  std::size_t first = 0;  // index of its first edge in the contour
  std::size_t count = 0;  // edges (wrapping round the contour's end)
  std::size_t prev = 0, next = 0;
  bool fixed = false;  // a teardrop's thirds keep their colours
  uint8_t colour = kCyan;
};

// How much two runs lie across a stroke or a gap narrower than the reach from each other: the
// length of each along which the other is that near, weighted by how much nearer.
struct Nearness {
  std::size_t a, b;
  double weight;
};

// A chord of an edge: the boundary flattened for measuring nearness, which needs no more accuracy
// than a fraction of the reach.
struct Chord {
  Vec2 a, b;
  std::size_t run;
  double left, bottom, right, top;
};

// Chords per pixel of an edge's control polygon, and their number for an edge at most. Each chord
// is measured from its middle.
constexpr double kChordsPerPixel = 0.4;
constexpr int kMaxChords = 16;

std::vector<Nearness> FindNearness(const std::vector<FieldContour>& contours, const std::vector<Run>& runs,
                                   double reach) {
  std::vector<Chord> chords;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const FieldContour& c = contours[runs[r].contour];
    for (std::size_t k = 0; k < runs[r].count; ++k) {
      const FieldEdge& e = c[(runs[r].first + k) % c.size()];
      const int n = std::clamp(static_cast<int>(std::ceil(ControlLength(e) * kChordsPerPixel)), e.degree == 1 ? 1 : 2,
                               kMaxChords);
      Vec2 prev = e.start();
      for (int i = 1; i <= n; ++i) {
        const Vec2 next = i == n ? e.end() : e.point(static_cast<double>(i) / n);
        chords.push_back({prev, next, r, std::min(prev.x, next.x), std::min(prev.y, next.y), std::max(prev.x, next.x),
                          std::max(prev.y, next.y)});
        prev = next;
      }
    }
  }
  if (chords.empty()) return {};
  // A grid of cells as wide as the reach, each listing the chords whose boxes touch it: the chords
  // near one are in the cells its box, grown by the reach, touches.
  double left = chords[0].left, bottom = chords[0].bottom, right = chords[0].right, top = chords[0].top;
  for (const Chord& c : chords) {
    left = std::min(left, c.left);
    bottom = std::min(bottom, c.bottom);
    right = std::max(right, c.right);
    top = std::max(top, c.top);
  }
  const int columns = static_cast<int>((right - left) / reach) + 1, rows = static_cast<int>((top - bottom) / reach) + 1;
  auto column = [&](double x) { return std::clamp(static_cast<int>((x - left) / reach), 0, columns - 1); };
  auto row = [&](double y) { return std::clamp(static_cast<int>((y - bottom) / reach), 0, rows - 1); };
  // The cells' chord lists, one after the other: cell i's from first[i] to first[i + 1].
  std::vector<std::size_t> first(static_cast<std::size_t>(columns) * rows + 1, 0), listed;
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < chords.size(); ++i)
      for (int cy = row(chords[i].bottom); cy <= row(chords[i].top); ++cy)
        for (int cx = column(chords[i].left); cx <= column(chords[i].right); ++cx) {
          const std::size_t cell = static_cast<std::size_t>(cy) * columns + cx;
          if (pass == 0) {
            ++first[cell + 1];
          } else {
            listed[first[cell]++] = i;
          }
        }
    if (pass == 0) {
      for (std::size_t c = 1; c < first.size(); ++c) first[c] += first[c - 1];
      listed.resize(first.back());
    } else {
      // Filling moved each start to the next cell's: back by one cell.
      for (std::size_t c = first.size() - 1; c > 0; --c) first[c] = first[c - 1];
      first[0] = 0;
    }
  }

  std::vector<Nearness> found;
  for (const Chord& x : chords) {
    const Vec2 along = x.b - x.a;
    const double length = Length(along);
    if (length <= 0) continue;
    const Vec2 dir{along.x / length, along.y / length};
    const Vec2 p = x.a + 0.5 * along;
    // The nearest run across, on the inside and on the outside of the edge.
    double nearest[2] = {reach, reach};
    std::size_t across[2] = {x.run, x.run};
    for (int cy = row(p.y - reach); cy <= row(p.y + reach); ++cy)
      for (int cx = column(p.x - reach); cx <= column(p.x + reach); ++cx) {
        const std::size_t cell = static_cast<std::size_t>(cy) * columns + cx;
        for (std::size_t k = first[cell]; k < first[cell + 1]; ++k) {
          const Chord& y = chords[listed[k]];
          if (y.run == x.run || y.left >= p.x + reach || y.right <= p.x - reach || y.bottom >= p.y + reach ||
              y.top <= p.y - reach)
            continue;
          const Vec2 yb = y.b - y.a, yp = p - y.a;
          const double len2 = Dot(yb, yb);
          const double t = len2 > 0 ? std::clamp(Dot(yp, yb) / len2, 0.0, 1.0) : 0.0;
          const Vec2 to = (y.a + t * yb) - p;
          const double d2 = Dot(to, to);
          if (d2 <= 0) continue;
          // Across: the sine between the edge and the way to the other at least kFacingCosine.
          const double side = Cross(dir, to);
          if (side * side < kFacingCosine * kFacingCosine * d2) continue;
          const int k2 = side > 0 ? 0 : 1;
          if (d2 < nearest[k2] * nearest[k2]) {
            nearest[k2] = std::sqrt(d2);
            across[k2] = y.run;
          }
        }
      }
    // Only a stroke or gap with one side each: where the edge has near neighbours on both sides
    // (stacked strokes) no colouring of two-channel colours keeps them apart, and the weight would
    // only pull the colours of better separable pairs.
    if ((across[0] == x.run) == (across[1] == x.run)) continue;
    const int k = across[0] != x.run ? 0 : 1;
    const std::size_t other = across[k];
    const Run& rx = runs[x.run];
    // Runs that meet at a corner differ anyway.
    if ((rx.prev == other || rx.next == other) && runs[other].contour == rx.contour) continue;
    found.push_back({std::min(x.run, other), std::max(x.run, other), length * (reach - nearest[k])});
  }
  // One entry per pair.
  std::sort(found.begin(), found.end(),
            [](const Nearness& p, const Nearness& q) { return p.a != q.a ? p.a < q.a : p.b < q.b; });
  std::vector<Nearness> merged;
  for (const Nearness& n : found) {
    if (!merged.empty() && merged.back().a == n.a && merged.back().b == n.b) {
      merged.back().weight += n.weight;
    } else {
      merged.push_back(n);
    }
  }
  return merged;
}

// True when two colours leave no channel to tell the runs apart.
bool Clash(uint8_t a, uint8_t b) { return (a & b) == a || (a & b) == b; }

}  // namespace

void ColourEdges(std::vector<FieldContour>& contours, double cornerAngle, double reach) {
  std::vector<Run> runs;
  for (std::size_t ci = 0; ci < contours.size(); ++ci) {
    FieldContour& contour = contours[ci];
    if (contour.empty()) continue;
    // Corners: the starts of the edges where the direction turns sharply.
    std::vector<std::size_t> corners;
    for (std::size_t i = 0; i < contour.size(); ++i) {
      const FieldEdge& prev = contour[(i + contour.size() - 1) % contour.size()];
      if (IsCorner(Normalized(prev.direction(1)), Normalized(contour[i].direction(0)), cornerAngle))
        corners.push_back(i);
    }
    const std::size_t base = runs.size();
    if (corners.empty()) {
      // A smooth contour is one run: white, unless a near run asks for a colour of two channels,
      // which keeps it as well (the median of two equal distances and any third is that distance)
      // and lets the third channel tell the two apart.
      Run r;
      r.contour = ci;
      r.count = contour.size();
      r.prev = r.next = base;
      r.colour = kPalette[base % 3];
      runs.push_back(r);
      continue;
    }
    if (corners.size() == 1) {
      // Rotate so the corner starts edge 0, split short contours, then colour in thirds.
      FieldContour rotated(contour.begin() + static_cast<std::ptrdiff_t>(corners[0]), contour.end());
      rotated.insert(rotated.end(), contour.begin(), contour.begin() + static_cast<std::ptrdiff_t>(corners[0]));
      if (rotated.size() < 3) rotated = SplitInThirds(rotated);
      ColourTeardrop(rotated);
      contour = std::move(rotated);
      for (std::size_t i = 0; i < contour.size(); ++i) {
        if (i > 0 && contour[i].colour == contour[i - 1].colour) {
          ++runs.back().count;
          continue;
        }
        Run r;
        r.contour = ci;
        r.first = i;
        r.count = 1;
        r.fixed = true;
        r.colour = contour[i].colour;
        runs.push_back(r);
      }
      for (std::size_t r = base; r < runs.size(); ++r) {
        runs[r].prev = r == base ? runs.size() - 1 : r - 1;
        runs[r].next = r + 1 == runs.size() ? base : r + 1;
      }
      continue;
    }
    // Between corners the colour stays. The first guess cycles through the three colours, so that
    // the runs on either side of a short one (the two sides of a stroke's end) differ; the run that
    // closes the contour takes another when it would meet the first run's.
    const std::size_t n = corners.size();
    for (std::size_t k = 0; k < n; ++k) {
      Run r;
      r.contour = ci;
      r.first = corners[k];
      r.count = (corners[(k + 1) % n] + contour.size() - corners[k] - 1) % contour.size() + 1;
      r.prev = base + (k + n - 1) % n;
      r.next = base + (k + 1) % n;
      r.colour = kPalette[k % 3];
      if (k + 1 == n && k % 3 == 0) r.colour = kPalette[1];
      runs.push_back(r);
    }
  }

  // Runs across a narrow stroke or gap from each other should differ in colour: then each of the
  // two sides has a channel of its own, and the median keeps the stroke or gap as wide as it is
  // between pixel centres. The search recolours one run at a time (within what its corners allow)
  // to the colour that shares the least weight with near runs of the same colour.
  std::vector<uint8_t> nearAny(runs.size(), 0);
  if (reach > 0 && runs.size() > 1) {
    const std::vector<Nearness> near = FindNearness(contours, runs, reach);
    for (const Nearness& p : near) nearAny[p.a] = nearAny[p.b] = 1;
    std::vector<std::vector<std::pair<std::size_t, double>>> adjacent(runs.size());
    for (const Nearness& p : near) {
      adjacent[p.a].emplace_back(p.b, p.weight);
      adjacent[p.b].emplace_back(p.a, p.weight);
    }
    auto cost = [&](std::size_t r, uint8_t colour) {
      double c = 0;
      for (const auto& [other, w] : adjacent[r])
        if (Clash(colour, runs[other].colour)) c += w;
      return c;
    };
    for (int pass = 0; pass < kSearchPasses; ++pass) {
      bool changed = false;
      for (std::size_t r = 0; r < runs.size(); ++r) {
        Run& run = runs[r];
        if (run.fixed || adjacent[r].empty()) continue;
        const bool smooth = run.prev == r;
        double best = cost(r, run.colour);
        uint8_t pick = run.colour;
        for (uint8_t colour : kPalette) {
          if (colour == run.colour) continue;
          if (!smooth && (Clash(colour, runs[run.prev].colour) || Clash(colour, runs[run.next].colour))) continue;
          const double c = cost(r, colour);
          if (c < best - 1e-12) {
            best = c;
            pick = colour;
          }
        }
        if (pick != run.colour) {
          run.colour = pick;
          changed = true;
        }
      }
      // A run held by both its corners moves only together with a neighbour: each run and the next
      // one of its contour take the pair of colours that shares the least weight.
      for (std::size_t r = 0; r < runs.size(); ++r) {
        Run& a = runs[r];
        if (a.fixed || a.prev == r || a.next == r) continue;
        Run& b = runs[a.next];
        if (b.fixed || b.next == r) continue;  // two runs only: a single move covers them
        if (adjacent[r].empty() && adjacent[a.next].empty()) continue;
        const uint8_t before = runs[a.prev].colour, after = runs[b.next].colour;
        double best = cost(r, a.colour) + cost(a.next, b.colour);
        uint8_t pickA = a.colour, pickB = b.colour;
        for (uint8_t ca : kPalette) {
          if (Clash(ca, before)) continue;
          for (uint8_t cb : kPalette) {
            if (Clash(cb, ca) || Clash(cb, after)) continue;
            const double c = cost(r, ca) + cost(a.next, cb);
            if (c < best - 1e-12) {
              best = c;
              pickA = ca;
              pickB = cb;
            }
          }
        }
        if (pickA != a.colour || pickB != b.colour) {
          a.colour = pickA;
          b.colour = pickB;
          changed = true;
        }
      }
      if (!changed) break;
    }
  }

  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Run& r = runs[i];
    FieldContour& c = contours[r.contour];
    const bool alone = r.prev == i && (reach <= 0 || !nearAny[i]);
    for (std::size_t k = 0; k < r.count; ++k) c[(r.first + k) % c.size()].colour = alone ? kWhite : r.colour;
  }
}

}  // namespace glyphmill
