#include "host/plugin_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "glyphmill/plugin.h"
#include "host/font_info_image.h"
#include "host/host_protocol.h"
#include "host/host_query.h"
#include "host/message_channel.h"
#include "host/reported_failure.h"
#include "host/shared_region.h"

namespace glyphmill {

namespace {

using namespace host_protocol;

struct Library {
  void* handle = nullptr;
  GetPluginInfoProc getPluginInfo = nullptr;
  SimpleExportProc simpleExport = nullptr;
  GraphicExportProc graphicExport = nullptr;
  DataExportProc dataExport = nullptr;
};

// A request's view of the shared region, checked against its size.
class RegionView {
 public:
  explicit RegionView(const SharedRegion& region) : data_(region.data()), size_(region.size()) {}

  // The bytes at `offset` when `bytes` of them lie in the region; nullptr for kNoOffset.
  const uint8_t* at(uint64_t offset, uint64_t bytes, bool* ok) const {
    if (offset == kNoOffset) return nullptr;
    if (data_ == nullptr || offset > size_ || bytes > size_ - offset) {
      *ok = false;
      return nullptr;
    }
    return data_ + offset;
  }
  // A zero-terminated string at `offset`.
  const char* text(uint64_t offset, bool* ok) const {
    if (data_ == nullptr || offset >= size_ || std::memchr(data_ + offset, 0, size_ - offset) == nullptr) {
      *ok = false;
      return "";
    }
    return reinterpret_cast<const char*>(data_ + offset);
  }

 private:
  uint8_t* data_;
  std::size_t size_;
};

// Where one export call's records lie in the host's mapping of the shared region.
struct CallRecords {
  const char* fileName = "";
  const uint8_t* rgb = nullptr;
  const uint8_t* alpha = nullptr;
  const TExportCharInfo* chars = nullptr;
  std::optional<FontInfoRecords> fontInfo;

  const FontInfoRecords* fontInfoOrNull() const { return fontInfo ? &*fontInfo : nullptr; }
};

// Reads the records a call request names; false when one of them lies outside the region.
bool ReadCallRecords(const RegionView& view, const Request& q, CallRecords* records) {
  bool ok = true;
  const uint64_t pixels = uint64_t{q.width} * q.height;
  records->fileName = view.text(q.fileNameOffset, &ok);
  records->rgb = view.at(q.rgbOffset, pixels * 3, &ok);
  records->alpha = view.at(q.alphaOffset, pixels, &ok);
  records->chars = reinterpret_cast<const TExportCharInfo*>(
      view.at(q.charsOffset, uint64_t{q.charCount} * sizeof(TExportCharInfo), &ok));
  if (q.fontInfoOffset != kNoOffset) {
    const uint8_t* image = view.at(q.fontInfoOffset, q.fontInfoSize, &ok);
    if (image) records->fontInfo = ReadFontInfoImage(image, q.fontInfoSize);
    // Page 0 is the call's texture; the other pages offer the kinds of buffer the call passes.
    if (records->fontInfo) AimPagesAtCall(*records->fontInfo, records->rgb, records->alpha);
  }
  return ok;
}

TSimpleExportInfo SimpleRecord(const Request& q, const CallRecords& r) {
  TSimpleExportInfo info{};
  info.FileName = r.fileName;
  info.Width = q.width;
  info.Height = q.height;
  info.RGB = r.rgb;
  info.Alpha = r.alpha;
  info.CharCount = q.charCount;
  info.SpaceAdvance = q.spaceAdvance;
  info.Chars = r.chars;
  return info;
}

TGraphicExportInfo GraphicRecord(const Request& q, const CallRecords& r) {
  TGraphicExportInfo info{};
  info.FileName = r.fileName;
  info.Width = q.width;
  info.Height = q.height;
  info.RGB = r.rgb;
  info.Alpha = r.alpha;
  return info;
}

TDataExportInfo DataRecord(const Request& q, const CallRecords& r) {
  TDataExportInfo info{};
  info.FileName = r.fileName;
  info.CharCount = q.charCount;
  info.SpaceAdvance = q.spaceAdvance;
  info.Width = q.width;
  info.Height = q.height;
  info.Chars = r.chars;
  return info;
}

// How a plug-in entry ended, as the reply says it.
struct Outcome {
  ReplyKind kind = ReplyKind::Done;
  std::string text;
};

// Runs `entry`, turning an exception that leaves it into its outcome.
template <typename Entry>
Outcome Catching(Entry entry) {
  try {
    entry();
    return {};
  } catch (const std::exception& e) {
    return {ReplyKind::Exception, e.what()};
  } catch (...) {
    return {ReplyKind::UnknownException, {}};
  }
}

class Host {
 public:
  Host(int channelFd, int regionFd) : channel_(channelFd), region_(regionFd) {}
  int run();

