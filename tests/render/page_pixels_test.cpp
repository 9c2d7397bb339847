// Page pixels through real render jobs: the straight and the premultiplied page of DejaVu Sans and
// Liberation Serif, with and without outline and drop shadow, composite over black and over white
// exactly as the drawing itself does; a mip of a straight page holds only the drawing's colours; and
// the bleeding of transparent pixels finds the nearest inked pixel.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>

#include "render/page_pixels.h"
#include "settings/generation_extras.h"
#include "tests/render/render_job_fixture.h"

namespace glyphmill::testing {
namespace {

constexpr int32_t kSide = 512;
constexpr uint32_t kTextColour = 0x2080F0;     // red F0, green 80, blue 20
constexpr uint32_t kOutlineColour = 0xC01040;  // red 40, green 10, blue C0

struct Look {
  const char* font;
  bool outline;
  bool shadow;
  uint16_t antialias;
};

std::string Name(const Look& l) {
  return std::string(l.font) + (l.outline ? " outline" : "") + (l.shadow ? " shadow" : "") + " aa" +
         std::to_string(l.antialias);
}

GenerationSettings SettingsOf(const Look& l, uint32_t backColour) {
  GenerationSettings s = TestSettings(kSide);
  s.setFontName(l.font);
  s.fontSize = 18;
  s.textColour = kTextColour;
  s.backColour = backColour;
  s.antialiasMode = l.antialias;
  s.outlineColour = kOutlineColour;
  s.outlineWidth = 3;
  s.outlineOpacity = 70;
  s.outlineHardness = 2;
  s.shadowOffset = 3;
  s.shadowSmoothing = 2;
  s.shadowOpacity = 80;
  s.setFlag(kStyleOutline, l.outline);
  s.setFlag(kStyleDropShadow, l.shadow);
  return s;
}

GenerationResult Generate(const Look& l, uint32_t backColour, uint8_t pagePixels) {
  GenerationExtras extras;
  extras.pagePixels = pagePixels;
  auto job = MakeJob(SettingsOf(l, backColour), kJobPlace, nullptr, Selection(33, 126), extras);
  job->run();
  EXPECT_EQ(job->placedCount(), kAllPlaced);
  return job->takeResult();
}

const Look kLooks[] = {
    {"DejaVu Sans", false, false, kAntialiasSmooth},      {"DejaVu Sans", true, false, kAntialiasSmooth},
    {"DejaVu Sans", false, true, kAntialiasSmooth},       {"DejaVu Sans", true, true, kAntialiasSmooth},
    {"Liberation Serif", false, false, kAntialiasSmooth}, {"Liberation Serif", true, false, kAntialiasSmooth},
    {"Liberation Serif", false, true, kAntialiasSmooth},  {"Liberation Serif", true, true, kAntialiasSmooth},
    {"DejaVu Sans", true, true, kAntialiasCleartype},     {"Liberation Serif", true, false, kAntialiasNone},
};

// The classic drawing over black (P, the layers' premultiplied colour, as the shadow is black too)
// and over white gives, per pixel, the layers' coverage k = 1 - (white - black) / 255. With the
// mask m, what the drawing shows over a backdrop X is P * m / max(k, m) + X * (1 - m): the layers'
// own colour at the mask's opacity, the rest of the mask the (black) shadow.
double ReferenceComposite(Bgr overBlack, Bgr overWhite, int channel, uint8_t mask, double backdrop) {
  const uint8_t black[3] = {overBlack.b, overBlack.g, overBlack.r};
  double rest = 0;
  for (int c = 0; c < 3; ++c) rest += (c == 0 ? overWhite.b : c == 1 ? overWhite.g : overWhite.r) - black[c];
  const double k = std::clamp(1.0 - rest / 3.0 / 255.0, 0.0, 1.0);
  const double m = mask / 255.0;
  if (m == 0) return backdrop;
  return black[channel] * m / std::max(k, m) + backdrop * (1 - m);
}

TEST(PagePixels, StraightAndPremultipliedPagesCompositeAsTheDrawingDoes) {
  for (const Look& look : kLooks) {
    SCOPED_TRACE(Name(look));
    const GenerationResult overBlack = Generate(look, 0, kPagePixelsClassic);
    const GenerationResult overWhite = Generate(look, kColourWhite, kPagePixelsClassic);
    const GenerationResult straight = Generate(look, 0, kPagePixelsStraight);
    const GenerationResult premultiplied = Generate(look, 0, kPagePixelsPremultiplied);
    // A classic job makes no page of its own: exporters get the colour image as drawn.
    EXPECT_EQ(overBlack.page.width(), 0);
    ASSERT_EQ(straight.page.width(), kSide);
    ASSERT_EQ(premultiplied.page.width(), kSide);
    EXPECT_EQ(straight.pagePixels, kPagePixelsStraight);
    EXPECT_EQ(premultiplied.pagePixels, kPagePixelsPremultiplied);

    double worst = 0;
    int64_t inked = 0;
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x) {
        const uint8_t m = straight.mask.pixel(x, y).b;
        ASSERT_EQ(m, premultiplied.mask.pixel(x, y).b);
        inked += m > 0;
        const Bgr s = straight.page.pixel(x, y), p = premultiplied.page.pixel(x, y);
        const uint8_t sc[3] = {s.b, s.g, s.r}, pc[3] = {p.b, p.g, p.r};
        for (double backdrop : {0.0, 255.0}) {
          for (int c = 0; c < 3; ++c) {
            const double want =
                ReferenceComposite(overBlack.colour.pixel(x, y), overWhite.colour.pixel(x, y), c, m, backdrop);
            const double a = m / 255.0;
            worst = std::max(worst, std::abs(sc[c] * a + backdrop * (1 - a) - want));
            worst = std::max(worst, std::abs(pc[c] + backdrop * (1 - a) - want));
          }
        }
        if (m == 0) {
          EXPECT_EQ(p, Bgr{}) << x << "," << y;
        }
      }
    }
    EXPECT_GT(inked, 1000);
    // One level; the classic drawing rounds each blend, and with the outline blended under the text
    // (drop shadow on) it rounds twice, which the reference carries as half a level more.
    EXPECT_LE(worst, (look.outline && look.shadow ? 1.5 : 1.0) + 1e-6);
  }
}

