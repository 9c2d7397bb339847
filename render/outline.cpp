#include "render/outline.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "render/render_texts.h"
#include "render/row_workers.h"
#include "settings/rounding.h"

namespace glyphmill {

namespace {

// Byte offsets of the planes inside a B, G, R pixel.
constexpr int kB = 0, kG = 1, kR = 2;

// Growth of one inner row y: reads B of rows y - 1 .. y + 1, writes R of row y.
void GrowRow(Image24& scratch, int32_t y) {
  const int32_t W = scratch.width();
  const uint8_t* up = scratch.row(y - 1);
  const uint8_t* mid = scratch.row(y);
  const uint8_t* dn = scratch.row(y + 1);
  uint8_t* out = scratch.row(y);
  auto colMax = [&](int32_t x) { return std::max({up[3 * x + kB], mid[3 * x + kB], dn[3 * x + kB]}); };
  // Rolling maxima of the three columns of the block: a pixel none of whose neighbours is brighter
  // (most of a texture) is passed over after three reads.
  uint8_t left = colMax(0), centre = colMax(1);
  for (int32_t x = 1; x <= W - 2; ++x) {
    const uint8_t right = colMax(x + 1);
    const uint8_t v = mid[3 * x + kB];
    if (v < 255 && std::max({left, centre, right}) > v) {
      uint32_t s = v, k = 1;
      for (const uint8_t* r : {up, mid, dn}) {
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const uint8_t b = r[3 * (x + dx) + kB];
          if (b > v) {
            s += b;
            ++k;
          }
        }
      }
      out[3 * x + kR] = static_cast<uint8_t>(s / k);  // k > 1 here: a brighter neighbour exists
    }
    left = centre;
    centre = right;
  }
}

void CopyRIntoB(Image24& scratch, int32_t y) {
  uint8_t* p = scratch.row(y);
  for (int32_t x = 1; x <= scratch.width() - 2; ++x) p[3 * x + kB] = p[3 * x + kR];
}

}  // namespace

void GrowOutlinePass(Image24& scratch, int32_t workers, const std::function<void(int32_t)>& afterRow) {
  const int32_t W = scratch.width(), H = scratch.height();
  if (W < 3 || H < 3) return;
  ForEachRow(
      1, H - 1, workers, [&](int32_t y) { GrowRow(scratch, y); }, afterRow);
  // Only after every row has read the old B may B take the new values.
  ForEachRow(1, H - 1, workers, [&](int32_t y) { CopyRIntoB(scratch, y); }, {});
}

bool GrowOutline(Image24& scratch, int32_t passes, ProgressReporter& progress, const StopFlag& stop) {
  const int32_t H = scratch.height();
  const int32_t workers = RenderWorkerCount();
  for (int32_t pass = 1; pass <= passes; ++pass) {
    if (stop.load(std::memory_order_relaxed)) return false;
    GrowOutlinePass(scratch, workers, [&](int32_t y) {
      if (progress.due()) {
        // p = round(((pass - 1) / passes + (y / H) / passes) * 100)
        const int32_t p = PercentOf(int64_t{pass - 1} * H + y, int64_t{passes} * H);
        progress.report(progress.progressBase() + p, render_text::CalculatingOutline(p));
      }
    });
  }
  return true;
}

double HardnessExponent(int32_t hardness) {
  const double h = std::clamp(hardness, -10, 10);
  if (h > 0) return (11.0 - h) / 10.0;
  return 1.0 / ((h + 11.0) / 10.0);
}

std::array<uint8_t, 256> HardnessTable(int32_t hardness) {
  const double e = HardnessExponent(hardness);
  std::array<uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) {
    if (v == 0 || v == 255) {
      table[v] = static_cast<uint8_t>(v);
      continue;
    }
    const int64_t r = RoundHalfEven(std::pow(v / 255.0, e) * 255.0);
    table[v] = static_cast<uint8_t>(std::clamp<int64_t>(r, 0, 255));
  }
  return table;
}

