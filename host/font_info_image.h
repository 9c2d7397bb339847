// The font information of glyphmill/host.h as one flat block of bytes, so that it can lie in the
// shared memory a program and its plug-in host both map.
//
// The program builds the records (export/host_services.h) and writes them with
// WriteFontInfoImage; the host reads the block where it maps it and rebuilds the version 1 and
// version 2 records with ReadFontInfoImage, their pointers aimed into the block itself. The block
// holds offsets, never pointers, so it means the same at any address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "glyphmill/host.h"

namespace glyphmill {

// The two records, pointing into an image; valid while the image's bytes stay where they are.
struct FontInfoRecords {
  GlyphmillFontInfoV1 v1{};
  GlyphmillFontInfoV2 v2{};
};

// The block for a pair of records of the same font (their face name, placed flags and kerning
// pairs are the same; the second adds the character geometry).
std::vector<uint8_t> WriteFontInfoImage(const GlyphmillFontInfoV1& v1, const GlyphmillFontInfoV2& v2);

// The records of a block at `data` of `size` bytes (8-byte aligned); nullopt when the block is
// not a whole, well-formed image.
std::optional<FontInfoRecords> ReadFontInfoImage(const uint8_t* data, std::size_t size);

}  // namespace glyphmill
