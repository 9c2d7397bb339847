#include "plugins/bmfont_binary/bmfont_binary_format.h"

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {
namespace {

enum BlockType : uint8_t { kInfoBlock = 1, kCommonBlock = 2, kPagesBlock = 3, kCharsBlock = 4, kKerningBlock = 5 };

// info bitField, numbered from the high bit as BMFont does: smooth, unicode, italic, bold.
constexpr uint8_t kInfoSmooth = 0x80;
constexpr uint8_t kInfoUnicode = 0x40;
constexpr uint8_t kInfoItalic = 0x20;
constexpr uint8_t kInfoBold = 0x10;
// common bitField: packed is the lowest bit.
constexpr uint8_t kCommonPacked = 0x01;

class ByteWriter {
 public:
  template <typename T>
  void put(const char* field, long long value) {
    if (value < static_cast<long long>(std::numeric_limits<T>::min()) ||
        value > static_cast<long long>(std::numeric_limits<T>::max())) {
      throw std::runtime_error(BinaryFieldRangeMessage(field, value));
    }
    auto v = static_cast<std::make_unsigned_t<T>>(static_cast<T>(value));
    for (std::size_t b = 0; b < sizeof(T); ++b) bytes_ += static_cast<char>((v >> (8 * b)) & 0xFF);
  }
  void putString(const std::string& text) {
    // A zero-terminated field: the text stops at an embedded zero.
    bytes_.append(text.c_str());
    bytes_ += '\0';
  }
  // Starts a block; EndBlock fills in its size once the data is written.
  std::size_t beginBlock(uint8_t type) {
    bytes_ += static_cast<char>(type);
    const std::size_t at = bytes_.size();
    bytes_.append(4, '\0');
    return at;
  }
  void endBlock(std::size_t at) {
    const auto size = static_cast<uint32_t>(bytes_.size() - at - 4);
    for (std::size_t b = 0; b < 4; ++b) bytes_[at + b] = static_cast<char>((size >> (8 * b)) & 0xFF);
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace

std::string FormatBmFontBinary(const BmFontDescription& font) {
  const BmFontInfo& i = font.info;
  const BmFontCommon& c = font.common;
  ByteWriter w;
  w.bytes() = "BMF";
  w.bytes() += static_cast<char>(kBmFontBinaryVersion);

  std::size_t block = w.beginBlock(kInfoBlock);
  w.put<int16_t>("size", i.size);
  w.put<uint8_t>("info bits", (i.smooth ? kInfoSmooth : 0) | (i.unicode ? kInfoUnicode : 0) |
                                  (i.italic ? kInfoItalic : 0) | (i.bold ? kInfoBold : 0));
  w.put<uint8_t>("charSet", 0);
  w.put<uint16_t>("stretchH", i.stretchH);
  w.put<uint8_t>("aa", i.aa);
  for (int32_t p : i.padding) w.put<uint8_t>("padding", p);
  for (int32_t s : i.spacing) w.put<uint8_t>("spacing", s);
  w.put<uint8_t>("outline", i.outline);
  w.putString(i.face);
  w.endBlock(block);

  block = w.beginBlock(kCommonBlock);
  w.put<uint16_t>("lineHeight", c.lineHeight);
  w.put<uint16_t>("base", c.base);
  w.put<uint16_t>("scaleW", c.scaleW);
  w.put<uint16_t>("scaleH", c.scaleH);
  w.put<uint16_t>("pages", c.pages);
  w.put<uint8_t>("common bits", c.packed ? kCommonPacked : 0);
  w.put<uint8_t>("alphaChnl", c.alphaChnl);
  w.put<uint8_t>("redChnl", c.redChnl);
  w.put<uint8_t>("greenChnl", c.greenChnl);
  w.put<uint8_t>("blueChnl", c.blueChnl);
  w.endBlock(block);

  block = w.beginBlock(kPagesBlock);
  // Every page name, each zero-terminated; BMFont readers take them all to be as long as the first.
  for (const std::string& file : font.pageFiles) w.putString(file);
  w.endBlock(block);

  block = w.beginBlock(kCharsBlock);
  for (const BmFontChar& ch : font.chars) {
    w.put<uint32_t>("char id", ch.id);
    w.put<uint16_t>("char x", ch.x);
    w.put<uint16_t>("char y", ch.y);
    w.put<uint16_t>("char width", ch.width);
    w.put<uint16_t>("char height", ch.height);
    w.put<int16_t>("char xoffset", ch.xoffset);
    w.put<int16_t>("char yoffset", ch.yoffset);
    w.put<int16_t>("char xadvance", ch.xadvance);
    w.put<uint8_t>("char page", ch.page);
    w.put<uint8_t>("char chnl", ch.chnl);
  }
  w.endBlock(block);

  if (!font.kernings.empty()) {
    block = w.beginBlock(kKerningBlock);
    for (const KerningPair& k : font.kernings) {
      w.put<uint32_t>("kerning first", k.first);
      w.put<uint32_t>("kerning second", k.second);
      w.put<int16_t>("kerning amount", k.amount);
    }
    w.endBlock(block);
  }
  return std::move(w.bytes());
}

}  // namespace glyphmill::plugins
