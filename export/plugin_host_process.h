// PluginHostProcess: the program's side of its plug-in host (glyphmill-plugin-host).
//
// The program never loads a plug-in library itself and never forks to call one. It starts the
// host once (posix_spawn, on the first request), hands it paths to load and export calls to run,
// and waits for each reply through a CallWaiter, up to a time limit. Records and pixel buffers lie
// in a shared memory region both processes map (host/shared_region.h); the host builds the
// plug-in's records with pointers into its own mapping.
//
// A library may also be adopted: given a slot without being loaded, because its description was
// kept from an earlier run (export/plugin_info_cache.h); it is loaded when first called.
//
// A host that dies (a plug-in crashed, called exit(), or ran past its limit and was killed) is
// reported as the failure of the request it was serving. The next request starts a new host, which
// loads every kept library again, in the order they were first loaded, and calls their
// GetPluginInfo again, so slots (and registry indices) do not change; a library that fails to load
// again is lost, and requests for it fail.
//
// A call is over when its reply arrives, not when a descriptor closes: a process a plug-in started
// may keep any descriptor open without delaying the program.
//
// The host's standard output is the program's standard error, its standard input /dev/null.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/call_waiter.h"
#include "glyphmill/plugin.h"
#include "host/font_info_image.h"
#include "host/host_protocol.h"
#include "host/shared_region.h"
#include "settings/result.h"

namespace glyphmill {

// The host executable: $GLYPHMILL_PLUGIN_HOST when set, else PluginHostBeside(the folder of the
// running program).
std::string FindPluginHostExecutable();

// "glyphmill-plugin-host" in `programFolder` (a build folder) when it is there, else in the
// installed place relative to it, "../lib/glyphmill/".
std::string PluginHostBeside(const std::string& programFolder);

// What loading one library in the host came to.
struct HostLoad {
  enum class Outcome {
    NotLoadable,  // dlopen failed, or its constructors crashed, exited or hung: skipped silently
    Loaded,       // opened; `info` is filled when it has GetPluginInfo
    Failed,       // opened, but GetPluginInfo failed, or no host could be started; see `failure`
  };
  Outcome outcome = Outcome::NotLoadable;
  uint32_t slot = 0;
  uint32_t entries = 0;  // host_protocol::kHas* bits
  TPluginInfo info{};
  std::string failure;
};

// The outcome of one export call. A failure the plug-in reported through the host's failure
// service, like an exception it threw, gives its own message here.
struct HostCall {
  bool ok = false;
  std::string failure;  // the message for the person when not ok
};

// One export call's record, as the program fills it.
struct HostExportCall {
  host_protocol::Entry entry = host_protocol::Entry::Simple;
  std::string_view fileName;
  uint16_t width = 0;
  uint16_t height = 0;
  bool passRgb = false;
  bool passAlpha = false;
  std::span<const TExportCharInfo> chars;  // Simple and Data only
  int32_t spaceAdvance = 0;
};

// Where one export run's buffers and font information lie in the shared region.
struct StagedExport {
  uint64_t rgbOffset = host_protocol::kNoOffset;
  uint64_t alphaOffset = host_protocol::kNoOffset;
  uint64_t fontInfoOffset = host_protocol::kNoOffset;
  uint64_t fontInfoSize = 0;
  uint64_t end = 0;  // first byte after them: where per-call data goes
};

// A buffer staged for a run: its size in bytes and what writes them into the region.
struct StagedBuffer {
  std::size_t size = 0;
  std::function<void(uint8_t*)> write;
};

class PluginHostProcess {
 public:
  PluginHostProcess() = default;
  ~PluginHostProcess();
  PluginHostProcess(const PluginHostProcess&) = delete;
  PluginHostProcess& operator=(const PluginHostProcess&) = delete;

  // The executable to start (default: FindPluginHostExecutable()).
  void setExecutable(std::string path) { executable_ = std::move(path); }
  // Null: block in poll().
  void setWaiter(CallWaiter* waiter) { waiter_ = waiter; }

  // Loads the library at `path` (relative to the current folder) and runs its GetPluginInfo, each
  // step within `limit`. A Loaded library is kept (loaded again after a restart) until unload.
  HostLoad load(const std::string& path, std::chrono::milliseconds limit);
  // A slot for a library that was described before (its answer cached) without loading it now:
  // the host loads it, and runs its GetPluginInfo, just before its first export call, each step
  // within `limit`. A library that then fails to load makes that call fail, and later ones too.
  uint32_t adopt(const std::string& path, std::chrono::milliseconds limit);
  // Unloads a library and forgets it.
  void unload(uint32_t slot);

