#include "settings/font_face.h"

#include "settings/coverage_field.h"
#include "settings/glyph_outline.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace glyphmill {
namespace {

// FreeType's error table (fterrdef.h), built here because Debian's FreeType leaves out the strings
// FT_Error_String would return.
struct FreeTypeErrorEntry {
  int code;
  const char* text;
  const char* name;
};
#define GLYPHMILL_FT_NAME(e) #e
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {v, s, GLYPHMILL_FT_NAME(e)},
#define FT_ERROR_START_LIST constexpr FreeTypeErrorEntry kFreeTypeErrors[] = {
#define FT_ERROR_END_LIST \
  }                       \
  ;
#include FT_ERRORS_H
#undef GLYPHMILL_FT_NAME

}  // namespace

std::string FreeTypeErrorText(FT_Error err) {
  const int base = FT_ERROR_BASE(err);
  for (const FreeTypeErrorEntry& entry : kFreeTypeErrors)
    if (entry.code == base) return std::string(entry.text) + " (" + entry.name + ")";
  return "FreeType error " + std::to_string(err);
}

namespace {

std::string FreeTypeError(const char* what, FT_Error err) { return std::string(what) + ": " + FreeTypeErrorText(err); }

// Shear used for synthesised italic: about 12 degrees, as usual for obliqued faces.
constexpr FT_Fixed kObliqueShear = 0x0366A;

int RoundDiv26_6(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

// Row y of a bitmap counted from the top (a negative pitch means the bitmap is stored bottom-up).
const uint8_t* BitmapRow(const FT_Bitmap& bm, int y) {
  return bm.pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch
                       : bm.buffer + static_cast<ptrdiff_t>(bm.rows - 1 - y) * (-bm.pitch);
}

// LCD rows: three bytes (R, G, B) per pixel, `width` in pixels.
void CopyLcdRows(const FT_Bitmap& bm, GlyphImage& out) {
  out.kind = GlyphImage::Kind::Lcd;
  out.width = static_cast<int>(bm.width / 3);
  out.pixels.assign(static_cast<size_t>(out.width) * out.rows * 3, 0);
  for (int y = 0; y < out.rows; ++y)
    std::memcpy(out.pixels.data() + static_cast<size_t>(y) * out.width * 3, BitmapRow(bm, y),
                static_cast<size_t>(out.width) * 3);
}

// Mono rows: one bit per pixel, most significant first, expanded to 0 or 255.
void ExpandMonoRows(const FT_Bitmap& bm, GlyphImage& out) {
  out.width = static_cast<int>(bm.width);
  out.pixels.assign(static_cast<size_t>(out.width) * out.rows, 0);
  for (int y = 0; y < out.rows; ++y) {
    const uint8_t* src = BitmapRow(bm, y);
    for (int x = 0; x < out.width; ++x)
      out.pixels[static_cast<size_t>(y) * out.width + x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
  }
}

// Grey rows: `num_grays` levels, scaled to 0..255.
void ScaleGrayRows(const FT_Bitmap& bm, GlyphImage& out) {
  out.width = static_cast<int>(bm.width);
  out.pixels.assign(static_cast<size_t>(out.width) * out.rows, 0);
  const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
  for (int y = 0; y < out.rows; ++y) {
    const uint8_t* src = BitmapRow(bm, y);
    uint8_t* dst = out.pixels.data() + static_cast<size_t>(y) * out.width;
    if (levels == 255) {
      std::memcpy(dst, src, static_cast<size_t>(out.width));
    } else {
      for (int x = 0; x < out.width; ++x) dst[x] = static_cast<uint8_t>(src[x] * 255 / levels);
    }
  }
}

// Colour bitmap glyphs (B, G, R, A): their alpha is the coverage.
void CopyBgraAlpha(const FT_Bitmap& bm, GlyphImage& out) {
  out.width = static_cast<int>(bm.width);
  out.pixels.assign(static_cast<size_t>(out.width) * out.rows, 0);
  for (int y = 0; y < out.rows; ++y) {
    const uint8_t* src = BitmapRow(bm, y);
    for (int x = 0; x < out.width; ++x) out.pixels[static_cast<size_t>(y) * out.width + x] = src[x * 4 + 3];
  }
}

// The pixels of a rendered bitmap as a GlyphImage's (kind, width, rows, pixels; the offsets are
// the caller's). False for a pixel mode that holds ink but cannot be read.
bool ConvertBitmap(const FT_Bitmap& bm, GlyphImage& out) {
  out.rows = static_cast<int>(bm.rows);
  out.kind = GlyphImage::Kind::Gray;
  switch (bm.pixel_mode) {
    case FT_PIXEL_MODE_LCD: CopyLcdRows(bm, out); return true;
    case FT_PIXEL_MODE_MONO: ExpandMonoRows(bm, out); return true;
    case FT_PIXEL_MODE_GRAY: ScaleGrayRows(bm, out); return true;
    case FT_PIXEL_MODE_BGRA: CopyBgraAlpha(bm, out); return true;
    default:
      if (bm.width != 0 && bm.rows != 0) return false;
      out.width = 0;
      out.rows = 0;
      out.pixels.clear();
      return true;
  }
}

// The slot's 8-bit grey bitmap with its offsets.
GlyphImage CopyCoverage(FT_GlyphSlot slot) {
  GlyphImage g;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  ConvertBitmap(slot->bitmap, g);
  return g;
}

// How the first pass of a distance field (Smooth coverage) went.
enum class CoveragePass { Failed, NoInk, Rendered };

// Renders a loaded slot to Smooth coverage (a bitmap glyph already is one) and keeps a copy of a
// grey coverage in `coverage` for SettleEdgeSigns.
CoveragePass RenderCoverage(FT_GlyphSlot slot, GlyphImage& coverage) {
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
    return CoveragePass::Failed;
  if (slot->bitmap.width == 0 || slot->bitmap.rows == 0) return CoveragePass::NoInk;
  if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) coverage = CopyCoverage(slot);
  return CoveragePass::Rendered;
}

// FreeType truncates distances towards zero before it adds 128, so a pixel centre less than one
// step (spread / 128 pixels) from the outline reads 128 on either side of it. The Smooth coverage
// the field was made from says which side it is on: such pixels become 128 when covered by half
// or more and 127 when not. Nothing moves by more than that one step, and the field thresholded
// at 128 is then exactly the Smooth glyph.
void SettleEdgeSigns(const GlyphImage& coverage, GlyphImage& field) {
  const int dx = coverage.left - field.left, dy = field.top - coverage.top;
  for (int y = 0; y < coverage.rows; ++y) {
    const int fy = y + dy;
    if (fy < 0 || fy >= field.rows) continue;
    for (int x = 0; x < coverage.width; ++x) {
      const int fx = x + dx;
      if (fx < 0 || fx >= field.width) continue;
      uint8_t& v = field.pixels[static_cast<size_t>(fy) * field.width + fx];
      const bool inside = coverage.pixels[static_cast<size_t>(y) * coverage.width + x] >= 128;
      if (inside && v == 127) v = 128;
      if (!inside && v == 128) v = 127;
    }
  }
}

// FT_Outline_Decompose's callbacks: each appends to the last contour of the GlyphOutline it is
// handed, in pixels (26.6 fixed point divided by 64).
OutlinePoint PixelPoint(const FT_Vector* v) { return {v->x / 64.0, v->y / 64.0}; }

struct OutlineSink {
  GlyphOutline* out;
  OutlinePoint pen;
};

void AppendSegment(OutlineSink* sink, uint8_t degree, std::array<OutlinePoint, 4> p) {
  if (sink->out->contours.empty()) sink->out->contours.emplace_back();
  OutlineSegment segment;
  segment.degree = degree;
  segment.p = p;
  sink->out->contours.back().segments.push_back(segment);
  sink->pen = p[degree];
}

int MoveTo(const FT_Vector* to, void* user) {
  auto* sink = static_cast<OutlineSink*>(user);
  sink->out->contours.emplace_back();
  sink->pen = PixelPoint(to);
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* sink = static_cast<OutlineSink*>(user);
  AppendSegment(sink, 1, {sink->pen, PixelPoint(to), {}, {}});
  return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* sink = static_cast<OutlineSink*>(user);
  AppendSegment(sink, 2, {sink->pen, PixelPoint(control), PixelPoint(to), {}});
  return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  auto* sink = static_cast<OutlineSink*>(user);
  AppendSegment(sink, 3, {sink->pen, PixelPoint(control1), PixelPoint(control2), PixelPoint(to)});
  return 0;
}

// Closes every contour that does not end where it began (FreeType's contours are implicitly
// closed) and drops contours without segments.
void CloseContours(GlyphOutline& out) {
  std::vector<OutlineContour> kept;
  for (OutlineContour& c : out.contours) {
    if (c.segments.empty()) continue;
    const OutlinePoint first = c.segments.front().p[0];
    const OutlineSegment& last = c.segments.back();
    if (!(last.p[last.degree] == first)) c.segments.push_back(OutlineSegment{1, {last.p[last.degree], first, {}, {}}});
    kept.push_back(std::move(c));
  }
  out.contours = std::move(kept);
}

// True when a font added to the application (a font file the user opened) has `family` among its
// family names, compared as fontconfig compares them.
bool ApplicationFontHasFamily(FcFontSet* fonts, const std::string& family) {
  if (!fonts || family.empty()) return false;
  const auto* wanted = reinterpret_cast<const FcChar8*>(family.c_str());
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* name = nullptr;
    for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n) {
      if (FcStrCmpIgnoreCase(name, wanted) == 0) return true;
    }
  }
  return false;
}

