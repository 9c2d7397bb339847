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
#include <filesystem>

#include "export/export_messages.h"
#include "host/message_channel.h"

extern char** environ;

namespace glyphmill {

namespace {

using namespace host_protocol;
using Clock = std::chrono::steady_clock;

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

// What the reply to an export call says: a failure the plug-in reported or an exception it threw
// carries the plug-in's own message and is shown the same way.
HostCall CallOutcome(ReplyKind kind, const std::string& text) {
  HostCall result;
  switch (kind) {
    case ReplyKind::kDone: result.ok = true; break;
    case ReplyKind::kException: result.failure = text; break;
    case ReplyKind::kFailureReported:
      result.failure = text.empty() ? std::string(export_text::kPluginFailedWithoutReason) : text;
      break;
    case ReplyKind::kUnknownException: result.failure = export_text::kPluginUnknownException; break;
    default: result.failure = export_text::PluginHostRefused(text); break;
  }
  return result;
}

}  // namespace

void BlockingCallWaiter::waitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  ::poll(&p, 1, static_cast<int>(std::min<long long>(timeout.count(), INT_MAX)));
}

std::string FindPluginHostExecutable() {
  if (const char* over = std::getenv("GLYPHMILL_PLUGIN_HOST"); over != nullptr && over[0] != '\0') return over;
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string folder;
  if (n > 0) {
    folder.assign(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  }
  return PluginHostBeside(folder);
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

bool PluginHostProcess::spawn(std::string* error) {
  if (!ensureRegion(error)) return false;
  if (executable_.empty()) executable_ = FindPluginHostExecutable();

  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
    *error = std::strerror(errno);
    return false;
  }
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
    *error = executable_ + ": " + std::strerror(rc);
    return false;
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
  return true;
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
  static char buffer[kMaxMessage];
  const auto take = [&](ssize_t n) {
    std::memcpy(&packet->reply, buffer, sizeof(Reply));
    packet->text.assign(buffer + sizeof(Reply),
                        std::min<std::size_t>(packet->reply.textLength, static_cast<std::size_t>(n) - sizeof(Reply)));
  };
  BlockingCallWaiter blocking;
  CallWaiter& waiter = waiter_ ? *waiter_ : blocking;
  for (;;) {
    const ssize_t n = ReceivePacket(channel_, buffer, sizeof buffer, false);
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
      const ssize_t last = ReceivePacket(channel_, buffer, sizeof buffer, false);
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

bool PluginHostProcess::ensureRegion(std::string* error) {
  if (region_.fd() >= 0) return true;
  SharedRegion created;
  if (!created.create(error)) return false;
  // Above the host's fixed descriptor numbers, so that handing it over cannot overwrite it.
  const int moved = ::fcntl(created.fd(), F_DUPFD_CLOEXEC, kRegionFd + 1);
  if (moved < 0) {
    *error = std::strerror(errno);
    return false;
  }
  region_ = SharedRegion(moved);
  return true;
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

bool PluginHostProcess::ensureRunning(std::string* error) {
  if (pid_ > 0) return true;
  // A new host loads the kept libraries again, in their order; one that fails is lost. When a
  // library ends the host again, the others are loaded once more into a new one.
  for (;;) {
    if (!spawn(error)) return false;
    if (reloadKept()) return true;
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
  if (receive(Clock::now() + limit, &p, &ended) != WaitEnd::Reply || p.reply.kind == ReplyKind::kNotLoadable) return r;
  if (p.reply.kind != ReplyKind::kOpened) {
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
  switch (p.reply.kind) {
    case ReplyKind::kInfo:
      if (p.text.size() != sizeof r.info) {
        r.failure = export_text::kPluginReplyBroken;
        break;
      }
      std::memcpy(&r.info, p.text.data(), sizeof r.info);
      r.outcome = HostLoad::Outcome::Loaded;
      break;
    case ReplyKind::kException: r.failure = p.text; break;
    case ReplyKind::kUnknownException: r.failure = export_text::kPluginUnknownException; break;
    default: r.failure = export_text::PluginHostRefused(p.text); break;
  }
  return r;
}

HostLoad PluginHostProcess::load(const std::string& path, std::chrono::milliseconds limit) {
  reloadLimit_ = limit;
  std::string error;
  if (!ensureRunning(&error)) {
    HostLoad r;
    r.outcome = HostLoad::Outcome::Failed;
    r.failure = export_text::PluginCallNotStarted(error);
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

bool PluginHostProcess::stage(std::span<const uint8_t> rgb, std::span<const uint8_t> alpha,
                              std::span<const uint8_t> fontInfoImage, StagedExport* staged, std::string* error) {
  if (!ensureRegion(error)) return false;
  const auto aligned = [](uint64_t n) { return (n + 7) & ~uint64_t{7}; };
  StagedExport s;
  s.fontInfoOffset = 0;
  s.fontInfoSize = fontInfoImage.size();
  s.rgbOffset = aligned(s.fontInfoOffset + s.fontInfoSize);
  s.alphaOffset = aligned(s.rgbOffset + rgb.size());
  s.end = aligned(s.alphaOffset + alpha.size());
  if (!region_.reserve(s.end)) {
    *error = std::strerror(errno);
    return false;
  }
  uint8_t* base = region_.data();
  if (!fontInfoImage.empty()) std::memcpy(base + s.fontInfoOffset, fontInfoImage.data(), fontInfoImage.size());
  if (!rgb.empty()) std::memcpy(base + s.rgbOffset, rgb.data(), rgb.size());
  if (!alpha.empty()) std::memcpy(base + s.alphaOffset, alpha.data(), alpha.size());
  if (fontInfoImage.empty()) s.fontInfoOffset = kNoOffset;
  *staged = s;
  return true;
}

bool PluginHostProcess::readyFor(uint32_t slot, std::string* failure) {
  std::string error;
  if (!ensureRunning(&error)) {
    *failure = export_text::PluginCallNotStarted(error);
    return false;
  }
  if (lost_.count(slot)) {
    *failure = export_text::kPluginLost;
    return false;
  }
  return !deferred_.count(slot) || loadDeferred(slot, failure);
}

bool PluginHostProcess::loadDeferred(uint32_t slot, std::string* failure) {
  const auto kept = std::find_if(kept_.begin(), kept_.end(), [slot](const auto& k) { return k.first == slot; });
  deferred_.erase(slot);
  if (kept == kept_.end()) {
    *failure = export_text::kPluginNotLoadable;
    return false;
  }
  const HostLoad loaded = exchangeLoad(slot, kept->second, reloadLimit_);
  if (loaded.outcome == HostLoad::Outcome::Loaded && (loaded.entries & kHasGetPluginInfo)) return true;
  lost_.insert(slot);
  if (pid_ > 0 && loaded.outcome != HostLoad::Outcome::NotLoadable) unloadInHost(slot);
  *failure = loaded.failure.empty() ? std::string(export_text::kPluginNotLoadable) : loaded.failure;
  return false;
}

bool PluginHostProcess::placeCall(uint32_t slot, const HostExportCall& call, const StagedExport& staged,
                                  Request* request, std::string* failure) {
  // The file name and the character table of this call go after the run's staged data.
  const auto aligned = [](uint64_t n) { return (n + 7) & ~uint64_t{7}; };
  const uint64_t fileNameOffset = aligned(staged.end);
  const uint64_t charsOffset = aligned(fileNameOffset + call.fileName.size() + 1);
  const uint64_t end = charsOffset + call.chars.size_bytes();
  if (!region_.reserve(end)) {
    *failure = export_text::PluginCallNotStarted(std::strerror(errno));
    return false;
  }
  uint8_t* base = region_.data();
  std::memcpy(base + fileNameOffset, call.fileName.data(), call.fileName.size());
  base[fileNameOffset + call.fileName.size()] = 0;
  if (!call.chars.empty()) std::memcpy(base + charsOffset, call.chars.data(), call.chars.size_bytes());

  Request& q = *request;
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
  return true;
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

  Request q;
  if (!readyFor(slot, &result.failure) || !placeCall(slot, call, staged, &q, &result.failure)) return result;
  return exchangeCall(q, limit);
}

}  // namespace glyphmill
