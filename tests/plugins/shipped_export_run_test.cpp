// The shipped exporters on the real host path: discovered by the plug-in registry from the build's
// plugins folder, run by the export run (in its child process, with the host's font information)
// on a texture generated from DejaVu Sans, and read back.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <tuple>

#include "app/app_state.h"
#include "app/generation_driver.h"
#include "app/texture_size.h"
#include "settings/character_selection.h"
#include "settings/font_face.h"
#include "settings/generation_extras.h"
#include "settings/generation_settings.h"
#include "tests/plugins/plugin_test_support.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_front_end.h"

namespace glyphmill::plugintest {
namespace {

// The four BMFont forms, by the name of their exporter, with their reader.
struct BmFontForm {
  const char* name;
  const char* extension;
  BmFont (*read)(const std::string& path);
};
const BmFontForm kBmFontForms[] = {
    {"BMFont Text", ".fnt", [](const std::string& p) { return ParseBmFontText(ReadText(p)); }},
    {"BMFont XML", ".fnt", [](const std::string& p) { return ParseBmFontXml(ReadText(p)); }},
    {"BMFont Binary", ".fnt", [](const std::string& p) { return ParseBmFontBinary(ReadBytes(p)); }},
    {"BMFont JSON", ".json", [](const std::string& p) { return ParseBmFontJson(ReadText(p)); }},
};

// A glyph as FreeType renders it on its own: coverage, with the bitmap's offset from the pen
// (left) and from the baseline up to its top row (top).
struct FreeTypeBitmap {
  int left = 0, top = 0, width = 0, rows = 0;
  std::vector<uint8_t> coverage;
  uint8_t at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= rows) return 0;
    return coverage[static_cast<std::size_t>(y) * width + x];
  }
};

