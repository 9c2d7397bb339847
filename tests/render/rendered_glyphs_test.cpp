// Drawing passes render their glyphs on several threads and keep them for the job's later passes;
// what they draw must be exactly what one face drawing the records one after the other draws.
#include "render/rendered_glyphs.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/glyph_drawing.h"
#include "settings/generation_settings.h"
#include "tests/settings/font_test_util.h"

namespace glyphmill {
namespace {

// Records of many code units (enough for several threads) packed so tightly that neighbours' ink
// overlaps: a change of the compositing order shows in the pixels.
std::vector<PlacedCharacter> OverlappingTable() {
  std::vector<PlacedCharacter> chars;
  auto add = [&chars](uint32_t first, uint32_t last) {
    for (uint32_t u = first; u <= last; ++u) {
      PlacedCharacter c{};
      const int32_t i = static_cast<int32_t>(chars.size());
      c.codeUnit = static_cast<uint16_t>(u);
      c.cellX = (i % 24) * 9;
      c.cellY = (i / 24) * 11;
      chars.push_back(c);
    }
  };
  add(33, 126);
  add(0xA1, 0x17F);
  add(0x391, 0x3C9);
  add(0x400, 0x4FF);
  return chars;
}

std::unique_ptr<FontFace> OpenDejaVu(int points) {
  std::string error;
  std::unique_ptr<FontFace> face = FontFace::Open({testing::kDejaVuSans, points, false, false}, &error);
  EXPECT_NE(face, nullptr) << error;
  return face;
}

// One face, one record after the other, as drawing worked before the glyphs were shared.
void DrawOneByOne(FontFace& face, uint16_t mode, const std::vector<PlacedCharacter>& chars,
                  const std::vector<uint8_t>& placed, Image24& target, TargetKind kind, Bgr colour) {
  Image24 scratch(target.width(), target.height());
  const bool cleartype = mode == kAntialiasCleartype;
  Image24& surface = cleartype ? scratch : target;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (!placed[i]) continue;
    GlyphImage g;
    if (!face.renderGlyph(chars[i].codeUnit, mode, &g)) continue;
    CompositeGlyph(surface, g, int64_t{chars[i].cellX} + chars[i].drawOffsetX + g.left,
                   int64_t{chars[i].cellY} + chars[i].drawOffsetY + face.ascent() - g.top,
                   cleartype ? Bgr{255, 255, 255} : colour);
  }
  if (cleartype) ApplyCleartype(scratch, target, kind, colour);
}

bool SamePixels(const Image24& a, const Image24& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.data(), b.data(), a.stride() * static_cast<std::size_t>(a.height())) == 0;
}

class SharedGlyphs : public ::testing::TestWithParam<uint16_t> {};

TEST_P(SharedGlyphs, EveryPassDrawsWhatOneFaceDrawsInTableOrder) {
  const uint16_t mode = GetParam();
  std::unique_ptr<FontFace> face = OpenDejaVu(14);
  std::unique_ptr<FontFace> reference = OpenDejaVu(14);
  ASSERT_TRUE(face && reference);
  std::vector<PlacedCharacter> chars = OverlappingTable();
  ASSERT_GE(chars.size(), 512u);
  std::vector<uint8_t> placed(chars.size(), 1);
  placed[7] = 0;  // a record without room is drawn by neither
  const GlyphSource source{face.get(), mode, &chars, &placed};
  const Bgr ink{30, 140, 250};

  Image24 expected(232, 340), scratch(232, 340);
  expected.fill(90, 60, 30);
  DrawOneByOne(*reference, mode, chars, placed, expected, TargetKind::Colour, ink);

  ProgressReporter progress;
  StopFlag stop{false};
  // The first pass renders; the second composites the glyphs the first one kept.
  for (int pass = 0; pass < 2; ++pass) {
    Image24 drawn(232, 340);
    drawn.fill(90, 60, 30);
    ASSERT_TRUE(DrawCharacters(source, drawn, TargetKind::Colour, ink, scratch, progress, stop));
    EXPECT_TRUE(SamePixels(drawn, expected)) << "pass " << pass;
  }
  Image24 grey(232, 340), greyExpected(232, 340);
  DrawOneByOne(*reference, mode, chars, placed, greyExpected, TargetKind::Grey, Bgr{255, 255, 255});
  ASSERT_TRUE(DrawCharacters(source, grey, TargetKind::Grey, Bgr{255, 255, 255}, scratch, progress, stop));
  EXPECT_TRUE(SamePixels(grey, greyExpected));
}

