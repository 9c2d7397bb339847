#include "render/glyph_drawing.h"

#include <algorithm>
#include <limits>
#include <mutex>

#include "render/render_texts.h"
#include "render/row_workers.h"
#include "settings/generation_settings.h"

namespace glyphmill {

namespace {

// round((dst * (255 - a) + src * a) / 255). 255 is odd, so the quotient is never exactly a half and
// rounding to nearest needs no tie rule.
inline uint8_t Blend255(uint8_t dst, uint8_t src, uint32_t a) {
  const uint32_t num = dst * (255 - a) + src * a;
  return static_cast<uint8_t>((2 * num + 255) / 510);
}

// round((dst * (765 - s) + src * s) / 765), s = B + G + R of a Cleartype pixel. 765 is odd: no
// ties, and the single-precision t = s / 765 of the definition rounds to the same integers (its
// error is far below the 1/1530 that separates a result from the nearest half).
inline uint8_t Blend765(uint8_t dst, uint8_t src, uint32_t s) {
  const uint32_t num = dst * (765 - s) + src * s;
  return static_cast<uint8_t>((2 * num + 765) / 1530);
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void FillBackground(Image24& colour, uint32_t backColour) {
  const int32_t c = static_cast<int32_t>(backColour);
  if (c <= 0) {
    colour.fill(0, 0, 0);
  } else if (backColour == kColourWhite) {
    colour.fill(255, 255, 255);
  } else {
    colour.fillRectNoPen(0, 0, colour.width(), colour.height(), BgrFromColourRef(backColour));
  }
}

void CompositeGlyph(Image24& target, const GlyphImage& glyph, int64_t x, int64_t y, Bgr colour) {
  const int bpp = glyph.kind == GlyphImage::Kind::Lcd ? 3 : 1;
  if (glyph.width <= 0 || glyph.rows <= 0 ||
      glyph.pixels.size() < static_cast<std::size_t>(glyph.width) * glyph.rows * bpp)
    return;
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(x + glyph.width, target.width());
  const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(y + glyph.rows, target.height());
  for (int64_t ty = y0; ty < y1; ++ty) {
    const uint8_t* src = glyph.pixels.data() + ((ty - y) * glyph.width + (x0 - x)) * bpp;
    uint8_t* dst = target.row(static_cast<int32_t>(ty)) + x0 * 3;
    for (int64_t tx = x0; tx < x1; ++tx, dst += 3, src += bpp) {
      if (bpp == 1) {
        const uint32_t a = src[0];
        if (a == 0) continue;
        dst[0] = Blend255(dst[0], colour.b, a);
        dst[1] = Blend255(dst[1], colour.g, a);
        dst[2] = Blend255(dst[2], colour.r, a);
      } else {
        // LCD coverage comes as R, G, B; the image holds B, G, R.
        dst[0] = Blend255(dst[0], colour.b, src[2]);
        dst[1] = Blend255(dst[1], colour.g, src[1]);
        dst[2] = Blend255(dst[2], colour.r, src[0]);
      }
    }
  }
}

void ApplyCleartype(const Image24& scratch, Image24& target, TargetKind kind, Bgr colour) {
  const int32_t w = std::min(scratch.width(), target.width());
  const int32_t h = std::min(scratch.height(), target.height());
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = scratch.row(y);
    uint8_t* d = target.row(y);
    for (int32_t x = 0; x < w; ++x, s += 3, d += 3) {
      const uint32_t sum = uint32_t{s[0]} + s[1] + s[2];
      if (kind == TargetKind::Grey) {
        // round(sum / 3): never a half.
        const uint8_t v = static_cast<uint8_t>((2 * sum + 3) / 6);
        d[0] = d[1] = d[2] = v;
      } else {
        d[0] = Blend765(d[0], colour.b, sum);
        d[1] = Blend765(d[1], colour.g, sum);
        d[2] = Blend765(d[2], colour.r, sum);
      }
    }
  }
}

std::vector<int32_t> PlacedRecords(const GlyphSource& source) {
  std::vector<int32_t> todo;
  const std::size_t n = source.chars ? source.chars->size() : 0;
  for (std::size_t i = 0; i < n; ++i)
    if (source.placed && i < source.placed->size() && (*source.placed)[i]) todo.push_back(static_cast<int32_t>(i));
  return todo;
}

bool DrawCharacters(const GlyphSource& source, Image24& target, TargetKind kind, Bgr colour, Image24& scratch,
                    ProgressReporter& progress, const StopFlag& stop) {
  const bool cleartype = source.antialiasMode == kAntialiasCleartype;
  Image24& surface = cleartype ? scratch : target;
  const Bgr ink = cleartype ? Bgr{255, 255, 255} : colour;
  const std::vector<PlacedCharacter> noChars;
  const std::vector<PlacedCharacter>& chars = source.chars ? *source.chars : noChars;
  const int32_t n = static_cast<int32_t>(chars.size());
  const std::vector<int32_t> todo = PlacedRecords(source);
  RenderedGlyphs ownGlyphs;
  RenderedGlyphs& glyphs = source.rendered ? *source.rendered : ownGlyphs;
  {
    std::lock_guard<std::mutex> surfaceLock(surface.lock());
    if (cleartype) surface.fill(0, 0, 0);
    const int32_t ascent = source.face ? source.face->ascent() : 0;
    // Rendered on any thread, composited here in table order, so overlapping ink blends as drawn
    // one after the other.
    auto consume = [&](int32_t k) {
      const int32_t i = todo[static_cast<std::size_t>(k)];
      const PlacedCharacter& c = chars[static_cast<std::size_t>(i)];
      if (const GlyphImage* glyph = glyphs.glyph(i)) {
        const int64_t penX = int64_t{c.cellX} + c.drawOffsetX;
        const int64_t baseline = int64_t{c.cellY} + c.drawOffsetY + ascent;
        CompositeGlyph(surface, *glyph, penX + glyph->left, baseline - glyph->top, ink);
      }
      if (progress.due())
        progress.report(progress.progressBase() + PercentOf(i, n), render_text::DrawingCharacter(i, n));
      return !stop.load(std::memory_order_relaxed);
    };
    if (!glyphs.renderInOrder(source.face, source.fallbacks, source.antialiasMode, chars, todo, RenderWorkerCount(),
                              consume))
      return false;
  }
  progress.advanceBase(100);
  if (cleartype) {
    std::unique_lock<std::mutex> scratchLock(scratch.lock());
    std::unique_lock<std::mutex> targetLock;
    if (&target != &scratch) targetLock = std::unique_lock<std::mutex>(target.lock());
    ApplyCleartype(scratch, target, kind, colour);
  }
  return true;
}

void DrawGuides(Image24& colour, const std::vector<PlacedCharacter>& chars, const std::vector<GlyphABC>& abc,
                const std::vector<uint8_t>& placed) {
  const Bgr red = BgrFromColourRef(255), green = BgrFromColourRef(32768), blue = BgrFromColourRef(16711680);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (i < placed.size() && placed[i] == 0) continue;
    const PlacedCharacter& c = chars[i];
    const GlyphABC m = i < abc.size() ? abc[i] : GlyphABC{};
    const int64_t x = c.cellX, y = c.cellY;
    const int64_t right = x + c.cellWidth, bottom = y + c.cellHeight;
    colour.frameRect(Clamp32(x), Clamp32(y), Clamp32(right), Clamp32(bottom), red);
    const int64_t pen = x + c.drawOffsetX;
    colour.frameRect(Clamp32(pen), Clamp32(y), Clamp32(pen + m.abcA), Clamp32(bottom), green);
    colour.frameRect(Clamp32(right + m.abcC), Clamp32(y), Clamp32(right), Clamp32(bottom), blue);
  }
}

}  // namespace glyphmill
