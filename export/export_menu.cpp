#include "export/export_menu.h"

#include "export/export_messages.h"

namespace glyphmill {

std::vector<ExportMenuEntry> BuildExportMenuModel(const PluginRegistry& registry) {
  std::vector<ExportMenuEntry> menu;
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const TExportPlugin& p = registry.at(i);
    if (p.pluginType() != ptSimple) continue;
    menu.push_back(
        {ExportMenuEntry::Kind::QuickExport, export_text::kExportToPrefix + p.Name, static_cast<int32_t>(i)});
  }
  menu.push_back({ExportMenuEntry::Kind::Separator, export_text::kMenuSeparator, -1});
  menu.push_back({ExportMenuEntry::Kind::AdvancedExport, export_text::kAdvancedExport, -1});
  return menu;
}

ExportButtonAction ExportButtonActionFor(const PluginRegistry& registry) {
  return registry.hasSimpleExporter() ? ExportButtonAction::PopupMenu : ExportButtonAction::OpenAdvancedExport;
}

PluginCategory CategoryOfType(uint8_t pluginType) {
  if (pluginType == ptSimple) return PluginCategory::Simple;
  if (pluginType == ptData) return PluginCategory::Data;
  return PluginCategory::Graphic;
}

const char* CategoryCaption(PluginCategory category) {
  switch (category) {
    case PluginCategory::Simple: return export_text::kSimpleExporters;
    case PluginCategory::Data: return export_text::kDataExporters;
    case PluginCategory::Graphic: break;
  }
  return export_text::kGraphicExporters;
}

std::string PluginListCaption(const TExportPlugin& plugin) {
  if (!plugin.hasExtension()) return plugin.Name;
  return plugin.Name + " (*." + plugin.extension() + ")";
}

std::vector<PluginListEntry> BuildPluginList(const PluginRegistry& registry) {
  std::vector<PluginListEntry> list;
  for (std::size_t i = 0; i < registry.size(); ++i) {
    const TExportPlugin& p = registry.at(i);
    list.push_back({CategoryOfType(p.pluginType()), PluginListCaption(p), static_cast<int32_t>(i)});
  }
  return list;
}

}  // namespace glyphmill