// FreeType straight from the file the settings resolve to, at the generated em size, with the
// smooth rendering and (where the family has no bold face) the emboldening the generated font uses.
class FreeTypeGlyphs {
 public:
  explicit FreeTypeGlyphs(const GenerationSettings& s) {
    std::string error;
    EXPECT_TRUE(ResolveFont(FontRequestFromSettings(s), &resolved_, &error)) << error;
    EXPECT_EQ(FT_Init_FreeType(&library_), 0);
    EXPECT_EQ(FT_New_Face(library_, resolved_.path.c_str(), resolved_.faceIndex, &face_), 0);
    EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(EmPixels(s.fontSize))), 0);
  }
  ~FreeTypeGlyphs() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }
  FreeTypeBitmap render(uint32_t code) const {
    FreeTypeBitmap b;
    if (FT_Load_Glyph(face_, FT_Get_Char_Index(face_, code), FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return b;
    if (resolved_.synthesiseBold) FT_GlyphSlot_Embolden(face_->glyph);
    if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return b;
    const FT_Bitmap& bm = face_->glyph->bitmap;
    b.left = face_->glyph->bitmap_left;
    b.top = face_->glyph->bitmap_top;
    b.width = static_cast<int>(bm.width);
    b.rows = static_cast<int>(bm.rows);
    for (int y = 0; y < b.rows; ++y) {
      const uint8_t* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
      b.coverage.insert(b.coverage.end(), row, row + b.width);
    }
    return b;
  }

 private:
  ResolvedFont resolved_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// Lays every glyph out as an engine does with the descriptor (the cell drawn at pen + xoffset,
// line top + yoffset, the line top being `base` above the baseline) and compares the page's
// pixels there with FreeType's bitmap at its place relative to the same pen and baseline. The page
// is drawn white on black with a red outline, so its green channel is the glyph's own coverage.
// Returns the number of inked pixels compared; every mismatch is a test failure.
std::size_t ExpectInkWhereFreeTypePutsIt(const BmFont& font, const DecodedImage& page, const FreeTypeGlyphs& ft) {
  std::size_t inked = 0;
  for (const BmChar& c : font.chars) {
    if (c.width == 0) continue;  // the space
    const FreeTypeBitmap bitmap = ft.render(static_cast<uint32_t>(c.id));
    // Bitmap pixel (bx, by) is at (left + bx, by - top) from the pen and the baseline; cell pixel
    // (cx, cy) is at (xoffset + cx, yoffset - base + cy).
    const int64_t dx = c.xoffset - bitmap.left;
    const int64_t dy = c.yoffset - font.base + bitmap.top;
    int mismatches = 0;
    for (int64_t cy = 0; cy < c.height; ++cy) {
      for (int64_t cx = 0; cx < c.width; ++cx) {
        const uint8_t expected = bitmap.at(static_cast<int>(cx + dx), static_cast<int>(cy + dy));
        const uint8_t actual = page.pixels[((c.y + cy) * page.width + (c.x + cx)) * 4 + 1];
        if (expected != actual) ++mismatches;
        if (expected != 0) ++inked;
      }
    }
    // No ink of the glyph falls outside its cell.
    for (int by = 0; by < bitmap.rows; ++by) {
      for (int bx = 0; bx < bitmap.width; ++bx) {
        const int64_t cx = bx - dx, cy = by - dy;
        if (bitmap.at(bx, by) != 0 && (cx < 0 || cy < 0 || cx >= c.width || cy >= c.height)) ++mismatches;
      }
    }
    EXPECT_EQ(mismatches, 0) << "character " << c.id;
  }
  return inked;
}

class ShippedExportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    state.settings = FirstStartSettings();
    state.settings.setFontName("DejaVu Sans");
    state.settings.fontSize = 14;
    SetDefaultSelection(state.selection);
    UseTextureSize("256");
    state.registry.Discover(dialogs, state.jobs, GLYPHMILL_TEST_PLUGIN_DIR);
    ASSERT_TRUE(dialogs.entries(ScriptedDialogs::Kind::Message).empty()) << "a plug-in failed to load";
    dialogs.clearLog();
  }

  void UseTextureSize(const std::string& side) { ApplyTextureSize(state, side, side); }

  int32_t IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < state.registry.size(); ++i) {
      if (state.registry.at(i).Name == name) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // A quick export (registry index) or the job queue (-1), with the generation it starts.
  void ExportAndWait(int32_t pluginIndex) {
    std::string error;
    ASSERT_TRUE(driver.RequestExport(pluginIndex, FontRequestFromSettings(state.settings), &error)) << error;
    ASSERT_TRUE(front.queue.runUntil([&] { return driver.liveJobs() == 0; }));
    ASSERT_EQ(front.statuses.back(), ".Export Complete!");
  }

  void QueueJob(const std::string& name, bool colour, bool alpha) {
    TExportJob job;
    job.UseRGB = colour;
    job.UseAlpha = alpha;
    job.PluginIndex = IndexOf(name);
    job.PluginName[0] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), job.PluginName.begin() + 1);
    state.jobs.push_back(job);
  }

  std::vector<std::string> ErrorMessages() const {
    std::vector<std::string> texts;
    for (const auto& e : dialogs.entries(ScriptedDialogs::Kind::Message)) texts.push_back(e.message.text);
    return texts;
  }

  // The generated texture and mask as a decoded RGBA page holds them.
  std::vector<uint8_t> TextureAsRgba() const {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < state.result.colour.height(); ++y) {
      for (int32_t x = 0; x < state.result.colour.width(); ++x) {
        const Bgr c = state.result.colour.pixel(x, y);
        out.insert(out.end(), {c.r, c.g, c.b, state.result.mask.pixel(x, y).b});
      }
    }
    return out;
  }

  AppState state;
  glyphmill::testing::TestFrontEnd front;
  ScriptedDialogs dialogs;
  GenerationDriver driver{state, front, dialogs};
  ScratchFolder dir;
};

