#include "ui/image_conversion.h"

#include <cstring>

namespace glyphmill {

QImage ToQImage(const Image24& image) {
  // QImage::Format_BGR888 holds the bytes in the core's order, so each row is one copy.
  QImage out(image.width(), image.height(), QImage::Format_BGR888);
  if (out.isNull()) return QImage();
  const size_t rowBytes = image.stride();
  for (int32_t y = 0; y < image.height(); ++y) std::memcpy(out.scanLine(y), image.row(y), rowBytes);
  return out;
}

}  // namespace glyphmill
