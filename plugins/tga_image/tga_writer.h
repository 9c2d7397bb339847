// Uncompressed Truevision TGA (TGA 2.0 with its footer) from the host's pixel buffers.
//
// Colour only: true-colour, 24 bits (B, G, R, the buffer's own order). Alpha only: grey, 8 bits.
// Both: true-colour, 32 bits (B, G, R, A) with 8 attribute bits. Rows are written top row first and
// the header's top-left origin bit says so.
#pragma once

#include <cstdint>
#include <string>

namespace glyphmill::plugins {

inline constexpr uint8_t kTgaTrueColour = 2;
inline constexpr uint8_t kTgaGrey = 3;
inline constexpr uint8_t kTgaTopLeftOrigin = 0x20;  // image descriptor bit 5
inline constexpr std::size_t kTgaHeaderBytes = 18;

// The file's bytes. At least one buffer must be given and both sides must be nonzero (throws
// std::runtime_error otherwise).
std::string EncodeTga(uint16_t width, uint16_t height, const uint8_t* bgr, const uint8_t* alpha);

}  // namespace glyphmill::plugins
