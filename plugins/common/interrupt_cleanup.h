// Removal of an export's temporary files when the process is interrupted (SIGINT, SIGTERM,
// SIGHUP) while they exist.
//
// While at least one path is registered, handlers for the three signals are installed; they unlink
// every registered path, put back the handler that was there before and raise the signal again, so
// that the process ends (or the host's own handler runs) as it would have without us. When the last
// path is released the earlier handlers come back. A signal handler can reach no object, so the
// registered paths live in one fixed table of this library (no allocation in the handler).
//
// [main-thread] Register and release from the thread that runs the export call.
#pragma once

#include <csignal>
#include <string>

namespace glyphmill::plugins {

// Registers `path` for removal on interruption; returns its slot, or -1 when the table is full
// (the path is then only removed by its owner, as before).
int RegisterInterruptCleanup(const std::string& path);
// Forgets a slot from RegisterInterruptCleanup (-1 is ignored).
void ReleaseInterruptCleanup(int slot);

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime (they are delivered when it ends), so
// that a sequence of renames is never cut in the middle.
class DeferInterrupts {
 public:
  DeferInterrupts();
  ~DeferInterrupts();
  DeferInterrupts(const DeferInterrupts&) = delete;
  DeferInterrupts& operator=(const DeferInterrupts&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace glyphmill::plugins
