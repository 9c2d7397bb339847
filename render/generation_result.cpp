#include "render/generation_result.h"

#include "render/placement.h"
#include "settings/generation_settings.h"

namespace glyphmill {

bool ExportsOpaqueAlpha(const GenerationResult& result) { return result.multiChannelMode == kAntialiasMsdf; }

std::vector<uint8_t> PlacedFlags(const GenerationResult& result) {
  return PlacedFlags(result.sortOrder, result.placedCount, result.chars.size());
}

}  // namespace glyphmill
