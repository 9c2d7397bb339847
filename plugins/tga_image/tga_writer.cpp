#include "plugins/tga_image/tga_writer.h"

#include <stdexcept>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {
namespace {

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

}  // namespace

std::string EncodeTga(uint16_t width, uint16_t height, const uint8_t* bgr, const uint8_t* alpha) {
  if (width == 0 || height == 0) throw std::runtime_error(EmptyTextureMessage(width, height));
  if (bgr == nullptr && alpha == nullptr) throw std::runtime_error(NoImageBufferMessage());
  const bool colour = bgr != nullptr;
  const uint8_t depth = colour ? (alpha != nullptr ? 32 : 24) : 8;
  const uint8_t attributeBits = colour && alpha != nullptr ? 8 : 0;
  const std::size_t pixels = std::size_t{width} * height;

  std::string out;
  out.reserve(kTgaHeaderBytes + pixels * (depth / 8) + 26);
  out += '\0';  // no image id
  out += '\0';  // no colour map
  out += static_cast<char>(colour ? kTgaTrueColour : kTgaGrey);
  out.append(5, '\0');  // colour map fields, unused
  Put16(out, 0);        // x origin
  Put16(out, 0);        // y origin
  Put16(out, width);
  Put16(out, height);
  out += static_cast<char>(depth);
  out += static_cast<char>(kTgaTopLeftOrigin | attributeBits);

  const std::size_t start = out.size();
  out.resize(start + pixels * (depth / 8));
  char* p = out.data() + start;
  if (colour && alpha != nullptr) {
    for (std::size_t i = 0; i < pixels; ++i) {
      *p++ = static_cast<char>(bgr[3 * i]);
      *p++ = static_cast<char>(bgr[3 * i + 1]);
      *p++ = static_cast<char>(bgr[3 * i + 2]);
      *p++ = static_cast<char>(alpha[i]);
    }
  } else if (colour) {
    out.replace(start, pixels * 3, reinterpret_cast<const char*>(bgr), pixels * 3);
  } else {
    out.replace(start, pixels, reinterpret_cast<const char*>(alpha), pixels);
  }

  // TGA 2.0 footer: no extension area, no developer directory.
  out.append(8, '\0');
  out += "TRUEVISION-XFILE.";
  out += '\0';
  return out;
}

}  // namespace glyphmill::plugins
