// Helpers for the exporter tests: loading a plug-in library, generated textures and character
// tables, and independent readers for every file the exporters write (PNG through libpng, TGA,
// and the four BMFont forms).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "glyphmill/host.h"
#include "glyphmill/plugin.h"
#include "scratch_folder.h"

namespace glyphmill::plugintest {

// ---- plug-in libraries -------------------------------------------------------------------
// A shipped exporter opened with dlopen (RTLD_NOW | RTLD_LOCAL), as the host opens it.
class LoadedPlugin {
 public:
  explicit LoadedPlugin(const std::string& fileName);  // a name inside the build's plugins/ folder
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  void* symbol(const char* name) const;
  TPluginInfo info() const;  // GetPluginInfo into a zeroed record
  std::string name() const;  // the Name short string of info()

  void simpleExport(const TSimpleExportInfo& record) const;
  void graphicExport(const TGraphicExportInfo& record) const;
  void dataExport(const TDataExportInfo& record) const;

 private:
  void* handle_ = nullptr;
};

std::string PluginPath(const std::string& fileName);
std::string ShortString(const uint8_t* field);

// ---- generated input -----------------------------------------------------------------------
// A texture whose every byte depends on its position, so that any swapped channel, flipped row
// or shifted pixel shows in a comparison.
struct TestTexture {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint8_t> bgr;    // width * height * 3
  std::vector<uint8_t> alpha;  // width * height
};
TestTexture MakeTexture(uint16_t width, uint16_t height);

// `count` characters from code 33 up, cells of cellWidth x cellHeight laid out in rows inside the
// texture, advances varying per character (some PreAdvance negative).
std::vector<TExportCharInfo> MakeCharTable(uint32_t count, uint16_t textureWidth, uint32_t cellWidth,
                                           uint32_t cellHeight);

// A fresh, empty folder under the system's temporary folder, removed with the object.
using glyphmill::testing::ScratchFolder;

std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

// ---- image readers -------------------------------------------------------------------------
struct DecodedImage {
  uint32_t width = 0;
  uint32_t height = 0;
  int channels = 0;  // 1 grey, 3 RGB, 4 RGBA
  int bitDepth = 0;
  std::vector<uint8_t> pixels;      // rows top first, channels interleaved as stored
  std::vector<std::string> chunks;  // chunk names in file order
};
// Decodes with libpng's reading API; throws std::runtime_error on a damaged file.
DecodedImage ReadPng(const std::string& path);

struct TgaFile {
  uint8_t idLength = 0, colourMapType = 0, imageType = 0;
  uint16_t xOrigin = 0, yOrigin = 0, width = 0, height = 0;
  uint8_t depth = 0, descriptor = 0;
  std::vector<uint8_t> pixels;  // as stored, in file order
  std::vector<uint8_t> footer;  // the bytes after the pixels
};
TgaFile ReadTga(const std::string& path);

// The texture's buffers in a decoded image's channel order (RGB, RGBA or grey).
std::vector<uint8_t> ExpectedRgb(const TestTexture& t);
std::vector<uint8_t> ExpectedRgba(const TestTexture& t);

// ---- BMFont readers ------------------------------------------------------------------------
struct BmChar {
  int64_t id = 0, x = 0, y = 0, width = 0, height = 0, xoffset = 0, yoffset = 0, xadvance = 0, page = 0, chnl = 0;
  bool operator==(const BmChar&) const = default;
};
struct BmKerning {
  int64_t first = 0, second = 0, amount = 0;
  bool operator==(const BmKerning&) const = default;
};
// One BMFont descriptor, in whichever form it was read from.
struct BmFont {
  std::string face;
  int64_t size = 0, bold = 0, italic = 0, unicode = 0, smooth = 0, outline = 0;
  int64_t lineHeight = 0, base = 0, scaleW = 0, scaleH = 0, pages = 0, packed = 0;
  int64_t alphaChnl = 0, redChnl = 0, greenChnl = 0, blueChnl = 0;
  std::vector<std::string> pageFiles;
  std::vector<BmChar> chars;
  std::vector<BmKerning> kernings;
  int64_t declaredChars = -1;     // "chars count" (text, XML)
  int64_t declaredKernings = -1;  // "kernings count" (text, XML), -1 when the block is absent
};

// A line of the text form: its tag and its key=value fields in file order (quotes removed).
struct TextLine {
  std::string tag;
  std::vector<std::pair<std::string, std::string>> fields;
};
std::vector<TextLine> SplitBmFontText(const std::string& text);
BmFont ParseBmFontText(const std::string& text);
BmFont ParseBmFontXml(const std::string& text);
BmFont ParseBmFontBinary(const std::vector<uint8_t>& bytes);
// The JSON form ("pages", "chars", "info", "common", "kernings"); throws on a missing field.
BmFont ParseBmFontJson(const std::string& text);

}  // namespace glyphmill::plugintest
