#include "settings/font_request.h"

namespace glyphmill {

FontRequest FontRequestFromSettings(const GenerationSettings& settings) {
  return FontRequest{settings.fontNameString(), settings.fontSize, settings.bold(), settings.italic()};
}

}  // namespace glyphmill
