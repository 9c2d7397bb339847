#include "render/distance_field_drawing.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "render/render_texts.h"
#include "render/row_workers.h"

namespace glyphmill {

namespace {

// Extra faces only pay off with more than a few glyphs to render.
constexpr int32_t kMinGlyphsForWorkers = 8;

bool IsPlaced(const GlyphSource& source, std::size_t i) {
  return source.placed && i < source.placed->size() && (*source.placed)[i];
}

}  // namespace

std::vector<std::vector<FontFace*>> FieldWorkerFaces(const GlyphSource& source, uint16_t spread, int32_t wanted,
                                                     std::vector<std::unique_ptr<FontFace>>& own) {
  std::vector<std::vector<FontFace*>> faces;
  if (!source.face) return faces;
  std::vector<FontFace*> fonts{source.face};
  fonts.insert(fonts.end(), source.fallbacks.begin(), source.fallbacks.end());
  for (FontFace* font : fonts)
    if (font) font->setDistanceFieldSpread(spread);
  faces.push_back(fonts);
  for (int32_t w = 1; w < wanted; ++w) {
    std::vector<FontFace*> copies;
    for (FontFace* font : fonts) {
      std::string error;
      std::unique_ptr<FontFace> extra =
          font ? FontFace::OpenResolved(font->request(), font->resolved(), &error) : nullptr;
      if (font && (!extra || !extra->setDistanceFieldSpread(spread))) break;  // fewer threads, same result
      copies.push_back(extra.get());
      own.push_back(std::move(extra));
    }
    if (copies.size() < fonts.size()) break;
    faces.push_back(std::move(copies));
  }
  return faces;
}

FontFace* FaceOfFont(const std::vector<FontFace*>& fonts, uint8_t font) {
  if (fonts.empty()) return nullptr;
  return font < fonts.size() && fonts[font] ? fonts[font] : fonts.front();
}

int32_t FieldThreadsFor(std::size_t glyphs, int32_t workers) {
  return static_cast<int32_t>(glyphs) >= kMinGlyphsForWorkers ? std::max(workers, 1) : 1;
}

void CompositeField(Image24& mask, const GlyphImage& field, int64_t x, int64_t y) {
  if (field.kind != GlyphImage::Kind::Gray || field.width <= 0 || field.rows <= 0 ||
      field.pixels.size() < static_cast<std::size_t>(field.width) * field.rows)
    return;
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(x + field.width, mask.width());
  const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(y + field.rows, mask.height());
  for (int64_t ty = y0; ty < y1; ++ty) {
    const uint8_t* src = field.pixels.data() + (ty - y) * field.width + (x0 - x);
    uint8_t* dst = mask.row(static_cast<int32_t>(ty)) + x0 * 3;
    for (int64_t tx = x0; tx < x1; ++tx, dst += 3, ++src) {
      const uint8_t v = std::max(dst[0], *src);
      dst[0] = dst[1] = dst[2] = v;
    }
  }
}

void ColourFromField(const Image24& mask, Image24& colour, const FieldBox& box, Bgr ink) {
  const int64_t w = std::min(mask.width(), colour.width()), h = std::min(mask.height(), colour.height());
  const int64_t x0 = std::max<int64_t>(box.x, 0), x1 = std::min<int64_t>(box.x + box.width, w);
  const int64_t y0 = std::max<int64_t>(box.y, 0), y1 = std::min<int64_t>(box.y + box.rows, h);
  for (int64_t ty = y0; ty < y1; ++ty) {
    const uint8_t* m = mask.row(static_cast<int32_t>(ty)) + x0 * 3;
    uint8_t* c = colour.row(static_cast<int32_t>(ty)) + x0 * 3;
    for (int64_t tx = x0; tx < x1; ++tx, m += 3, c += 3) {
      if (m[0] == 0) continue;
      c[0] = ink.b;
      c[1] = ink.g;
      c[2] = ink.r;
    }
  }
}

bool DrawFieldMask(const GlyphSource& source, uint16_t spread, int32_t workers, Image24& mask,
                   std::vector<FieldBox>& boxes, ProgressReporter& progress, const StopFlag& stop) {
  const std::vector<PlacedCharacter> noChars;
  const std::vector<PlacedCharacter>& chars = source.chars ? *source.chars : noChars;
  const int32_t n = static_cast<int32_t>(chars.size());
  boxes.assign(chars.size(), FieldBox{});

  const std::vector<int32_t> todo = PlacedRecords(source);

  // The job's own faces (its font and its fallbacks) are worker 0's; every further worker opens
  // its own library and faces.
  std::vector<std::unique_ptr<FontFace>> ownFaces;
  const std::vector<std::vector<FontFace*>> faces =
      FieldWorkerFaces(source, spread, FieldThreadsFor(todo.size(), workers), ownFaces);
  const int32_t threads = std::max<int32_t>(static_cast<int32_t>(faces.size()), 1);
  const int32_t ascent = source.face ? source.face->ascent() : 0;
  const int32_t count = static_cast<int32_t>(todo.size());

  // Each glyph's field is rendered on whichever thread is free and written into the mask on this
  // thread in table order; its storage is released once written.
  std::vector<GlyphImage> fields(todo.size());
  std::vector<uint8_t> rendered(todo.size(), 0);
  auto produce = [&](int32_t worker, int32_t k) {
    if (faces.empty() || stop.load(std::memory_order_relaxed)) return;
    const PlacedCharacter& c = chars[static_cast<std::size_t>(todo[static_cast<std::size_t>(k)])];
    FontFace* font = FaceOfFont(faces[static_cast<std::size_t>(worker)], c.font);
    try {
      rendered[static_cast<std::size_t>(k)] =
          font->renderGlyph(c.codeUnit, source.antialiasMode, &fields[static_cast<std::size_t>(k)]);
    } catch (const std::bad_alloc&) {
      rendered[static_cast<std::size_t>(k)] = 0;  // that glyph stays empty, like one FreeType refuses
    }
  };
  std::lock_guard<std::mutex> maskLock(mask.lock());
  auto consume = [&](int32_t k) {
    const int32_t i = todo[static_cast<std::size_t>(k)];
    GlyphImage& field = fields[static_cast<std::size_t>(k)];
    if (rendered[static_cast<std::size_t>(k)]) {
      const PlacedCharacter& c = chars[static_cast<std::size_t>(i)];
      FieldBox& box = boxes[static_cast<std::size_t>(i)];
      box.x = int64_t{c.cellX} + c.drawOffsetX + field.left;
      box.y = int64_t{c.cellY} + c.drawOffsetY + ascent - field.top;
      box.width = field.width;
      box.rows = field.rows;
      CompositeField(mask, field, box.x, box.y);
    }
    field = GlyphImage{};
    if (progress.due()) progress.report(progress.progressBase() + PercentOf(i, n), render_text::DrawingCharacter(i, n));
    return !stop.load(std::memory_order_relaxed);
  };
  if (!ProduceInOrder(count, threads, kFieldGlyphsAheadPerWorker * threads, produce, consume)) return false;
  progress.advanceBase(100);
  return true;
}

bool DrawFieldColour(const GlyphSource& source, const std::vector<FieldBox>& boxes, const Image24& mask,
                     Image24& colour, Bgr ink, ProgressReporter& progress, const StopFlag& stop) {
  const int32_t n = source.chars ? static_cast<int32_t>(source.chars->size()) : 0;
  {
    std::lock_guard<std::mutex> colourLock(colour.lock());
    for (int32_t i = 0; i < n; ++i) {
      if (!IsPlaced(source, static_cast<std::size_t>(i))) continue;
      if (static_cast<std::size_t>(i) < boxes.size())
        ColourFromField(mask, colour, boxes[static_cast<std::size_t>(i)], ink);
      if (progress.due())
        progress.report(progress.progressBase() + PercentOf(i, n), render_text::DrawingCharacter(i, n));
      if (stop.load(std::memory_order_relaxed)) return false;
    }
  }
  progress.advanceBase(100);
  return true;
}

}  // namespace glyphmill