INSTANTIATE_TEST_SUITE_P(Modes, SharedGlyphs,
                         ::testing::Values(uint16_t{kAntialiasSmooth}, uint16_t{kAntialiasCleartype},
                                           uint16_t{kAntialiasNone}));

TEST(SharedGlyphsKept, ARecordThatNowHoldsAnotherCodeUnitIsRenderedAgain) {
  std::unique_ptr<FontFace> face = OpenDejaVu(20);
  std::unique_ptr<FontFace> reference = OpenDejaVu(20);
  ASSERT_TRUE(face && reference);
  std::vector<PlacedCharacter> chars(2);
  chars[0].codeUnit = 'A';
  chars[1].codeUnit = 'B';
  chars[1].cellX = 20;
  std::vector<uint8_t> placed(2, 1);
  const GlyphSource source{face.get(), kAntialiasSmooth, &chars, &placed};
  Image24 target(48, 32), scratch(48, 32);
  ProgressReporter progress;
  StopFlag stop{false};
  ASSERT_TRUE(DrawCharacters(source, target, TargetKind::Grey, Bgr{255, 255, 255}, scratch, progress, stop));
  chars[0].codeUnit = 'W';
  Image24 again(48, 32), expected(48, 32);
  ASSERT_TRUE(DrawCharacters(source, again, TargetKind::Grey, Bgr{255, 255, 255}, scratch, progress, stop));
  DrawOneByOne(*reference, kAntialiasSmooth, chars, placed, expected, TargetKind::Grey, Bgr{255, 255, 255});
  EXPECT_TRUE(SamePixels(again, expected));
  EXPECT_FALSE(SamePixels(again, target));
}

TEST(SharedGlyphsKept, AStopRequestEndsThePassAfterTheGlyphJustDrawn) {
  std::unique_ptr<FontFace> face = OpenDejaVu(14);
  ASSERT_TRUE(face);
  std::vector<PlacedCharacter> chars = OverlappingTable();
  std::vector<uint8_t> placed(chars.size(), 1);
  RenderedGlyphs glyphs;
  std::vector<int32_t> todo(chars.size());
  for (std::size_t i = 0; i < todo.size(); ++i) todo[i] = static_cast<int32_t>(i);
  int32_t consumed = 0;
  EXPECT_FALSE(glyphs.renderInOrder(face.get(), {}, kAntialiasSmooth, chars, todo, 2, [&](int32_t k) {
    EXPECT_EQ(k, consumed);
    EXPECT_NE(glyphs.glyph(todo[static_cast<std::size_t>(k)]), nullptr);
    ++consumed;
    return k < 4;
  }));
  EXPECT_EQ(consumed, 5);
  // Without a face nothing is rendered, and every record is consumed without a glyph.
  RenderedGlyphs none;
  int32_t seen = 0;
  EXPECT_TRUE(none.renderInOrder(nullptr, {}, kAntialiasSmooth, chars, todo, 2, [&](int32_t k) {
    EXPECT_EQ(none.glyph(todo[static_cast<std::size_t>(k)]), nullptr);
    ++seen;
    return true;
  }));
  EXPECT_EQ(seen, static_cast<int32_t>(todo.size()));
}

}  // namespace
}  // namespace glyphmill
