#include "app/texture_size.h"

#include <algorithm>

namespace glyphmill {

std::string TextureSizeLabel(const std::string& widthText, const std::string& heightText) {
  return "Texture Size: " + widthText + "x" + heightText;
}

bool IsTextureSide(long long side) { return side >= 1 && side <= kMaxTextureSide; }

std::string TextureSideRangeError() {
  return "The texture size must be between 1 and " + std::to_string(kMaxTextureSide) + " pixels a side";
}

TextureSize FitMaximum(const GenerationExtras& extras) {
  auto side = [](uint16_t v) { return std::clamp<int32_t>(v, 1, kMaxTextureSide); };
  return TextureSize{side(extras.fitMaxWidth), side(extras.fitMaxHeight)};
}

bool ResizeTextures(AppState& state, uint16_t width, uint16_t height) {
  bool resized = false;
  for (Image24* image : {&state.result.colour, &state.result.mask}) {
    std::lock_guard<std::mutex> guard(image->lock());
    if (image->width() == width && image->height() == height) continue;
    image->resize(width, height);
    resized = true;
  }
  // Pages beyond the first belong to the texture just replaced.
  if (resized) state.result.morePages.clear();
  return resized;
}

TextureSizeResult ApplyTextureSize(AppState& state, const std::string& widthText, const std::string& heightText,
                                   TextureImages images) {
  TextureSizeResult r;
  const uint16_t oldWidth = state.settings.textureWidth;
  const uint16_t oldHeight = state.settings.textureHeight;
  long long w = 0, h = 0;
  std::string error;
  bool ok = ParseDecimal(widthText, &w, &error) && ParseDecimal(heightText, &h, &error);
  if (ok && (!IsTextureSide(w) || !IsTextureSide(h))) {
    ok = false;
    error = TextureSideRangeError();
  }
  if (ok) {
    state.settings.textureWidth = static_cast<uint16_t>(w);
    state.settings.textureHeight = static_cast<uint16_t>(h);
    r.widthText = widthText;
    r.heightText = heightText;
  } else {
    state.settings.textureWidth = oldWidth;
    state.settings.textureHeight = oldHeight;
    r.ok = false;
    r.error = error;
    r.widthText = std::to_string(oldWidth);
    r.heightText = std::to_string(oldHeight);
  }
  if (images == TextureImages::Resize) ResizeTextures(state, state.settings.textureWidth, state.settings.textureHeight);
  r.label = TextureSizeLabel(r.widthText, r.heightText);
  return r;
}

}  // namespace glyphmill