 private:
  void reply(ReplyKind kind, std::string_view text = {}, uint32_t entries = 0);
  void load(uint32_t slot, const std::string& path);
  void callGetPluginInfo(GetPluginInfoProc proc);
  void unload(uint32_t slot);
  void call(const Request& request);
  // The library a call request names, or null after refusing the request.
  const Library* callable(const Request& request);
  void callEntry(const Library& lib, const Request& request, const CallRecords& records);
  // Runs an export entry with the host services of its call, answers with its outcome (a failure
  // the plug-in reported first of all), and flushes what it printed.
  template <typename Entry>
  void exportCall(const CallRecords& records, Entry entry);

  int channel_;
  SharedRegion region_;
  std::map<uint32_t, Library> libraries_;
  std::string cwd_;
};

void Host::reply(ReplyKind kind, std::string_view text, uint32_t entries) {
  Reply r;
  r.kind = kind;
  r.entries = entries;
  if (text.size() > kMaxMessage - sizeof r) text = text.substr(0, kMaxMessage - sizeof r);
  r.textLength = static_cast<uint32_t>(text.size());
  SendPacket(channel_, &r, sizeof r, text);
}

template <typename Entry>
void Host::exportCall(const CallRecords& records, Entry entry) {
  ReportedFailure failure;
  Outcome outcome;
  {
    const HostQueryScope scope(records.fontInfoOrNull(), &failure);
    outcome = Catching(entry);
  }
  // What the plug-in printed reaches the program's standard error before the reply does.
  std::fflush(nullptr);
  if (failure.reported()) {
    reply(ReplyKind::FailureReported, failure.message());
    return;
  }
  reply(outcome.kind, outcome.text);
}

void Host::load(uint32_t slot, const std::string& path) {
  unload(slot);
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  std::fflush(nullptr);  // a constructor's output
  if (handle == nullptr) {
    const char* why = ::dlerror();
    reply(ReplyKind::NotLoadable, why ? why : "");
    return;
  }
  Library lib;
  lib.handle = handle;
  lib.getPluginInfo = reinterpret_cast<GetPluginInfoProc>(::dlsym(handle, "GetPluginInfo"));
  lib.simpleExport = reinterpret_cast<SimpleExportProc>(::dlsym(handle, "SimpleExport"));
  lib.graphicExport = reinterpret_cast<GraphicExportProc>(::dlsym(handle, "GraphicExport"));
  lib.dataExport = reinterpret_cast<DataExportProc>(::dlsym(handle, "DataExport"));
  uint32_t entries = 0;
  if (lib.getPluginInfo) entries |= kHasGetPluginInfo;
  if (lib.simpleExport) entries |= kHasSimpleExport;
  if (lib.graphicExport) entries |= kHasGraphicExport;
  if (lib.dataExport) entries |= kHasDataExport;
  libraries_[slot] = lib;
  reply(ReplyKind::Opened, {}, entries);
  if (lib.getPluginInfo != nullptr) callGetPluginInfo(lib.getPluginInfo);
}

void Host::callGetPluginInfo(GetPluginInfoProc proc) {
  TPluginInfo info;
  std::memset(&info, 0, sizeof info);
  const Outcome outcome = Catching([&] { proc(&info); });
  std::fflush(nullptr);
  if (outcome.kind != ReplyKind::Done) {
    reply(outcome.kind, outcome.text);
    return;
  }
  reply(ReplyKind::Info, std::string_view(reinterpret_cast<const char*>(&info), sizeof info));
}

void Host::unload(uint32_t slot) {
  auto it = libraries_.find(slot);
  if (it == libraries_.end()) return;
  ::dlclose(it->second.handle);
  libraries_.erase(it);
}

const Library* Host::callable(const Request& q) {
  auto it = libraries_.find(q.slot);
  if (it == libraries_.end()) {
    reply(ReplyKind::Refused, "no library is loaded in this slot");
    return nullptr;
  }
  if (q.regionSize > 0 && !region_.mapAtLeast(q.regionSize)) {
    reply(ReplyKind::Refused, "the shared memory region could not be mapped");
    return nullptr;
  }
  return &it->second;
}

void Host::call(const Request& q) {
  const Library* lib = callable(q);
  if (lib == nullptr) return;
  CallRecords records;
  if (!ReadCallRecords(RegionView(region_), q, &records)) {
    reply(ReplyKind::Refused, "a record of the request lies outside the shared memory region");
    return;
  }
  callEntry(*lib, q, records);
}

void Host::callEntry(const Library& lib, const Request& q, const CallRecords& records) {
  switch (q.entry) {
    case Entry::Simple: {
      if (lib.simpleExport == nullptr) return reply(ReplyKind::Refused, "SimpleExport is missing");
      const TSimpleExportInfo info = SimpleRecord(q, records);
      return exportCall(records, [&] { lib.simpleExport(&info); });
    }
    case Entry::Graphic: {
      if (lib.graphicExport == nullptr) return reply(ReplyKind::Refused, "GraphicExport is missing");
      const TGraphicExportInfo info = GraphicRecord(q, records);
      return exportCall(records, [&] { lib.graphicExport(&info); });
    }
    case Entry::Data: {
      if (lib.dataExport == nullptr) return reply(ReplyKind::Refused, "DataExport is missing");
      const TDataExportInfo info = DataRecord(q, records);
      return exportCall(records, [&] { lib.dataExport(&info); });
    }
  }
  reply(ReplyKind::Refused, "unknown entry point");
}

int Host::run() {
  static char buffer[kMaxMessage];
  for (;;) {
    const ssize_t n = ReceivePacket(channel_, buffer, sizeof buffer, true);
    if (n <= 0) return 0;  // the program has closed its end (or is gone)
    Request q;
    if (static_cast<std::size_t>(n) < sizeof q) {
      reply(ReplyKind::Refused, "short request");
      continue;
    }
    std::memcpy(&q, buffer, sizeof q);
    const std::size_t textBytes = static_cast<std::size_t>(n) - sizeof q;
    if (uint64_t{q.cwdLength} + q.textLength != textBytes) {
      reply(ReplyKind::Refused, "malformed request");
      continue;
    }
    const std::string cwd(buffer + sizeof q, q.cwdLength);
    const std::string text(buffer + sizeof q + q.cwdLength, q.textLength);
    // Relative paths, of libraries and of the files plug-ins write, mean what they mean in the
    // program.
    if (!cwd.empty() && cwd != cwd_ && ::chdir(cwd.c_str()) == 0) cwd_ = cwd;
    switch (q.op) {
      case Op::Load: load(q.slot, text); break;
      case Op::Unload:
        unload(q.slot);
        reply(ReplyKind::Done);
        break;
      case Op::Call: call(q); break;
      default: reply(ReplyKind::Refused, "unknown request"); break;
    }
  }
}

}  // namespace

int RunPluginHost(int channelFd, int regionFd) { return Host(channelFd, regionFd).run(); }

}  // namespace glyphmill
