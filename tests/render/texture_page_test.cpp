// Later texture pages kept compactly: the one-byte mask expands to the mask it was kept from, and
// every later page of a job reads back exactly as the same characters drawn alone on one page, in
// each mode the window shows (colour, mask, the exported straight or premultiplied page, fields).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/texture_page.h"
#include "settings/distance_field_mode.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

// True when both images have the same size and bytes; says where they first differ otherwise.
::testing::AssertionResult SameImage(const Image24& a, const Image24& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return ::testing::AssertionFailure() << a.width() << "x" << a.height() << " against " << b.width() << "x"
                                         << b.height();
  for (int32_t y = 0; y < a.height(); ++y)
    for (int32_t x = 0; x < a.width(); ++x)
      if (!(a.pixel(x, y) == b.pixel(x, y))) {
        const Bgr p = a.pixel(x, y), q = b.pixel(x, y);
        return ::testing::AssertionFailure()
               << "at " << x << "," << y << ": " << int{p.b} << " " << int{p.g} << " " << int{p.r} << " against "
               << int{q.b} << " " << int{q.g} << " " << int{q.r};
      }
  return ::testing::AssertionSuccess();
}

TEST(TexturePage, TheKeptMaskExpandsToTheMaskItWasKeptFromAndReleasingEmptiesThePage) {
  TexturePage page;
  page.colour.resize(37, 5);
  Image24 mask(37, 5);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 37; ++x) {
      const auto v = static_cast<uint8_t>(x * 7 + y * 31);
      mask.setPixel(x, y, Bgr{v, v, v});
    }
  KeepMask(mask, page);
  ASSERT_EQ(page.mask.size(), 37u * 5u);
  EXPECT_EQ(page.mask[36 + 37 * 4], static_cast<uint8_t>(36 * 7 + 4 * 31));
  Image24 expanded;
  ExpandMask(page, expanded);
  EXPECT_TRUE(SameImage(expanded, mask));

  page.page.resize(37, 5);
  ReleasePage(page);
  EXPECT_EQ(page.colour.width(), 0);
  EXPECT_EQ(page.page.width(), 0);
  EXPECT_TRUE(page.mask.empty());
  ExpandMask(page, expanded);
  EXPECT_EQ(expanded.width(), 0);
}

// One drawing mode of the paged job.
struct PageMode {
  const char* name;
  uint16_t antialias = kAntialiasSmooth;
  uint8_t styleFlags = 0;
  uint8_t pagePixels = kPagePixelsClassic;
  uint8_t options = 0;
};

void PrintTo(const PageMode& mode, std::ostream* os) { *os << mode.name; }

class LaterPages : public ::testing::TestWithParam<PageMode> {
 protected:
  static constexpr int32_t kSide = 128;

  GenerationSettings settings() const {
    GenerationSettings s = TestSettings(kSide);
    s.fontSize = 20;
    s.antialiasMode = GetParam().antialias;
    s.styleFlags = GetParam().styleFlags;
    s.outlineWidth = 2;
    s.shadowOpacity = 60;
    return s;
  }
  GenerationExtras extras(int32_t pages) const {
    GenerationExtras e;
    e.maxPages = static_cast<uint16_t>(pages);
    e.pagePixels = GetParam().pagePixels;
    e.sdfSpread = 4;
    return e;
  }
};

