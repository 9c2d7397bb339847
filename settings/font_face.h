// FontFace: one opened FreeType face at one size and style, and the one place of FreeType policy.
//
// A face is identified by the settings that name it (family name, size in points, bold, italic),
// never by widgets. ResolveFont asks fontconfig for the file; when the family has no bold or italic
// face, the regular one is used and the style is synthesised (outline emboldening for bold, a shear
// for italic). A name no installed family carries falls back to fontconfig's substitute.
//
// Threads: a FontFace owns its own FT_Library, so each thread (the UI thread's measurement, each
// render job) opens its own face; one FontFace must not be used from two threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphmill {

struct GlyphOutline;
enum class OutlineRead;

inline constexpr const char* kDefaultFontName = "Default";  // the system's default sans

struct FontRequest {
  std::string name;    // family name, or "Default"
  int pointSize = 32;  // points at 96 pixels per inch; 0 means the default size (16 pixels)
  bool bold = false;
  bool italic = false;
  bool operator==(const FontRequest&) const = default;
};

// Em size in pixels: round(points * 96 / 72) with halves up; 0 points gives 16 pixels.
int EmPixels(int pointSize);

// The file fontconfig matched for a request and what must be synthesised.
struct ResolvedFont {
  std::string path;
  int faceIndex = 0;
  bool synthesiseBold = false;
  bool synthesiseItalic = false;
  bool trueType = false;  // FC_FONTFORMAT is "TrueType"
  bool operator==(const ResolvedFont&) const = default;
};

// Fontconfig lookup; false (with a message) only when fontconfig finds no file at all. Bold or
// italic is synthesised when fontconfig's match asks for it (FC_EMBOLDEN, a shear in FC_MATRIX) or
// the matched file is lighter than demibold / upright.
bool ResolveFont(const FontRequest& request, ResolvedFont* out, std::string* error);

// A FreeType error as text: its description and name, "unknown file format
// (FT_Err_Unknown_File_Format)"; "FreeType error N" for a code FreeType does not list.
std::string FreeTypeErrorText(FT_Error err);

// How glyphs are loaded and rendered for one antialiasing mode (0 Smooth, 1 Cleartype, 2 None,
// 3 Distance Field, 4 MSDF, 5 MTSDF). Measurement uses mode 0 for every mode, so a distance-field font has the
// Smooth font's cells and advances (its cells then grow by the spread, see the job table).
//
// Distance Field: the glyph is first rendered to Smooth coverage, then FT_RENDER_MODE_SDF turns
// that bitmap into the field (FreeType's "bsdf" rasteriser; with FreeType 2.12.1 the same bytes come
// from CoverageDistanceField, coverage_field.h, several times faster). FreeType's outline rasteriser ("sdf")
// cannot handle self-intersecting contours (common in CFF and variable fonts) and is five to ten
// times slower; the field from the coverage also thresholds at 128 to exactly the Smooth glyph.
// FreeType 2.12's field is 8-bit with 128 on the outline, higher inside, lower outside: value =
// 128 +/- trunc(128 * |distance| / spread), clamped to 0..255, distances measured from pixel
// centres; the truncation puts both sides within one step of the outline at 128, and renderGlyph
// settles those pixels from the coverage (127 outside, 128 inside). The bitmap grows by `spread`
// pixels on every side (its left offset moves left and its top up by it).
//
// MSDF and MTSDF load the outline exactly as Distance Field does (the same hinting) and never
// render it through FreeType: loadOutline hands it to the multi-channel field generator.
struct GlyphRenderPolicy {
  int32_t loadFlags;
  FT_Render_Mode renderMode;
  bool fieldFromCoverage = false;  // render FT_RENDER_MODE_NORMAL first, then `renderMode` on it
};
GlyphRenderPolicy PolicyForAntialias(uint16_t antialiasMode);

