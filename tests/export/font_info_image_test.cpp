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
  for (std::size_t i = 0; i < noEnd.size(); ++i)
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
