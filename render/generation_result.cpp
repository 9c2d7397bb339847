#include "render/generation_result.h"

#include "render/placement.h"

namespace glyphmill {

std::vector<uint8_t> PlacedFlags(const GenerationResult& result) {
  return PlacedFlags(result.sortOrder, result.placedCount, result.chars.size());
}

}  // namespace glyphmill
