// Fallback fonts through the whole render job: a character the chosen font lacks is drawn from the
// fallback exactly as FreeType renders it with that face at the same pixel size, on the chosen
// font's pen and baseline; the chosen font's own characters are drawn exactly as without fallbacks.
#include <gtest/gtest.h>

#include <string>

#include "app/job_table.h"
#include "render/placement.h"
#include "settings/distance_field_mode.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

constexpr const char* kDroidFile = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
constexpr uint16_t kFirstCjk = 0x4E2D, kLastCjk = 0x4E32;

struct JobRun {
  std::unique_ptr<RenderThread> job;
  std::vector<uint8_t> placed;
  FontTables tables;
};

JobRun Render(const GenerationSettings& s, CharacterSelection selection, const GenerationExtras& extras) {
  JobRun run;
  FontMeasurer measurer;
  bool fontChanged = true;
  std::string error;
  EXPECT_TRUE(measurer.Measure(FontRequestFromSettings(s), extras.fallbacks, s.kerning, selection, fontChanged,
                               run.tables, &error))
      << error;
  run.job = std::make_unique<RenderThread>(s, kJobPlace, nullptr, extras);
  JobTable table = BuildJobTable(s, selection, run.tables, run.tables.selectedCount, extras);
  run.job->setFallbackFonts(run.tables.fallbacks.fonts);
  run.job->setTable(std::move(table.chars), std::move(table.abc));
  run.job->run();
  PlacementResult placement;
  placement.sortOrder = run.job->sortOrder();
  placement.placedCount = run.job->placedCount();
  run.placed = PlacedFlags(placement, run.job->chars().size());
  return run;
}

const PlacedCharacter* Find(const JobRun& run, uint16_t codeUnit, std::size_t* index) {
  const auto& chars = run.job->chars();
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i].codeUnit != codeUnit) continue;
    *index = i;
    return &chars[i];
  }
  return nullptr;
}

TEST(FallbackRender, TheFallbackGlyphIsFreeTypesOwnOnTheChosenPenAndBaseline) {
  GenerationSettings s = TestSettings(256);
  CharacterSelection selection = Selection('A', 'Z');
  for (uint16_t u = kFirstCjk; u <= kLastCjk; ++u) selection[u] = 1;
  GenerationExtras extras;
  extras.fallbacks = {{kFallbackFile, 0, kDroidFile}};
  const JobRun run = Render(s, selection, extras);
  ASSERT_EQ(run.job->placedCount(), kAllPlaced);
  ASSERT_EQ(run.tables.fallbacks.fonts.size(), 1u);

  std::string error;
  FontRequest request = FontRequestFromSettings(s);
  std::unique_ptr<FontFace> chosen = FontFace::Open(request, &error);
  ASSERT_TRUE(chosen) << error;
  std::unique_ptr<FontFace> droid = FontFace::OpenResolved(request, run.tables.fallbacks.fonts[0], &error);
  ASSERT_TRUE(droid) << error;
  const Image24& mask = run.job->maskImage();
  int checked = 0;
  for (uint16_t u = kFirstCjk; u <= kLastCjk; ++u) {
    SCOPED_TRACE("code unit " + std::to_string(u));
    std::size_t i = 0;
    const PlacedCharacter* c = Find(run, u, &i);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->font, 1);
    GlyphImage glyph;
    ASSERT_TRUE(droid->renderGlyph(u, kAntialiasSmooth, &glyph));
    ASSERT_GT(glyph.width, 0);
    const int64_t penX = int64_t{c->cellX} + c->drawOffsetX;
    const int64_t baseline = int64_t{c->cellY} + c->drawOffsetY + chosen->ascent();
    for (int y = 0; y < glyph.rows; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        const Bgr m =
            mask.pixel(static_cast<int32_t>(penX + glyph.left + x), static_cast<int32_t>(baseline - glyph.top + y));
        ASSERT_EQ(m.b, glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x]) << x << "," << y;
      }
    }
    ++checked;
  }
  EXPECT_EQ(checked, kLastCjk - kFirstCjk + 1);

  // The Latin capitals are drawn as the run without a fallback draws them, cell for cell.
  const JobRun plain = Render(s, Selection('A', 'Z'), GenerationExtras{});
  for (uint16_t u = 'A'; u <= 'Z'; ++u) {
    SCOPED_TRACE("code unit " + std::to_string(u));
    std::size_t i = 0, j = 0;
    const PlacedCharacter* a = Find(run, u, &i);
    const PlacedCharacter* b = Find(plain, u, &j);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->font, 0);
    ASSERT_EQ(a->cellWidth, b->cellWidth);
    ASSERT_EQ(a->cellHeight, b->cellHeight);
    for (uint32_t y = 0; y < a->cellHeight; ++y)
      for (uint32_t x = 0; x < a->cellWidth; ++x)
        ASSERT_EQ(mask.pixel(a->cellX + static_cast<int32_t>(x), a->cellY + static_cast<int32_t>(y)),
                  plain.job->maskImage().pixel(b->cellX + static_cast<int32_t>(x), b->cellY + static_cast<int32_t>(y)));
  }
}

