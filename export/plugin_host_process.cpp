#include "export/plugin_host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>

#include "export/export_messages.h"
#include "host/message_channel.h"
#include "settings/program_folder.h"

extern char** environ;

namespace glyphmill {

namespace {

using namespace host_protocol;
using Clock = std::chrono::steady_clock;

// Buffers of an export this large between them are written on two threads.
constexpr std::size_t kSideBySideBytes = std::size_t{8} << 20;

// Without a pidfd the end of the host is noticed by polling waitpid this often.
constexpr std::chrono::milliseconds kReapInterval{50};
// How long a host that was asked to end (its channel closed) may take before it is killed.
constexpr std::chrono::milliseconds kQuitGrace{500};

std::chrono::milliseconds Remaining(Clock::time_point deadline) {
  // Rounded up, so that a wait never ends before the deadline.
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() <= 0 ? std::chrono::milliseconds(0) : left;
}

// `fd` moved to a number above the host's fixed descriptors, close-on-exec.
int AboveFixedDescriptors(int fd) {
  if (fd < 0 || fd > kRegionFd) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kRegionFd + 1);
  ::close(fd);
  return moved;
}

// Records in the shared region start on 8-byte boundaries.
constexpr uint64_t Aligned(uint64_t n) { return (n + 7) & ~uint64_t{7}; }

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

int OpenPidfd(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
  return static_cast<int>(fd);
#else
  (void)pid;
  return -1;
#endif
}

std::string HowItEnded(int status) {
  if (WIFSIGNALED(status)) return export_text::PluginCrashed(WTERMSIG(status));
  if (WIFEXITED(status)) return export_text::PluginExited(WEXITSTATUS(status));
  return export_text::kPluginReplyBroken;
}

// The message for a reply that is not the one a request hoped for: a failure the plug-in reported
// or an exception it threw carries the plug-in's own message and is shown the same way; anything
// else means the host could not serve the request.
std::string ReplyFailure(ReplyKind kind, const std::string& text) {
  switch (kind) {
    case ReplyKind::Exception: return text;
    case ReplyKind::FailureReported: return text.empty() ? std::string(export_text::kPluginFailedWithoutReason) : text;
    case ReplyKind::UnknownException: return export_text::kPluginUnknownException;
    default: return export_text::PluginHostRefused(text);
  }
}

// What the reply to an export call says.
HostCall CallOutcome(ReplyKind kind, const std::string& text) {
  HostCall result;
  result.ok = kind == ReplyKind::Done;
  if (!result.ok) result.failure = ReplyFailure(kind, text);
  return result;
}

}  // namespace

void BlockingCallWaiter::waitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  ::poll(&p, 1, static_cast<int>(std::min<long long>(timeout.count(), INT_MAX)));
}

std::string FindPluginHostExecutable() {
  if (const char* over = std::getenv("GLYPHMILL_PLUGIN_HOST"); over != nullptr && over[0] != '\0') return over;
  return PluginHostBeside(RunningProgramFolder());
}

