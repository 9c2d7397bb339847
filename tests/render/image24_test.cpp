#include "render/image24.h"

#include <gtest/gtest.h>

#include <vector>

#include <cstdint>

namespace glyphmill {
namespace {

int CountColour(const Image24& img, Bgr c) {
  int n = 0;
  for (int32_t y = 0; y < img.height(); ++y)
    for (int32_t x = 0; x < img.width(); ++x) n += img.pixel(x, y) == c;
  return n;
}

TEST(Image24, RowsAreBlueGreenRedWithoutPadding) {
  Image24 img(5, 3);
  EXPECT_EQ(img.stride(), 15u);
  EXPECT_EQ(img.row(1) - img.row(0), 15);
  img.setPixel(2, 1, Bgr{10, 20, 30});
  const uint8_t* p = img.row(1) + 6;
  EXPECT_EQ(p[0], 10);
  EXPECT_EQ(p[1], 20);
  EXPECT_EQ(p[2], 30);
  EXPECT_EQ(CountColour(img, Bgr{}), 14) << "a new image is black";
}

TEST(Image24, RectanglesExcludeRightAndBottomEdges) {
  Image24 img(10, 10);
  const Bgr red{0, 0, 255};
  img.fillRect(2, 3, 5, 7, red);
  EXPECT_EQ(CountColour(img, red), 3 * 4);
  EXPECT_EQ(img.pixel(4, 6), red);
  EXPECT_NE(img.pixel(5, 6), red);
  EXPECT_NE(img.pixel(4, 7), red);

  Image24 pen(10, 10);
  pen.fillRectNoPen(0, 0, 10, 10, red);
  EXPECT_EQ(CountColour(pen, red), 81) << "a pen-less filled rectangle leaves the last row and column";
  EXPECT_EQ(pen.pixel(9, 3), Bgr{});
  EXPECT_EQ(pen.pixel(3, 9), Bgr{});
}

TEST(Image24, FrameDrawsTheOnePixelBorderInsideTheEdges) {
  Image24 img(10, 10);
  const Bgr g{0, 128, 0};
  img.frameRect(1, 1, 5, 4, g);  // 4 x 3 rectangle: columns 1..4, rows 1..3
  EXPECT_EQ(CountColour(img, g), 4 + 4 + 1 + 1);
  EXPECT_EQ(img.pixel(4, 3), g);
  EXPECT_EQ(img.pixel(2, 2), Bgr{}) << "frames are not filled";
  EXPECT_EQ(img.pixel(5, 1), Bgr{});

  Image24 empty(10, 10);
  empty.frameRect(3, 1, 3, 8, g);
  EXPECT_EQ(CountColour(empty, g), 0) << "no width, nothing drawn";

  Image24 reversed(10, 10);
  reversed.frameRect(5, 4, 1, 1, g);
  EXPECT_EQ(CountColour(reversed, g), 10) << "reversed edges give the same frame";
}

TEST(Image24, DrawingOutsideTheImageIsClipped) {
  Image24 img(4, 4);
  const Bgr w{255, 255, 255};
  img.fillRect(-100, -100, 2, 100000, w);
  EXPECT_EQ(CountColour(img, w), 8);
  img.frameRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, w);
  img.fillRectNoPen(INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, w);
  img.setPixel(-1, 0, w);
  img.setPixel(4, 0, w);
  EXPECT_EQ(CountColour(img, w), 8);
}

TEST(Image24, CopiesWholeImagesAndClippedBlocks) {
  Image24 src(6, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) src.setPixel(x, y, Bgr{uint8_t(x), uint8_t(y), 7});
  Image24 whole;
  whole.copyFrom(src);
  ASSERT_EQ(whole.width(), 6);
  ASSERT_EQ(whole.height(), 4);
  EXPECT_EQ(whole.pixel(5, 3), (Bgr{5, 3, 7}));

  Image24 dst(6, 4);
  dst.copyRect(src, 0, 0, 6 - 2, 4 - 2, 2, 2);  // the shift the drop shadow makes
  EXPECT_EQ(dst.pixel(2, 2), (Bgr{0, 0, 7}));
  EXPECT_EQ(dst.pixel(5, 3), (Bgr{3, 1, 7}));
  EXPECT_EQ(dst.pixel(1, 3), Bgr{});

  Image24 clipped(3, 3);
  clipped.copyRect(src, -2, -1, 100, 100, 0, 0);
  EXPECT_EQ(clipped.pixel(2, 1), (Bgr{0, 0, 7})) << "source pixel (0,0) lands at (2,1)";
  clipped.copyRect(src, 0, 0, -5, 3, 0, 0);  // a negative size copies nothing
  EXPECT_EQ(clipped.pixel(0, 0), Bgr{});
}

TEST(Image24, ResizeClearsAndRefusesNegativeSides) {
  Image24 img(3, 3);
  img.fill(1, 2, 3);
  EXPECT_EQ(img.pixel(2, 2), (Bgr{1, 2, 3}));
  img.resize(-4, 2);
  EXPECT_EQ(img.width(), 0);
  EXPECT_EQ(img.height(), 2);
  img.resize(2, 2);
  EXPECT_EQ(img.pixel(1, 1), Bgr{});
}

// A fresh image is black without being written, so clearing it to black can be skipped; every way
// of drawing on it must end that, or a later clear would leave the drawing behind.
TEST(Image24, ClearingToBlackAfterAnyDrawingClears) {
  const Bgr red{0, 0, 255};
  for (int way = 0; way < 6; ++way) {
    for (int32_t side : {8, 1024}) {  // calloc'd and freshly mapped memory
      Image24 img(side, side);
      Image24 other(side, side);
      other.fill(red);
      switch (way) {
        case 0: img.setPixel(3, 4, red); break;
        case 1: img.fillRect(0, 0, 5, 5, red); break;
        case 2: img.fill(9, 9, 9); break;
        case 3: img.row(4)[9] = 255; break;
        case 4: img.copyRect(other, 0, 0, 6, 6, 0, 0); break;
        case 5: img.copyFrom(other); break;
      }
      ASSERT_NE(CountColour(img, Bgr{}), side * side) << "way " << way;
      Image24 moved(std::move(img));
      moved.fill(0, 0, 0);
      EXPECT_EQ(CountColour(moved, Bgr{}), side * side) << "way " << way << " side " << side;
      moved.setPixel(1, 1, red);
      moved.resize(side, side);  // the same size: cleared in place
      EXPECT_EQ(CountColour(moved, Bgr{}), side * side) << "way " << way << " side " << side;
    }
  }
}

TEST(Image24, TextureSizedImagesLieOnHugePageBoundariesAndStartBlack) {
  // 1024 x 1024 x 3 bytes is above the huge-page threshold; 16 x 16 is below it.
  Image24 large(1024, 1024);
  ASSERT_GE(large.stride() * static_cast<std::size_t>(large.height()), kHugePageBytes);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.data()) % kHugePageBytes, 0u);
  EXPECT_EQ(large.pixel(1023, 1023), Bgr{});
  large.fill(7, 8, 9);
  EXPECT_EQ(CountColour(large, Bgr{7, 8, 9}), 1024 * 1024);
  Image24 moved(std::move(large));
  EXPECT_EQ(moved.pixel(0, 1023), (Bgr{7, 8, 9}));
  moved.resize(16, 16);  // shrinking gives the huge pages back and keeps the image usable
  EXPECT_EQ(CountColour(moved, Bgr{}), 256);
}

TEST(Image24, ColourReferencesHaveRedInTheLowByte) {
  EXPECT_EQ(BgrFromColourRef(255), (Bgr{0, 0, 255}));
  EXPECT_EQ(BgrFromColourRef(32768), (Bgr{0, 128, 0}));
  EXPECT_EQ(BgrFromColourRef(16711680), (Bgr{255, 0, 0}));
}

TEST(Image24, FirstChannelCopyIsEachPixelsBlueByteRowAfterRow) {
  Image24 img(3, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x)
      img.setPixel(x, y, Bgr{static_cast<uint8_t>(10 * y + x), static_cast<uint8_t>(100 + x), 200});
  std::vector<uint8_t> out(6, 99);
  img.copyFirstChannel(out.data());
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 1, 2, 10, 11, 12}));
}

}  // namespace
}  // namespace glyphmill