// The mask holds `face`'s own rendering of the record in `mode` at the chosen font's pen and
// baseline; returns the number of pixels compared.
int ExpectFallbackGlyph(const JobRun& run, const PlacedCharacter& c, FontFace& face, int32_t ascent, uint16_t mode) {
  GlyphImage glyph;
  EXPECT_TRUE(face.renderGlyph(c.codeUnit, mode, &glyph));
  EXPECT_EQ(glyph.kind, GlyphImage::Kind::Gray);
  const int64_t penX = int64_t{c.cellX} + c.drawOffsetX;
  const int64_t baseline = int64_t{c.cellY} + c.drawOffsetY + ascent;
  int compared = 0;
  for (int y = 0; y < glyph.rows; ++y) {
    for (int x = 0; x < glyph.width; ++x, ++compared) {
      const Bgr m = run.job->maskImage().pixel(static_cast<int32_t>(penX + glyph.left + x),
                                               static_cast<int32_t>(baseline - glyph.top + y));
      if (m.b != glyph.pixels[static_cast<std::size_t>(y) * glyph.width + x]) {
        ADD_FAILURE() << "pixel " << x << "," << y;
        return compared;
      }
    }
  }
  return compared;
}

TEST(FallbackRender, DistanceFieldsMonochromeAndCleartypeDrawTheFallbackToo) {
  for (uint16_t mode :
       {kAntialiasDistanceField, kAntialiasNone, kAntialiasCleartype, kAntialiasMsdf, kAntialiasMtsdf}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    GenerationSettings s = TestSettings(128);
    s.antialiasMode = mode;
    CharacterSelection selection{};
    selection[kFirstCjk] = 1;
    GenerationExtras extras;
    extras.fallbacks = {{kFallbackFile, 0, kDroidFile}};
    const JobRun run = Render(s, selection, extras);
    std::size_t i = 0;
    const PlacedCharacter* c = Find(run, kFirstCjk, &i);
    ASSERT_NE(c, nullptr);
    std::string error;
    const FontRequest request = FontRequestFromSettings(s);
    std::unique_ptr<FontFace> chosen = FontFace::Open(request, &error);
    std::unique_ptr<FontFace> droid = FontFace::OpenResolved(request, run.tables.fallbacks.fonts.at(0), &error);
    ASSERT_TRUE(chosen && droid) << error;
    if (mode != kAntialiasCleartype && mode != kAntialiasNone) {
      chosen->setDistanceFieldSpread(FieldSpread(extras));
      droid->setDistanceFieldSpread(FieldSpread(extras));
    }
    if (mode == kAntialiasDistanceField || mode == kAntialiasNone) {
      EXPECT_GT(ExpectFallbackGlyph(run, *c, *droid, chosen->ascent(), mode), 50);
      continue;
    }
    // Cleartype and the multi-channel fields: the ink agrees with the fallback's smooth rendering, thresholded, on
    // nearly every pixel of its box (the chosen font would have drawn its missing-glyph box instead).
    GlyphImage smooth;
    ASSERT_TRUE(droid->renderGlyph(kFirstCjk, kAntialiasSmooth, &smooth));
    const int64_t penX = int64_t{c->cellX} + c->drawOffsetX;
    const int64_t baseline = int64_t{c->cellY} + c->drawOffsetY + chosen->ascent();
    int agree = 0, inked = 0;
    for (int y = 0; y < smooth.rows; ++y)
      for (int x = 0; x < smooth.width; ++x) {
        const bool expected = smooth.pixels[static_cast<std::size_t>(y) * smooth.width + x] >= 128;
        const bool drawn =
            run.job->maskImage()
                .pixel(static_cast<int32_t>(penX + smooth.left + x), static_cast<int32_t>(baseline - smooth.top + y))
                .b >= 128;
        agree += expected == drawn;
        inked += expected;
      }
    EXPECT_GT(inked, 20);
    EXPECT_GE(agree * 10, smooth.width * smooth.rows * 9);
  }
}

}  // namespace
}  // namespace glyphmill::testing
