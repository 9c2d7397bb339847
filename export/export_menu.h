// The data side of the export menus and of the Advanced Export window's plug-in list: which
// plug-ins appear, with which captions and registry indices. The front ends build their widgets
// from these lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/plugin_registry.h"

namespace glyphmill {

// One item of a quick export menu: "Export to NAME" for every simple exporter in registry order,
// then a separator ("-") and "Advanced Export...".
struct ExportMenuEntry {
  enum class Kind { QuickExport, Separator, AdvancedExport };
  Kind kind = Kind::QuickExport;
  std::string caption;
  int32_t pluginIndex = -1;  // registry index, for QuickExport items
  bool operator==(const ExportMenuEntry&) const = default;
};
std::vector<ExportMenuEntry> BuildExportMenuModel(const PluginRegistry& registry);

// What the "Export..." button does: pop up the menu when a simple exporter exists, otherwise open
// the Advanced Export window directly.
enum class ExportButtonAction { PopupMenu, OpenAdvancedExport };
ExportButtonAction ExportButtonActionFor(const PluginRegistry& registry);

// The categories of the Advanced Export window's plug-in list, in display order.
enum class PluginCategory { Simple = 0, Graphic = 1, Data = 2 };
PluginCategory CategoryOfType(uint8_t pluginType);
const char* CategoryCaption(PluginCategory category);

// One plug-in button: its category, "NAME" or "NAME (*.EXT)", and its registry index.
struct PluginListEntry {
  PluginCategory category = PluginCategory::Graphic;
  std::string caption;
  int32_t pluginIndex = -1;
  bool operator==(const PluginListEntry&) const = default;
};
std::string PluginListCaption(const TExportPlugin& plugin);
std::vector<PluginListEntry> BuildPluginList(const PluginRegistry& registry);

}  // namespace glyphmill
