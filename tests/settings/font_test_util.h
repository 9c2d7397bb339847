// Fonts the tests rely on (fonts-dejavu-core, fonts-liberation2).
#pragma once

#include <string>

namespace glyphmill::testing {

inline constexpr const char* kDejaVuSans = "DejaVu Sans";
inline constexpr const char* kLiberationSerif = "Liberation Serif";

}  // namespace glyphmill::testing
