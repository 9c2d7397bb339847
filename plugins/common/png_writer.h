// PNG encoding of the host's pixel buffers.
//
// Rows are filtered as libpng's adaptive filtering chooses (the filter whose bytes, read as signed
// values, sum to the least magnitude), large images in bands of rows on separate threads; the
// filtered rows are then deflated in one piece into the image's zlib stream (deflate_encoder.h for
// pages up to 4096 x 1024 RGBA, libdeflate's fastest level for larger ones), faster than zlib and
// smaller than libpng's default settings.
#pragma once

#include <cstdint>

#include "plugins/common/pending_file.h"

namespace glyphmill::plugins {

// Writes a PNG of width x height pixels into `file` from the host's buffers (rows top first, no
// padding): the colour buffer is blue, green, red per pixel and is stored as RGB; the alpha buffer
// is one byte per pixel. Colour only gives an RGB image, alpha only an 8-bit grey image, both an
// RGBA image. At least one buffer must be given and both sides must be nonzero. The same input
// always gives the same bytes (no time stamp or other varying chunk). Throws std::runtime_error.
void WritePng(PendingFile& file, uint32_t width, uint32_t height, const uint8_t* bgr, const uint8_t* alpha);

}  // namespace glyphmill::plugins