// The best match for a prepared pattern. A family that came from an added font file is matched
// among the added files only, so an installed family of the same name never stands in for the
// file the user opened; every other family is matched among all fonts.
FcPattern* MatchFont(FcPattern* pattern, const std::string& family) {
  FcResult result = FcResultNoMatch;
  FcFontSet* added = FcConfigGetFonts(nullptr, FcSetApplication);
  if (ApplicationFontHasFamily(added, family)) return FcFontSetMatch(nullptr, &added, 1, pattern, &result);
  return FcFontMatch(nullptr, pattern, &result);
}

}  // namespace

int EmPixels(int pointSize) {
  if (pointSize <= 0) return 16;
  // round(points * 96 / 72), halves up: points * 4 / 3 in integers.
  return (pointSize * 96 * 2 + 72) / (72 * 2);
}

bool ResolveFont(const FontRequest& request, ResolvedFont* out, std::string* error) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) {
    if (error) *error = "Out of memory while matching a font";
    return false;
  }
  if (request.name != kDefaultFontName && !request.name.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.name.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcPattern* match = MatchFont(pattern, request.name != kDefaultFontName ? request.name : std::string());
  FcPatternDestroy(pattern);
  if (!match) {
    if (error) *error = "No installed font matches \"" + request.name + "\"";
    return false;
  }
  ResolvedFont r;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) {
    FcPatternDestroy(match);
    if (error) *error = "No font file found for \"" + request.name + "\"";
    return false;
  }
  r.path = reinterpret_cast<const char*>(file);
  int index = 0;
  if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) r.faceIndex = index;
  // Fontconfig's own synthesis rules (Debian's 90-synthetic.conf among them) rewrite the match's
  // weight and slant to the asked ones and say "embolden" / give a shear matrix instead, so those
  // are read first; without such rules the weight and slant are the file's own and tell the same.
  int weight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match, FC_SLANT, 0, &slant);
  FcBool embolden = FcFalse;
  FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
  FcMatrix* matrix = nullptr;
  const bool sheared = FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix && matrix->xy != 0.0;
  r.synthesiseBold = request.bold && (embolden == FcTrue || weight < FC_WEIGHT_DEMIBOLD);
  r.synthesiseItalic = request.italic && (sheared || slant == FC_SLANT_ROMAN);
  FcChar8* format = nullptr;
  r.trueType = FcPatternGetString(match, FC_FONTFORMAT, 0, &format) == FcResultMatch && format &&
               std::strcmp(reinterpret_cast<const char*>(format), "TrueType") == 0;
  FcPatternDestroy(match);
  *out = std::move(r);
  return true;
}

