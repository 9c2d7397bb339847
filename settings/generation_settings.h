// GenerationSettings: the one fixed record of everything that decides how a font texture looks.
//
// The record is stored byte for byte in project files (124 bytes, little-endian). The in-memory
// struct is a plain record; its byte form is produced by SettingsToBytes / SettingsFromBytes and
// never by copying the struct, so the compiler's layout does not matter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace glyphmill {

// styleFlags values. The value 4 is never set.
inline constexpr uint8_t kStyleBold = 1;
inline constexpr uint8_t kStyleItalic = 2;
inline constexpr uint8_t kStyleOutline = 8;
inline constexpr uint8_t kStyleDropShadow = 16;

// antialiasMode values.
inline constexpr uint16_t kAntialiasSmooth = 0;
inline constexpr uint16_t kAntialiasCleartype = 1;
inline constexpr uint16_t kAntialiasNone = 2;
inline constexpr uint16_t kAntialiasDistanceField = 3;  // signed distance field, see GenerationExtras
inline constexpr uint16_t kAntialiasMsdf = 4;           // multi-channel distance field (colour channels)
inline constexpr uint16_t kAntialiasMtsdf = 5;          // multi-channel field plus the true field in the mask

// packOrigin values; any value above 3 packs from the middle. The four corners are also the
// packer's modes (render/partition.h): the corner of a free rectangle a cell is put in.
inline constexpr uint8_t kOriginTopLeft = 0;
inline constexpr uint8_t kOriginTopRight = 1;
inline constexpr uint8_t kOriginBottomRight = 2;
inline constexpr uint8_t kOriginBottomLeft = 3;
inline constexpr uint8_t kOriginMiddle = 4;

inline constexpr std::size_t kFontNameBytes = 61;   // 60 characters and a terminating zero
inline constexpr std::size_t kSettingsBytes = 124;  // size of the record's byte form

// Colour references: 0x00BBGGRR for a plain colour, 0xFF0000nn for system colour nn.
inline constexpr uint32_t kColourWhite = 0x00FFFFFF;
inline constexpr uint32_t kColourSilver = 0x00C0C0C0;
inline constexpr uint32_t kColourBlack = 0x00000000;
inline constexpr uint32_t kColourButtonFace = 0xFF00000F;

struct GenerationSettings {
  std::array<char, kFontNameBytes> fontName{};  // zero-terminated 8-bit (UTF-8) text
  uint8_t fontSize = 0;                         // points
  uint8_t packOrigin = 0;
  uint8_t styleFlags = 0;
  uint32_t textColour = 0;
  uint32_t backColour = 0;
  uint32_t outlineColour = 0;
  uint32_t previewBackColour = 0;
  int32_t verticalPad = 0;
  int32_t leading = 0;
  int32_t trailing = 0;
  int32_t kerning = 0;
  int32_t generalPadding = 0;
  uint16_t textureWidth = 0;
  uint16_t textureHeight = 0;
  int32_t outlineHardness = 0;
  int32_t outlineOpacity = 0;
  uint16_t antialiasMode = 0;
  uint16_t outlineWidth = 0;
  uint16_t shadowSmoothing = 0;
  uint16_t shadowOffset = 0;
  uint16_t shadowOpacity = 0;
  std::array<uint8_t, 2> padding{};  // carried through project files unchanged

  bool bold() const { return styleFlags & kStyleBold; }
  bool italic() const { return styleFlags & kStyleItalic; }
  bool outline() const { return styleFlags & kStyleOutline; }
  bool dropShadow() const { return styleFlags & kStyleDropShadow; }
  void setFlag(uint8_t flag, bool on) { styleFlags = on ? (styleFlags | flag) : (styleFlags & ~flag); }

  // The face name up to its first zero byte (all 61 bytes when there is none).
  std::string fontNameString() const;
  // Stores a name, cut to at most 60 bytes without splitting a UTF-8 sequence; the rest is zeroed.
  void setFontName(std::string_view name);

  bool operator==(const GenerationSettings&) const = default;
};

// The values the window's controls give the record at first start, with `fontName` left empty
// (the first catalogue entry fills it).
GenerationSettings FirstStartSettings();

using SettingsBytes = std::array<uint8_t, kSettingsBytes>;

// Little-endian byte form at the offsets of the project file's settings block.
SettingsBytes SettingsToBytes(const GenerationSettings& s);
GenerationSettings SettingsFromBytes(const uint8_t* bytes);  // reads exactly kSettingsBytes

// Cuts a UTF-8 text to at most `maxBytes` bytes, never inside a multi-byte sequence.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace glyphmill
