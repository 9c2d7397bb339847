#include "render/generation_result.h"

#include "render/placement.h"
#include "settings/generation_settings.h"

namespace glyphmill {

const Image24& PageMask(const GenerationResult& result, int32_t page, Image24& expanded) {
  if (page == 0) return result.mask;
  ExpandMask(result.morePages[static_cast<std::size_t>(page - 1)], expanded);
  return expanded;
}

bool ExportsOpaqueAlpha(const GenerationResult& result) { return result.multiChannelMode == kAntialiasMsdf; }

std::vector<uint8_t> PlacedFlags(const GenerationResult& result) {
  return PlacedFlags(result.sortOrder, result.placedCount, result.chars.size());
}

}  // namespace glyphmill
