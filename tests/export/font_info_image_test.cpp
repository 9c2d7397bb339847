// The font information image: what the program writes is what the plug-in host reads back, at
// another address, and a damaged image is refused rather than read past its end.
#include "host/font_info_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace glyphmill {
namespace {

struct Sample {
  std::string face = "DejaVu Sans";
  std::vector<uint8_t> placed{1, 0, 1};
  std::vector<GlyphmillCharGeometry> geometry{{4, 3}, {-2, 7}, {0, 0}};
  std::vector<GlyphmillKerningPair> kernings{{'A', 'V', -3}, {'T', 'o', -2}};
  GlyphmillFontInfoV1 v1{};
  GlyphmillFontInfoV2 v2{};
  Sample() {
    v1.struct_size = sizeof v1;
    v1.point_size = 24;
    v1.pixel_size = 32;
    v1.line_height = 40;
    v1.base = 30;
    v1.ascent = 27;
    v1.descent = 7;
    v1.outline_width = 2;
    v1.bold = 1;
    v1.antialias_mode = 2;
    v1.char_count = 3;
    v1.face_name = face.c_str();
    v1.placed = placed.data();
    v1.kerning_count = 2;
    v1.kernings = kernings.data();
    v2.struct_size = sizeof v2;
    v2.line_height = 34;
    v2.char_count = 3;
    v2.distance_range = 8;
    v2.geometry = geometry.data();
  }
};

// An image copied to an 8-byte aligned place elsewhere, as the host's mapping holds it.
struct Placed {
  std::vector<uint64_t> words;
  std::size_t size;
  explicit Placed(const std::vector<uint8_t>& image) : words((image.size() + 7) / 8 + 1), size(image.size()) {
    std::memcpy(words.data(), image.data(), image.size());
  }
  const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(words.data()); }
};

TEST(FontInfoImage, RecordsComeBackWithPointersIntoTheImage) {
  Sample s;
  const Placed image(WriteFontInfoImage(s.v1, s.v2));
  const auto r = ReadFontInfoImage(image.data(), image.size);
  ASSERT_TRUE(r.has_value());
  const uint8_t* begin = image.data();
  const uint8_t* end = begin + image.size;
  const auto inside = [&](const void* p) {
    return static_cast<const uint8_t*>(p) >= begin && static_cast<const uint8_t*>(p) < end;
  };

  EXPECT_EQ(r->v1.struct_size, sizeof(GlyphmillFontInfoV1));
  EXPECT_EQ(r->v1.point_size, 24);
  EXPECT_EQ(r->v1.pixel_size, 32);
  EXPECT_EQ(r->v1.line_height, 40);
  EXPECT_EQ(r->v1.base, 30);
  EXPECT_EQ(r->v1.ascent, 27);
  EXPECT_EQ(r->v1.descent, 7);
  EXPECT_EQ(r->v1.outline_width, 2);
  EXPECT_EQ(r->v1.bold, 1);
  EXPECT_EQ(r->v1.italic, 0);
  EXPECT_EQ(r->v1.antialias_mode, 2);
  EXPECT_STREQ(r->v1.face_name, "DejaVu Sans");
  EXPECT_TRUE(inside(r->v1.face_name));
  ASSERT_EQ(r->v1.char_count, 3u);
  EXPECT_TRUE(inside(r->v1.placed));
  EXPECT_EQ(std::vector<uint8_t>(r->v1.placed, r->v1.placed + 3), s.placed);
  ASSERT_EQ(r->v1.kerning_count, 2u);
  EXPECT_TRUE(inside(r->v1.kernings));
  EXPECT_EQ(r->v1.kernings[0].first, 'A');
  EXPECT_EQ(r->v1.kernings[0].second, 'V');
  EXPECT_EQ(r->v1.kernings[0].amount, -3);
  EXPECT_EQ(r->v1.kernings[1].amount, -2);

  EXPECT_EQ(r->v2.struct_size, sizeof(GlyphmillFontInfoV2));
  EXPECT_EQ(r->v2.line_height, 34);  // the font's line, not the cells'
  EXPECT_EQ(r->v2.ascent, 27);
  EXPECT_EQ(r->v2.distance_range, 8u);
  ASSERT_NE(r->v2.geometry, nullptr);
  EXPECT_TRUE(inside(r->v2.geometry));
  EXPECT_EQ(r->v2.geometry[1].draw_offset_x, -2);
  EXPECT_EQ(r->v2.geometry[1].draw_offset_y, 7);
  EXPECT_EQ(r->v2.placed, r->v1.placed);
  EXPECT_EQ(r->v2.kernings, r->v1.kernings);
}