GlyphRenderPolicy PolicyForAntialias(uint16_t antialiasMode) {
  switch (antialiasMode) {
    case 1: return {FT_LOAD_DEFAULT | FT_LOAD_TARGET_LCD, FT_RENDER_MODE_LCD};
    case 2: return {FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO, FT_RENDER_MODE_MONO};
    case 3: return {FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL, FT_RENDER_MODE_SDF, true};
    case 4:
    case 5: return {FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP, FT_RENDER_MODE_NORMAL};
    default: return {FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL, FT_RENDER_MODE_NORMAL};
  }
}

std::unique_ptr<FontFace> FontFace::Open(const FontRequest& request, std::string* error) {
  ResolvedFont resolved;
  if (!ResolveFont(request, &resolved, error)) return nullptr;
  return OpenResolved(request, resolved, error);
}

std::unique_ptr<FontFace> FontFace::OpenResolved(const FontRequest& request, const ResolvedFont& resolved,
                                                 std::string* error) {
  std::unique_ptr<FontFace> f(new FontFace());
  f->request_ = request;
  f->resolved_ = resolved;
  FT_Error err = FT_Init_FreeType(&f->library_);
  if (err) {
    f->library_ = nullptr;
    if (error) *error = FreeTypeError("Cannot start FreeType", err);
    return nullptr;
  }
  f->reproducesField_ = ReproducesLibraryField(f->library_);
  err = FT_New_Face(f->library_, resolved.path.c_str(), resolved.faceIndex, &f->face_);
  if (err) {
    f->face_ = nullptr;
    if (error) *error = FreeTypeError(("Cannot read the font file \"" + resolved.path + "\"").c_str(), err);
    return nullptr;
  }
  FT_Select_Charmap(f->face_, FT_ENCODING_UNICODE);
  f->emPixels_ = EmPixels(request.pointSize);
  if (FT_IS_SCALABLE(f->face_)) {
    err = FT_Set_Pixel_Sizes(f->face_, 0, static_cast<FT_UInt>(f->emPixels_));
  } else if (f->face_->num_fixed_sizes > 0) {
    // A bitmap-only face: take the strike closest to the asked size.
    int best = 0;
    for (int i = 1; i < f->face_->num_fixed_sizes; ++i) {
      if (std::abs(f->face_->available_sizes[i].height - f->emPixels_) <
          std::abs(f->face_->available_sizes[best].height - f->emPixels_))
        best = i;
    }
    err = FT_Select_Size(f->face_, best);
  } else {
    err = FT_Err_Invalid_Pixel_Size;
  }
  if (err) {
    if (error) *error = FreeTypeError(("Cannot size the font \"" + resolved.path + "\"").c_str(), err);
    return nullptr;
  }
  if (resolved.synthesiseItalic) {
    FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
    FT_Set_Transform(f->face_, &shear, nullptr);
  }
  // Line height from the OS/2 table's Windows metrics when present, else FreeType's size metrics.
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f->face_, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && f->face_->units_per_EM > 0 && (os2->usWinAscent || os2->usWinDescent)) {
    double scale = static_cast<double>(f->emPixels_) / f->face_->units_per_EM;
    f->ascent_ = static_cast<int>(std::lround(os2->usWinAscent * scale));
    f->descent_ = static_cast<int>(std::lround(os2->usWinDescent * scale));
  } else {
    f->ascent_ = RoundDiv26_6(f->face_->size->metrics.ascender);
    f->descent_ = RoundDiv26_6(-f->face_->size->metrics.descender);
  }
  if (f->ascent_ + f->descent_ <= 0) f->ascent_ = f->emPixels_;
  return f;
}

