// Image24 (the core's blue-green-red rows) shown on screen.
#pragma once

#include <QImage>

#include "render/image24.h"

namespace glyphmill {

// A deep copy as a 24-bit RGB QImage; the caller holds the image's lock if a job may draw on it.
QImage ToQImage(const Image24& image);

}  // namespace glyphmill