  // Copies one export run's buffers and font information image into the shared region, and says
  // where they lie.
  Result<StagedExport> stage(std::span<const uint8_t> rgb, std::span<const uint8_t> alpha,
                             std::span<const uint8_t> fontInfoImage);
  // The same with the image in parts: its page buffers are written by their writers straight into
  // the region, never assembled in the program's own memory first.
  Result<StagedExport> stageParts(std::span<const uint8_t> rgb, std::span<const uint8_t> alpha,
                                  const FontInfoImage& fontInfoImage);
  // The same with the colour and alpha buffers written by their writers straight into the region.
  Result<StagedExport> stageParts(const StagedBuffer& rgb, const StagedBuffer& alpha,
                                  const FontInfoImage& fontInfoImage);
  // Gives back the memory the last run's staged data took in the shared region, once the run is
  // over: a texture of many pages would otherwise stay there until the next export.
  void releaseStaged() { region_.discard(); }
  // Runs one export entry of a kept library within `limit`.
  HostCall callExport(uint32_t slot, const HostExportCall& call, const StagedExport& staged,
                      std::chrono::milliseconds limit);

  // The running host's process id, or -1; and how many hosts were started so far (tests).
  pid_t pid() const { return pid_; }
  int starts() const { return starts_; }

 private:
  enum class WaitEnd { Reply, HostEnded, TimedOut };
  struct Packet {
    host_protocol::Reply reply;
    std::string text;
  };

  // Starts a host (and loads the kept libraries into it) unless one runs.
  Result<void> ensureRunning();
  Result<void> ensureRegion();
  void unloadInHost(uint32_t slot);
  Result<void> spawn();
  // Loads the kept libraries into a new host; a library that fails is lost. False when one of them
  // ended the host.
  bool reloadKept();
  // Ends the host (asking first unless `kill`), reaps it and returns its wait status.
  int stopHost(bool kill);
  // Waits up to `grace` for the host to end by itself; true when it has been reaped (or cannot be).
  bool reapWithin(std::chrono::milliseconds grace, int* status);
  // Closes the descriptors of a host that has been reaped.
  void forget();
  bool send(const host_protocol::Request& request, std::string_view text);
  // Waits for the next reply until `deadline`; on HostEnded, `failure` says how the host ended.
  WaitEnd receive(std::chrono::steady_clock::time_point deadline, Packet* packet, std::string* failure);
  // Sends a load request and takes its replies (the host must run).
  HostLoad exchangeLoad(uint32_t slot, const std::string& path, std::chrono::milliseconds limit);
  std::string failureOf(WaitEnd end, const std::string& hostEnded, std::chrono::milliseconds limit) const;
  // The steps of an export call: a host that runs and still has the slot's library; the call's
  // file name and character table placed in the region and its request filled in; the request
  // sent and its reply (or the host's end) turned into the call's outcome. Failures carry the
  // message for the person.
  Result<void> readyFor(uint32_t slot);
  // Loads an adopted library into the running host before its first call; a failure loses it.
  Result<void> loadDeferred(uint32_t slot);
  Result<host_protocol::Request> placeCall(uint32_t slot, const HostExportCall& call, const StagedExport& staged);
  HostCall exchangeCall(const host_protocol::Request& request, std::chrono::milliseconds limit);

  std::string executable_;
  CallWaiter* waiter_ = nullptr;
  SharedRegion region_;
  pid_t pid_ = -1;
  int channel_ = -1;
  int pidfd_ = -1;
  int events_ = -1;  // epoll over the channel and the pidfd: what the waiter waits on
  int starts_ = 0;
  std::chrono::milliseconds reloadLimit_{20000};  // for loading again after a restart
  bool busy_ = false;
  uint32_t nextSlot_ = 1;
  std::vector<std::pair<uint32_t, std::string>> kept_;  // loaded libraries, in load order
  std::set<uint32_t> lost_;                             // kept, but not loaded again after a restart
  std::set<uint32_t> deferred_;                         // kept, but not loaded in any host yet
  std::vector<char> receiveBuffer_;                     // one packet, kMaxMessage bytes once used
};

}  // namespace glyphmill