FontFace::~FontFace() {
  if (face_) FT_Done_Face(face_);
  if (library_) FT_Done_FreeType(library_);
}

std::string FontFace::familyName() const { return face_ && face_->family_name ? face_->family_name : ""; }

uint32_t FontFace::glyphIndex(uint16_t codeUnit) const { return FT_Get_Char_Index(face_, codeUnit); }

void FontFace::applySynthesis(FT_GlyphSlot slot) const {
  if (resolved_.synthesiseBold) FT_GlyphSlot_Embolden(slot);
}

bool FontFace::measureGlyph(uint32_t glyph, GlyphABC* out, GlyphInk* ink) {
  GlyphRenderPolicy policy = PolicyForAntialias(0);
  if (FT_Load_Glyph(face_, glyph, policy.loadFlags)) return false;
  FT_GlyphSlot slot = face_->glyph;
  applySynthesis(slot);
  int advance = RoundDiv26_6(slot->advance.x);
  int left = 0, width = 0, top = 0, rows = 0;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (slot->outline.n_points > 0) {
      FT_BBox box;
      FT_Outline_Get_CBox(&slot->outline, &box);
      // The pixel box the rasteriser covers: the outline's box widened to whole pixels.
      FT_Pos xMin = box.xMin & ~63;
      FT_Pos xMax = (box.xMax + 63) & ~63;
      FT_Pos yMin = box.yMin & ~63;
      FT_Pos yMax = (box.yMax + 63) & ~63;
      left = static_cast<int>(xMin >> 6);
      width = static_cast<int>((xMax - xMin) >> 6);
      top = static_cast<int>(yMax >> 6);
      rows = static_cast<int>((yMax - yMin) >> 6);
    }
  } else if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    left = slot->bitmap_left;
    width = static_cast<int>(slot->bitmap.width);
    top = slot->bitmap_top;
    rows = static_cast<int>(slot->bitmap.rows);
  }
  out->abcA = left;
  out->abcB = static_cast<uint32_t>(width);
  out->abcC = advance - left - width;
  // No rows or no columns: nothing is drawn, so there is no ink to hold.
  if (ink) *ink = (rows > 0 && width > 0) ? GlyphInk{top, rows} : GlyphInk{};
  return true;
}