// The characters of each later page drawn alone, at the cells the paged job gave them, by a
// one-page job that places nothing: its images are what that page must read back as.
TEST_P(LaterPages, ReadBackAsTheSameCharactersDrawnAloneOnOnePage) {
  const GenerationSettings s = settings();
  CharacterSelection sel = Selection('!', '~');
  FontMeasurer measurer;
  FontTables tables;
  bool fontChanged = true;
  std::string error;
  ASSERT_TRUE(measurer.Measure(FontRequestFromSettings(s), {}, s.kerning, sel, fontChanged, tables, &error)) << error;
  const JobTable table =
      BuildJobTable(s, sel, tables.glyphMetrics, tables.glyphHeights, tables.selectedCount, extras(16));
  RecordingHost host;
  RenderThread paged(s, kJobPlace | GetParam().options, &host, extras(16));
  paged.setTable(table.chars, table.abc);
  paged.run();
  ASSERT_EQ(paged.placedCount(), kAllPlaced);
  GenerationResult result = paged.takeResult();
  ASSERT_GE(PageCount(result), 3) << "the job should fill at least three pages";
  const bool ownPage = GetParam().pagePixels != kPagePixelsClassic && !IsDistanceField(s);
  EXPECT_EQ(result.page.width() > 0, ownPage);

  for (int32_t k = 1; k < PageCount(result); ++k) {
    SCOPED_TRACE("page " + std::to_string(k));
    std::vector<PlacedCharacter> chars;
    std::vector<GlyphABC> abc;
    for (std::size_t i = 0; i < result.chars.size(); ++i) {
      if (result.chars[i].page != k) continue;
      chars.push_back(result.chars[i]);
      chars.back().page = 0;
      abc.push_back(table.abc[i]);
    }
    ASSERT_FALSE(chars.empty());
    RenderThread alone(s, GetParam().options, &host, extras(1));
    alone.setTable(std::move(chars), std::move(abc));
    alone.run();
    const GenerationResult expected = alone.takeResult();

    EXPECT_TRUE(SameImage(PageColour(result, k), expected.colour));
    Image24 expanded;
    EXPECT_TRUE(SameImage(PageMask(result, k, expanded), expected.mask));
    EXPECT_TRUE(SameImage(ExportedColour(result, k), ExportedColour(expected)));
    EXPECT_EQ(result.morePages[static_cast<std::size_t>(k - 1)].page.width() > 0, ownPage);
  }
}

// A job whose result only goes to an export keeps of each later page the colour exporters receive,
// and nothing of what only the window shows; the mask and page 0 stay whole.
TEST_P(LaterPages, AnExportOnlyJobKeepsJustWhatExportersReceive) {
  const GenerationSettings s = settings();
  RecordingHost host;
  auto shown = MakeJob(s, kJobPlace | GetParam().options, &host, Selection('!', '~'), extras(16));
  auto exportOnly = MakeJob(s, kJobPlace | kJobExportOnly | GetParam().options, &host, Selection('!', '~'), extras(16));
  shown->run();
  exportOnly->run();
  const GenerationResult a = shown->takeResult();
  const GenerationResult b = exportOnly->takeResult();
  ASSERT_EQ(PageCount(a), PageCount(b));
  ASSERT_GE(PageCount(a), 3);
  EXPECT_TRUE(SameImage(a.colour, b.colour));
  EXPECT_TRUE(SameImage(ExportedColour(a), ExportedColour(b)));
  for (int32_t k = 1; k < PageCount(a); ++k) {
    SCOPED_TRACE("page " + std::to_string(k));
    EXPECT_TRUE(SameImage(ExportedColour(a, k), ExportedColour(b, k)));
    EXPECT_EQ(b.morePages[static_cast<std::size_t>(k - 1)].page.width(), 0);
    EXPECT_EQ(a.morePages[static_cast<std::size_t>(k - 1)].mask, b.morePages[static_cast<std::size_t>(k - 1)].mask);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachMode, LaterPages,
    ::testing::Values(PageMode{"smooth"}, PageMode{"cleartype_with_guides", kAntialiasCleartype, 0, 0, kJobDrawGuides},
                      PageMode{"monochrome_outline", kAntialiasNone, kStyleOutline},
                      PageMode{"straight_outline_and_shadow", kAntialiasSmooth, kStyleOutline | kStyleDropShadow,
                               kPagePixelsStraight},
                      PageMode{"premultiplied_outline", kAntialiasSmooth, kStyleOutline, kPagePixelsPremultiplied},
                      PageMode{"premultiplied_shadow", kAntialiasSmooth, kStyleDropShadow, kPagePixelsPremultiplied},
                      PageMode{"sdf", kAntialiasDistanceField}, PageMode{"msdf", kAntialiasMsdf},
                      PageMode{"mtsdf", kAntialiasMtsdf}),
    [](const ::testing::TestParamInfo<PageMode>& mode) { return std::string(mode.param.name); });

}  // namespace
}  // namespace glyphmill::testing
