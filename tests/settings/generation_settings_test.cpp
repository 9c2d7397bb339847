#include "settings/generation_settings.h"

#include <gtest/gtest.h>

#include "settings/character_selection.h"
#include "settings/rounding.h"

namespace glyphmill {
namespace {

// A record whose every field holds a distinct, recognisable value.
GenerationSettings Distinct() {
  GenerationSettings s;
  s.setFontName("DejaVu Sans");
  s.fontSize = 0x2A;
  s.packOrigin = 3;
  s.styleFlags = kStyleBold | kStyleOutline | kStyleDropShadow;
  s.textColour = 0x11223344;
  s.backColour = 0x55667788;
  s.outlineColour = 0x99AABBCC;
  s.previewBackColour = 0xFF00000F;
  s.verticalPad = -5;
  s.leading = 6;
  s.trailing = -7;
  s.kerning = -1000;
  s.generalPadding = 100;
  s.textureWidth = 0x1234;
  s.textureHeight = 0x0800;
  s.outlineHardness = -10;
  s.outlineOpacity = 77;
  s.antialiasMode = 2;
  s.outlineWidth = 20;
  s.shadowSmoothing = 10;
  s.shadowOffset = 50;
  s.shadowOpacity = 0xBEEF;
  s.padding = {0xAB, 0xCD};
  return s;
}

uint32_t U32(const SettingsBytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const SettingsBytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

TEST(SettingsBytes, FieldsSitAtTheirProjectFileOffsetsLittleEndian) {
  SettingsBytes b = SettingsToBytes(Distinct());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "DejaVu Sans");
  EXPECT_EQ(b[11], 0);  // terminating zero, rest of the 61 bytes zero
  EXPECT_EQ(b[60], 0);
  EXPECT_EQ(b[61], 0x2A);
  EXPECT_EQ(b[62], 3);
  EXPECT_EQ(b[63], 1 | 8 | 16);
  EXPECT_EQ(U32(b, 64), 0x11223344u);
  EXPECT_EQ(b[64], 0x44);  // low byte first
  EXPECT_EQ(U32(b, 68), 0x55667788u);
  EXPECT_EQ(U32(b, 72), 0x99AABBCCu);
  EXPECT_EQ(U32(b, 76), 0xFF00000Fu);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 80)), -5);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 84)), 6);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 88)), -7);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 92)), -1000);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 96)), 100);
  EXPECT_EQ(U16(b, 100), 0x1234);
  EXPECT_EQ(U16(b, 102), 0x0800);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 104)), -10);
  EXPECT_EQ(static_cast<int32_t>(U32(b, 108)), 77);
  EXPECT_EQ(U16(b, 112), 2);
  EXPECT_EQ(U16(b, 114), 20);
  EXPECT_EQ(U16(b, 116), 10);
  EXPECT_EQ(U16(b, 118), 50);
  EXPECT_EQ(U16(b, 120), 0xBEEF);
  EXPECT_EQ(b[122], 0xAB);
  EXPECT_EQ(b[123], 0xCD);
}

TEST(SettingsBytes, RoundTripKeepsEveryByteIncludingPaddingAndBytesAfterTheName) {
  SettingsBytes b{};
  for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 37 + 11);
  b[5] = 0;  // a name of five characters followed by bytes without meaning
  GenerationSettings s = SettingsFromBytes(b.data());
  EXPECT_EQ(s.fontNameString().size(), 5u);
  EXPECT_EQ(SettingsToBytes(s), b);
  EXPECT_EQ(SettingsFromBytes(SettingsToBytes(Distinct()).data()), Distinct());
}

TEST(SettingsDefaults, FirstStartValues) {
  GenerationSettings s = FirstStartSettings();
  EXPECT_EQ(s.fontSize, 32);
  EXPECT_EQ(s.styleFlags, kStyleBold);
  EXPECT_EQ(s.textColour, 0x00FFFFFFu);
  EXPECT_EQ(s.backColour, 0x00C0C0C0u);
  EXPECT_EQ(s.outlineColour, 0u);
  EXPECT_EQ(s.previewBackColour, 0xFF00000Fu);
  EXPECT_EQ(s.textureWidth, 128);
  EXPECT_EQ(s.textureHeight, 128);
  EXPECT_EQ(s.outlineOpacity, 100);
  EXPECT_EQ(s.packOrigin, 0);
  EXPECT_EQ(s.antialiasMode, 0);
  EXPECT_EQ(s.outlineWidth, 1);
  EXPECT_EQ(s.shadowSmoothing, 1);
  EXPECT_EQ(s.shadowOffset, 2);
  EXPECT_EQ(s.shadowOpacity, 100);
  EXPECT_EQ(s.verticalPad | s.leading | s.trailing | s.kerning | s.generalPadding | s.outlineHardness, 0);
}

TEST(SettingsFontName, LongNamesAreCutToSixtyBytesOnACharacterBoundary) {
  GenerationSettings s;
  std::string longName(59, 'a');
  longName += "\xC3\xA9xyz";  // two-byte 'é' straddles the 60-byte limit
  s.setFontName(longName);
  EXPECT_EQ(s.fontNameString(), std::string(59, 'a'));
  EXPECT_EQ(s.fontName[60], '\0');
  s.setFontName(std::string(80, 'b'));
  EXPECT_EQ(s.fontNameString(), std::string(60, 'b'));
}

TEST(SettingsFontName, NameWithoutZeroByteReadsAllSixtyOneBytes) {
  SettingsBytes b{};
  for (size_t i = 0; i < kFontNameBytes; ++i) b[i] = 'x';
  EXPECT_EQ(SettingsFromBytes(b.data()).fontNameString().size(), kFontNameBytes);
}

TEST(CharacterSelectionDefaults, CodeUnits33To132) {
  CharacterSelection sel;
  sel.fill(7);
  SetDefaultSelection(sel);
  EXPECT_EQ(CountSelected(sel), 100u);
  EXPECT_EQ(sel[32], 0);
  EXPECT_EQ(sel[33], 1);
  EXPECT_EQ(sel[132], 1);
  EXPECT_EQ(sel[133], 0);
  EXPECT_EQ(sel[65535], 0);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(9.5), 10);
  EXPECT_EQ(RoundHalfEven(10.5), 10);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

}  // namespace
}  // namespace glyphmill
