// The messages between a program and its plug-in host (glyphmill-plugin-host).
//
// The two talk over a SOCK_SEQPACKET socket pair, one message per packet, each a fixed header
// followed by its text bytes. Records and buffers never travel over the socket: they lie in one
// shared memory region (a memfd both map), and a request names them by offset. The host answers
// every request; a call is over when its reply arrives, not when a descriptor closes.
//
// Load: the host dlopens the library at `text` (the path, relative to `cwd`) and answers
// NotLoadable (dlopen failed; text: its reason) or Opened (entries: which exports it found).
// When GetPluginInfo is there, it is called at once on a zeroed TPluginInfo and a second reply
// follows: Info (text: the record's 264 bytes) or Exception (text: the exception's message).
// Unload: dlclose the slot's library; reply Done. Call: run one export entry of a slot with a
// record built from the header's fields and offsets; reply Done, Exception, UnknownException
// or FailureReported (the plug-in reported a failure through glyphmill.report-failure/1; text:
// its first message, bounded UTF-8, empty when it gave none). A request the host cannot serve is
// answered with Refused (text: why).
#pragma once

#include <cstddef>
#include <cstdint>

namespace glyphmill::host_protocol {

// Descriptor numbers the host finds its channel and its shared memory region at.
inline constexpr int kChannelFd = 3;
inline constexpr int kRegionFd = 4;

// The largest packet either side sends: the header and two paths.
inline constexpr std::size_t kMaxMessage = 16384;

// An offset that stands for a null pointer.
inline constexpr uint64_t kNoOffset = ~uint64_t{0};

enum class Op : uint32_t { Load = 1, Unload = 2, Call = 3 };

enum class Entry : uint32_t { Simple = 1, Graphic = 2, Data = 3 };

// Bits of Reply::entries: the exports a library has.
inline constexpr uint32_t kHasGetPluginInfo = 1u << 0;
inline constexpr uint32_t kHasSimpleExport = 1u << 1;
inline constexpr uint32_t kHasGraphicExport = 1u << 2;
inline constexpr uint32_t kHasDataExport = 1u << 3;

struct Request {
  Op op = Op::Load;
  uint32_t slot = 0;        // the program's number for a loaded library
  uint64_t regionSize = 0;  // bytes of the shared region the offsets below lie in
  // Call only: the record's fields and where its data lies in the region.
  Entry entry = Entry::Simple;
  uint16_t width = 0;
  uint16_t height = 0;
  uint32_t charCount = 0;
  int32_t spaceAdvance = 0;
  uint64_t fileNameOffset = kNoOffset;  // zero-terminated
  uint64_t rgbOffset = kNoOffset;       // width * height * 3 bytes
  uint64_t alphaOffset = kNoOffset;     // width * height bytes
  uint64_t charsOffset = kNoOffset;     // charCount TExportCharInfo records
  uint64_t fontInfoOffset = kNoOffset;  // a font information image (host/font_info_image.h)
  uint64_t fontInfoSize = 0;
  // Text after the header: the program's current folder, then (Load) the library's path.
  uint32_t cwdLength = 0;
  uint32_t textLength = 0;
};

enum class ReplyKind : uint32_t {
  NotLoadable = 1,
  Opened = 2,
  Info = 3,
  Done = 4,
  Exception = 5,
  UnknownException = 6,
  Refused = 7,
  FailureReported = 8,
};

struct Reply {
  ReplyKind kind = ReplyKind::Done;
  uint32_t entries = 0;
  uint32_t textLength = 0;  // bytes after the header
  uint32_t reserved = 0;
};

}  // namespace glyphmill::host_protocol
