#include "render/row_workers.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace glyphmill {

int32_t RenderWorkerCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int32_t>(std::clamp<unsigned>(cores, 1, 8));
}

namespace {

// Hands out blocks of rows to `workers` threads (the caller is worker 0).
void RunBlocks(int32_t begin, int32_t end, int32_t workers, int32_t blockRows,
               const std::function<void(int32_t worker, int32_t row)>& rowFn) {
  if (end <= begin) return;
  const int32_t blocks = (end - begin + blockRows - 1) / blockRows;
  workers = std::clamp(workers, 1, blocks);
  std::atomic<int32_t> nextBlock{0};
  auto run = [&](int32_t worker) {
    for (;;) {
      const int32_t b = nextBlock.fetch_add(1, std::memory_order_relaxed);
      if (b >= blocks) return;
      const int32_t first = begin + b * blockRows, last = std::min(end, first + blockRows);
      for (int32_t y = first; y < last; ++y) rowFn(worker, y);
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(workers - 1);
  for (int32_t t = 1; t < workers; ++t) helpers.emplace_back(run, t);
  run(0);
  for (std::thread& t : helpers) t.join();
}

}  // namespace

void ForEachRow(int32_t begin, int32_t end, int32_t workers, const std::function<void(int32_t)>& rowFn,
                const std::function<void(int32_t)>& afterRow) {
  RunBlocks(begin, end, workers, 8, [&](int32_t worker, int32_t y) {
    rowFn(y);
    if (worker == 0 && afterRow) afterRow(y);
  });
}

void ForEachRowOnWorker(int32_t begin, int32_t end, int32_t workers,
                        const std::function<void(int32_t worker, int32_t row)>& rowFn) {
  // Rows here are costly (a glyph each): small blocks keep the threads finishing together.
  RunBlocks(begin, end, workers, 2, rowFn);
}

}  // namespace glyphmill
