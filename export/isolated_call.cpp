#include "export/isolated_call.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>

#include "export/export_messages.h"

namespace glyphmill {

namespace {

// Reply framing: one status byte, then the payload.
constexpr char kReplyOk = 'O';
constexpr char kReplyException = 'E';
constexpr char kReplyUnknownException = 'U';

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

[[noreturn]] void ChildMain(int replyFd, const std::function<std::string()>& call) {
  // Faults must end the child with their signal, whatever handlers the parent installed.
  for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGPIPE, SIGTERM, SIGINT})
    ::signal(sig, SIG_DFL);
  // Never outlive the program: a hanging call dies with its parent.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  std::string message;
  char status = kReplyOk;
  try {
    message = call();
  } catch (const std::exception& e) {
    status = kReplyException;
    message = e.what();
  } catch (...) {
    status = kReplyUnknownException;
    message.clear();
  }
  WriteAll(replyFd, &status, 1);
  WriteAll(replyFd, message.data(), message.size());
  ::close(replyFd);
  ::_exit(0);
}

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  // Rounded up, so that a wait never ends before the deadline.
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

void KillChild(pid_t pid) {
  ::kill(-pid, SIGKILL);  // its process group: whatever the plug-in started
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

IsolatedCallResult RunIsolated(const std::function<std::string()>& call, std::chrono::milliseconds limit) {
  IsolatedCallResult result;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.failure = export_text::PluginCallNotStarted(std::strerror(errno));
    return result;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    int err = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    result.failure = export_text::PluginCallNotStarted(std::strerror(err));
    return result;
  }
  if (pid == 0) {
    ::setpgid(0, 0);
    ::close(fds[0]);
    ChildMain(fds[1], call);
  }
  ::setpgid(pid, pid);  // also here, so the group exists whichever side runs first
  ::close(fds[1]);

  const Clock::time_point deadline = Clock::now() + limit;
  std::string reply;
  bool eof = false;
  bool timedOut = false;
  char buffer[4096];
  while (!eof) {
    pollfd p{fds[0], POLLIN, 0};
    int ready = ::poll(&p, 1, RemainingMs(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) {
      timedOut = true;
      break;
    }
    ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) eof = true;
    else reply.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);

  // The pipe has closed (or the time is up); the child may still be running, for instance when a
  // plug-in closed the pipe itself and then hung.
  int status = 0;
  bool reaped = false;
  while (!timedOut) {
    pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) {
      reaped = true;
      break;
    }
    if (r < 0 && errno != EINTR) break;
    if (RemainingMs(deadline) == 0) {
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!reaped) KillChild(pid);

  if (timedOut) {
    long long seconds = (limit.count() + 999) / 1000;
    result.failure = export_text::PluginTimedOut(seconds);
    return result;
  }
  if (reaped && WIFSIGNALED(status)) {
    result.failure = export_text::PluginCrashed(WTERMSIG(status));
    return result;
  }
  if (reply.empty()) {
    // The child left without a reply: the plug-in ended the process itself.
    result.failure = reaped && WIFEXITED(status) ? export_text::PluginExited(WEXITSTATUS(status))
                                                 : std::string(export_text::kPluginReplyBroken);
    return result;
  }
  if (reaped && WIFEXITED(status) && WEXITSTATUS(status) != 0) {
    result.failure = export_text::PluginExited(WEXITSTATUS(status));
    return result;
  }
  switch (reply[0]) {
    case kReplyOk:
      result.ok = true;
      result.reply = reply.substr(1);
      break;
    case kReplyException:
      result.failure = reply.substr(1);
      break;
    case kReplyUnknownException:
      result.failure = export_text::kPluginUnknownException;
      break;
    default:
      result.failure = export_text::kPluginReplyBroken;
      break;
  }
  return result;
}

}  // namespace glyphmill