bool FontFace::setDistanceFieldSpread(uint16_t spread) {
  FT_UInt value = spread;
  // Outlines go through "sdf", bitmaps (and coverage rendered first) through "bsdf".
  if (FT_Property_Set(library_, "sdf", "spread", &value) || FT_Property_Set(library_, "bsdf", "spread", &value))
    return false;
  sdfSpread_ = spread;
  return true;
}

bool FontFace::renderGlyph(uint16_t codeUnit, uint16_t antialiasMode, GlyphImage* out) {
  GlyphRenderPolicy policy = PolicyForAntialias(antialiasMode);
  uint32_t glyph = glyphIndex(codeUnit);
  int32_t loadFlags = policy.loadFlags;
  if (FT_HAS_COLOR(face_)) loadFlags |= FT_LOAD_COLOR;
  if (FT_Load_Glyph(face_, glyph, loadFlags)) return false;
  FT_GlyphSlot slot = face_->glyph;
  applySynthesis(slot);
  GlyphImage coverage;  // the Smooth coverage a field is made from
  if (policy.fieldFromCoverage) {
    const CoveragePass pass = RenderCoverage(slot, coverage);
    if (pass == CoveragePass::Failed) return false;
    // A glyph without ink (the space) has no field either.
    if (pass == CoveragePass::NoInk) {
      *out = GlyphImage{};
      out->left = slot->bitmap_left;
      out->top = slot->bitmap_top;
      return true;
    }
    if (reproducesField_ && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY &&
        slot->bitmap.pitch == static_cast<int>(slot->bitmap.width)) {
      // The same field FreeType would make from this coverage, without its per-pixel lengths.
      const int spread = sdfSpread_;
      std::vector<uint8_t> field = CoverageDistanceField(slot->bitmap.buffer, static_cast<int>(slot->bitmap.width),
                                                         static_cast<int>(slot->bitmap.rows), spread);
      FT_Bitmap bm{};
      bm.width = slot->bitmap.width + 2u * spread;
      bm.rows = slot->bitmap.rows + 2u * spread;
      bm.pitch = static_cast<int>(bm.width);
      bm.buffer = field.data();
      bm.num_grays = 255;
      bm.pixel_mode = FT_PIXEL_MODE_GRAY;
      out->left = slot->bitmap_left - spread;
      out->top = slot->bitmap_top + spread;
      if (!ConvertBitmap(bm, *out)) return false;
      SettleEdgeSigns(coverage, *out);
      return true;
    }
    if (FT_Render_Glyph(slot, policy.renderMode)) return false;
  } else if (slot->format != FT_GLYPH_FORMAT_BITMAP) {
    if (FT_Render_Glyph(slot, policy.renderMode)) return false;
  }
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  if (!ConvertBitmap(slot->bitmap, *out)) return false;
  if (coverage.width > 0) SettleEdgeSigns(coverage, *out);
  return true;
}

