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

namespace {

// The shared state of ProduceInOrder: every item is free, taken by one thread, or done.
class InOrderPipeline {
 public:
  InOrderPipeline(int32_t count, int32_t window, const std::function<void(int32_t, int32_t)>& produce)
      : count_(count), window_(window), produce_(produce), state_(static_cast<std::size_t>(count)) {}

  // A helper thread: takes the next item within the window until none is left or the pipeline ends.
  void help(int32_t worker) {
    for (;;) {
      const int32_t i = next_.fetch_add(1);
      if (i >= count_) return;
      for (int32_t c = consumed_.load(); i >= c + window_; c = consumed_.load()) consumed_.wait(c);
      if (consumed_.load() >= kEnded) return;
      produceIfFree(worker, i);  // else the consumer took it itself
    }
  }

  // The consumer's thread: item i once it is produced, by itself when it is still free, producing
  // the next free ones within the window while another thread works on i.
  void await(int32_t i) {
    produceIfFree(0, i);
    std::atomic<uint8_t>& wanted = state_[static_cast<std::size_t>(i)];
    while (wanted.load() != kDone) {
      int32_t j = next_.load();
      const bool ahead = j < count_ && j < i + window_;
      if (ahead && next_.compare_exchange_weak(j, j + 1)) {
        produceIfFree(0, j);
        continue;
      }
      if (!ahead) {
        for (uint8_t s = wanted.load(); s != kDone; s = wanted.load()) wanted.wait(s);
      }
    }
  }

  // Items consumed so far move the window; `end` wakes every producer waiting for it and stops them.
  void consumedUpTo(int32_t items) {
    consumed_.store(items);
    consumed_.notify_all();
  }
  void end() { consumedUpTo(kEnded); }

 private:
  enum : uint8_t { kFree = 0, kTaken = 1, kDone = 2 };
  // Far beyond any count: the pipeline has ended.
  static constexpr int32_t kEnded = std::numeric_limits<int32_t>::max() / 2;

  void produceIfFree(int32_t worker, int32_t i) {
    std::atomic<uint8_t>& item = state_[static_cast<std::size_t>(i)];
    uint8_t expected = kFree;
    if (!item.compare_exchange_strong(expected, kTaken)) return;
    produce_(worker, i);
    item.store(kDone);
    item.notify_all();
  }

  const int32_t count_, window_;
  const std::function<void(int32_t, int32_t)>& produce_;
  std::vector<std::atomic<uint8_t>> state_;
  std::atomic<int32_t> next_{0};
  std::atomic<int32_t> consumed_{0};
};

}  // namespace

bool ProduceInOrder(int32_t count, int32_t workers, int32_t window,
                    const std::function<void(int32_t worker, int32_t item)>& produce,
                    const std::function<bool(int32_t item)>& consume) {
  if (count <= 0) return true;
  workers = std::clamp(workers, 1, count);
  InOrderPipeline pipeline(count, std::max(window, 1), produce);
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(workers - 1));
  for (int32_t t = 1; t < workers; ++t) helpers.emplace_back([&pipeline, t] { pipeline.help(t); });
  bool completed = true;
  for (int32_t i = 0; i < count && completed; ++i) {
    pipeline.await(i);
    completed = consume(i);
    if (completed) pipeline.consumedUpTo(i + 1);
  }
  pipeline.end();
  for (std::thread& t : helpers) t.join();
  return completed;
}

}  // namespace glyphmill
