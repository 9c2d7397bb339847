// FontRequestFromSettings: the one way the settings record becomes the font a measurement, a render
// job or an export's font information opens.
//
// A front end that holds a value not yet read into the record (the window's size box while it is
// being typed in) takes this request and replaces that one field.
#pragma once

#include "settings/font_face.h"
#include "settings/generation_settings.h"

namespace glyphmill {

// The record's face name, point size and bold and italic flags.
FontRequest FontRequestFromSettings(const GenerationSettings& settings);

}  // namespace glyphmill
