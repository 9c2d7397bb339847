// Button captions shared by more than one window.
#pragma once

namespace glyphmill {

inline constexpr const char* kCancelCaption = "Cancel";

}  // namespace glyphmill
