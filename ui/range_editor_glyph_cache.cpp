#include "ui/range_editor_glyph_cache.h"

#include "settings/generation_settings.h"

namespace glyphmill {

namespace {

// Enough for every glyph of a large CJK font at 14 points several times over.
constexpr qsizetype kCacheBytes = 48 * 1024 * 1024;

}  // namespace

GlyphCellCache::GlyphCellCache() : cache_(kCacheBytes) {}
GlyphCellCache::~GlyphCellCache() = default;

bool GlyphCellCache::setFont(const std::string& familyName, std::string* error) {
  cache_.clear();
  rasterised_ = 0;
  family_ = familyName;
  FontRequest request;
  request.name = familyName;
  request.pointSize = kRangeGridPointSize;
  face_ = FontFace::Open(request, error);
  return face_ != nullptr;
}

void GlyphCellCache::setFallbacks(const std::vector<ResolvedFont>& fonts) {
  cache_.clear();
  fallbacks_.clear();
  FontRequest request;
  request.pointSize = kRangeGridPointSize;
  for (const ResolvedFont& font : fonts) {
    request.name = font.path;
    std::string error;
    fallbacks_.push_back(FontFace::OpenResolved(request, font, &error));
  }
}

const GlyphCellImage* GlyphCellCache::glyph(uint16_t codeUnit, uint8_t font) {
  if (!face_) return nullptr;
  // Each code unit has one font, so the code unit alone keys the cache.
  if (GlyphCellImage* cached = cache_.object(codeUnit)) return cached;

  FontFace* from =
      font > 0 && font <= fallbacks_.size() && fallbacks_[font - 1] ? fallbacks_[font - 1].get() : face_.get();
  auto entry = std::make_unique<GlyphCellImage>();
  GlyphImage g;
  ++rasterised_;
  if (from->renderGlyph(codeUnit, kAntialiasSmooth, &g) && g.width > 0 && g.rows > 0 &&
      g.kind == GlyphImage::Kind::Gray) {
    QImage img(g.width, g.rows, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < g.rows; ++y) {
      auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
      const uint8_t* cov = g.pixels.data() + static_cast<size_t>(y) * g.width;
      for (int x = 0; x < g.width; ++x) row[x] = qRgba(0, 0, 0, cov[x]);  // black, premultiplied
    }
    entry->image = std::move(img);
    entry->x = g.left;
    entry->y = face_->ascent() - g.top;
  }
  const qsizetype cost = std::max<qsizetype>(64, entry->image.sizeInBytes());
  GlyphCellImage* raw = entry.release();
  cache_.insert(codeUnit, raw, cost);  // takes ownership
  return cache_.object(codeUnit);
}

}  // namespace glyphmill
