// Fonts the tests rely on (fonts-dejavu-core, fonts-liberation2, fonts-droid-fallback).
#pragma once

#include <string>

namespace glyphmill::testing {

inline constexpr const char* kDejaVuSans = "DejaVu Sans";
inline constexpr const char* kLiberationSerif = "Liberation Serif";
// A family with one regular face only: bold and italic must be synthesised.
inline constexpr const char* kRegularOnlyFamily = "Droid Sans Fallback";

}  // namespace glyphmill::testing