OutlineRead FontFace::loadOutline(uint16_t codeUnit, uint16_t antialiasMode, GlyphOutline* out) {
  *out = GlyphOutline{};
  const GlyphRenderPolicy policy = PolicyForAntialias(antialiasMode);
  if (FT_Load_Glyph(face_, glyphIndex(codeUnit), policy.loadFlags | FT_LOAD_NO_BITMAP)) return OutlineRead::Failed;
  FT_GlyphSlot slot = face_->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return OutlineRead::NoOutline;
  applySynthesis(slot);
  FT_Outline_Funcs funcs{};
  funcs.move_to = MoveTo;
  funcs.line_to = LineTo;
  funcs.conic_to = ConicTo;
  funcs.cubic_to = CubicTo;
  OutlineSink sink{out, {}};
  if (slot->outline.n_points > 0 && FT_Outline_Decompose(&slot->outline, &funcs, &sink)) return OutlineRead::Failed;
  CloseContours(*out);
  GlyphImage coverage;
  const CoveragePass pass = RenderCoverage(slot, coverage);
  if (pass == CoveragePass::Failed) return OutlineRead::Failed;
  out->coverage = std::move(coverage);
  out->coverage.left = slot->bitmap_left;
  out->coverage.top = slot->bitmap_top;
  if (pass == CoveragePass::NoInk) {
    out->coverage.width = out->coverage.rows = 0;
    out->coverage.pixels.clear();
    out->contours.clear();
  }
  return OutlineRead::Read;
}

std::vector<uint32_t> FontFace::supportedCodeUnits(bool* hasCharmap) const {
  std::vector<uint32_t> units;
  bool unicode = face_->charmap && face_->charmap->encoding == FT_ENCODING_UNICODE;
  if (hasCharmap) *hasCharmap = unicode;
  if (!unicode) return units;
  FT_UInt gindex = 0;
  FT_ULong code = FT_Get_First_Char(face_, &gindex);
  while (gindex != 0 && code < 65536) {
    units.push_back(static_cast<uint32_t>(code));
    code = FT_Get_Next_Char(face_, code, &gindex);
  }
  return units;
}

}  // namespace glyphmill