void ApplyHardness(Image24& scratch, int32_t hardness) {
  const int32_t W = scratch.width(), H = scratch.height();
  const std::array<uint8_t, 256> table = HardnessTable(hardness);
  for (int32_t y = 1; y <= H - 2; ++y) {
    uint8_t* p = scratch.row(y);
    for (int32_t x = 1; x <= W - 2; ++x) p[3 * x + kR] = table[p[3 * x + kR]];
  }
}

std::array<uint8_t, 256> OutlineMaskTable(int32_t opacityPercent) {
  // The product of a byte and a single-precision factor is exact in double, as it was in the
  // extended precision the factor was defined with (opacity 10 gives f slightly above 0.1, so
  // a = 5 rounds to 1, not to the even 0).
  const float f = static_cast<float>(opacityPercent) / 100.0f;
  std::array<uint8_t, 256> table{};
  for (int a = 0; a < 256; ++a)
    table[a] = static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven(a * static_cast<double>(f)), 0, 255));
  return table;
}

void ApplyOutline(const Image24& scratch, Image24& colour, Image24& mask, uint32_t outlineColour,
                  int32_t opacityPercent, bool dropShadow, ProgressReporter& progress) {
  const Bgr o = BgrFromColourRef(outlineColour);
  const std::array<uint8_t, 256> maskOf = OutlineMaskTable(opacityPercent);
  const int32_t W = std::min({scratch.width(), colour.width(), mask.width()});
  const int32_t H = std::min({scratch.height(), colour.height(), mask.height()});
  // round((1 - t) * c + t * o) with t = a / 255: 255 is odd, so the exact quotient is never a half
  // and the single-precision t of the definition rounds to the same integer.
  auto blend = [](uint8_t c, uint8_t target, uint32_t a) {
    return static_cast<uint8_t>((2 * (c * (255 - a) + target * a) + 255) / 510);
  };
  for (int32_t y = 0; y < H; ++y) {
    const uint8_t* s = scratch.row(y);
    uint8_t* c = colour.row(y);
    uint8_t* m = mask.row(y);
    for (int32_t x = 0; x < W; ++x, s += 3, c += 3, m += 3) {
      const uint8_t a = s[kR], g = s[kG];
      if (dropShadow) {
        c[0] = blend(c[0], o.b, a);
        c[1] = blend(c[1], o.g, a);
        c[2] = blend(c[2], o.r, a);
      } else if (a > 0) {
        c[0] = o.b;
        c[1] = o.g;
        c[2] = o.r;
      }
      m[0] = m[1] = m[2] = std::max(g, maskOf[a]);
    }
    if (progress.due()) {
      const int32_t p = PercentOf(y, H);
      progress.report(progress.progressBase() + p, render_text::ApplyingOutline(p));
    }
  }
}

bool DrawOutline(const GlyphSource& source, const GenerationSettings& settings, Image24& colour, Image24& mask,
                 Image24& scratch, ProgressReporter& progress, const StopFlag& stop) {
  progress.report(-1, render_text::kDrawingOutline);
  {
    std::lock_guard<std::mutex> scratchLock(scratch.lock());
    scratch.fill(0, 0, 0);
  }
  // Every placed glyph in white: B = G = R = coverage.
  bool complete = DrawCharacters(source, scratch, TargetKind::Grey, Bgr{255, 255, 255}, scratch, progress, stop);
  std::lock_guard<std::mutex> scratchLock(scratch.lock());
  if (!GrowOutline(scratch, settings.outlineWidth, progress, stop)) complete = false;
  progress.advanceBase(100);
  ApplyHardness(scratch, settings.outlineHardness);
  {
    std::lock_guard<std::mutex> maskLock(mask.lock());
    std::lock_guard<std::mutex> colourLock(colour.lock());
    ApplyOutline(scratch, colour, mask, settings.outlineColour, settings.outlineOpacity, settings.dropShadow(),
                 progress);
  }
  progress.advanceBase(100);
  return complete;
}

}  // namespace glyphmill