// The distance of a colour from the convex hull of up to three colours (a point, a segment or a
// triangle in RGB).
double DistanceFromHull(const std::array<double, 3>& p, const std::vector<std::array<double, 3>>& hull) {
  auto sub = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::array<double, 3>{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
  };
  auto dot = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  };
  auto segment = [&](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const auto ab = sub(b, a), ap = sub(p, a);
    const double len = dot(ab, ab);
    const double t = len > 0 ? std::clamp(dot(ap, ab) / len, 0.0, 1.0) : 0.0;
    const std::array<double, 3> q{a[0] + t * ab[0], a[1] + t * ab[1], a[2] + t * ab[2]};
    const auto d = sub(p, q);
    return std::sqrt(dot(d, d));
  };
  double best = 1e9;
  for (std::size_t i = 0; i < hull.size(); ++i)
    for (std::size_t j = i; j < hull.size(); ++j) best = std::min(best, segment(hull[i], hull[j]));
  if (hull.size() == 3) {
    // Inside the triangle: the distance from its plane.
    const auto e0 = sub(hull[1], hull[0]), e1 = sub(hull[2], hull[0]), v = sub(p, hull[0]);
    const double d00 = dot(e0, e0), d01 = dot(e0, e1), d11 = dot(e1, e1), d20 = dot(v, e0), d21 = dot(v, e1);
    const double den = d00 * d11 - d01 * d01;
    if (den > 0) {
      const double b1 = (d11 * d20 - d01 * d21) / den, b2 = (d00 * d21 - d01 * d20) / den;
      if (b1 >= 0 && b2 >= 0 && b1 + b2 <= 1) {
        const std::array<double, 3> q{hull[0][0] + b1 * e0[0] + b2 * e1[0], hull[0][1] + b1 * e0[1] + b2 * e1[1],
                                      hull[0][2] + b1 * e0[2] + b2 * e1[2]};
        const auto d = sub(p, q);
        best = std::min(best, std::sqrt(dot(d, d)));
      }
    }
  }
  return best;
}

std::array<double, 3> Rgb(uint32_t colourRef) {
  return {static_cast<double>(colourRef & 255), static_cast<double>((colourRef >> 8) & 255),
          static_cast<double>((colourRef >> 16) & 255)};
}

// The farthest colour of a 2x box-filtered mip of the page's colour (alpha ignored, as a mip of a
// straight texture filters its channels) from the hull of the drawing's own colours.
double MipFarthestFromHull(const Image24& page, const std::vector<std::array<double, 3>>& hull) {
  double worst = 0;
  for (int32_t y = 0; y + 1 < page.height(); y += 2) {
    for (int32_t x = 0; x + 1 < page.width(); x += 2) {
      std::array<double, 3> sum{};
      for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}}) {
        const Bgr c = page.pixel(x + dx, y + dy);
        sum[0] += c.r / 4.0, sum[1] += c.g / 4.0, sum[2] += c.b / 4.0;
      }
      worst = std::max(worst, DistanceFromHull(sum, hull));
    }
  }
  return worst;
}

