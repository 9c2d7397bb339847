#include "plugins/common/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {
namespace {

struct EncodeState {
  char message[256] = "";
};

void OnPngError(png_structp png, png_const_charp text) {
  auto* state = static_cast<EncodeState*>(png_get_error_ptr(png));
  std::strncpy(state->message, text != nullptr ? text : "", sizeof state->message - 1);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Fills one output row from the host's buffers in the PNG's channel order.
void ConvertRow(uint32_t width, const uint8_t* bgr, const uint8_t* alpha, uint8_t* out) {
  if (bgr != nullptr && alpha != nullptr) {
    for (uint32_t x = 0; x < width; ++x, bgr += 3, out += 4) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
      out[3] = alpha[x];
    }
  } else if (bgr != nullptr) {
    for (uint32_t x = 0; x < width; ++x, bgr += 3, out += 3) {
      out[0] = bgr[2];
      out[1] = bgr[1];
      out[2] = bgr[0];
    }
  } else {
    std::memcpy(out, alpha, width);
  }
}

// The libpng part. libpng reports errors by longjmp back to the setjmp below, so this function
// creates no object with a destructor after that point; the row buffer belongs to the caller.
bool EncodeRows(std::FILE* stream, uint32_t width, uint32_t height, const uint8_t* bgr, const uint8_t* alpha,
                uint8_t* row, EncodeState* state) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  const int colourType = bgr != nullptr && alpha != nullptr ? PNG_COLOR_TYPE_RGB_ALPHA
                         : bgr != nullptr                   ? PNG_COLOR_TYPE_RGB
                                                            : PNG_COLOR_TYPE_GRAY;
  png_init_io(png, stream);
  png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t bgrStride = std::size_t{width} * 3;
  for (uint32_t y = 0; y < height; ++y) {
    ConvertRow(width, bgr != nullptr ? bgr + y * bgrStride : nullptr,
               alpha != nullptr ? alpha + std::size_t{y} * width : nullptr, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void WritePng(PendingFile& file, uint32_t width, uint32_t height, const uint8_t* bgr, const uint8_t* alpha) {
  if (width == 0 || height == 0) throw std::runtime_error(EmptyTextureMessage(width, height));
  if (bgr == nullptr && alpha == nullptr) throw std::runtime_error(NoImageBufferMessage());
  std::vector<uint8_t> row(std::size_t{width} * 4);
  EncodeState state;
  if (!EncodeRows(file.stream(), width, height, bgr, alpha, row.data(), &state)) {
    throw std::runtime_error(PngEncodeMessage(file.targetPath(), state.message[0] != '\0' ? state.message
                                                                                          : "out of memory"));
  }
}

}  // namespace glyphmill::plugins