std::string PluginHostBeside(const std::string& programFolder) {
  constexpr const char* kName = "glyphmill-plugin-host";
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string beside = folder + kName;
  struct stat info {};
  if (::stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return beside;
  return std::filesystem::path(folder + "../lib/glyphmill/" + kName).lexically_normal().string();
}

PluginHostProcess::~PluginHostProcess() { stopHost(false); }

Result<void> PluginHostProcess::spawn() {
  if (Result<void> region = ensureRegion(); !region) return region;
  if (executable_.empty()) executable_ = FindPluginHostExecutable();

  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return Fail(std::strerror(errno));
  const int ours = AboveFixedDescriptors(pair[0]);
  const int theirs = AboveFixedDescriptors(pair[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, theirs, kChannelFd);
  posix_spawn_file_actions_adddup2(&actions, region_.fd(), kRegionFd);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setpgroup(&attributes, 0);  // its own group: a time-out ends what plug-ins started
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  char* const argv[] = {const_cast<char*>(executable_.c_str()), nullptr};
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, executable_.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(theirs);
  if (rc != 0) {
    ::close(ours);
    return Fail(executable_ + ": " + std::strerror(rc));
  }
  pid_ = pid;
  channel_ = ours;
  pidfd_ = OpenPidfd(pid);
  events_ = ::epoll_create1(EPOLL_CLOEXEC);
  epoll_event e{};
  e.events = EPOLLIN;
  e.data.fd = channel_;
  ::epoll_ctl(events_, EPOLL_CTL_ADD, channel_, &e);
  if (pidfd_ >= 0) {
    e.data.fd = pidfd_;
    ::epoll_ctl(events_, EPOLL_CTL_ADD, pidfd_, &e);
  }
  ++starts_;
  return {};
}

void PluginHostProcess::forget() {
  for (int* fd : {&channel_, &pidfd_, &events_}) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
  }
  pid_ = -1;
}

bool PluginHostProcess::reapWithin(std::chrono::milliseconds grace, int* status) {
  const Clock::time_point deadline = Clock::now() + grace;
  for (;;) {
    const pid_t r = ::waitpid(pid_, status, WNOHANG);
    if (r == pid_ || (r < 0 && errno != EINTR)) return true;
    if (Clock::now() >= deadline) return false;
    if (pidfd_ >= 0) {
      pollfd p{pidfd_, POLLIN, 0};
      ::poll(&p, 1, static_cast<int>(Remaining(deadline).count()));
    } else {
      ::usleep(2000);
    }
  }
}

int PluginHostProcess::stopHost(bool kill) {
  int status = 0;
  if (pid_ <= 0) return status;
  if (channel_ >= 0) ::close(channel_);  // the host ends when its channel closes
  channel_ = -1;
  if (kill || !reapWithin(kQuitGrace, &status)) {
    ::kill(-pid_, SIGKILL);  // its process group: whatever a plug-in started and left hanging
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  forget();
  return status;
}

bool PluginHostProcess::send(const Request& request, std::string_view text) {
  const std::string cwd = CurrentFolder();
  Request q = request;
  q.cwdLength = static_cast<uint32_t>(cwd.size());
  q.textLength = static_cast<uint32_t>(text.size());
  return SendPacket(channel_, &q, sizeof q, cwd, text);
}

PluginHostProcess::WaitEnd PluginHostProcess::receive(Clock::time_point deadline, Packet* packet,
                                                      std::string* failure) {
  if (receiveBuffer_.empty()) receiveBuffer_.resize(kMaxMessage);
  char* const buffer = receiveBuffer_.data();
  const std::size_t capacity = receiveBuffer_.size();
  const auto take = [&](ssize_t n) {
    std::memcpy(&packet->reply, buffer, sizeof(Reply));
    packet->text.assign(buffer + sizeof(Reply),
                        std::min<std::size_t>(packet->reply.textLength, static_cast<std::size_t>(n) - sizeof(Reply)));
  };
  BlockingCallWaiter blocking;
  CallWaiter& waiter = waiter_ ? *waiter_ : blocking;
  for (;;) {
    const ssize_t n = ReceivePacket(channel_, buffer, capacity, false);
    if (n >= static_cast<ssize_t>(sizeof(Reply))) {
      take(n);
      return WaitEnd::Reply;
    }
    if (n >= 0 || errno != EAGAIN) {
      // The channel closed (or broke): the host has ended or is ending.
      const int status = stopHost(false);
      *failure = HowItEnded(status);
      return WaitEnd::HostEnded;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      // A reply sent just before the end still counts. Processes a plug-in started are left
      // alone: the host ended by itself.
      const ssize_t last = ReceivePacket(channel_, buffer, capacity, false);
      forget();
      if (last >= static_cast<ssize_t>(sizeof(Reply))) {
        take(last);
        return WaitEnd::Reply;
      }
      *failure = HowItEnded(status);
      return WaitEnd::HostEnded;
    }
    const auto left = Remaining(deadline);
    if (left.count() == 0) {
      stopHost(true);
      return WaitEnd::TimedOut;
    }
    waiter.waitReadable(events_, pidfd_ >= 0 ? left : std::min(left, kReapInterval));
  }
}

Result<void> PluginHostProcess::ensureRegion() {
  if (region_.fd() >= 0) return {};
  SharedRegion created;
  std::string error;
  if (!created.create(&error)) return Fail(std::move(error));
  // Above the host's fixed descriptor numbers, so that handing it over cannot overwrite it.
  const int moved = ::fcntl(created.fd(), F_DUPFD_CLOEXEC, kRegionFd + 1);
  if (moved < 0) return Fail(std::strerror(errno));
  region_ = SharedRegion(moved);
  return {};
}

std::string PluginHostProcess::failureOf(WaitEnd end, const std::string& hostEnded,
                                         std::chrono::milliseconds limit) const {
  if (end == WaitEnd::TimedOut) return export_text::PluginTimedOut((limit.count() + 999) / 1000);
  return hostEnded;
}

bool PluginHostProcess::reloadKept() {
  for (const auto& [slot, path] : kept_) {
    if (lost_.count(slot) || deferred_.count(slot)) continue;
    const HostLoad again = exchangeLoad(slot, path, reloadLimit_);
    if (again.outcome == HostLoad::Outcome::Loaded && (again.entries & kHasGetPluginInfo)) continue;
    lost_.insert(slot);
    if (pid_ <= 0) return false;
    unloadInHost(slot);
  }
  return true;
}

Result<void> PluginHostProcess::ensureRunning() {
  if (pid_ > 0) return {};
  // A new host loads the kept libraries again, in their order; one that fails is lost. When a
  // library ends the host again, the others are loaded once more into a new one.
  for (;;) {
    if (Result<void> started = spawn(); !started) return started;
    if (reloadKept()) return {};
  }
}

HostLoad PluginHostProcess::exchangeLoad(uint32_t slot, const std::string& path, std::chrono::milliseconds limit) {
  HostLoad r;
  r.slot = slot;
  Request q;
  q.op = Op::Load;
  q.slot = slot;
  if (!send(q, path)) {
    r.outcome = HostLoad::Outcome::Failed;
    r.failure = HowItEnded(stopHost(true));
    return r;
  }
  Packet p;
  std::string ended;
  // A library whose constructors crash, exit or hang never opens: it cannot be loaded.
  if (receive(Clock::now() + limit, &p, &ended) != WaitEnd::Reply || p.reply.kind == ReplyKind::NotLoadable) return r;
  if (p.reply.kind != ReplyKind::Opened) {
    r.outcome = HostLoad::Outcome::Failed;
    r.failure = export_text::PluginHostRefused(p.text);
    return r;
  }
  r.entries = p.reply.entries;
  if ((r.entries & kHasGetPluginInfo) == 0) {
    r.outcome = HostLoad::Outcome::Loaded;
    return r;
  }
  const WaitEnd end = receive(Clock::now() + limit, &p, &ended);
  r.outcome = HostLoad::Outcome::Failed;
  if (end != WaitEnd::Reply) {
    r.failure = failureOf(end, ended, limit);
    return r;
  }
  if (p.reply.kind != ReplyKind::Info) {
    r.failure = ReplyFailure(p.reply.kind, p.text);
  } else if (p.text.size() != sizeof r.info) {
    r.failure = export_text::kPluginReplyBroken;
  } else {
    std::memcpy(&r.info, p.text.data(), sizeof r.info);
    r.outcome = HostLoad::Outcome::Loaded;
  }
  return r;
}

HostLoad PluginHostProcess::load(const std::string& path, std::chrono::milliseconds limit) {
  reloadLimit_ = limit;
  if (Result<void> running = ensureRunning(); !running) {
    HostLoad r;
    r.outcome = HostLoad::Outcome::Failed;
    r.failure = export_text::PluginCallNotStarted(running.error());
    return r;
  }
  const uint32_t slot = nextSlot_++;
  HostLoad r = exchangeLoad(slot, path, limit);
  if (r.outcome == HostLoad::Outcome::Loaded)
    kept_.emplace_back(slot, path);
  else if (r.outcome == HostLoad::Outcome::Failed && pid_ > 0)
    unloadInHost(slot);
  return r;
}

uint32_t PluginHostProcess::adopt(const std::string& path, std::chrono::milliseconds limit) {
  reloadLimit_ = limit;
  const uint32_t slot = nextSlot_++;
  kept_.emplace_back(slot, path);
  deferred_.insert(slot);
  return slot;
}

void PluginHostProcess::unloadInHost(uint32_t slot) {
  Request q;
  q.op = Op::Unload;
  q.slot = slot;
  if (pid_ <= 0 || !send(q, {})) return;
  Packet p;
  std::string ended;
  receive(Clock::now() + reloadLimit_, &p, &ended);
}

void PluginHostProcess::unload(uint32_t slot) {
  std::erase_if(kept_, [slot](const auto& k) { return k.first == slot; });
  lost_.erase(slot);
  if (deferred_.erase(slot) != 0) return;  // never loaded
  unloadInHost(slot);
}

Result<StagedExport> PluginHostProcess::stage(std::span<const uint8_t> rgb, std::span<const uint8_t> alpha,
                                              std::span<const uint8_t> fontInfoImage) {
  FontInfoImage whole;
  whole.head.assign(fontInfoImage.begin(), fontInfoImage.end());
  whole.size = fontInfoImage.size();
  return stageParts(rgb, alpha, whole);
}

Result<StagedExport> PluginHostProcess::stageParts(std::span<const uint8_t> rgb, std::span<const uint8_t> alpha,
                                                   const FontInfoImage& fontInfoImage) {
  auto copy = [](std::span<const uint8_t> bytes) {
    return StagedBuffer{bytes.size(), [bytes](uint8_t* dst) { std::memcpy(dst, bytes.data(), bytes.size()); }};
  };
  return stageParts(copy(rgb), copy(alpha), fontInfoImage);
}

Result<StagedExport> PluginHostProcess::stageParts(const StagedBuffer& rgb, const StagedBuffer& alpha,
                                                   const FontInfoImage& fontInfoImage) {
  if (Result<void> region = ensureRegion(); !region) return Fail(std::move(region).error());
  StagedExport s;
  s.fontInfoOffset = 0;
  s.fontInfoSize = fontInfoImage.size;
  s.rgbOffset = Aligned(s.fontInfoOffset + s.fontInfoSize);
  s.alphaOffset = Aligned(s.rgbOffset + rgb.size);
  s.end = Aligned(s.alphaOffset + alpha.size);
  if (!region_.reserve(s.end)) return Fail(std::strerror(errno));
  uint8_t* base = region_.data();
  // Each stretch is mapped just before it is written: a writer that releases its source once
  // written (the pages of a result's last export) then never has both copies of more than one
  // page.
  if (fontInfoImage.size > 0)
    fontInfoImage.writeTo(base + s.fontInfoOffset, [this, &s](uint64_t offset, uint64_t bytes) {
      region_.prefault(s.fontInfoOffset + offset, bytes);
    });
  auto writeRgb = [&] {
    region_.prefault(s.rgbOffset, s.alphaOffset - s.rgbOffset);
    if (rgb.size > 0) rgb.write(base + s.rgbOffset);
  };
  auto writeAlpha = [&] {
    region_.prefault(s.alphaOffset, s.end - s.alphaOffset);
    if (alpha.size > 0) alpha.write(base + s.alphaOffset);
  };
  // A large texture's two buffers are mapped and written side by side, on a thread of their own
  // each: most of the time goes to the kernel's mapping of new pages, which proceeds on both cores.
  std::thread alongside;
  std::exception_ptr alphaError;
  if (rgb.size + alpha.size >= kSideBySideBytes && std::thread::hardware_concurrency() > 1) {
    try {
      alongside = std::thread([&] {
        try {
          writeAlpha();
        } catch (...) {
          alphaError = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      // No thread to be had: both are written here.
    }
  }
  std::exception_ptr rgbError;
  try {
    writeRgb();
  } catch (...) {
    rgbError = std::current_exception();
  }
  if (alongside.joinable()) {
    alongside.join();
  } else if (!rgbError) {
    writeAlpha();
  }
  if (rgbError) std::rethrow_exception(rgbError);
  if (alphaError) std::rethrow_exception(alphaError);
  if (fontInfoImage.size == 0) s.fontInfoOffset = kNoOffset;
  return s;
}

Result<void> PluginHostProcess::readyFor(uint32_t slot) {
  if (Result<void> running = ensureRunning(); !running) return Fail(export_text::PluginCallNotStarted(running.error()));
  if (lost_.count(slot)) return Fail(export_text::kPluginLost);
  if (deferred_.count(slot)) return loadDeferred(slot);
  return {};
}

Result<void> PluginHostProcess::loadDeferred(uint32_t slot) {
  const auto kept = std::find_if(kept_.begin(), kept_.end(), [slot](const auto& k) { return k.first == slot; });
  deferred_.erase(slot);
  if (kept == kept_.end()) return Fail(export_text::kPluginNotLoadable);
  HostLoad loaded = exchangeLoad(slot, kept->second, reloadLimit_);
  if (loaded.outcome == HostLoad::Outcome::Loaded && (loaded.entries & kHasGetPluginInfo)) return {};
  lost_.insert(slot);
  if (pid_ > 0 && loaded.outcome != HostLoad::Outcome::NotLoadable) unloadInHost(slot);
  if (loaded.failure.empty()) return Fail(export_text::kPluginNotLoadable);
  return Fail(std::move(loaded.failure));
}

Result<Request> PluginHostProcess::placeCall(uint32_t slot, const HostExportCall& call, const StagedExport& staged) {
  // The file name and the character table of this call go after the run's staged data.
  const uint64_t fileNameOffset = Aligned(staged.end);
  const uint64_t charsOffset = Aligned(fileNameOffset + call.fileName.size() + 1);
  const uint64_t end = charsOffset + call.chars.size_bytes();
  if (!region_.reserve(end)) return Fail(export_text::PluginCallNotStarted(std::strerror(errno)));
  uint8_t* base = region_.data();
  std::memcpy(base + fileNameOffset, call.fileName.data(), call.fileName.size());
  base[fileNameOffset + call.fileName.size()] = 0;
  if (!call.chars.empty()) std::memcpy(base + charsOffset, call.chars.data(), call.chars.size_bytes());

  Request q;
  q.op = Op::Call;
  q.slot = slot;
  q.regionSize = region_.size();
  q.entry = call.entry;
  q.width = call.width;
  q.height = call.height;
  q.charCount = static_cast<uint32_t>(call.chars.size());
  q.spaceAdvance = call.spaceAdvance;
  q.fileNameOffset = fileNameOffset;
  q.rgbOffset = call.passRgb ? staged.rgbOffset : kNoOffset;
  q.alphaOffset = call.passAlpha ? staged.alphaOffset : kNoOffset;
  q.charsOffset = call.chars.empty() ? kNoOffset : charsOffset;
  q.fontInfoOffset = staged.fontInfoOffset;
  q.fontInfoSize = staged.fontInfoSize;
  return q;
}

HostCall PluginHostProcess::exchangeCall(const Request& request, std::chrono::milliseconds limit) {
  HostCall result;
  if (!send(request, {})) {
    result.failure = HowItEnded(stopHost(true));
    return result;
  }
  Packet p;
  std::string ended;
  const WaitEnd how = receive(Clock::now() + limit, &p, &ended);
  if (how != WaitEnd::Reply) {
    result.failure = failureOf(how, ended, limit);
    return result;
  }
  return CallOutcome(p.reply.kind, p.text);
}

HostCall PluginHostProcess::callExport(uint32_t slot, const HostExportCall& call, const StagedExport& staged,
                                       std::chrono::milliseconds limit) {
  HostCall result;
  if (busy_) {
    result.failure = export_text::kPluginHostBusy;
    return result;
  }
  busy_ = true;
  struct Idle {
    bool& busy;
    ~Idle() { busy = false; }
  } idle{busy_};

  if (Result<void> ready = readyFor(slot); !ready) {
    result.failure = std::move(ready).error();
    return result;
  }
  Result<Request> request = placeCall(slot, call, staged);
  if (!request) {
    result.failure = std::move(request).error();
    return result;
  }
  return exchangeCall(*request, limit);
}

}  // namespace glyphmill
