#include "render/drop_shadow.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <mutex>
#include <thread>
#include <vector>

#include "render/render_texts.h"
#include "render/row_workers.h"

namespace glyphmill {

namespace {

constexpr int kR = 2;  // byte offset of R in a B, G, R pixel

// One row of an in-place blur pass. The left column sum is rolled on with the pixel's new value,
// the row above already holds this pass's values and the row below the previous pass's, exactly as
// a plain left-to-right, top-to-bottom visit sees them.
void BlurRow(Image24& scratch, int32_t y, int32_t a) {
  const int32_t W = scratch.width();
  const uint8_t* up = scratch.row(y - 1);
  uint8_t* mid = scratch.row(y);
  const uint8_t* dn = scratch.row(y + 1);
  auto col = [&](int32_t x) { return uint32_t{up[3 * x + kR]} + mid[3 * x + kR] + dn[3 * x + kR]; };
  uint32_t left = col(a - 1), centre = col(a);
  for (int32_t x = a; x <= W - 2; ++x) {
    const uint32_t right = col(x + 1);
    const uint8_t old = mid[3 * x + kR];
    const uint8_t now = static_cast<uint8_t>((left + centre + right) / 9);
    mid[3 * x + kR] = now;
    left = centre - old + now;
    centre = right;
  }
}

// The blur passes spread over threads as a pipeline: worker t runs passes t, t + workers, ...; pass
// p computes row y only once pass p - 1 has finished row y + 1 (or all rows). The caller's worker
// (0) reports progress. A stop request, seen between passes, abandons every pass.
class BlurPipeline {
 public:
  BlurPipeline(Image24& scratch, int32_t a, int32_t smoothing, int32_t workers, ProgressReporter& progress,
               const StopFlag& stop)
      : scratch_(scratch),
        a_(a),
        last_(scratch.height() - 2),
        smoothing_(smoothing),
        passes_(2 * smoothing),
        workers_(workers),
        progress_(progress),
        stop_(stop),
        rowsDone_(static_cast<std::size_t>(passes_)) {
    for (auto& d : rowsDone_) d.store(a - 1, std::memory_order_relaxed);
  }

  // Runs the passes of worker `first`.
  void run(int32_t first) {
    for (int32_t p = first; p < passes_; p += workers_) {
      if (stop_.load(std::memory_order_relaxed) || abandoned_.load()) {
        abandon();
        return;
      }
      if (!runPass(p, first == 0)) return;
    }
  }
  bool abandoned() const { return abandoned_.load(); }

 private:
  // rowsDone_[p]: the last row pass p has finished (a - 1 before it starts).
  bool runPass(int32_t p, bool caller) {
    for (int32_t y = a_; y <= last_; ++y) {
      if (p > 0 && !waitFor(p - 1, std::min(y + 1, last_))) return false;
      BlurRow(scratch_, y, a_);
      rowsDone_[p].store(y, std::memory_order_release);
      rowsDone_[p].notify_all();
      if (caller && progress_.due()) report(p, y);
    }
    return true;
  }
  bool waitFor(int32_t p, int32_t row) {
    for (;;) {
      if (abandoned_.load()) return false;
      const int32_t v = rowsDone_[p].load(std::memory_order_acquire);
      if (v >= row) return true;
      rowsDone_[p].wait(v, std::memory_order_acquire);
    }
  }
  void abandon() {
    abandoned_.store(true);
    for (auto& d : rowsDone_) {
      d.store(INT_MAX);
      d.notify_all();
    }
  }
  void report(int32_t p, int32_t y) {
    // p% = round(((pass - 1) / s + (y / H) / s) * 50), pass counted from 1
    const int32_t H = scratch_.height();
    const int32_t pct = PercentOf(int64_t{p} * H + y, int64_t{smoothing_} * H, 50);
    progress_.report(progress_.progressBase() + pct, render_text::CalculatingDropShadow(pct));
  }

