#include "export/export_plugin.h"

#include <cstring>
#include <stdexcept>

#include "export/export_messages.h"

namespace glyphmill {

namespace {

// A failure while loading; its message goes into the "Plugin Load Error" box.
struct LoadFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string ShortString(const uint8_t* field, std::size_t capacity) {
  std::size_t length = field[0];
  if (length > capacity) length = capacity;
  return std::string(reinterpret_cast<const char*>(field + 1), length);
}

}  // namespace

PluginOptionFlags OptionFlagsForType(uint8_t pluginType) {
  switch (pluginType) {
    case ptSimple: return {true, true, true};
    case ptData: return {false, false, true};
    case ptGraphicRGB: return {true, false, false};
    case ptGraphicAlpha: return {false, true, false};
    case ptGraphicRGBXorAlpha:
    case ptGraphicRGBAndAlpha:
    case ptGraphicRGBOrAlpha: return {true, true, false};
    default: return {};
  }
}

const char* EntryTypeWord(uint8_t pluginType) {
  if (pluginType == ptSimple) return "Simple";
  if (pluginType == ptData) return "Data";
  return "Graphic";
}

std::string TExportPlugin::extension() const { return ShortString(Info.Extension, sizeof Info.Extension - 1); }

TExportPlugin::TExportPlugin(const std::string& path, Dialogs& dialogs, PluginHostProcess& host,
                             const PluginCallLimits& limits)
    : Path(path) {
  describe(host.load(Path, limits.info), dialogs, host);
}

TExportPlugin::TExportPlugin(const std::string& path, const CachedPluginInfo& answer, Dialogs& dialogs,
                             PluginHostProcess& host, const PluginCallLimits& limits)
    : Path(path) {
  HostLoad described;
  described.outcome = HostLoad::Outcome::Loaded;
  described.slot = host.adopt(Path, limits.info);
  described.entries = answer.entries;
  described.info = answer.info;
  describe(described, dialogs, host);
}

CachedPluginInfo TExportPlugin::answer() const {
  CachedPluginInfo a;
  a.entries = (GetPluginInfo ? host_protocol::kHasGetPluginInfo : 0) |
              (SimpleExport ? host_protocol::kHasSimpleExport : 0) |
              (GraphicExport ? host_protocol::kHasGraphicExport : 0) | (DataExport ? host_protocol::kHasDataExport : 0);
  a.info = Info;
  return a;
}

void TExportPlugin::describe(const HostLoad& loaded, Dialogs& dialogs, PluginHostProcess& host) {
  Usable = false;
  if (loaded.outcome == HostLoad::Outcome::NotLoadable) return;  // skipped without a message
  hostSlot = loaded.slot;

  try {
    if (loaded.outcome == HostLoad::Outcome::Failed) throw LoadFailure(loaded.failure);
    GetPluginInfo = (loaded.entries & host_protocol::kHasGetPluginInfo) != 0;
    if (!GetPluginInfo) throw LoadFailure(export_text::MissingGetPluginInfo(Path));

    Info = loaded.info;
    // A length byte above the field's capacity is held to it, so no reader goes past the field.
    if (Info.Extension[0] > sizeof Info.Extension - 1) Info.Extension[0] = sizeof Info.Extension - 1;

    Usable = true;
    Name = ShortString(Info.Name, sizeof Info.Name - 1);
    const PluginOptionFlags flags = OptionFlagsForType(Info.PluginType);
    CanRGB = flags.rgb;
    CanAlpha = flags.alpha;
    CanData = flags.data;

    bool found = false;
    if (Info.PluginType == ptSimple) {
      SimpleExport = (loaded.entries & host_protocol::kHasSimpleExport) != 0;
      found = SimpleExport;
    } else if (Info.PluginType == ptData) {
      DataExport = (loaded.entries & host_protocol::kHasDataExport) != 0;
      found = DataExport;
    } else {
      GraphicExport = (loaded.entries & host_protocol::kHasGraphicExport) != 0;
      found = GraphicExport;
    }
    if (!found) {
      dialogs.showMessage({export_text::kPluginErrorCaption,
                           export_text::MissingEntryPoint(Name, EntryTypeWord(Info.PluginType)), DialogIcon::Warning,
                           DialogOwner::None});
      Usable = false;
    }
  } catch (const std::exception& e) {
    Usable = false;
    dialogs.showMessage({export_text::kPluginLoadErrorCaption, export_text::LoadFailed(Path, e.what()),
                         DialogIcon::Error, DialogOwner::None});
  }

  if (!Usable) {
    if (loaded.outcome == HostLoad::Outcome::Loaded) host.unload(hostSlot);
    hostSlot = 0;
    GetPluginInfo = SimpleExport = GraphicExport = DataExport = false;
  }
}

}  // namespace glyphmill