// A rendered glyph: coverage bitmap with its offset from the pen position and the baseline.
// Gray: one byte per pixel, 0..255 (in Distance Field mode the field: 128 on the outline, higher
// inside). Mono: expanded to one byte per pixel, 0 or 255.
// Lcd: three bytes per pixel (R, G, B coverage, horizontal RGB order), `width` in pixels.
struct GlyphImage {
  enum class Kind { Gray, Lcd } kind = Kind::Gray;
  int left = 0;   // pixels from the pen position to the bitmap's left column
  int top = 0;    // pixels from the baseline up to the bitmap's top row
  int width = 0;  // pixels
  int rows = 0;
  std::vector<uint8_t> pixels;  // rows * width * (kind == Lcd ? 3 : 1), top row first
};

// A/B/C widths of one glyph in pixels: A from the pen to the black box, B the black box's width,
// C = rounded advance - A - B.
struct GlyphABC {
  int32_t abcA = 0;
  uint32_t abcB = 0;
  int32_t abcC = 0;
  bool operator==(const GlyphABC&) const = default;
};

// The vertical extent of a glyph's ink in pixels, as the rasteriser covers it: `top` rows from the
// baseline up to the top row (negative when the ink lies wholly below the baseline), `height` rows
// down from there. A glyph without ink (space) has top 0 and height 0: an empty box on the baseline.
struct GlyphInk {
  int32_t top = 0;
  int32_t height = 0;
  bool operator==(const GlyphInk&) const = default;
};

class FontFace {
 public:
  // Opens the face a request resolves to, sized to EmPixels(pointSize). nullptr with a message
  // for an unreadable or corrupt font file.
  static std::unique_ptr<FontFace> Open(const FontRequest& request, std::string* error);
  static std::unique_ptr<FontFace> OpenResolved(const FontRequest& request, const ResolvedFont& resolved,
                                                std::string* error);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const FontRequest& request() const { return request_; }
  const ResolvedFont& resolved() const { return resolved_; }
  FT_Face face() const { return face_; }
  int emPixels() const { return emPixels_; }
  std::string familyName() const;  // the family FreeType reports for the opened file

  // Line metrics in pixels: ascent above the baseline, descent below it (positive), and their sum,
  // the height of every character's text line.
  int ascent() const { return ascent_; }
  int descent() const { return descent_; }
  int lineHeight() const { return ascent_ + descent_; }

  // Glyph index of a code unit; 0 when the font lacks it.
  uint32_t glyphIndex(uint16_t codeUnit) const;

  // ABC widths of a glyph index, hinted at the em size in the measuring mode (Smooth), with the
  // synthesised style applied, and, when `ink` is given, the ink's vertical extent in that mode.
  // False when FreeType cannot load the glyph.
  bool measureGlyph(uint32_t glyphIndex, GlyphABC* out, GlyphInk* ink = nullptr);

  // Spread in pixels of the distance fields this face renders (FreeType's "spread" property of its
  // SDF rasterisers, set on this face's own library). False when FreeType refuses the value.
  bool setDistanceFieldSpread(uint16_t spread);
  uint16_t distanceFieldSpread() const { return sdfSpread_; }

  // Renders a code unit in an antialiasing mode with the synthesised style applied. False when the
  // glyph cannot be loaded or rendered; an empty glyph (space) gives width 0 and returns true.
  bool renderGlyph(uint16_t codeUnit, uint16_t antialiasMode, GlyphImage* out);

  // Loads a code unit's outline in an antialiasing mode's hinting with the synthesised style
  // applied (glyph_outline.h), and its Smooth coverage rendered from that same outline.
  OutlineRead loadOutline(uint16_t codeUnit, uint16_t antialiasMode, GlyphOutline* out);

  // Every code point 0..65535 of the face's Unicode charmap, ascending. Empty with `hasCharmap`
  // false when the face has no Unicode charmap.
  std::vector<uint32_t> supportedCodeUnits(bool* hasCharmap) const;

 private:
  FontFace() = default;
  void applySynthesis(FT_GlyphSlot slot) const;

  FontRequest request_;
  ResolvedFont resolved_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int emPixels_ = 16;
  int ascent_ = 0;
  int descent_ = 0;
  uint16_t sdfSpread_ = 8;  // FreeType's own default
  // The library makes the field CoverageDistanceField reproduces, so that code makes it instead.
  bool reproducesField_ = false;
};

}  // namespace glyphmill
