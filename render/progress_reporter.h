// ProgressReporter: a render job's progress reports, with the 50 ms throttle used inside loops.
//
// Reports that open a stage are always made (`report`). Inside loops a report is made only when the
// tick count has advanced by more than 50 ms since the last throttled report (`due`), so a pixel
// loop pays for a round trip to the front end at most twenty times a second. The reporter also
// carries `progressBase`, the progress completed by earlier stages.
//
// Only the job's own thread uses a reporter. A null host makes every report a no-op (filters can
// then run on their own, as the tests do).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "render/render_host.h"
#include "render/tick_count.h"

namespace glyphmill {

// A job's stop request, polled by the drawing and the multi-pass filters.
using StopFlag = std::atomic<bool>;

class ProgressReporter {
 public:
  using TickSource = std::function<uint32_t()>;
  static constexpr uint32_t kThrottleMs = 50;

  explicit ProgressReporter(RenderHost* host = nullptr, TickSource ticks = &TickCount)
      : host_(host), ticks_(std::move(ticks)) {}

  // Starts the throttle's clock: the next `due` is more than 50 ms from now.
  void restartClock() { lastReportTick_ = ticks_(); }

  // Always reported. progress -1 leaves the shown progress unchanged; an empty text shows none.
  void report(int32_t progress, const std::string& status) {
    if (host_) host_->ReportProgress(progress, status);
  }

  // True when more than 50 ms have passed since the last throttled report (32-bit wrapping
  // difference); the clock then restarts, so the caller must report when this returns true.
  bool due() {
    const uint32_t now = ticks_();
    if (static_cast<uint32_t>(now - lastReportTick_) <= kThrottleMs) return false;
    lastReportTick_ = now;
    return host_ != nullptr;
  }

  int32_t progressBase() const { return progressBase_; }
  void setProgressBase(int32_t base) { progressBase_ = base; }
  void advanceBase(int32_t amount = 100) { progressBase_ += amount; }

 private:
  RenderHost* host_;
  TickSource ticks_;
  uint32_t lastReportTick_ = 0;
  int32_t progressBase_ = 0;
};

// round(part / whole * scale), computed exactly, halves to even; 0 when whole is 0.
int32_t PercentOf(int64_t part, int64_t whole, int32_t scale = 100);

}  // namespace glyphmill
