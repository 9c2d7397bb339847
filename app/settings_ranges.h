// The range each setting's control offers, and bringing a record read from a project into them.
//
// A project file can hold any bytes: an outline 65,535 pixels wide or a leading of -2^31 would
// run for hours or ask for cells billions of pixels wide. Both front ends pass a loaded record
// through LimitToOfferedRanges, which puts every numeric field into the range its control offers,
// as the window's controls themselves would, and names what it changed for the status line (the
// window) or standard error (the command line). Colours, the font name, the style flags and the
// texture size are not limited here: colours take any value, the name is looked up in the
// catalogue, and the texture size has its own refusal (ApplyTextureSize).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/generation_settings.h"

namespace glyphmill {

// The highest antialiasing value the program draws.
inline constexpr uint16_t kLastAntialiasMode = kAntialiasMtsdf;

// One field brought into range: its name and its value before and after.
struct LimitedField {
  std::string name;
  int64_t was = 0;
  int64_t now = 0;
};

// Puts every limited field of `settings` into its offered range; returns the fields it changed,
// in record order (empty when every value was already in range).
std::vector<LimitedField> LimitToOfferedRanges(GenerationSettings& settings);

// The notice for the changed fields: "!Project values out of range were limited: outlineWidth
// 65535 -> 20, leading -2147483648 -> -100"; nullopt when nothing changed.
std::optional<std::string> LimitedFieldsNotice(const std::vector<LimitedField>& fields);

}  // namespace glyphmill
