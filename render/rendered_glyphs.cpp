#include "render/rendered_glyphs.h"

#include <algorithm>
#include <new>
#include <string>

#include "render/row_workers.h"

namespace glyphmill {

namespace {

// A further thread (and its face) pays off only with at least this many glyphs for each thread.
constexpr int32_t kMinGlyphsPerWorker = 128;

// How far, per thread, rendering may run ahead of the compositing.
constexpr int32_t kGlyphsAheadPerWorker = 32;

enum : uint8_t { kMissing = 0, kRendered = 1, kFailed = 2 };

}  // namespace

bool RenderedGlyphs::holds(int32_t i, const PlacedCharacter& c) const {
  const std::size_t at = static_cast<std::size_t>(i);
  return at < held_.size() && held_[at].state != kMissing && held_[at].codeUnit == c.codeUnit;
}

const GlyphImage* RenderedGlyphs::glyph(int32_t i) const {
  const std::size_t at = static_cast<std::size_t>(i);
  if (i < 0 || at >= held_.size() || held_[at].state != kRendered) return nullptr;
  return &held_[at].image;
}

std::vector<std::vector<FontFace*>> RenderedGlyphs::facesFor(int32_t wanted) {
  std::vector<std::vector<FontFace*>> faces{fonts_};
  for (int32_t w = 1; w < wanted; ++w) {
    if (workerFaces_.size() < static_cast<std::size_t>(w)) {
      std::vector<std::unique_ptr<FontFace>> own;
      for (FontFace* font : fonts_) {
        std::string error;
        own.push_back(font ? FontFace::OpenResolved(font->request(), font->resolved(), &error) : nullptr);
        if (font && !own.back()) break;  // fewer threads, the same glyphs
      }
      if (own.size() < fonts_.size() || !own.front()) break;
      workerFaces_.push_back(std::move(own));
    }
    std::vector<FontFace*> copy;
    for (const std::unique_ptr<FontFace>& f : workerFaces_[static_cast<std::size_t>(w - 1)]) copy.push_back(f.get());
    faces.push_back(std::move(copy));
  }
  return faces;
}

bool RenderedGlyphs::renderInOrder(FontFace* face, const std::vector<FontFace*>& fallbacks, uint16_t antialiasMode,
                                   const std::vector<PlacedCharacter>& chars, const std::vector<int32_t>& todo,
                                   int32_t workers, const std::function<bool(int32_t k)>& consume) {
  std::vector<FontFace*> fonts{face};
  fonts.insert(fonts.end(), fallbacks.begin(), fallbacks.end());
  if (fonts != fonts_ || antialiasMode != antialiasMode_) {
    held_.clear();
    workerFaces_.clear();
    fonts_ = std::move(fonts);
    antialiasMode_ = antialiasMode;
  }
  if (held_.size() < chars.size()) held_.resize(chars.size());
  const int32_t count = static_cast<int32_t>(todo.size());
  int32_t missing = 0;
  for (int32_t i : todo) missing += holds(i, chars[static_cast<std::size_t>(i)]) ? 0 : 1;
  const int32_t wanted = face ? std::clamp(missing / kMinGlyphsPerWorker, 1, std::max(workers, 1)) : 1;
  const std::vector<std::vector<FontFace*>> faces = face ? facesFor(wanted) : std::vector<std::vector<FontFace*>>{};
  const int32_t threads = std::max<int32_t>(static_cast<int32_t>(faces.size()), 1);

  auto produce = [&](int32_t worker, int32_t k) {
    const int32_t i = todo[static_cast<std::size_t>(k)];
    const PlacedCharacter& c = chars[static_cast<std::size_t>(i)];
    if (holds(i, c)) return;
    Held& h = held_[static_cast<std::size_t>(i)];
    h.codeUnit = c.codeUnit;
    bool ok = false;
    if (!faces.empty()) {
      const std::vector<FontFace*>& own = faces[static_cast<std::size_t>(worker)];
      FontFace* font = c.font < own.size() && own[c.font] ? own[c.font] : own.front();
      try {
        ok = font->renderGlyph(c.codeUnit, antialiasMode, &h.image);
      } catch (const std::bad_alloc&) {
        ok = false;  // that glyph stays empty, like one FreeType refuses
      }
    }
    if (!ok) h.image = GlyphImage{};
    h.state = ok ? kRendered : kFailed;
  };
  return ProduceInOrder(count, threads, kGlyphsAheadPerWorker * threads, produce, consume);
}

}  // namespace glyphmill
