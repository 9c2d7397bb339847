#include "settings/generation_settings.h"

#include <algorithm>
#include <cstring>

namespace glyphmill {
namespace {

template <typename T>
void Put(uint8_t* out, std::size_t offset, T value) {
  using U = std::make_unsigned_t<T>;
  U u = static_cast<U>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out[offset + i] = static_cast<uint8_t>(u >> (8 * i));
}

template <typename T>
T Get(const uint8_t* in, std::size_t offset) {
  using U = std::make_unsigned_t<T>;
  U u = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) u |= static_cast<U>(static_cast<U>(in[offset + i]) << (8 * i));
  return static_cast<T>(u);
}

}  // namespace

std::string CutUtf8(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t end = maxBytes;
  // Step back over continuation bytes so the cut lands on the start of a sequence.
  while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

std::string GenerationSettings::fontNameString() const {
  auto end = std::find(fontName.begin(), fontName.end(), '\0');
  return std::string(fontName.begin(), end);
}

void GenerationSettings::setFontName(std::string_view name) {
  std::string cut = CutUtf8(name.substr(0, name.find('\0')), kFontNameBytes - 1);
  fontName.fill('\0');
  std::copy(cut.begin(), cut.end(), fontName.begin());
}

GenerationSettings FirstStartSettings() {
  GenerationSettings s;
  s.fontSize = 32;
  s.packOrigin = kOriginTopLeft;
  s.styleFlags = kStyleBold;
  s.textColour = kColourWhite;
  s.backColour = kColourSilver;
  s.outlineColour = kColourBlack;
  s.previewBackColour = kColourButtonFace;
  s.textureWidth = 128;
  s.textureHeight = 128;
  s.outlineHardness = 0;
  s.outlineOpacity = 100;
  s.antialiasMode = kAntialiasSmooth;
  s.outlineWidth = 1;
  s.shadowSmoothing = 1;
  s.shadowOffset = 2;
  s.shadowOpacity = 100;
  return s;
}

SettingsBytes SettingsToBytes(const GenerationSettings& s) {
  SettingsBytes b{};
  std::memcpy(b.data(), s.fontName.data(), kFontNameBytes);
  Put<uint8_t>(b.data(), 61, s.fontSize);
  Put<uint8_t>(b.data(), 62, s.packOrigin);
  Put<uint8_t>(b.data(), 63, s.styleFlags);
  Put<uint32_t>(b.data(), 64, s.textColour);
  Put<uint32_t>(b.data(), 68, s.backColour);
  Put<uint32_t>(b.data(), 72, s.outlineColour);
  Put<uint32_t>(b.data(), 76, s.previewBackColour);
  Put<int32_t>(b.data(), 80, s.verticalPad);
  Put<int32_t>(b.data(), 84, s.leading);
  Put<int32_t>(b.data(), 88, s.trailing);
  Put<int32_t>(b.data(), 92, s.kerning);
  Put<int32_t>(b.data(), 96, s.generalPadding);
  Put<uint16_t>(b.data(), 100, s.textureWidth);
  Put<uint16_t>(b.data(), 102, s.textureHeight);
  Put<int32_t>(b.data(), 104, s.outlineHardness);
  Put<int32_t>(b.data(), 108, s.outlineOpacity);
  Put<uint16_t>(b.data(), 112, s.antialiasMode);
  Put<uint16_t>(b.data(), 114, s.outlineWidth);
  Put<uint16_t>(b.data(), 116, s.shadowSmoothing);
  Put<uint16_t>(b.data(), 118, s.shadowOffset);
  Put<uint16_t>(b.data(), 120, s.shadowOpacity);
  b[122] = s.padding[0];
  b[123] = s.padding[1];
  return b;
}

GenerationSettings SettingsFromBytes(const uint8_t* b) {
  GenerationSettings s;
  std::memcpy(s.fontName.data(), b, kFontNameBytes);
  s.fontSize = Get<uint8_t>(b, 61);
  s.packOrigin = Get<uint8_t>(b, 62);
  s.styleFlags = Get<uint8_t>(b, 63);
  s.textColour = Get<uint32_t>(b, 64);
  s.backColour = Get<uint32_t>(b, 68);
  s.outlineColour = Get<uint32_t>(b, 72);
  s.previewBackColour = Get<uint32_t>(b, 76);
  s.verticalPad = Get<int32_t>(b, 80);
  s.leading = Get<int32_t>(b, 84);
  s.trailing = Get<int32_t>(b, 88);
  s.kerning = Get<int32_t>(b, 92);
  s.generalPadding = Get<int32_t>(b, 96);
  s.textureWidth = Get<uint16_t>(b, 100);
  s.textureHeight = Get<uint16_t>(b, 102);
  s.outlineHardness = Get<int32_t>(b, 104);
  s.outlineOpacity = Get<int32_t>(b, 108);
  s.antialiasMode = Get<uint16_t>(b, 112);
  s.outlineWidth = Get<uint16_t>(b, 114);
  s.shadowSmoothing = Get<uint16_t>(b, 116);
  s.shadowOffset = Get<uint16_t>(b, 118);
  s.shadowOpacity = Get<uint16_t>(b, 120);
  s.padding = {b[122], b[123]};
  return s;
}

}  // namespace glyphmill