TEST_F(ShippedExportRun, RegistryFindsEveryShippedExporterUsable) {
  for (const char* name :
       {"BMFont Text", "BMFont XML", "BMFont Binary", "BMFont JSON", "PNG Image", "TGA Image", "JSON Metrics"}) {
    const int32_t index = IndexOf(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_TRUE(state.registry.at(static_cast<std::size_t>(index)).Usable) << name;
  }
  EXPECT_TRUE(state.registry.hasSimpleExporter());
}

TEST_F(ShippedExportRun, EachBmFontFormDescribesTheGeneratedFont) {
  std::vector<BmFont> fonts;
  for (const BmFontForm& form : kBmFontForms) {
    SCOPED_TRACE(form.name);
    const std::string stem = dir.file(std::string("font") + std::to_string(fonts.size()));
    dialogs.queueSavePath(stem + ".txt");  // the host forces the form's extension
    ExportAndWait(IndexOf(form.name));
    ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
    fonts.push_back(form.read(stem + form.extension));
    const BmFont& font = fonts.back();

    EXPECT_EQ(font.face, "DejaVu Sans");
    EXPECT_EQ(font.size, 19);  // 14 points at 96 pixels per inch
    EXPECT_EQ(font.scaleW, 256);
    EXPECT_EQ(font.scaleH, 256);
    // The font's own line, not the cells'.
    EXPECT_EQ(font.lineHeight, state.tables.ascent + state.tables.descent);
    EXPECT_EQ(font.base, state.tables.ascent);
    EXPECT_EQ(font.alphaChnl, 0);

    // Every generated character, with its cell, its offsets and advance, plus the space.
    ASSERT_EQ(font.chars.size(), state.result.chars.size() + 1);
    EXPECT_EQ(font.chars[0].id, 32);
    EXPECT_EQ(font.chars[0].xadvance, state.tables.spaceAdvance);
    for (std::size_t i = 0; i < state.result.chars.size(); ++i) {
      const PlacedCharacter& p = state.result.chars[i];
      EXPECT_EQ(font.chars[i + 1], (BmChar{p.codeUnit, p.cellX, p.cellY, p.cellWidth, p.cellHeight, -p.drawOffsetX,
                                           -p.drawOffsetY, p.advanceBefore + p.advanceAfter, 0, 15}));
    }
    // DejaVu Sans kerns pairs such as "AV"; each listed pair is between listed characters.
    EXPECT_FALSE(font.kernings.empty());
    for (const BmKerning& k : font.kernings) {
      EXPECT_NE(k.amount, 0);
      EXPECT_TRUE(std::any_of(font.chars.begin(), font.chars.end(), [&](const BmChar& c) { return c.id == k.first; }));
      EXPECT_TRUE(std::any_of(font.chars.begin(), font.chars.end(), [&](const BmChar& c) { return c.id == k.second; }));
    }

    // The page beside the descriptor is the generated texture with the mask as its alpha.
    ASSERT_EQ(font.pageFiles.size(), 1u);
    const DecodedImage page = ReadPng(dir.file(font.pageFiles[0]));
    ASSERT_EQ(page.channels, 4);
    EXPECT_EQ(page.width, 256u);
    EXPECT_EQ(page.height, 256u);
    EXPECT_EQ(page.pixels, TextureAsRgba());
  }
  for (std::size_t f = 1; f < fonts.size(); ++f) {
    EXPECT_EQ(fonts[f].chars, fonts[0].chars);
    EXPECT_EQ(fonts[f].kernings, fonts[0].kernings);
    EXPECT_EQ(std::tie(fonts[f].lineHeight, fonts[f].base), std::tie(fonts[0].lineHeight, fonts[0].base));
  }
}

// Every form, read back with its page and laid out as an engine lays it out, puts each glyph's
// ink exactly where FreeType puts it relative to the pen and the baseline, whatever margins the
// cells carry.
class InkPlacement : public ShippedExportRun, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    ShippedExportRun::SetUp();
    UseTextureSize("512");  // room for the widest margins
    state.settings.textColour = kColourWhite;
    state.settings.backColour = kColourBlack;
    state.settings.outlineColour = 0x000000FF;  // red: the green channel stays the glyph's
    const std::string config = GetParam();
    if (config == "outline 3") {
      state.settings.setFlag(kStyleOutline, true);
      state.settings.outlineWidth = 3;
    } else if (config == "drop shadow") {
      state.settings.setFlag(kStyleDropShadow, true);
      state.settings.shadowSmoothing = 5;
      state.settings.shadowOffset = 1;
    } else if (config == "leading 3, padding 2") {
      state.settings.leading = 3;
      state.settings.generalPadding = 2;
    } else if (config == "bold") {
      state.settings.setFlag(kStyleBold, true);
    } else if (config == "middle origin") {
      state.settings.packOrigin = kOriginMiddle;
    }
  }
};

