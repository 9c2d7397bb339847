#include "plugins/common/export_checks.h"

#include <stdexcept>

#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {

void RequireTexture(uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) throw std::runtime_error(EmptyTextureMessage(width, height));
}

void RequireBuffer(const uint8_t* buffer, const char* bufferName) {
  if (buffer == nullptr) throw std::runtime_error(MissingBufferMessage(bufferName));
}

std::span<const TExportCharInfo> CharTable(const TExportCharInfo* chars, uint32_t charCount) {
  if (charCount == 0) return {};
  if (chars == nullptr) throw std::runtime_error(MissingCharTableMessage(charCount));
  return {chars, charCount};
}

}  // namespace glyphmill::plugins