  Image24& scratch_;
  const int32_t a_, last_, smoothing_, passes_, workers_;
  ProgressReporter& progress_;
  const StopFlag& stop_;
  std::vector<std::atomic<int32_t>> rowsDone_;
  std::atomic<bool> abandoned_{false};
};

}  // namespace

void ShiftMaskIntoScratch(const Image24& mask, Image24& scratch, int32_t offset) {
  scratch.fill(0, 0, 0);
  offset = std::max(offset, 0);
  scratch.copyRect(mask, 0, 0, mask.width() - offset, mask.height() - offset, offset, offset);
}

void BlurShadowPass(Image24& scratch, int32_t offset) {
  const int32_t a = std::max(offset, 1);
  if (a > scratch.width() - 2) return;
  for (int32_t y = a; y <= scratch.height() - 2; ++y) BlurRow(scratch, y, a);
}

bool BlurShadow(Image24& scratch, int32_t offset, int32_t smoothing, int32_t workers, ProgressReporter& progress,
                const StopFlag& stop) {
  const int32_t passes = 2 * std::max(smoothing, 0);
  const int32_t a = std::max(offset, 1);
  if (passes == 0) return true;
  if (a > scratch.width() - 2 || a > scratch.height() - 2) return !stop.load();  // nothing lies in the blurred region
  workers = std::clamp(workers, 1, passes);
  BlurPipeline pipeline(scratch, a, smoothing, workers, progress, stop);
  std::vector<std::thread> helpers;
  for (int32_t t = 1; t < workers; ++t) helpers.emplace_back([&pipeline, t] { pipeline.run(t); });
  pipeline.run(0);
  for (std::thread& t : helpers) t.join();
  return !pipeline.abandoned();
}

uint8_t ShadowValue(uint8_t v, int32_t opacityPercent) {
  // v * opacity / 25500 * 255 is v * opacity / 100; computed on integers so that the exact halves
  // (127.5, 1.5, 0.5 at opacity 50) go to the even neighbour and not to a rounding error's side.
  if (opacityPercent <= 0) return 0;
  const int64_t num = int64_t{v} * opacityPercent;
  int64_t q = num / 100;
  const int64_t r = num % 100;
  if (r > 50 || (r == 50 && (q & 1) != 0)) ++q;
  return static_cast<uint8_t>(std::min<int64_t>(q, 255));
}

void MergeShadow(const Image24& scratch, Image24& mask, int32_t opacityPercent, ProgressReporter& progress) {
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = ShadowValue(static_cast<uint8_t>(v), opacityPercent);
  const int32_t W = std::min(scratch.width(), mask.width());
  const int32_t H = std::min(scratch.height(), mask.height());
  for (int32_t y = 0; y < H; ++y) {
    const uint8_t* s = scratch.row(y);
    uint8_t* m = mask.row(y);
    for (int32_t x = 0; x < W; ++x, s += 3, m += 3) {
      const uint8_t v = table[s[kR]];
      m[0] = std::max(m[0], v);
      m[1] = std::max(m[1], v);
      m[2] = std::max(m[2], v);
    }
    if (progress.due()) {
      const int32_t p = PercentOf(y, H);
      progress.report(progress.progressBase() + p, render_text::ApplyingDropShadow(p));
    }
  }
}

bool DrawDropShadow(const GenerationSettings& settings, Image24& mask, Image24& scratch, ProgressReporter& progress,
                    const StopFlag& stop) {
  progress.report(-1, render_text::kDrawingDropshadow);
  {
    std::lock_guard<std::mutex> scratchLock(scratch.lock());
    std::lock_guard<std::mutex> maskLock(mask.lock());
    ShiftMaskIntoScratch(mask, scratch, settings.shadowOffset);
  }
  bool complete;
  {
    std::lock_guard<std::mutex> scratchLock(scratch.lock());
    complete =
        BlurShadow(scratch, settings.shadowOffset, settings.shadowSmoothing, RenderWorkerCount(), progress, stop);
  }
  progress.advanceBase(100);
  {
    std::lock_guard<std::mutex> scratchLock(scratch.lock());
    std::lock_guard<std::mutex> maskLock(mask.lock());
    MergeShadow(scratch, mask, settings.shadowOpacity, progress);
  }
  progress.advanceBase(100);
  return complete;
}

}  // namespace glyphmill
