// glyphmill-plugin-host: runs export plug-ins on behalf of glyphmill and glyphmill-cli, which
// start it with its channel at descriptor 3 and its shared memory region at descriptor 4.
// Whatever a plug-in does (crash, exit, hang) ends at most this process; the program reports it
// and starts a new host.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "host/host_protocol.h"
#include "host/plugin_host.h"

// In sanitizer builds: a plug-in's fault must end this process with its signal, as it would in a
// plain build, rather than be turned into a sanitizer report and an exit status. The sanitizer
// runtime looks for exactly this name.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
  return "handle_segv=0:handle_sigbus=0:handle_abort=0:handle_sigfpe=0:handle_sigill=0:detect_leaks=0";
}

int main() {
  using namespace glyphmill::host_protocol;
  // Never outlive the program.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() == 1) return 1;
  if (::fcntl(kChannelFd, F_GETFD) < 0 || ::fcntl(kRegionFd, F_GETFD) < 0) return 2;  // not started by a program
  // Nothing a plug-in starts inherits the channel or the region.
  ::fcntl(kChannelFd, F_SETFD, FD_CLOEXEC);
  ::fcntl(kRegionFd, F_SETFD, FD_CLOEXEC);
  // What plug-ins print goes to the program's standard error, never into its standard output.
  ::dup2(STDERR_FILENO, STDOUT_FILENO);
  ::signal(SIGPIPE, SIG_IGN);
  return glyphmill::RunPluginHost(kChannelFd, kRegionFd);
}
