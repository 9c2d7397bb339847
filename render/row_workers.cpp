#include "render/row_workers.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <vector>

namespace glyphmill {

int32_t RenderWorkerCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp<unsigned>(cores, 1, 8));
}

void ForEachRow(int32_t begin, int32_t end, int32_t workers, const std::function<void(int32_t)>& rowFn,
                const std::function<void(int32_t)>& afterRow) {
  if (end <= begin) return;
  constexpr int32_t kBlockRows = 8;
  const int32_t blocks = (end - begin + kBlockRows - 1) / kBlockRows;
  workers = std::clamp(workers, 1, blocks);
  std::atomic<int32_t> nextBlock{0};
  auto run = [&](bool caller) {
    for (;;) {
      const int32_t b = nextBlock.fetch_add(1, std::memory_order_relaxed);
      if (b >= blocks) return;
      const int32_t first = begin + b * kBlockRows, last = std::min(end, first + kBlockRows);
      for (int32_t y = first; y < last; ++y) {
        rowFn(y);
        if (caller && afterRow) afterRow(y);
      }
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(workers - 1);
  for (int32_t t = 1; t < workers; ++t) helpers.emplace_back(run, false);
  run(true);
  for (std::thread& t : helpers) t.join();
}

bool ProduceInOrder(int32_t count, int32_t workers, int32_t window,
                    const std::function<void(int32_t worker, int32_t item)>& produce,
                    const std::function<bool(int32_t item)>& consume) {
  if (count <= 0) return true;
  workers = std::clamp(workers, 1, count);
  window = std::max(window, 1);
  enum : uint8_t { kFree = 0, kTaken = 1, kDone = 2 };
  std::vector<std::atomic<uint8_t>> state(static_cast<std::size_t>(count));
  std::atomic<int32_t> next{0};
  // Items consumed so far; set far beyond `count` when the pipeline ends, which also wakes every
  // producer waiting for the window to move.
  std::atomic<int32_t> consumed{0};
  constexpr int32_t kEnded = std::numeric_limits<int32_t>::max() / 2;
  auto claim = [&](int32_t i) {
    uint8_t expected = kFree;
    return state[static_cast<std::size_t>(i)].compare_exchange_strong(expected, kTaken);
  };
  auto finish = [&](int32_t i) {
    state[static_cast<std::size_t>(i)].store(kDone);
    state[static_cast<std::size_t>(i)].notify_all();
  };
  auto helper = [&](int32_t worker) {
    for (;;) {
      const int32_t i = next.fetch_add(1);
      if (i >= count) return;
      for (int32_t c = consumed.load(); i >= c + window; c = consumed.load()) consumed.wait(c);
      if (consumed.load() >= kEnded) return;
      if (!claim(i)) continue;  // the consumer took it itself
      produce(worker, i);
      finish(i);
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(workers - 1));
  for (int32_t t = 1; t < workers; ++t) helpers.emplace_back(helper, t);
  bool completed = true;
  for (int32_t i = 0; i < count; ++i) {
    std::atomic<uint8_t>& wanted = state[static_cast<std::size_t>(i)];
    if (claim(i)) {
      produce(0, i);
      finish(i);
    }
    // While another thread produces item i, produce the next free one within the window.
    while (wanted.load() != kDone) {
      int32_t j = next.load();
      if (j < count && j < i + window && next.compare_exchange_weak(j, j + 1)) {
        if (claim(j)) {
          produce(0, j);
          finish(j);
        }
        continue;
      }
      if (j >= count || j >= i + window) {
        for (uint8_t s = wanted.load(); s != kDone; s = wanted.load()) wanted.wait(s);
      }
    }
    const bool goOn = consume(i);
    consumed.store(goOn ? i + 1 : kEnded);
    consumed.notify_all();
    if (!goOn) {
      completed = false;
      break;
    }
  }
  consumed.store(kEnded);
  consumed.notify_all();
  for (std::thread& t : helpers) t.join();
  return completed;
}

}  // namespace glyphmill
