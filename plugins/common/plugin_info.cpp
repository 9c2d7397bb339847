#include "plugins/common/plugin_info.h"

#include <cstring>

namespace glyphmill::plugins {

std::size_t WriteShortString(uint8_t* field, std::size_t fieldSize, std::string_view text) {
  if (fieldSize == 0) return 0;
  std::memset(field, 0, fieldSize);
  std::size_t n = text.size();
  const std::size_t room = fieldSize - 1 > 255 ? 255 : fieldSize - 1;
  if (n > room) {
    n = room;
    // Step back over continuation bytes so that the cut falls before a sequence's lead byte.
    while (n > 0 && (static_cast<uint8_t>(text[n]) & 0xC0) == 0x80) --n;
  }
  field[0] = static_cast<uint8_t>(n);
  std::memcpy(field + 1, text.data(), n);
  return n;
}

void FillPluginInfo(TPluginInfo* info, std::string_view name, uint8_t pluginType, std::string_view extension) {
  if (info == nullptr) return;
  WriteShortString(info->Name, sizeof info->Name, name);
  info->PluginType = pluginType;
  info->AskFileName = 1;
  info->HasExtension = 1;
  WriteShortString(info->Extension, sizeof info->Extension, extension);
}

}  // namespace glyphmill::plugins
