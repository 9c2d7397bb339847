#include "plugins/common/interrupt_cleanup.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace glyphmill::plugins {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr int kSlots = 16;

struct Slot {
  volatile sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
};

// The one piece of process-wide state: what the signal handler removes, and the handlers it
// displaced. Written only by the export call's thread; the handler only reads it.
struct CleanupTable {
  std::array<Slot, kSlots> slots;
  int active = 0;
  struct sigaction previous[kSignalCount] = {};
};

CleanupTable& Table() {
  static CleanupTable table;
  return table;
}

void OnInterrupt(int signal) {
  CleanupTable& t = Table();
  for (Slot& slot : t.slots) {
    if (slot.used != 0) ::unlink(slot.path);
  }
  for (int i = 0; i < kSignalCount; ++i) {
    if (kSignals[i] == signal) ::sigaction(signal, &t.previous[i], nullptr);
  }
  ::raise(signal);
}

void InstallHandlers() {
  CleanupTable& t = Table();
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) sigaddset(&action.sa_mask, s);
  for (int i = 0; i < kSignalCount; ++i) ::sigaction(kSignals[i], &action, &t.previous[i]);
}

void RestoreHandlers() {
  CleanupTable& t = Table();
  for (int i = 0; i < kSignalCount; ++i) ::sigaction(kSignals[i], &t.previous[i], nullptr);
}

}  // namespace

int RegisterInterruptCleanup(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  CleanupTable& t = Table();
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = t.slots[static_cast<std::size_t>(i)];
    if (slot.used != 0) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);  // the path is complete before it counts
    slot.used = 1;
    if (t.active++ == 0) InstallHandlers();
    return i;
  }
  return -1;
}

void ReleaseInterruptCleanup(int slot) {
  if (slot < 0 || slot >= kSlots) return;
  CleanupTable& t = Table();
  Slot& s = t.slots[static_cast<std::size_t>(slot)];
  if (s.used == 0) return;
  s.used = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (--t.active == 0) RestoreHandlers();
}

DeferInterrupts::DeferInterrupts() {
  sigset_t held;
  sigemptyset(&held);
  for (int s : kSignals) sigaddset(&held, s);
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

DeferInterrupts::~DeferInterrupts() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace glyphmill::plugins
