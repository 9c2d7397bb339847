#include "render/page_pixels.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>

#include "render/row_workers.h"
#include "settings/generation_extras.h"

namespace glyphmill {

namespace {

// round(num / den) for den > 0, halves up; the straight colour's quotients are exact rationals, so
// integer arithmetic gives the same page on every machine.
inline uint8_t RoundedQuotient(uint64_t num, uint64_t den) {
  return static_cast<uint8_t>(std::min<uint64_t>((2 * num + den) / (2 * den), 255));
}

// One channel of the straight colour as the fraction num / den. All quantities are in units of
// 1 / (255 * 255): g and m are bytes, a the outline's coverage as it coloured the pixel (0 where it
// did not reach).
struct Fraction {
  uint64_t num;
  uint64_t den;
};
inline Fraction StraightFraction(uint32_t g, uint32_t a, uint32_t m, uint32_t text, uint32_t outline, uint32_t shadow) {
  const uint64_t p = uint64_t{g} * text * 255 + uint64_t{255 - g} * a * outline;
  const uint64_t k = uint64_t{g} * 255 + uint64_t{255 - g} * a;
  const uint64_t mm = uint64_t{m} * 255;
  if (k >= mm) return {p, k};
  return {p + (mm - k) * shadow, mm};
}

// The straight channel, or (premultiplied) the straight channel times m / 255 rounded once from the
// exact value.
inline uint8_t PageChannel(uint32_t g, uint32_t a, uint32_t m, uint32_t text, uint32_t outline, uint32_t shadow,
                           bool premultiplied) {
  const Fraction f = StraightFraction(g, a, m, text, outline, shadow);
  return premultiplied ? RoundedQuotient(f.num * m, f.den * 255) : RoundedQuotient(f.num, f.den);
}

// Runs fn(first, last) over column bands of [0, width) on up to `workers` threads.
template <typename Fn>
void ForEachColumnBand(int32_t width, int32_t workers, const Fn& fn) {
  workers = std::clamp(workers, 1, std::max(1, width / 64));
  const int32_t band = (width + workers - 1) / workers;
  std::vector<std::thread> helpers;
  for (int32_t t = 1; t < workers; ++t) {
    const int32_t first = t * band, last = std::min(width, first + band);
    if (first < last) helpers.emplace_back([&fn, first, last] { fn(first, last); });
  }
  fn(0, std::min(width, band));
  for (std::thread& t : helpers) t.join();
}

// The straight colour of every pixel with alpha into `out` (the mask's size); the others are left
// black. True when each of them has the text colour (or there is none).
bool StraightColours(const LayerCoverage& layers, const LayerColours& colours, const Image24& mask, int32_t workers,
                     bool premultiplied, Image24& out);

}  // namespace

LayerColours LayerColoursOf(const GenerationSettings& settings) {
  LayerColours c;
  c.text = BgrFromColourRef(settings.textColour);
  c.outline = BgrFromColourRef(settings.outlineColour);
  c.shadow = static_cast<int32_t>(settings.backColour) <= 0 ? Bgr{} : BgrFromColourRef(settings.backColour);
  c.outlineBlended = settings.dropShadow();
  return c;
}

void CaptureGlyphCoverage(const Image24& grey, LayerCoverage& out) {
  out.width = grey.width();
  out.height = grey.height();
  const std::size_t n = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
  out.glyph.resize(n);
  out.outline.clear();
  const uint8_t* src = grey.data();
  for (std::size_t i = 0; i < n; ++i) out.glyph[i] = src[i * 3];
}

void CaptureOutlineCoverage(const Image24& scratch, LayerCoverage& out) {
  out.width = scratch.width();
  out.height = scratch.height();
  const std::size_t n = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
  out.glyph.resize(n);
  out.outline.resize(n);
  const uint8_t* src = scratch.data();
  for (std::size_t i = 0; i < n; ++i) {
    out.glyph[i] = src[i * 3 + 1];
    out.outline[i] = src[i * 3 + 2];
  }
}

namespace {

bool StraightColours(const LayerCoverage& layers, const LayerColours& colours, const Image24& mask, int32_t workers,
                     bool premultiplied, Image24& out) {
  const int32_t w = mask.width(), h = mask.height();
  out.resize(w, h);
  const bool textOnly = layers.glyph.empty();  // the mask is the text's coverage
  const bool sameSize = layers.width == w && layers.height == h && !textOnly;
  const bool hasOutline = sameSize && !layers.outline.empty();
  const Bgr t = colours.text, o = colours.outline, s = colours.shadow;
  // Whether every pixel with alpha has the same colour: then bleeding is one fill.
  std::atomic<bool> oneColour{true};
  ForEachRow(0, h, workers,
             [&](int32_t y) {
               const uint8_t* m = mask.row(y);
               uint8_t* d = out.row(y);
               const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
               bool same = true;
               for (int32_t x = 0; x < w; ++x, d += 3) {
                 const uint32_t alpha = m[x * 3];
                 if (alpha == 0) continue;
                 const uint32_t g = textOnly ? alpha : sameSize ? layers.glyph[at + x] : 0;
                 uint32_t a = hasOutline ? layers.outline[at + x] : 0;
                 if (a > 0 && !colours.outlineBlended) a = 255;
                 if (a == 0 && g >= alpha && !premultiplied) {
                   // The text alone covers the pixel: its own colour.
                   d[0] = t.b, d[1] = t.g, d[2] = t.r;
                   continue;
                 }
                 same = false;
                 d[0] = PageChannel(g, a, alpha, t.b, o.b, s.b, premultiplied);
                 d[1] = PageChannel(g, a, alpha, t.g, o.g, s.g, premultiplied);
                 d[2] = PageChannel(g, a, alpha, t.r, o.r, s.r, premultiplied);
               }
               if (!same) oneColour.store(false, std::memory_order_relaxed);
             },
             {});
  return oneColour.load();
}

}  // namespace

void MakeStraightPage(const LayerCoverage& layers, const LayerColours& colours, const Image24& mask, int32_t workers,
                      Image24& out) {
  if (layers.glyph.empty()) {
    // Text alone: every pixel with alpha has the text colour, so every pixel takes it.
    out.resize(mask.width(), mask.height());
    out.fill(colours.text);
    return;
  }
  if (StraightColours(layers, colours, mask, workers, false, out)) {
    // Every pixel with alpha has the text colour (or there is none): so has every other pixel.
    out.fill(colours.text);
    return;
  }
  BleedIntoTransparent(out, mask, workers);
}

void BleedIntoTransparent(Image24& page, const Image24& mask, int32_t workers) {
  const int32_t w = std::min(page.width(), mask.width()), h = std::min(page.height(), mask.height());
  if (w <= 0 || h <= 0) return;
  const auto inked = [&mask](int32_t x, int32_t y) { return mask.row(y)[x * 3] != 0; };

  // Pass 1, per column: the row of the nearest pixel with alpha in the same column (-1: none).
  std::vector<int32_t> nearRow(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  ForEachColumnBand(w, workers, [&](int32_t first, int32_t last) {
    std::vector<int32_t> seen(static_cast<std::size_t>(last - first), -1);
    for (int32_t y = 0; y < h; ++y) {
      int32_t* row = nearRow.data() + static_cast<std::size_t>(y) * w;
      for (int32_t x = first; x < last; ++x) {
        if (inked(x, y)) seen[x - first] = y;
        row[x] = seen[x - first];
      }
    }
    std::fill(seen.begin(), seen.end(), -1);
    for (int32_t y = h - 1; y >= 0; --y) {
      int32_t* row = nearRow.data() + static_cast<std::size_t>(y) * w;
      for (int32_t x = first; x < last; ++x) {
        if (inked(x, y)) seen[x - first] = y;
        const int32_t below = seen[x - first];
        if (below >= 0 && (row[x] < 0 || below - y < y - row[x])) row[x] = below;
      }
    }
  });
  bool anyInked = false;
  for (int32_t x = 0; x < w && !anyInked; ++x) anyInked = nearRow[x] >= 0;
  if (!anyInked) return;

  // Pass 2, per row: the lower envelope of the parabolas (x - q)^2 + dy(q)^2 gives each pixel's
  // nearest column q, and through pass 1 its nearest pixel with alpha.
  ForEachRow(0, h, workers,
             [&](int32_t y) {
               const int32_t* rows = nearRow.data() + static_cast<std::size_t>(y) * w;
               std::vector<int32_t> v(static_cast<std::size_t>(w));
               std::vector<double> z(static_cast<std::size_t>(w) + 1);
               const auto f = [&](int32_t q) {
                 const double dy = static_cast<double>(rows[q] - y);
                 return dy * dy + static_cast<double>(q) * q;
               };
               int32_t k = -1;
               for (int32_t q = 0; q < w; ++q) {
                 if (rows[q] < 0) continue;
                 double s = -std::numeric_limits<double>::infinity();
                 while (k >= 0) {
                   s = (f(q) - f(v[k])) / (2.0 * (q - v[k]));
                   if (s > z[k]) break;
                   --k;
                 }
                 ++k;
                 v[k] = q;
                 z[k] = k == 0 ? -std::numeric_limits<double>::infinity() : s;
                 z[k + 1] = std::numeric_limits<double>::infinity();
               }
               uint8_t* d = page.row(y);
               const uint8_t* m = mask.row(y);
               int32_t j = 0;
               for (int32_t x = 0; x < w; ++x) {
                 while (z[j + 1] < x) ++j;
                 if (m[x * 3] != 0) continue;
                 const int32_t q = v[j];
                 const uint8_t* src = page.row(rows[q]) + static_cast<std::size_t>(q) * 3;
                 d[x * 3] = src[0], d[x * 3 + 1] = src[1], d[x * 3 + 2] = src[2];
               }
             },
             {});
}

void Premultiply(Image24& page, const Image24& mask) {
  const int32_t w = std::min(page.width(), mask.width()), h = std::min(page.height(), mask.height());
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* d = page.row(y);
    const uint8_t* m = mask.row(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t a = m[x * 3];
      for (int c = 0; c < 3; ++c) d[x * 3 + c] = static_cast<uint8_t>((2 * d[x * 3 + c] * a + 255) / 510);
    }
  }
}

void MakePage(uint8_t pagePixels, const LayerCoverage& layers, const LayerColours& colours, const Image24& mask,
              int32_t workers, Image24& out) {
  if (pagePixels != kPagePixelsPremultiplied) {
    MakeStraightPage(layers, colours, mask, workers, out);
    return;
  }
  // Premultiplied pixels without alpha are 0 whatever their colour: nothing to bleed. Each channel
  // is rounded once, from the exact straight colour times alpha.
  StraightColours(layers, colours, mask, workers, true, out);
}

}  // namespace glyphmill