TEST_P(InkPlacement, EveryGlyphLandsOnFreeTypesPenAndBaseline) {
  for (const BmFontForm& form : kBmFontForms) {
    QueueJob(form.name, true, true);
    dialogs.queueSavePath(dir.file(std::string("font-") + form.name));
  }
  ExportAndWait(-1);
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
  const FreeTypeGlyphs ft(state.settings);
  for (const BmFontForm& form : kBmFontForms) {
    SCOPED_TRACE(form.name);
    std::string path;
    for (const std::string& name : dir.entries()) {
      if (name.rfind(std::string("font-") + form.name + ".", 0) == 0) path = dir.file(name);
    }
    ASSERT_FALSE(path.empty());
    const BmFont font = form.read(path);
    EXPECT_EQ(font.lineHeight, state.tables.ascent + state.tables.descent);
    EXPECT_EQ(font.base, state.tables.ascent);
    EXPECT_EQ(font.alphaChnl, state.settings.outline() ? 2 : 0);
    ASSERT_EQ(font.chars.size(), state.result.chars.size() + 1);
    ASSERT_EQ(font.pageFiles.size(), 1u);
    const DecodedImage page = ReadPng(dir.file(font.pageFiles[0]));
    ASSERT_EQ(page.channels, 4);
    EXPECT_GT(ExpectInkWhereFreeTypePutsIt(font, page, ft), 1000u);
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, InkPlacement,
                         ::testing::Values("default", "outline 3", "drop shadow", "leading 3, padding 2", "bold",
                                           "middle origin"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name;
                           for (const char* c = param.param; *c != '\0'; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

// 2,000 characters of Latin, Cyrillic, Greek and CJK at 48 pixels on pages of 1024 x 1024, in
// every BMFont form: each character once, on the page its descriptor names, its cell overlapping no
// other on that page, and its ink where FreeType puts it relative to the pen and the baseline.
TEST_F(ShippedExportRun, TwoThousandCharactersOnSeveralPagesInEveryBmFontForm) {
  state.settings.setFontName("Noto Sans CJK SC");
  state.settings.fontSize = 36;  // 48 pixels
  state.settings.styleFlags = 0;
  state.settings.textColour = kColourWhite;
  state.settings.backColour = kColourBlack;
  state.extras.maxPages = 16;
  UseTextureSize("1024");
  state.selection = {};
  uint32_t count = 0;
  const auto select = [&](uint32_t first, uint32_t last) {
    for (uint32_t u = first; u <= last && count < 2000; ++u, ++count) state.selection[u] = 1;
  };
  select(0x21, 0x7E);    // Basic Latin
  select(0x410, 0x44F);  // Cyrillic
  select(0x391, 0x3A1);  // Greek capitals
  select(0x3A3, 0x3A9);
  select(0x3B1, 0x3C9);    // Greek small letters
  select(0x4E00, 0x9FFF);  // CJK, up to 2,000 in all
  for (const BmFontForm& form : kBmFontForms) {
    QueueJob(form.name, true, true);
    dialogs.queueSavePath(dir.file(std::string("cjk-") + form.name + form.extension));
  }
  ExportAndWait(-1);
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
  ASSERT_EQ(state.tables.selectedCount, 2000u) << "the font lacks some of the characters";
  ASSERT_EQ(state.result.placedCount, kAllPlaced);
  const int32_t pages = PageCount(state.result);
  ASSERT_GT(pages, 2);
  EXPECT_EQ(front.statuses.end()[-3], ".Complete. " + std::to_string(pages) + " pages");

  const FreeTypeGlyphs ft(state.settings);
  std::vector<BmChar> textChars;
  for (const BmFontForm& form : kBmFontForms) {
    SCOPED_TRACE(form.name);
    const std::string stem = std::string("cjk-") + form.name;
    const BmFont font = form.read(dir.file(stem + form.extension));
    EXPECT_EQ(font.pages, pages);
    ASSERT_EQ(font.pageFiles.size(), static_cast<std::size_t>(pages));
    // Every character once, with its cell and page as placed.
    ASSERT_EQ(font.chars.size(), state.result.chars.size() + 1);
    for (std::size_t i = 0; i < state.result.chars.size(); ++i) {
      const PlacedCharacter& p = state.result.chars[i];
      const BmChar& c = font.chars[i + 1];
      ASSERT_EQ(c.id, p.codeUnit);
      EXPECT_EQ(c.page, p.page);
      EXPECT_EQ(std::tie(c.x, c.y), std::tie(p.cellX, p.cellY));
    }
    // No two cells of one page overlap, and each lies inside its page.
    std::vector<DecodedImage> pageImages;
    for (int32_t k = 0; k < pages; ++k) {
      EXPECT_EQ(font.pageFiles[k], stem + "_" + std::to_string(k) + ".png");
      pageImages.push_back(ReadPng(dir.file(font.pageFiles[k])));
      ASSERT_EQ(pageImages.back().channels, 4);
    }
    for (std::size_t a = 1; a < font.chars.size(); ++a) {
      const BmChar& p = font.chars[a];
      const DecodedImage& image = pageImages[static_cast<std::size_t>(p.page)];
      EXPECT_LE(p.x + p.width, image.width);
      EXPECT_LE(p.y + p.height, image.height);
      for (std::size_t b = a + 1; b < font.chars.size(); ++b) {
        const BmChar& q = font.chars[b];
        if (p.page != q.page) continue;
        const bool overlap = p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height;
        ASSERT_FALSE(overlap) << p.id << " and " << q.id << " on page " << p.page;
      }
    }
    if (textChars.empty()) {
      // The ink, page by page, for the first form; the others list the very same characters.
      textChars = font.chars;
      std::size_t inked = 0;
      for (int32_t k = 0; k < pages; ++k) {
        BmFont onPage = font;
        onPage.chars.clear();
        for (const BmChar& c : font.chars)
          if (c.page == k) onPage.chars.push_back(c);
        inked += ExpectInkWhereFreeTypePutsIt(onPage, pageImages[static_cast<std::size_t>(k)], ft);
      }
      EXPECT_GT(inked, 100000u);
    } else {
      EXPECT_EQ(font.chars, textChars);
    }
  }
}

TEST_F(ShippedExportRun, ABatchWritesImagesAndMetricsWithTheChosenBuffers) {
  QueueJob("PNG Image", true, true);
  QueueJob("PNG Image", false, true);
  QueueJob("TGA Image", true, false);
  QueueJob("JSON Metrics", false, false);
  dialogs.queueSavePath(dir.file("both"));
  dialogs.queueSavePath(dir.file("alpha"));
  dialogs.queueSavePath(dir.file("colour"));
  dialogs.queueSavePath(dir.file("metrics"));
  ExportAndWait(-1);
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];

  const DecodedImage both = ReadPng(dir.file("both.png"));
  ASSERT_EQ(both.channels, 4);
  EXPECT_EQ(both.pixels, TextureAsRgba());

  const DecodedImage alpha = ReadPng(dir.file("alpha.png"));
  ASSERT_EQ(alpha.channels, 1);
  ASSERT_EQ(alpha.pixels.size(), 256u * 256u);
  for (int32_t y = 0; y < 256; ++y) {
    for (int32_t x = 0; x < 256; ++x)
      ASSERT_EQ(alpha.pixels[y * 256 + x], state.result.mask.pixel(x, y).b) << x << "," << y;
  }

  const TgaFile tga = ReadTga(dir.file("colour.tga"));
  EXPECT_EQ(tga.depth, 24);
  ASSERT_EQ(tga.pixels.size(), 256u * 256u * 3);
  EXPECT_TRUE(std::equal(tga.pixels.begin(), tga.pixels.end(), state.result.colour.data()));

  // The host forces its own form of the extension onto the chosen name; take whatever it made.
  std::string metrics;
  for (const std::string& name : dir.entries()) {
    if (name.rfind("metrics.", 0) == 0) metrics = name;
  }
  ASSERT_FALSE(metrics.empty());
  const auto doc = nlohmann::json::parse(ReadText(dir.file(metrics)));
  EXPECT_EQ(doc.at("width"), 256);
  EXPECT_EQ(doc.at("spaceAdvance"), state.tables.spaceAdvance);
  ASSERT_EQ(doc.at("characters").size(), state.result.chars.size());
  EXPECT_EQ(doc.at("characters")[0].at("code"), state.result.chars[0].codeUnit);
  EXPECT_EQ(doc.at("font").at("face"), "DejaVu Sans");
}

// Straight and premultiplied pages reach every exporter that writes colour with alpha: the BMFont
// page, PNG and TGA hold the job's page (not the colour image), the JSON descriptors say when the
// colour is premultiplied, and the colour image itself stays as drawn.
TEST_F(ShippedExportRun, PagePixelModesReachEveryColourWriter) {
  state.settings.textColour = 0x3366FF;
  state.settings.backColour = 0x202020;
  for (const uint8_t mode : {kPagePixelsClassic, kPagePixelsStraight, kPagePixelsPremultiplied}) {
    SCOPED_TRACE(static_cast<int>(mode));
    state.extras.pagePixels = mode;
    state.jobs.clear();
    ScratchFolder out;
    QueueJob("BMFont Text", false, false);
    QueueJob("BMFont JSON", false, false);
    QueueJob("PNG Image", true, true);
    QueueJob("TGA Image", true, true);
    QueueJob("JSON Metrics", false, false);
    for (const char* name : {"font", "font", "image", "image", "metrics"}) dialogs.queueSavePath(out.file(name));
    ExportAndWait(-1);
    ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];

    const Image24& page = mode == kPagePixelsClassic ? state.result.colour : state.result.page;
    ASSERT_EQ(page.width(), 256);
    std::vector<uint8_t> rgba, bgra;
    for (int32_t y = 0; y < 256; ++y) {
      for (int32_t x = 0; x < 256; ++x) {
        const Bgr c = page.pixel(x, y);
        const uint8_t a = state.result.mask.pixel(x, y).b;
        rgba.insert(rgba.end(), {c.r, c.g, c.b, a});
        bgra.insert(bgra.end(), {c.b, c.g, c.r, a});
        // Premultiplied colour never exceeds its alpha; the colour image is still drawn over the
        // background.
        if (mode == kPagePixelsPremultiplied) {
          ASSERT_LE(std::max({c.r, c.g, c.b}), a) << x << "," << y;
        }
      }
    }
    if (mode == kPagePixelsStraight) {
      EXPECT_EQ(page.pixel(0, 0), BgrFromColourRef(0x3366FF));
    }
    EXPECT_EQ(state.result.colour.pixel(0, 0), BgrFromColourRef(0x202020));

    const BmFont font = ParseBmFontText(ReadText(out.file("font.fnt")));
    ASSERT_EQ(font.pageFiles.size(), 1u);
    EXPECT_EQ(ReadPng(out.file(font.pageFiles[0])).pixels, rgba);
    EXPECT_EQ(ReadPng(out.file("image.png")).pixels, rgba);
    // TGA stores rows bottom first or top first as its descriptor says; compare the top row.
    const TgaFile tga = ReadTga(out.file("image.tga"));
    ASSERT_EQ(tga.depth, 32);
    const bool topFirst = (tga.descriptor & 0x20) != 0;
    const std::size_t topRow = topFirst ? 0 : 255u * 256u * 4u;
    EXPECT_TRUE(
        std::equal(bgra.begin(), bgra.begin() + 256 * 4, tga.pixels.begin() + static_cast<std::ptrdiff_t>(topRow)));

    const bool premultiplied = mode == kPagePixelsPremultiplied;
    const auto bmJson = nlohmann::json::parse(ReadText(out.file("font.json")));
    EXPECT_EQ(bmJson.contains("premultipliedAlpha"), premultiplied) << bmJson.dump();
    if (premultiplied) {
      EXPECT_EQ(bmJson.at("premultipliedAlpha"), true);
    }
    std::string metrics;
    for (const std::string& name : out.entries())
      if (name.rfind("metrics.", 0) == 0) metrics = name;
    const auto doc = nlohmann::json::parse(ReadText(out.file(metrics)));
    EXPECT_EQ(doc.contains("premultipliedAlpha"), premultiplied);
  }
}

// The command line's export is its result's last use: the pages are released as they go to the
// plug-in host, and the files must be exactly those of an export that keeps its result.
TEST_F(ShippedExportRun, AnExportThatIsTheResultsLastUseWritesTheSameFilesAndDropsTheResult) {
  state.settings.textColour = 0x3366FF;
  state.settings.backColour = 0x202020;
  state.extras.maxPages = 32;
  UseTextureSize("128");
  state.selection = {};
  for (uint32_t u = 0x21; u <= 0x17F; ++u) state.selection[u] = 1;
  struct Mode {
    const char* name;
    uint16_t antialias;
    uint8_t styleFlags;
    uint8_t pagePixels;
  };
  for (const Mode& mode : {Mode{"classic", kAntialiasSmooth, 0, kPagePixelsClassic},
                           Mode{"straight", kAntialiasSmooth, kStyleOutline | kStyleDropShadow, kPagePixelsStraight},
                           Mode{"premultiplied", kAntialiasSmooth, kStyleOutline, kPagePixelsPremultiplied},
                           Mode{"msdf", kAntialiasMsdf, 0, kPagePixelsClassic}}) {
    SCOPED_TRACE(mode.name);
    state.settings.antialiasMode = mode.antialias;
    state.settings.styleFlags = mode.styleFlags;
    state.extras.pagePixels = mode.pagePixels;
    std::vector<std::vector<std::string>> written;
    // The last use first: a page released before it was written would leave the fresh shared
    // memory's zeros, not the bytes an earlier export left there.
    for (const bool lastUse : {true, false}) {
      driver.setExportIsLastUse(lastUse);
      state.jobs.clear();
      QueueJob("BMFont Text", false, false);
      QueueJob("PNG Image", true, true);
      QueueJob("TGA Image", true, false);
      QueueJob("JSON Metrics", false, false);
      ScratchFolder out;
      for (const char* name : {"font", "image", "colour", "metrics"}) dialogs.queueSavePath(out.file(name));
      ExportAndWait(-1);
      ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
      if (lastUse) {
        // Nothing of the released result is left to be read by mistake.
        EXPECT_EQ(PageCount(state.result), 1);
        EXPECT_TRUE(state.result.chars.empty());
        EXPECT_EQ(state.result.colour.width(), 0);
      } else {
        ASSERT_GT(PageCount(state.result), 2);
      }
      std::vector<std::string> files;
      for (const std::string& name : out.entries()) {
        files.push_back(name);
        const std::vector<uint8_t> bytes = ReadBytes(out.file(name));
        files.push_back(std::string(bytes.begin(), bytes.end()));
      }
      written.push_back(std::move(files));
    }
    ASSERT_EQ(written[0].size(), written[1].size());
    // Page 0 and at least two more pages as PNG and TGA, the descriptor and the metrics.
    EXPECT_GT(written[0].size(), 2u * 8u);
    for (std::size_t i = 0; i < written[0].size(); i += 2)
      EXPECT_TRUE(written[0][i] == written[1][i] && written[0][i + 1] == written[1][i + 1]) << written[0][i];
  }
}

TEST_F(ShippedExportRun, CharactersThatDidNotFitAreLeftOut) {
  UseTextureSize("64");
  dialogs.queueAnswer(true);  // "export anyway?"
  dialogs.queueSavePath(dir.file("small.fnt"));
  ExportAndWait(IndexOf("BMFont Text"));
  ASSERT_TRUE(ErrorMessages().empty()) << ErrorMessages()[0];
  ASSERT_LT(state.result.placedCount, static_cast<int32_t>(state.result.chars.size()));

  const BmFont font = ParseBmFontText(ReadText(dir.file("small.fnt")));
  EXPECT_EQ(font.chars.size(), static_cast<std::size_t>(state.result.placedCount) + 1);
  // The listed cells lie inside the page and never overlap, so no left-over record at 0, 0 slipped in.
  for (std::size_t a = 0; a < font.chars.size(); ++a) {
    const BmChar& p = font.chars[a];
    EXPECT_LE(p.x + p.width, 64);
    EXPECT_LE(p.y + p.height, 64);
    for (std::size_t b = a + 1; b < font.chars.size(); ++b) {
      const BmChar& q = font.chars[b];
      const bool overlap = p.width > 0 && q.width > 0 && p.x < q.x + q.width && q.x < p.x + p.width &&
                           p.y < q.y + q.height && q.y < p.y + p.height;
      EXPECT_FALSE(overlap) << p.id << " and " << q.id;
    }
  }
}

TEST_F(ShippedExportRun, AWriteFailureIsReportedWithThePluginsNameAndReason) {
  const std::string path = dir.file("missing/font.fnt");
  dialogs.queueSavePath(path);
  ExportAndWait(IndexOf("BMFont XML"));
  const auto messages = ErrorMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("BMFont XML plugin."), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("Cannot write \"" + dir.file("missing/font_0.png") + "\": No such file or directory"),
            std::string::npos)
      << messages[0];
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace glyphmill::plugintest