TEST(PagePixels, AMipOfAStraightPageHoldsOnlyTheDrawingsColours) {
  // A grey background, far from both colours: a classic page's mip shows it, a straight one never.
  constexpr uint32_t kGrey = 0x808080;
  for (const Look& look : kLooks) {
    SCOPED_TRACE(Name(look));
    std::vector<std::array<double, 3>> hull{Rgb(kTextColour)};
    if (look.outline) hull.push_back(Rgb(kOutlineColour));
    if (look.shadow) hull.push_back(Rgb(kGrey));  // the shadow's colour is the background's
    const GenerationResult straight = Generate(look, kGrey, kPagePixelsStraight);
    EXPECT_LE(MipFarthestFromHull(straight.page, hull), 1.0);
    if (!look.shadow) {
      const GenerationResult classic = Generate(look, kGrey, kPagePixelsClassic);
      EXPECT_GT(MipFarthestFromHull(classic.colour, hull), 20.0);
    }
  }
}

TEST(PagePixels, DistanceFieldsMakeNoPage) {
  GenerationSettings s = TestSettings(256);
  s.antialiasMode = kAntialiasDistanceField;
  GenerationExtras extras;
  extras.pagePixels = kPagePixelsStraight;
  auto job = MakeJob(s, kJobPlace, nullptr, Selection(65, 90), extras);
  job->run();
  const GenerationResult result = job->takeResult();
  EXPECT_EQ(result.page.width(), 0);
  EXPECT_EQ(&ExportedColour(result), &result.colour);
}

// Bleeding on random masks: every transparent pixel takes the colour of an inked pixel at the
// smallest distance (each inked pixel has a colour of its own, so the source can be told).
TEST(PagePixels, BleedingTakesTheNearestInkedPixel) {
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {
    const int32_t w = 37 + round * 11, h = 29 + round * 7;
    const int seeds = 1 + round * 3;
    Image24 mask(w, h), page(w, h);
    std::vector<std::pair<int32_t, int32_t>> at;
    for (int i = 0; i < seeds; ++i) {
      const int32_t x = static_cast<int32_t>(random() % w), y = static_cast<int32_t>(random() % h);
      if (mask.pixel(x, y).b) continue;
      mask.setPixel(x, y, Bgr{255, 255, 255});
      const int n = static_cast<int>(at.size()) + 1;
      page.setPixel(x, y, Bgr{static_cast<uint8_t>(n), static_cast<uint8_t>(n * 3), 200});
      at.push_back({x, y});
    }
    BleedIntoTransparent(page, mask, 2);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const Bgr c = page.pixel(x, y);
        ASSERT_EQ(c.r, 200) << x << "," << y;
        ASSERT_GE(c.b, 1);
        ASSERT_LE(c.b, at.size());
        const auto [sx, sy] = at[c.b - 1];
        int64_t best = INT64_MAX;
        for (const auto& [ox, oy] : at) best = std::min<int64_t>(best, (ox - x) * (ox - x) + (oy - y) * (oy - y));
        EXPECT_EQ((sx - x) * (sx - x) + (sy - y) * (sy - y), best) << x << "," << y;
      }
    }
  }
}

TEST(PagePixels, APageWithoutInkIsLeftAsItIs) {
  Image24 mask(9, 9), page(9, 9);
  page.fill(Bgr{1, 2, 3});
  BleedIntoTransparent(page, mask, 2);
  EXPECT_EQ(page.pixel(4, 4), (Bgr{1, 2, 3}));
}

TEST(PagePixels, PremultiplyingRoundsToTheNearestLevel) {
  Image24 page(256, 256), mask(256, 256);
  for (int32_t a = 0; a < 256; ++a)
    for (int32_t c = 0; c < 256; ++c) {
      page.setPixel(c, a, Bgr{static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c), static_cast<uint8_t>(c)});
      mask.setPixel(c, a, Bgr{static_cast<uint8_t>(a), static_cast<uint8_t>(a), static_cast<uint8_t>(a)});
    }
  Premultiply(page, mask);
  for (int32_t a = 0; a < 256; ++a)
    for (int32_t c = 0; c < 256; ++c) {
      ASSERT_EQ(page.pixel(c, a).b, std::lround(c * a / 255.0)) << c << " " << a;
      ASSERT_EQ(page.pixel(c, a).g, std::lround((255 - c) * a / 255.0)) << c << " " << a;
    }
}

}  // namespace
}  // namespace glyphmill::testing
