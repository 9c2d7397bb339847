// Big-endian fields in a byte buffer, as sfnt and WOFF files store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glyphmill::testing {

inline uint32_t Get32(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}
inline uint16_t Get16(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<uint16_t>(b[at] << 8 | b[at + 1]);
}
inline void Put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
inline void Put16(std::vector<uint8_t>& b, std::size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}
inline void Append16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v));
}

}  // namespace glyphmill::testing