// The page buffers are written one part after another, each stretch announced just before it is
// written and each page's `written` told once both of its buffers are in place: an export that
// releases a page there never holds both copies of more than that page.
TEST(FontInfoImage, EachPageIsAnnouncedWrittenAndThenReleasedInTurn) {
  Sample s;
  std::vector<std::string> events;
  std::vector<uint8_t> block;
  PagesImageSource pages;
  std::vector<TExportCharInfo> chars(3);
  std::vector<uint32_t> charPages{0, 1, 2};
  pages.chars = chars;
  pages.charPages = charPages;
  pages.placed = s.placed;
  pages.geometry = s.geometry;
  pages.pages.push_back({4, 2, {}, {}, {}});
  for (uint32_t k = 1; k <= 2; ++k) {
    PageImageSource page{3, 2, {}, {}, {}};
    page.writeRgb = [&events, k](uint8_t* dst) {
      std::memset(dst, static_cast<int>(10 * k), 18);
      events.push_back("rgb " + std::to_string(k));
    };
    page.writeAlpha = [&events, k](uint8_t* dst) {
      std::memset(dst, static_cast<int>(10 * k + 1), 6);
      events.push_back("alpha " + std::to_string(k));
    };
    page.written = [&events, k] { events.push_back("written " + std::to_string(k)); };
    pages.pages.push_back(std::move(page));
  }
  const FontInfoImage image = WriteFontInfoImageParts(s.v1, s.v2, &pages);
  ASSERT_EQ(image.parts.size(), 4u);
  std::vector<uint64_t> words((image.size + 7) / 8, ~uint64_t{0});
  auto* dst = reinterpret_cast<uint8_t*>(words.data());
  uint64_t announced = 0;
  image.writeTo(dst, [&](uint64_t offset, uint64_t bytes) {
    // The stretches follow each other without a gap, and none is written yet.
    EXPECT_EQ(offset, announced);
    EXPECT_EQ(dst[offset + bytes - 1], 0xFF);
    announced = offset + bytes;
    events.push_back("prepare " + std::to_string(bytes));
  });
  EXPECT_EQ(announced, image.size);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0].rfind("prepare ", 0), 0u);  // the head
  std::vector<std::string> writes;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].rfind("prepare ", 0) == 0) continue;
    // Every buffer's stretch is announced right before the buffer is written.
    if (events[i].rfind("written ", 0) != 0) {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(events[i - 1].rfind("prepare ", 0), 0u) << events[i];
    }
    writes.push_back(events[i]);
  }
  EXPECT_EQ(writes, (std::vector<std::string>{"rgb 1", "alpha 1", "written 1", "rgb 2", "alpha 2", "written 2"}));

  const auto r = ReadFontInfoImage(dst, image.size);
  ASSERT_TRUE(r.has_value());
  ASSERT_EQ(r->pageList.size(), 3u);
  EXPECT_EQ(r->pageList[2].rgb[17], 20);
  EXPECT_EQ(r->pageList[2].alpha[5], 21);
  EXPECT_EQ(r->pageList[1].alpha[0], 11);
}

TEST(FontInfoImage, NoCharactersAndNoKerningGiveNullPointers) {
  GlyphmillFontInfoV1 v1{};
  GlyphmillFontInfoV2 v2{};
  const Placed image(WriteFontInfoImage(v1, v2));
  const auto r = ReadFontInfoImage(image.data(), image.size);
  ASSERT_TRUE(r.has_value());
  EXPECT_STREQ(r->v1.face_name, "");
  EXPECT_EQ(r->v1.placed, nullptr);
  EXPECT_EQ(r->v1.kernings, nullptr);
  EXPECT_EQ(r->v2.geometry, nullptr);
}

TEST(FontInfoImage, DamagedImagesAreRefused) {
  Sample s;
  const std::vector<uint8_t> good = WriteFontInfoImage(s.v1, s.v2);
  // Cut short: the kerning pairs at its end no longer fit.
  const Placed whole(good);
  EXPECT_FALSE(ReadFontInfoImage(whole.data(), good.size() - 8).has_value());
  EXPECT_FALSE(ReadFontInfoImage(whole.data(), 16).has_value());
  EXPECT_FALSE(ReadFontInfoImage(nullptr, good.size()).has_value());
  // Another magic number.
  std::vector<uint8_t> wrongMagic = good;
  wrongMagic[0] ^= 0xFF;
  const Placed magic(wrongMagic);
  EXPECT_FALSE(ReadFontInfoImage(magic.data(), wrongMagic.size()).has_value());
  // A face name without its terminator up to the end.
  std::vector<uint8_t> noEnd = good;
  for (std::size_t i = 0; i + 12 <= noEnd.size(); ++i)
    if (std::memcmp(noEnd.data() + i, "DejaVu Sans", 11) == 0) noEnd[i + 11] = 'x';
  const Placed unterminated(noEnd);
  EXPECT_FALSE(ReadFontInfoImage(unterminated.data(), noEnd.size()).has_value());
  // An image at an odd address.
  std::vector<uint8_t> shifted(good.size() + 9);
  const Placed holder(shifted);
  EXPECT_FALSE(ReadFontInfoImage(holder.data() + 1, good.size()).has_value());
}

}  // namespace
}  // namespace glyphmill
