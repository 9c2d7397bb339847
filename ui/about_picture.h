// The About window's source picture: our own 134 x 133 artwork, drawn in code.
#pragma once

#include <QImage>

namespace glyphmill {

inline constexpr int kAboutPictureWidth = 134;
inline constexpr int kAboutPictureHeight = 133;

// A 24-bit picture (QImage::Format_RGB888) of kAboutPictureWidth x kAboutPictureHeight: a sky
// gradient with a checker of texture cells and the letters "Gm" in a cell of their own.
QImage MakeAboutPicture();

}  // namespace glyphmill
