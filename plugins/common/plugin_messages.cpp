#include "plugins/common/plugin_messages.h"

namespace glyphmill::plugins {

std::string EmptyTextureMessage(unsigned width, unsigned height) {
  return "The texture is " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels: there is no image to write.";
}

std::string MissingBufferMessage(std::string_view bufferName) {
  return "The " + std::string(bufferName) + " buffer was not passed to the plugin.";
}

std::string MissingCharTableMessage(unsigned charCount) {
  return "The character table is missing although it should hold " + std::to_string(charCount) + " characters.";
}

std::string NoImageBufferMessage() {
  return "Neither the colour nor the alpha buffer was passed: turn on colour or alpha for this job.";
}

std::string CannotWriteMessage(std::string_view path, std::string_view reason) {
  return "Cannot write \"" + std::string(path) + "\": " + std::string(reason);
}

std::string PngEncodeMessage(std::string_view path, std::string_view reason) {
  return "Cannot encode the PNG image \"" + std::string(path) + "\": " + std::string(reason);
}

std::string BinaryFieldRangeMessage(std::string_view field, long long value) {
  return "The value " + std::to_string(value) + " of " + std::string(field) + " does not fit the binary BMFont format.";
}

std::string UnexpectedFailureMessage() { return "The export stopped on an unexpected error."; }

}  // namespace glyphmill::plugins
