#include "export/export_plugin.h"

#include <dlfcn.h>

#include <cstring>
#include <stdexcept>

#include "export/export_messages.h"
#include "export/isolated_call.h"

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

// Looks up an export by its exact name; nullptr when it is missing.
template <typename Proc>
Proc Lookup(void* handle, const char* name) {
  dlerror();
  void* symbol = dlsym(handle, name);
  return reinterpret_cast<Proc>(symbol);
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

TExportPlugin::TExportPlugin(const std::string& path, Dialogs& dialogs, const PluginCallLimits& limits) : Path(path) {
  load(dialogs, limits);
}

void TExportPlugin::load(Dialogs& dialogs, const PluginCallLimits& limits) {
  Usable = false;
  libraryHandle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (libraryHandle == nullptr) return;  // not a loadable library: skipped without a message

  try {
    GetPluginInfo = Lookup<GetPluginInfoProc>(libraryHandle, "GetPluginInfo");
    if (GetPluginInfo == nullptr) throw LoadFailure(export_text::MissingGetPluginInfo(Path));

    // The plug-in fills a zeroed record in the child; its 264 bytes are the reply.
    std::memset(&Info, 0, sizeof Info);
    const GetPluginInfoProc proc = GetPluginInfo;
    IsolatedCallResult call = RunIsolated(
        [proc]() {
          TPluginInfo info;
          std::memset(&info, 0, sizeof info);
          proc(&info);
          return std::string(reinterpret_cast<const char*>(&info), sizeof info);
        },
        limits.info);
    if (!call.ok) throw LoadFailure(call.failure);
    if (call.reply.size() != sizeof Info) throw LoadFailure(export_text::kPluginReplyBroken);
    std::memcpy(&Info, call.reply.data(), sizeof Info);
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
      SimpleExport = Lookup<SimpleExportProc>(libraryHandle, "SimpleExport");
      found = SimpleExport != nullptr;
    } else if (Info.PluginType == ptData) {
      DataExport = Lookup<DataExportProc>(libraryHandle, "DataExport");
      found = DataExport != nullptr;
    } else {
      GraphicExport = Lookup<GraphicExportProc>(libraryHandle, "GraphicExport");
      found = GraphicExport != nullptr;
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
    dlclose(libraryHandle);
    libraryHandle = nullptr;
    GetPluginInfo = nullptr;
    SimpleExport = nullptr;
    GraphicExport = nullptr;
    DataExport = nullptr;
  }
}

}  // namespace glyphmill
