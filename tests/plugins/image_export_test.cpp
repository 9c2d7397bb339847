// "PNG Image" and "TGA Image": the three buffer combinations, read back with independent readers.
#include <gtest/gtest.h>

#include "tests/plugins/plugin_test_support.h"

namespace glyphmill::plugintest {
namespace {

enum class Buffers { kColour, kAlpha, kBoth };

struct ImageCase {
  Buffers buffers;
  uint16_t width;
  uint16_t height;
};

std::string CaseName(const ImageCase& c) {
  const char* kind = c.buffers == Buffers::kColour ? "Colour" : c.buffers == Buffers::kAlpha ? "Alpha" : "Both";
  return std::string(kind) + std::to_string(c.width) + "x" + std::to_string(c.height);
}

TGraphicExportInfo RecordFor(const TestTexture& t, Buffers b, const std::string& file) {
  TGraphicExportInfo r{};
  r.FileName = file.c_str();
  r.Width = t.width;
  r.Height = t.height;
  r.RGB = b != Buffers::kAlpha ? t.bgr.data() : nullptr;
  r.Alpha = b != Buffers::kColour ? t.alpha.data() : nullptr;
  return r;
}

const ImageCase kCases[] = {
    {Buffers::kColour, 256, 128}, {Buffers::kAlpha, 256, 128}, {Buffers::kBoth, 256, 128},
    {Buffers::kColour, 1, 1},     {Buffers::kAlpha, 3, 257},   {Buffers::kBoth, 257, 3},
};

class PngImageExport : public ::testing::TestWithParam<ImageCase> {};

TEST_P(PngImageExport, DecodesToExactlyTheBufferBytes) {
  const ImageCase& c = GetParam();
  const TestTexture t = MakeTexture(c.width, c.height);
  ScratchFolder dir;
  const std::string path = dir.file("texture.png");
  LoadedPlugin("png_image.so").graphicExport(RecordFor(t, c.buffers, path));

  const DecodedImage image = ReadPng(path);
  EXPECT_EQ(image.width, c.width);
  EXPECT_EQ(image.height, c.height);
  EXPECT_EQ(image.bitDepth, 8);
  switch (c.buffers) {
    case Buffers::kColour:
      ASSERT_EQ(image.channels, 3);
      EXPECT_EQ(image.pixels, ExpectedRgb(t));
      break;
    case Buffers::kAlpha:
      ASSERT_EQ(image.channels, 1);
      EXPECT_EQ(image.pixels, t.alpha);
      break;
    case Buffers::kBoth:
      ASSERT_EQ(image.channels, 4);
      EXPECT_EQ(image.pixels, ExpectedRgba(t));
      break;
  }
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"texture.png"});
}

TEST_P(PngImageExport, SameInputGivesTheSameBytes) {
  const ImageCase& c = GetParam();
  const TestTexture t = MakeTexture(c.width, c.height);
  ScratchFolder dir;
  LoadedPlugin plugin("png_image.so");
  plugin.graphicExport(RecordFor(t, c.buffers, dir.file("a.png")));
  plugin.graphicExport(RecordFor(t, c.buffers, dir.file("b.png")));
  EXPECT_EQ(ReadBytes(dir.file("a.png")), ReadBytes(dir.file("b.png")));
  // Nothing that varies between runs, such as a time stamp, is written.
  for (const std::string& chunk : ReadPng(dir.file("a.png")).chunks) EXPECT_NE(chunk, "tIME");
}

INSTANTIATE_TEST_SUITE_P(Buffers, PngImageExport, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return CaseName(p.param); });

class TgaImageExport : public ::testing::TestWithParam<ImageCase> {};

TEST_P(TgaImageExport, HeaderDescribesTheImageAndPixelsRunTopRowFirst) {
  const ImageCase& c = GetParam();
  const TestTexture t = MakeTexture(c.width, c.height);
  ScratchFolder dir;
  const std::string path = dir.file("texture.tga");
  LoadedPlugin("tga_image.so").graphicExport(RecordFor(t, c.buffers, path));

  const TgaFile tga = ReadTga(path);
  EXPECT_EQ(tga.idLength, 0);
  EXPECT_EQ(tga.colourMapType, 0);
  EXPECT_EQ(tga.xOrigin, 0);
  EXPECT_EQ(tga.yOrigin, 0);
  EXPECT_EQ(tga.width, c.width);
  EXPECT_EQ(tga.height, c.height);
  // Bit 5 of the descriptor: the first stored row is the top row.
  EXPECT_EQ(tga.descriptor & 0x30, 0x20);
  switch (c.buffers) {
    case Buffers::kColour:
      EXPECT_EQ(tga.imageType, 2);
      EXPECT_EQ(tga.depth, 24);
      EXPECT_EQ(tga.descriptor & 0x0F, 0);
      EXPECT_EQ(tga.pixels, t.bgr);  // TGA stores blue, green, red: the buffer as it is
      break;
    case Buffers::kAlpha:
      EXPECT_EQ(tga.imageType, 3);
      EXPECT_EQ(tga.depth, 8);
      EXPECT_EQ(tga.pixels, t.alpha);
      break;
    case Buffers::kBoth: {
      EXPECT_EQ(tga.imageType, 2);
      EXPECT_EQ(tga.depth, 32);
      EXPECT_EQ(tga.descriptor & 0x0F, 8);
      ASSERT_EQ(tga.pixels.size(), t.alpha.size() * 4);
      for (std::size_t i = 0; i < t.alpha.size(); ++i) {
        ASSERT_EQ(tga.pixels[4 * i], t.bgr[3 * i]) << i;
        ASSERT_EQ(tga.pixels[4 * i + 1], t.bgr[3 * i + 1]) << i;
        ASSERT_EQ(tga.pixels[4 * i + 2], t.bgr[3 * i + 2]) << i;
        ASSERT_EQ(tga.pixels[4 * i + 3], t.alpha[i]) << i;
      }
      break;
    }
  }
  // A TGA 2.0 footer without extension area or developer directory.
  std::vector<uint8_t> footer(8, 0);
  for (char ch : std::string("TRUEVISION-XFILE.")) footer.push_back(static_cast<uint8_t>(ch));
  footer.push_back(0);
  EXPECT_EQ(tga.footer, footer);
}

INSTANTIATE_TEST_SUITE_P(Buffers, TgaImageExport, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return CaseName(p.param); });

}  // namespace
}  // namespace glyphmill::plugintest
