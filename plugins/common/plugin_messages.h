// The failure texts of the shipped exporters. The export code throws std::runtime_error with one
// of them; the entry point reports it to the host (export_entry.h), which shows the text with the
// plug-in's name. Every text is built here and nowhere else.
#pragma once

#include <string>
#include <string_view>

namespace glyphmill::plugins {

// The texture has a zero width or height: there is no image to write.
std::string EmptyTextureMessage(unsigned width, unsigned height);
// A buffer the record promises (or the export needs) is a null pointer.
std::string MissingBufferMessage(std::string_view bufferName);
// CharCount is nonzero but Chars is null.
std::string MissingCharTableMessage(unsigned charCount);
// A graphic export was given neither the colour nor the alpha buffer.
std::string NoImageBufferMessage();
// An output file could not be created, written or moved into place.
std::string CannotWriteMessage(std::string_view path, std::string_view reason);
// The PNG encoder could not encode the image.
std::string PngEncodeMessage(std::string_view path, std::string_view reason);
// A value does not fit the field the binary BMFont form gives it.
std::string BinaryFieldRangeMessage(std::string_view field, long long value);
// Something other than a standard exception stopped the export.
std::string UnexpectedFailureMessage();

}  // namespace glyphmill::plugins
