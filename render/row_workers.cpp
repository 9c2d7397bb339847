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

}  // namespace glyphmill
