// TExportJob: one entry of the batch export queue.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace glyphmill {

struct TExportJob {
  bool UseRGB = false;
  bool UseData = false;
  bool UseAlpha = false;
  int32_t PluginIndex = -1;               // position in the registry when the job was made
  std::array<uint8_t, 256> PluginName{};  // short string: length byte, then the name's bytes

  std::string pluginNameString() const {
    return std::string(PluginName.begin() + 1, PluginName.begin() + 1 + PluginName[0]);
  }
  bool operator==(const TExportJob&) const = default;
};

using ExportJobQueue = std::vector<TExportJob>;

}  // namespace glyphmill
