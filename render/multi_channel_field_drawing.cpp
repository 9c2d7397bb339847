#include "render/multi_channel_field_drawing.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

#include "render/distance_field_drawing.h"
#include "render/render_texts.h"
#include "render/row_workers.h"
#include "settings/distance_field_mode.h"
#include "settings/glyph_outline.h"

namespace glyphmill {

namespace {

// One record's field as a worker made it.
struct MadeField {
  MultiChannelField field;
  bool drawn = false;
  bool fellBack = false;
};

MadeField MakeField(FontFace& face, uint16_t codeUnit, uint16_t spread) {
  MadeField made;
  GlyphOutline outline;
  const OutlineRead read = face.loadOutline(codeUnit, kAntialiasMsdf, &outline);
  if (read == OutlineRead::Read) {
    made.field = ComputeMultiChannelField(outline, spread);
    made.drawn = true;
    return made;
  }
  GlyphImage single;
  made.fellBack = true;
  made.drawn = face.renderGlyph(codeUnit, kAntialiasDistanceField, &single);
  if (made.drawn) made.field = FromSingleChannelField(single);
  return made;
}

}  // namespace

void CompositeMultiChannelField(Image24& colour, Image24& mask, const MultiChannelField& field, int64_t x, int64_t y,
                                bool maskFromAlpha) {
  const std::size_t n = static_cast<std::size_t>(std::max(field.width, 0)) * std::max(field.rows, 0);
  if (n == 0 || field.rgb.size() < 3 * n || field.alpha.size() < n) return;
  const int64_t w = std::min(colour.width(), mask.width()), h = std::min(colour.height(), mask.height());
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(x + field.width, w);
  const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(y + field.rows, h);
  for (int64_t ty = y0; ty < y1; ++ty) {
    const std::size_t first = static_cast<std::size_t>((ty - y) * field.width + (x0 - x));
    const uint8_t* rgb = field.rgb.data() + 3 * first;
    const uint8_t* alpha = field.alpha.data() + first;
    uint8_t* c = colour.row(static_cast<int32_t>(ty)) + x0 * 3;
    uint8_t* m = mask.row(static_cast<int32_t>(ty)) + x0 * 3;
    for (int64_t tx = x0; tx < x1; ++tx, rgb += 3, ++alpha, c += 3, m += 3) {
      const uint8_t v = maskFromAlpha ? *alpha : Median3(rgb[0], rgb[1], rgb[2]);
      if (v <= m[0]) continue;
      m[0] = m[1] = m[2] = v;
      c[0] = rgb[2];  // the image holds blue, green, red
      c[1] = rgb[1];
      c[2] = rgb[0];
    }
  }
}

MultiChannelField FromSingleChannelField(const GlyphImage& field) {
  MultiChannelField out;
  out.left = field.left;
  out.top = field.top;
  const std::size_t n = static_cast<std::size_t>(std::max(field.width, 0)) * std::max(field.rows, 0);
  if (field.kind != GlyphImage::Kind::Gray || field.pixels.size() < n) return out;
  out.width = field.width;
  out.rows = field.rows;
  out.alpha.assign(field.pixels.begin(), field.pixels.begin() + static_cast<std::ptrdiff_t>(n));
  out.rgb.resize(3 * n);
  for (std::size_t i = 0; i < n; ++i) out.rgb[3 * i] = out.rgb[3 * i + 1] = out.rgb[3 * i + 2] = out.alpha[i];
  return out;
}

bool DrawMultiChannelFields(const GlyphSource& source, uint16_t spread, int32_t workers, Image24& colour, Image24& mask,
                            FieldFallbacks& fallbacks, ProgressReporter& progress, const StopFlag& stop) {
  const std::vector<PlacedCharacter> noChars;
  const std::vector<PlacedCharacter>& chars = source.chars ? *source.chars : noChars;
  const int32_t n = static_cast<int32_t>(chars.size());
  const bool maskFromAlpha = source.antialiasMode == kAntialiasMtsdf;
  fallbacks = FieldFallbacks{};

  const std::vector<int32_t> todo = PlacedRecords(source);
  std::vector<std::unique_ptr<FontFace>> ownFaces;
  const std::vector<std::vector<FontFace*>> faces =
      FieldWorkerFaces(source, spread, FieldThreadsFor(todo.size(), workers), ownFaces);
  const int32_t threads = std::max<int32_t>(static_cast<int32_t>(faces.size()), 1);
  const int32_t ascent = source.face ? source.face->ascent() : 0;

  std::vector<MadeField> made(todo.size());
  auto produce = [&](int32_t worker, int32_t k) {
    if (faces.empty() || stop.load(std::memory_order_relaxed)) return;
    const PlacedCharacter& c = chars[static_cast<std::size_t>(todo[static_cast<std::size_t>(k)])];
    try {
      made[static_cast<std::size_t>(k)] =
          MakeField(*FaceOfFont(faces[static_cast<std::size_t>(worker)], c.font), c.codeUnit, spread);
    } catch (const std::bad_alloc&) {
      made[static_cast<std::size_t>(k)] = MadeField{};  // that glyph stays empty, like one FreeType refuses
    }
  };
  std::scoped_lock lock(colour.lock(), mask.lock());
  colour.fill(0, 0, 0);
  mask.fill(0, 0, 0);
  auto consume = [&](int32_t k) {
    const int32_t i = todo[static_cast<std::size_t>(k)];
    MadeField& m = made[static_cast<std::size_t>(k)];
    const PlacedCharacter& c = chars[static_cast<std::size_t>(i)];
    if (m.fellBack) {
      if (fallbacks.count == 0) fallbacks.firstCodeUnit = c.codeUnit;
      ++fallbacks.count;
    }
    if (m.drawn) {
      const int64_t x = int64_t{c.cellX} + c.drawOffsetX + m.field.left;
      const int64_t y = int64_t{c.cellY} + c.drawOffsetY + ascent - m.field.top;
      CompositeMultiChannelField(colour, mask, m.field, x, y, maskFromAlpha);
    }
    m = MadeField{};
    if (progress.due()) progress.report(progress.progressBase() + PercentOf(i, n), render_text::DrawingCharacter(i, n));
    return !stop.load(std::memory_order_relaxed);
  };
  const int32_t count = static_cast<int32_t>(todo.size());
  if (!ProduceInOrder(count, threads, kFieldGlyphsAheadPerWorker * threads, produce, consume)) return false;
  progress.advanceBase(200);
  return true;
}

}  // namespace glyphmill
