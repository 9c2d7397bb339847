// ApplyTextureSize: takes the texture size typed into the two size boxes ("Apply", a project load,
// reading all settings at start-up).
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/decimal_text.h"
#include "render/texture_fit.h"
#include "settings/generation_extras.h"

namespace glyphmill {

// The longest side a texture may have, in pixels (the window's boxes, projects, the command line).
inline constexpr int kMaxTextureSide = 16384;

// True when `side` is a side a texture may have: 1..kMaxTextureSide.
bool IsTextureSide(long long side);

// The refusal of a size with a side outside 1..kMaxTextureSide.
std::string TextureSideRangeError();

struct TextureSizeResult {
  bool ok = true;
  std::string error;       // the failure's message when !ok (the caller shows "!" + error)
  std::string widthText;   // what the two boxes must show afterwards (the typed texts, or the
  std::string heightText;  // remembered numbers after a refusal)
  std::string label;       // "Texture Size: " + width text + "x" + height text
};

// Whether applying a size brings the state's images to it. The window does, so that it shows the
// new texture at once; a run that only generates (the command-line tool) leaves them to the job,
// whose result replaces them, and so never touches a texture's worth of memory for nothing.
enum class TextureImages { Resize, LeaveToJob };

// Parses both texts as decimal integers. A text that is not a number, or a side outside 1..16384,
// is refused: the previous size stays in the settings. Either way both images are brought to the
// settings' size by ResizeTextures, unless `images` leaves them to the job.
TextureSizeResult ApplyTextureSize(AppState& state, const std::string& widthText, const std::string& heightText,
                                   TextureImages images = TextureImages::Resize);

// The largest size a fitted texture may take: the extras' maximum with each side kept within
// 1..16384 (a hand-made project could hold 0 or more).
TextureSize FitMaximum(const GenerationExtras& extras);

// Resizes the colour image and the mask to width x height, black, only when their size differs:
// applying the same size again (saving a project reads every setting) keeps the last texture.
// True when an image was resized.
bool ResizeTextures(AppState& state, uint16_t width, uint16_t height);

// "Texture Size: 256x128".
std::string TextureSizeLabel(const std::string& widthText, const std::string& heightText);

}  // namespace glyphmill
